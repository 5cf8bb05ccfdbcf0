// The Draw menu and the tools' dialogs in the overlay.
#include "CStmEditorDrawTools.h"

#include <GLFW/glfw3.h>
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
  const char* name;
  long bit;
} kSnaps[] = {
    {StmTextNoop("Snap to nodes and grid points"), CUbManage::kSnapNode},
    {StmTextNoop("Snap to ends"), CUbManage::kSnapEnd},
    {StmTextNoop("Snap to middles"), CUbManage::kSnapMid},
    {StmTextNoop("Snap to intersections"), CUbManage::kSnapCross},
    {StmTextNoop("Snap perpendicular"), CUbManage::kSnapPer},
    {StmTextNoop("Snap to the nearest point on a line"), CUbManage::kSnapNear},
};

}  // namespace

void CStmEditorDrawTools::DrawMenu(bool idle, const NoteItemFn& note) {
  const bool unlocked = m_model.IsLock() == 0;
  const long current = m_wnd.GetActionTypeCur();
  const auto item = [&](const char* label, const char* keys, ECommand command, bool enabled, bool checked,
                        long bit = 0) {
    if (ImGui::MenuItem(StmText(label).c_str(), keys, checked, enabled)) m_commands.push_back({command, bit});
    if (note) note(label, enabled);
  };
  const bool open = ImGui::BeginMenu(StmText("Draw").c_str(), idle);
  if (note) note("Draw", idle);
  if (open) {
    item(StmTextNoop("Node"), "N", ECommand::kNode, unlocked, current == CStmUbManager::kActionAddNode);
    item(StmTextNoop("Element"), "E", ECommand::kElement, unlocked, current == CStmUbManager::kActionAddElement);
    item(StmTextNoop("Guideline"), "G", ECommand::kGuideline, true, current == CStmUbManager::kActionAddGuideline);
    ImGui::Separator();
    const bool takesPoints = current == CStmUbManager::kActionAddNode || current == CStmUbManager::kActionAddElement ||
                             current == CStmUbManager::kActionAddGuideline;
    item(StmTextNoop("Typed coordinate"), "Tab", ECommand::kTypedCoordinate, takesPoints, false);
    item(StmTextNoop("Ask for the length of each element"), nullptr, ECommand::kAskLength, true,
         m_wnd.IsDistPrompt() != 0);
    item(StmTextNoop("Orthogonal drawing"), "F8", ECommand::kOrtho, true, m_wnd.GetVHDraw() != 0);
    ImGui::Separator();
    for (const auto& snap : kSnaps) {
      // Orthogonal drawing takes the nearest-point snap away while it is on.
      const bool enabled = snap.bit != CUbManage::kSnapNear || m_wnd.GetVHDraw() == 0;
      item(snap.name, nullptr, ECommand::kSnap, enabled, (m_manager.GetOSnapMode() & snap.bit) != 0, snap.bit);
    }
    ImGui::EndMenu();
  }
}

bool CStmEditorDrawTools::OnKey(int glfwKey, int mods) {
  if (m_dialogs.OnKey(glfwKey)) return true;
  // Single keys start the tools while the keyboard belongs to the view.
  if (mods != 0 || ImGui::GetIO().WantCaptureKeyboard) return false;
  switch (glfwKey) {
    case GLFW_KEY_N: m_commands.push_back({ECommand::kNode, 0}); return true;
    case GLFW_KEY_E: m_commands.push_back({ECommand::kElement, 0}); return true;
    case GLFW_KEY_G: m_commands.push_back({ECommand::kGuideline, 0}); return true;
    default: return false;
  }
}

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
    case ECommand::kOrtho:
      m_wnd.OnKeyDown(VK_F8, 1, 0);
      GetUiHost().SetStatusText(m_wnd.GetVHDraw() != 0 ? StmText("Orthogonal drawing on (F8 turns it off)")
                                                       : StmText("Orthogonal drawing off"));
      break;
    case ECommand::kSnap:
      m_manager.SetOSnapMode(m_manager.GetOSnapMode() ^ command.snapBit);
      break;
  }
}
