// The pan tool.
#include "actions/CStmActionPan.h"

#include "host/platform/CUiHost.h"

void CStmActionPan::SetActionState(int step) {
  m_nStep = step;
  OnStatusMessage(CString());
  GetUiHost().SetCursor(IDC_SIZEALL);
}

void CStmActionPan::OnLButtonUp(CUbRenderWnd*, UINT, const CPoint&) {
  if (m_nStep == kDragging) SetActionState(kIdle);
}

int CStmActionPan::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_SIZEALL);
  return 1;
}

void CStmActionPan::ReleaseAction(CUbRenderWnd* wnd) {
  CUbActionZoomMove::ReleaseAction(wnd);
  m_nStep = kIdle;
  GetUiHost().SetCursor(IDC_ARROW);
}
