// The editor's selection command.
#include "CStmEditorSelectAction.h"

void CStmEditorSelectAction::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionNormal::OnLButtonDown(wnd, flags, pt);
  SetActionNone(wnd, pt);
}
