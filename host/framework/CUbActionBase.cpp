// Working defaults of every action slot.
#include "host/framework/CUbActionBase.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/platform/CUiHost.h"

namespace {
constexpr double kWheelZoomPerNotch = 1.2;
constexpr int kWheelNotch = 120;
}  // namespace

CUbManage* CUbActionBase::GetManage(CUbRenderWnd* wnd) { return wnd ? wnd->GetManage() : nullptr; }

UINT CUbActionBase::GetRegMsgStatusToolTip() { return WM_USER + 501; }

void CUbActionBase::OnMouseMoveSub(CUbRenderWnd*, UINT, const CPoint& pt) { ResetMousePos(pt); }

void CUbActionBase::MButtonPerspective(CUbRenderWnd* wnd, UINT, const CPoint& pt) {
  if (!wnd || !m_bMiddleDrag) return;
  wnd->Pan(pt.x - m_ptMiddleLast.x, pt.y - m_ptMiddleLast.y);
  m_ptMiddleLast = pt;
}

int CUbActionBase::GetVectorCurLine(CUbRenderWnd*, CVector& from, CVector& to) {
  if (!m_bVectorLine) return 0;
  from = m_vLineFrom;
  to = m_vLineTo;
  return 1;
}

int CUbActionBase::OnKeboadInput(CUbRenderWnd* wnd, UINT flags, const CPoint& pt, CVector& out) {
  // A real press always carries the button flag; a click without it was typed.
  if (!wnd || (flags & MK_LBUTTON)) return 0;
  // The pixel of a typed point is only near it; the manager knows the value itself.
  CUbManage* manage = GetManage(wnd);
  if (manage && manage->TakeTypedPoint(out)) return 1;
  out = wnd->ClientToExt(pt, 0.0);
  return 1;
}

int CUbActionBase::GetSnapPoint(CUbRenderWnd* wnd, CVector& out, const CPoint& pt, int which, UINT flags, long mask) {
  CUbManage* manage = GetManage(wnd);
  if (!manage) return 0;
  if (OnKeboadInput(wnd, flags, pt, out)) return 1;
  if (manage->GetOSnapPoint(wnd, manage->GetRectCursor(pt), out, manage->GetOSnapMode() & mask, 1, 1)) return 1;
  if (which != 1 || !wnd->GetVHDraw()) return 0;
  // Orthogonal drawing: keep the larger in-plane offset from the start point, drop the other.
  const CVector start = manage->GetStartPoint();
  const CVector cursor = wnd->ClientToExt(pt, 0.0);
  double su = 0.0, sv = 0.0, cu = 0.0, cv = 0.0;
  wnd->ModelToPlane(start, su, sv);
  wnd->ModelToPlane(cursor, cu, cv);
  CVector result = start;
  const bool horizontal = std::fabs(cu - su) >= std::fabs(cv - sv);
  switch (wnd->GetViewPos()) {
    case CUbRenderWnd::VIEW_POS_YZ: (horizontal ? result.y : result.z) = horizontal ? cu : cv; break;
    case CUbRenderWnd::VIEW_POS_XZ: (horizontal ? result.x : result.z) = horizontal ? cu : cv; break;
    default: (horizontal ? result.x : result.y) = horizontal ? cu : cv; break;
  }
  out = result;
  return 1;
}

void CUbActionBase::SetActionCmd(long cmd, const CString& text) {
  m_nActionCmd = cmd;
  m_strActionCmd = text;
}

void CUbActionBase::RenderPost(CUbRenderWnd* wnd, int flag) {
  if (!wnd || !flag || !m_bVectorLine) return;
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  glColor3d(1.0, 1.0, 1.0);
  CUbRenderAPI::DrawLine(m_vLineFrom, m_vLineTo);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

void CUbActionBase::RenderPre(CUbRenderWnd*) {}

void CUbActionBase::InitAction(CUbRenderWnd*) {
  m_nStep = 0;
  m_bVectorLine = false;
  SetActionCmd(0, CString());
}

void CUbActionBase::ReleaseAction(CUbRenderWnd* wnd) {
  m_bVectorLine = false;
  m_bMiddleDrag = false;
  if (m_bTimerSet) GetUiHost().KillTimer(kHoverTimerId);
  m_bTimerSet = false;
  m_bHoverPending = false;
  if (wnd) wnd->Invalidate();
}

void CUbActionBase::OnLButtonDown(CUbRenderWnd*, UINT, const CPoint& pt) { SetMouseClickPos(pt); }
void CUbActionBase::OnLButtonUp(CUbRenderWnd*, UINT, const CPoint&) {}
void CUbActionBase::OnLButtonDblClk(CUbRenderWnd*, UINT, const CPoint&) {}
void CUbActionBase::OnRButtonDown(CUbRenderWnd*, UINT, const CPoint&) {}

// The right button ends whatever the action is doing.
void CUbActionBase::OnRButtonUp(CUbRenderWnd* wnd, UINT, const CPoint&) { CancelCmd(wnd); }

void CUbActionBase::OnMouseMovePre(CUbRenderWnd* wnd, UINT, const CPoint& pt) {
  if (CUbManage* manage = GetManage(wnd)) manage->GetCursorPoint() = wnd->ClientToExt(pt, 0.0);
}

void CUbActionBase::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  if (!wnd) return;
  if (m_bMiddleDrag && (flags & MK_MBUTTON)) MButtonPerspective(wnd, flags, pt);
  // The hover pick waits until the mouse rests.
  GetUiHost().SetTimer(kHoverTimerId, kHoverDelayMs);
  m_bTimerSet = true;
  m_bHoverPending = true;
  wnd->Invalidate();
}

void CUbActionBase::OnMButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) { OnMButtonDownSub(wnd, flags, pt); }
void CUbActionBase::OnMButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) { OnMButtonUpSub(wnd, flags, pt); }

void CUbActionBase::OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) {
  OnMouseWheelActionSub(wnd, flags, delta, pt);
}

void CUbActionBase::OnMButtonDownSub(CUbRenderWnd*, UINT, const CPoint& pt) {
  m_bMiddleDrag = true;
  m_ptMiddleLast = pt;
}

void CUbActionBase::OnMButtonUpSub(CUbRenderWnd*, UINT, const CPoint&) { m_bMiddleDrag = false; }

void CUbActionBase::OnMouseWheelActionSub(CUbRenderWnd* wnd, UINT, short delta, const CPoint& pt) {
  if (!wnd || delta == 0) return;
  // Rolling forward brings the model closer: fewer model units per pixel.
  wnd->ZoomAt(pt, std::pow(kWheelZoomPerNotch, -static_cast<double>(delta) / kWheelNotch));
}

void CUbActionBase::HoverPick(CUbRenderWnd* wnd) {
  CUbManage* manage = GetManage(wnd);
  if (!manage) return;
  const CSize box(manage->GetSelectSize().cx * 2, manage->GetSelectSize().cy * 2);
  wnd->HoverPoint(GetMouseMovePos(), box);
}

void CUbActionBase::OnTimer(CUbRenderWnd* wnd) {
  GetUiHost().KillTimer(kHoverTimerId);
  m_bTimerSet = false;
  if (!m_bHoverPending) return;
  m_bHoverPending = false;
  HoverPick(wnd);
  ModifySelectionChange(wnd);
}

int CUbActionBase::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_ARROW);
  return 1;
}

void CUbActionBase::OnKeyDown(CUbRenderWnd* wnd, UINT key, UINT, UINT) {
  switch (static_cast<int>(key)) {
    case VK_ESCAPE: CancelCmd(wnd); break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (wnd) wnd->MovePerspectivePos(key);
      break;
    default: break;
  }
}

void CUbActionBase::CancelCmd(CUbRenderWnd* wnd) {
  m_nStep = 0;
  m_bVectorLine = false;
  SetActionCmd(0, CString());
  if (wnd) wnd->Invalidate();
}

int CUbActionBase::IsEnableContextMeun() { return 1; }
int CUbActionBase::OnCommandMessage(CUbRenderWnd*, UINT) { return 0; }
int CUbActionBase::OnCommandMessagePrev(CUbRenderWnd*, UINT) { return 0; }
void CUbActionBase::OnStatusMessage(const CString& text) { GetUiHost().SetStatusText(text); }
int CUbActionBase::DoKewordInput(CUbRenderWnd*, const CString&) { return 0; }
int CUbActionBase::IsCmdAct() { return 0; }

void CUbActionBase::RenderVectorLine(CUbRenderWnd* wnd, const CVector& from, const CVector& to) {
  m_bVectorLine = true;
  m_vLineFrom = from;
  m_vLineTo = to;
  if (wnd) wnd->Invalidate();
}

int CUbActionBase::ModifySelectionChange(CUbRenderWnd* wnd) {
  CUbManage* manage = GetManage(wnd);
  if (!manage) return 0;
  CString keys;
  for (const auto& entry : manage->GetHoverMap()) {
    keys += entry.first;
    keys += ';';
  }
  if (keys == m_strHoverKeys) return 0;
  m_strHoverKeys = keys;
  manage->InvalidateAllWnd();
  return 1;
}

void CUbActionBase::SelectEttOnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbManage* manage = GetManage(wnd);
  if (!manage) return;
  const CPoint press = wnd->GetRubberBandPress();
  const int width = std::abs(pt.x - press.x);
  const int height = std::abs(pt.y - press.y);
  const int ctrl = static_cast<int>(flags & MK_CONTROL);
  CMapStringToPtr* selection = &manage->GetSelectMap();
  const long mode = 2;
  if (width < 3 || height < 3 || pt == press) {
    const CSize box(manage->GetSelectSize().cx * 2, manage->GetSelectSize().cy * 2);
    wnd->SelectionPoint(pt, box, 1, ctrl, selection, mode);
  } else if (pt.x < press.x) {
    // Right to left: everything the band touches.
    const CPoint centre((press.x + pt.x) / 2, (press.y + pt.y) / 2);
    wnd->SelectionPoint(centre, CSize(width <= 5 ? 5 : width, height <= 5 ? 5 : height), -1, ctrl, selection, mode);
  } else {
    wnd->SelectionRect(press, pt, 1, ctrl, selection, mode);
  }
  wnd->SetRubberBand(press, pt, false);
}
