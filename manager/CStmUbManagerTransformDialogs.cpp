// The floating dialogs of the rotate and offset tools: made on first show, placed at the
// bottom-left of the view, enabled only while shown.
#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgOffset.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

void CStmUbManager::ShowDlgAngle(int show) {
  CStmUbRenderer* wnd = GetCurrentRenderer();
  if (!m_pDlgAngle) {
    if (!show || !wnd) return;
    m_pDlgAngle = std::make_unique<CStmDlgAngle>(wnd);
    m_pDlgAngle->OnInitDialog();
  }
  CStmDlgAngle& dlg = *m_pDlgAngle;
  if (!show) {
    dlg.EnableControl(CStmDlgAngle::IDC_ANGLE, false);
    dlg.ShowWindow(SW_HIDE);
    return;
  }
  dlg.EnableControl(CStmDlgAngle::IDC_ANGLE, true);
  // Typing replaces the angle shown only when the user is already in the edit.
  if (dlg.GetFocusId() == CStmDlgAngle::IDC_ANGLE) {
    dlg.SetFocusId(CStmDlgAngle::IDC_ANGLE);
    dlg.SetSel(CStmDlgAngle::IDC_ANGLE, 0, -1);
  }
  ShowDlgBottomLeft(wnd, &dlg);
}

void CStmUbManager::ShowDlgOffset(int show) {
  CStmUbRenderer* wnd = GetCurrentRenderer();
  if (!m_pDlgOffset) {
    if (!show || !wnd) return;
    m_pDlgOffset = std::make_unique<CStmDlgOffset>(wnd);
    m_pDlgOffset->OnInitDialog();
  }
  if (!show) {
    m_pDlgOffset->ShowWindow(SW_HIDE);
    return;
  }
  ShowDlgBottomLeft(wnd, m_pDlgOffset.get());
}
