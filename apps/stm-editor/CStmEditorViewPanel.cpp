// The view control panel docked in the editor.
#include "CStmEditorViewPanel.h"

#include <imgui.h>

#include "dialogs/CStmDlgViewControl.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

bool CStmEditorViewPanel::IsShown() const {
  const CStmDlgViewControl* panel = m_manager.GetDlgViewControl();
  return panel && panel->IsWindowVisible();
}

void CStmEditorViewPanel::DrawMenuItem(const NoteItemFn& note) {
  if (ImGui::MenuItem(StmText("Control panel").c_str(), nullptr, IsShown())) m_bToggle = true;
  note("Control panel", true);
}

void CStmEditorViewPanel::Draw(float barTop, float barBottom, const NoteItemFn& note) {
  CStmDlgViewControl* panel = m_manager.GetDlgViewControl();
  if (!panel || !panel->IsWindowVisible()) return;
  // The settings also change elsewhere (another model opened, the style menu, the input model),
  // so the panel reads them again, but never under the user's typing.
  if (!m_view.HasKeyboard(panel)) panel->SetDataInit();
  m_view.SetViewInsets(barTop, barBottom);
  m_view.DrawModeless(*panel, note);
}

void CStmEditorViewPanel::Run() {
  if (m_bToggle) {
    m_bToggle = false;
    if (IsShown()) m_manager.GetDlgViewControl()->ShowWindow(SW_HIDE);
    else m_manager.ShowDlgViewControl();
  }
  m_view.Deliver();
}
