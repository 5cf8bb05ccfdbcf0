// The default action: selects by click, window and crossing band, and drags the grips of the
// selected nodes and elements, mending the topology where a grip is dropped.
#pragma once

#include <vector>

#include "host/framework/CUbActionNormal.h"

class CStmUbManager;

class CStmActionNormal : public CUbActionNormal {
public:
  CStmActionNormal();

  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnTimer(CUbRenderWnd* wnd) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;

private:
  // Returns true when the press belonged to grip editing.
  bool OnGripPress(CUbRenderWnd* wnd, CStmUbManager& manager, UINT flags, const CPoint& pt);
  void ApplyGripMoves(CStmUbManager& manager);
  // The pick at the release of a band or a click.
  void SelectAtRelease(CUbRenderWnd* wnd, CStmUbManager& manager, UINT flags, const CPoint& pt);

  // Keys of the elements that ended at the dragged node when its drag began.
  std::vector<CString> m_arInvolvedElement;
};
