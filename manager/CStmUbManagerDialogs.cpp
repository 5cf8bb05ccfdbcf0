// Scene manager: the floating dialogs it owns and where they stand, and the guidelines that the
// user draws.
#include <vector>

#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgViewControl.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityObject.h"
#include "geometry/StmGeometry.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr int kDialogGap = 5;
}  // namespace

void CStmUbManager::ShowDlgCoord(int show) {
  if (!m_pDlgCoord) {
    if (!show) return;
    m_pDlgCoord = std::make_unique<CStmDlgCoord>(GetCurrentRenderer());
    m_pDlgCoord->OnInitDialog();
  }
  CStmDlgCoord* dlg = m_pDlgCoord.get();
  if (!show) {
    dlg->EnableControl(CStmDlgCoord::IDC_EDIT_FIRST, false);
    dlg->EnableControl(CStmDlgCoord::IDC_EDIT_SECOND, false);
    dlg->ShowWindow(SW_HIDE);
    return;
  }
  dlg->EnableControl(CStmDlgCoord::IDC_EDIT_FIRST, true);
  dlg->EnableControl(CStmDlgCoord::IDC_EDIT_SECOND, true);
  dlg->StartTyping();
  ShowDlgBottomLeft(dlg->GetRenderer(), dlg);
}

int CStmUbManager::TakeTypedPoint(CVector& out) { return m_pDlgCoord ? m_pDlgCoord->GetTypedCoord(out) : 0; }

void CStmUbManager::ShowDlgBottomLeft(CUbRenderWnd* wnd, CDialog* dlg) {
  if (!dlg) return;
  dlg->ShowWindow(SW_SHOW);
  if (!wnd) return;
  const CSize size = dlg->GetWindowRect().Size();
  const int bottom = wnd->GetHeight() - kDialogGap;
  dlg->MoveWindow(CRect(kDialogGap, bottom - size.cy, kDialogGap + size.cx, bottom));
  wnd->Invalidate();
}

void CStmUbManager::ShowDlgViewControl() {
  CStmUbRenderer* wnd = GetCurrentRenderer();
  if (!m_pDlgViewControl) m_pDlgViewControl = std::make_unique<CStmDlgViewControl>(wnd, nullptr);
  CStmDlgViewControl* dlg = m_pDlgViewControl.get();
  dlg->Show();
  if (!wnd) return;
  // In the bottom-right corner, out of the way of the coordinate dialog at the bottom left.
  const CSize size = dlg->GetWindowRect().Size();
  const int right = wnd->GetWidth() - kDialogGap, bottom = wnd->GetHeight() - kDialogGap;
  dlg->MoveWindow(CRect(right - size.cx, bottom - size.cy, right, bottom));
  wnd->Invalidate();
}

