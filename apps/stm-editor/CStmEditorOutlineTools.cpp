// The outline, opening and area tools in the editor's Draw menu.
#include "CStmEditorOutlineTools.h"

#include "CStmEditorUiHost.h"
#include "StmToolCommands.h"
#include "render/CStmUbRenderer.h"

bool CStmEditorOutlineTools::AddCommands(CStmCommandTable& table, std::string& error) {
  for (SStmCommand& command : StmOutlineCommands(m_wnd, m_model, [this](long tool) { m_tools.push_back(tool); })) {
    if (!table.Add(std::move(command), error)) return false;
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
      host.SetStatusText(StmOutlinePrompt());
    }
  }
  const auto& messages = host.GetMessages();
  for (; m_nMessagesSeen < messages.size(); ++m_nMessagesSeen) {
    const CStmEditorUiHost::SMessage& message = messages[m_nMessagesSeen];
    const CString outcome = StmOutlineOutcome(message.message, message.wParam, message.lParam);
    if (!outcome.IsEmpty()) host.SetStatusText(outcome);
  }
}
