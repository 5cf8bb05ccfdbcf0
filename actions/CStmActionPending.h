// Stands in for a tool whose command exists but whose action is not built yet: it says so on
// the status line instead of leaving the user's clicks without an answer.
#pragma once

#include "host/framework/CUbActionBase.h"

class CStmActionPending : public CUbActionBase {
public:
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;

private:
  void SayNotThere();
};
