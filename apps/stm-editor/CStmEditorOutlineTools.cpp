// The outline, opening and area tools in the editor's Draw menu.
#include "CStmEditorOutlineTools.h"

#include <imgui.h>

#include "CStmEditorUiHost.h"
#include "actions/CStmActionAddBoundary.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr const char* StmTextNoop(const char* id) { return id; }
}  // namespace

void CStmEditorOutlineTools::DrawMenu(bool idle, const NoteItemFn& note) {
  // A menu begun twice under one name takes the entries of both, so these join a Draw menu
  // that other tools make.
  const bool open = ImGui::BeginMenu(StmText("Draw").c_str(), idle);
  note("Draw", idle);
  if (!open) return;
  const bool unlocked = m_model.IsLock() == 0;
  ImGui::Separator();
  const struct {
    const char* label;
    long tool;
  } entries[] = {{StmTextNoop("Outer outline from elements"), CStmActionAddBoundary::kActionOuter},
                 {StmTextNoop("Opening from elements"), CStmActionAddBoundary::kActionInner},
                 {StmTextNoop("Property area from elements"), CStmActionAddBoundary::kActionArea}};
  for (const auto& entry : entries) {
    const bool current = m_wnd.GetActionTypeCur() == entry.tool;
    if (ImGui::MenuItem(StmText(entry.label).c_str(), nullptr, current, unlocked)) m_tools.push_back(entry.tool);
    note(entry.label, unlocked);
  }
  ImGui::EndMenu();
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
