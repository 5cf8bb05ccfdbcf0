// The outline, opening and area tools in the editor's Draw menu.
#include "CStmEditorOutlineTools.h"

#include "CStmEditorUiHost.h"
#include "actions/CStmActionAddBoundary.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr const char* StmTextNoop(const char* id) { return id; }
}  // namespace

bool CStmEditorOutlineTools::AddCommands(CStmCommandTable& table, std::string& error) {
  const struct {
    const char* id;
    const char* label;
    long tool;
  } entries[] = {{"draw.outerOutline", StmTextNoop("Outer outline from elements"), CStmActionAddBoundary::kActionOuter},
                 {"draw.opening", StmTextNoop("Opening from elements"), CStmActionAddBoundary::kActionInner},
                 {"draw.area", StmTextNoop("Property area from elements"), CStmActionAddBoundary::kActionArea}};
  bool first = true;
  for (const auto& entry : entries) {
    const long tool = entry.tool;
    if (!table.Add({entry.id, entry.label, {StmTextNoop("Draw")}, "", "", "", [this] { return m_model.IsLock() == 0; },
                    [this, tool] { return m_wnd.GetActionTypeCur() == tool; }, [this, tool] { m_tools.push_back(tool); },
                    first},
                   error))
      return false;
    first = false;
  }
  return true;
}

void CStmEditorOutlineTools::Run(CStmEditorUiHost& host) {
  while (!m_tools.empty()) {
    const long tool = m_tools.front();
    m_tools.pop_front();
    m_wnd.SetAction(tool, -1, 1);
    // A chain picked beforehand is used at once; otherwise the tool waits for the picks.
    if (m_wnd.GetActionTypeCur() == tool) {
      host.SetStatusText(StmText("Select Element") + ": " +
                         StmText("click or frame the elements of one closed chain, then press the right button; "
                                 "Esc cancels"));
    }
  }
  // The area tool leaves its outcome to the main window.
  const auto& messages = host.GetMessages();
  for (; m_nMessagesSeen < messages.size(); ++m_nMessagesSeen) {
    const CStmEditorUiHost::SMessage& message = messages[m_nMessagesSeen];
    if (message.message == CStmActionAddBoundary::kMsgAdded && message.wParam == CStmActionAddBoundary::kActionArea)
      host.SetStatusText(message.lParam ? StmText("Property area added") : StmText("No property area was added"));
  }
}
