// The pan action: the view follows the mouse while the left button is held.
#pragma once

#include "host/framework/CUbActionBase.h"

class CUbActionZoomMove : public CUbActionBase {
public:
  enum { kIdle = 0, kDragging = 1 };

  // Sets the step (the first slot after the base's).
  virtual void SetActionState(int step);

  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;

private:
  CPoint m_ptLast;
};
