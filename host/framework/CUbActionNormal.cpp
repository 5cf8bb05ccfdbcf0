// The selection action's band, grips and zoom.
#include "host/framework/CUbActionNormal.h"

#include <GL/gl.h>

#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"

void CUbActionNormal::SetActionNone(CUbRenderWnd* wnd, const CPoint& pt) {
  if (!wnd) return;
  m_nStep = kBand;
  SetMouseClickPos(pt);
  ResetMousePos(pt);
  wnd->SetRubberBand(pt, pt, true);
}

void CUbActionNormal::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
}

void CUbActionNormal::OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  if (!wnd || m_nStep != kBand) return;
  m_nStep = kIdle;
  m_bPressPending = false;
  wnd->SetRubberBand(wnd->GetRubberBandPress(), pt, false);
  if (m_bSelectMode) SelectEttOnLButtonUp(wnd, flags, pt);
  CUbManage* manage = GetManage(wnd);
  if (manage && manage->IsGripEdit()) m_snapPointManage.OnChangeSelectedMember(wnd);
}

void CUbActionNormal::OnLButtonDblClk(CUbRenderWnd* wnd, UINT, const CPoint&) {
  if (wnd) wnd->ZoomAll(0);
}

void CUbActionNormal::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  if (!wnd) return;
  OnMouseMoveSub(wnd, flags, pt);
  OnMouseMovePre(wnd, flags, pt);
  if (m_nStep == kBand) wnd->SetRubberBand(wnd->GetRubberBandPress(), pt, true);
  CUbManage* manage = GetManage(wnd);
  if (manage && m_snapPointManage.IsDragging() && manage->IsSnapWhileDrag()) manage->CheckOsnapSub(wnd, 3);
  CUbActionBase::OnMouseMove(wnd, flags, pt);
}

void CUbActionNormal::OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) {
  OnMouseWheelActionSub(wnd, flags, delta, pt);
}

void CUbActionNormal::CancelCmd(CUbRenderWnd* wnd) {
  m_bPressPending = false;
  m_snapPointManage.CancelDrag();
  if (wnd) wnd->SetRubberBand(wnd->GetRubberBandPress(), wnd->GetRubberBandRelease(), false);
  CUbActionBase::CancelCmd(wnd);
}

void CUbActionNormal::RenderPre(CUbRenderWnd* wnd) { m_snapPointManage.RenderPre(wnd); }

void CUbActionNormal::RenderPost(CUbRenderWnd* wnd, int flag) {
  CUbActionBase::RenderPost(wnd, flag);
  if (!wnd) return;
  m_snapPointManage.RenderPost(wnd);
  if (!wnd->IsRubberBandActive()) return;
  const CVector a = wnd->ClientToExt(wnd->GetRubberBandPress(), 0.0);
  const CVector b = wnd->ClientToExt(wnd->GetRubberBandRelease(), 0.0);
  // The band's corners in model space: the other two share one plane coordinate with each.
  const CVector c = wnd->ClientToExt(CPoint(wnd->GetRubberBandRelease().x, wnd->GetRubberBandPress().y), 0.0);
  const CVector d = wnd->ClientToExt(CPoint(wnd->GetRubberBandPress().x, wnd->GetRubberBandRelease().y), 0.0);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  // A crossing band (drawn right to left) is dashed, a window band solid.
  const bool crossing = wnd->GetRubberBandRelease().x < wnd->GetRubberBandPress().x;
  if (crossing) {
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0x0F0F);
  }
  glColor3d(1.0, 1.0, 1.0);
  glBegin(GL_LINE_LOOP);
  glVertex3d(a.x, a.y, a.z);
  glVertex3d(c.x, c.y, c.z);
  glVertex3d(b.x, b.y, b.z);
  glVertex3d(d.x, d.y, d.z);
  glEnd();
  if (crossing) glDisable(GL_LINE_STIPPLE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}
