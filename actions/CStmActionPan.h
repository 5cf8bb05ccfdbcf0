// The pan tool: the view follows the mouse while the left button is held.
#pragma once

#include "host/framework/CUbActionZoomMove.h"

class CStmActionPan : public CUbActionZoomMove {
public:
  void SetActionState(int step) override;
  void OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;
  // The move cursor belongs to the pan: leaving the tool gives the arrow back.
  void ReleaseAction(CUbRenderWnd* wnd) override;
};
