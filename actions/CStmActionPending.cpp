// A tool that is not there yet.
#include "actions/CStmActionPending.h"

#include "host/platform/StmText.h"

void CStmActionPending::InitAction(CUbRenderWnd* wnd) {
  CUbActionBase::InitAction(wnd);
  SayNotThere();
}

void CStmActionPending::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  SayNotThere();
}

void CStmActionPending::SayNotThere() {
  OnStatusMessage(StmText("This tool is not available yet; Esc returns to selection"));
}
