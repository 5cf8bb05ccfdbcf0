// The rotate tool: the first point is the centre; the angle then comes from the angle dialog, or
// from a second click, which turns the selection towards it.
#pragma once

#include "actions/CStmActionMove.h"
#include "geometry/CDPoint.h"

class CStmActionRotate : public CStmActionMove {
public:
  CStmActionRotate();

  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnLineCompleted(CUbRenderWnd* wnd) override;

  // The axis that turns the model's plane counter-clockwise as the user sees it, so that the
  // angle typed or shown is the angle the selection turns by, in every view.
  static CVector GetAxis(int plane);
  // The in-plane direction of a model vector for that plane.
  static CDPoint GetPlaneDirection(int plane, const CVector& v);

protected:
  CVector PreviewPoint(const CVector& p, const CVector& start, const CVector& end) const override;
  CString StartPrompt() const override;

private:
  int m_nPlane = 0;
};
