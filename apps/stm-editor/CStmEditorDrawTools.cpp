// The Draw menu and the tools' dialogs in the overlay.
#include "CStmEditorDrawTools.h"

#include <imgui.h>

#include "actions/CStmActionAddLine.h"
#include "actions/CStmActionAddNode.h"
#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgOffset.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

// Marks a text for the catalogue where it is looked up later, under a name held elsewhere.
constexpr const char* StmTextNoop(const char* id) { return id; }

// The snap modes a user turns on and off, as the menu names them.
const struct {
  const char* id;
  const char* name;
  long bit;
} kSnaps[] = {
    {"node", StmTextNoop("Snap to nodes and grid points"), CUbManage::kSnapNode},
    {"end", StmTextNoop("Snap to ends"), CUbManage::kSnapEnd},
    {"middle", StmTextNoop("Snap to middles"), CUbManage::kSnapMid},
    {"intersection", StmTextNoop("Snap to intersections"), CUbManage::kSnapCross},
    {"perpendicular", StmTextNoop("Snap perpendicular"), CUbManage::kSnapPer},
    {"nearest", StmTextNoop("Snap to the nearest point on a line"), CUbManage::kSnapNear},
};

}  // namespace

bool CStmEditorDrawTools::AddToolCommands(CStmCommandTable& table, std::string& error) {
  const std::vector<std::string> draw = {StmTextNoop("Draw")};
  const auto queue = [this](ECommand command) { return [this, command] { m_commands.push_back({command, 0}); }; };
  const auto unlocked = [this] { return m_model.IsLock() == 0; };
  const auto running = [this](long id) { return [this, id] { return m_wnd.GetActionTypeCur() == id; }; };
  const auto takesPoints = [this] {
    const long current = m_wnd.GetActionTypeCur();
    return current == CStmUbManager::kActionAddNode || current == CStmUbManager::kActionAddElement ||
           current == CStmUbManager::kActionAddGuideline;
  };
  return table.Add({"draw.node", StmTextNoop("Node"), draw, StmTextNoop("draw nodes / elements / guidelines"), "N", "", unlocked,
                    running(CStmUbManager::kActionAddNode), queue(ECommand::kNode)},
                   error) &&
         table.Add({"draw.element", StmTextNoop("Element"), draw, StmTextNoop("draw nodes / elements / guidelines"), "E", "", unlocked,
                    running(CStmUbManager::kActionAddElement), queue(ECommand::kElement)},
                   error) &&
         table.Add({"draw.guideline", StmTextNoop("Guideline"), draw, StmTextNoop("draw nodes / elements / guidelines"), "G", "",
                    nullptr, running(CStmUbManager::kActionAddGuideline), queue(ECommand::kGuideline)},
                   error) &&
         // Tab itself goes to the view, which opens the dialog with the typing started.
         table.Add({"draw.typedCoordinate", StmTextNoop("Typed coordinate"), draw, "", "", "Tab", takesPoints,
                    nullptr, queue(ECommand::kTypedCoordinate), true},
                   error) &&
         table.Add({"draw.askLength", StmTextNoop("Ask for the length of each element"), draw, "", "", "", nullptr,
                    [this] { return m_wnd.IsDistPrompt() != 0; }, queue(ECommand::kAskLength)},
                   error);
}

bool CStmEditorDrawTools::AddSnapCommands(CStmCommandTable& table, std::string& error) {
  bool first = true;
  for (const auto& snap : kSnaps) {
    const long bit = snap.bit;
    // Orthogonal drawing takes the nearest-point snap away while it is on.
    std::function<bool()> enabled;
    if (bit == CUbManage::kSnapNear) enabled = [this] { return m_wnd.GetVHDraw() == 0; };
    if (!table.Add({std::string("draw.snap.") + snap.id, snap.name, {StmTextNoop("Draw")}, "", "", "", enabled,
                    [this, bit] { return (m_manager.GetOSnapMode() & bit) != 0; },
                    [this, bit] { m_commands.push_back({ECommand::kSnap, bit}); }, first},
                   error))
      return false;
    first = false;
  }
  return true;
}

bool CStmEditorDrawTools::OnKey(int glfwKey) { return m_dialogs.OnKey(glfwKey); }

CString CStmEditorDrawTools::Prompt() const {
  CUbActionBase* action = m_manager.GetActionCurrent();
  if (const auto* line = dynamic_cast<const CStmActionAddLine*>(action)) return line->GetPrompt();
  if (dynamic_cast<const CStmActionAddNode*>(action)) return CStmActionAddNode::GetPrompt();
  return CString();
}

void CStmEditorDrawTools::DrawDialogs(float barTop, float barBottom, const NoteItemFn& note) {
  m_dialogs.SetViewInsets(barTop, barBottom);
  if (CStmDlgCoord* coord = m_manager.GetDlgCoord()) m_dialogs.DrawModeless(*coord, note);
  if (CStmDlgAngle* angle = m_manager.GetDlgAngle()) m_dialogs.DrawModeless(*angle, note);
  if (CStmDlgOffset* offset = m_manager.GetDlgOffset()) m_dialogs.DrawModeless(*offset, note);
}

void CStmEditorDrawTools::Run() {
  while (!m_commands.empty()) {
    const SCommand command = m_commands.front();
    m_commands.pop_front();
    RunCommand(command);
  }
  m_dialogs.Deliver();
  if (!Prompt().IsEmpty()) FollowGrid();
}

void CStmEditorDrawTools::FollowGrid() {
  double u = 0.0, v = 0.0;
  m_wnd.GetViewCenter(u, v);
  const CStmDataView& view = *m_model.GetStmDataView();
  const CVector& space = view.GetGridSpace();
  const CVector& origin = view.GetGridOrigin();
  const std::vector<double> now = {static_cast<double>(m_wnd.GetViewPos()), m_wnd.GetViewScale(), u, v,
                                   static_cast<double>(m_wnd.GetWidth()), static_cast<double>(m_wnd.GetHeight()),
                                   space.x, space.y, space.z, origin.x, origin.y, origin.z,
                                   static_cast<double>(view.IsShowOption(STM_SHOW_GRID_POINTS))};
  if (now == m_arGridFor) return;
  m_arGridFor = now;
  m_manager.AddGridPoints();
  m_wnd.InvalidateAllWnd();
}

void CStmEditorDrawTools::StartTool(long id) {
  if (id != CStmUbManager::kActionAddGuideline && m_model.IsLock()) {
    GetUiHost().SetStatusText(
        StmLockedModelText());
    return;
  }
  m_wnd.SetAction(id, -1, 1);
}

void CStmEditorDrawTools::RunCommand(const SCommand& command) {
  switch (command.command) {
    case ECommand::kNode:
      StartTool(CStmUbManager::kActionAddNode);
      break;
    case ECommand::kElement:
      StartTool(CStmUbManager::kActionAddElement);
      break;
    case ECommand::kGuideline:
      StartTool(CStmUbManager::kActionAddGuideline);
      break;
    case ECommand::kTypedCoordinate:
      m_manager.ShowDlgCoord(1);
      break;
    case ECommand::kAskLength:
      m_wnd.SetDistPrompt(m_wnd.IsDistPrompt() ? 0 : 1);
      GetUiHost().SetStatusText(m_wnd.IsDistPrompt() ? StmText("Each element asks for its length")
                                                     : StmText("Elements end at the picked point"));
      break;
    case ECommand::kSnap:
      m_manager.SetOSnapMode(m_manager.GetOSnapMode() ^ command.snapBit);
      break;
  }
}
