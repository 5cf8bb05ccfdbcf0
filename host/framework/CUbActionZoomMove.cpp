// Panning by dragging.
#include "host/framework/CUbActionZoomMove.h"

#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CUiHost.h"

void CUbActionZoomMove::SetActionState(int step) { m_nStep = step; }

void CUbActionZoomMove::InitAction(CUbRenderWnd* wnd) {
  CUbActionBase::InitAction(wnd);
  SetActionState(kIdle);
}

void CUbActionZoomMove::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  m_ptLast = pt;
  SetActionState(kDragging);
}

void CUbActionZoomMove::OnLButtonUp(CUbRenderWnd*, UINT, const CPoint&) {
  if (m_nStep == kDragging) SetActionState(kIdle);
}

void CUbActionZoomMove::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  if (!wnd) return;
  OnMouseMoveSub(wnd, flags, pt);
  if (m_nStep == kDragging && (flags & MK_LBUTTON)) {
    wnd->Pan(pt.x - m_ptLast.x, pt.y - m_ptLast.y);
    m_ptLast = pt;
  }
  OnMouseMovePre(wnd, flags, pt);
}

int CUbActionZoomMove::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_SIZEALL);
  return 1;
}
