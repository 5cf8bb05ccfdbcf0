// The offset tool: parallel copies of the selected element at the distance and count of the
// offset dialog, on the side of the element that the user clicks.
#pragma once

#include "host/framework/CUbActionBase.h"

class CStmUbManager;
class CStmObjElement;

class CStmActionOffset : public CUbActionBase {
public:
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;

  // The most copies one click makes; more would be a typing slip, not a model.
  static constexpr int kMaxIterations = 1000;

private:
  // The copies of source at distance, 2 distance, ... (a negative distance: the other side);
  // one undo step for all of them.
  void MakeCopies(CStmUbManager& manager, const CStmObjElement& source, double distance, int count);
};
