// The selection action: a press starts a rubber band (point, window or crossing pick at the
// release), grips of the selection can be dragged, and the wheel zooms at the cursor.
#pragma once

#include "host/framework/CSnapPointManage.h"
#include "host/framework/CUbActionBase.h"

class CUbActionNormal : public CUbActionBase {
public:
  enum { kIdle = 0, kBand = 1 };

  void RenderPost(CUbRenderWnd* wnd, int flag) override;
  void RenderPre(CUbRenderWnd* wnd) override;
  // A press only records where it happened; derived select actions decide between grips and
  // a band (SetActionNone).
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  // Ends a band with the framework's selection and tells the grips.
  void OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  // Fits the view to its range.
  void OnLButtonDblClk(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) override;
  void CancelCmd(CUbRenderWnd* wnd) override;

  // Starts a selection gesture at a press: the band runs until the release.
  void SetActionNone(CUbRenderWnd* wnd, const CPoint& pt);
  CSnapPointManage& GetSnapPointManage() { return m_snapPointManage; }
  int IsPressPending() const { return m_bPressPending ? 1 : 0; }
  void SetPressPending(int pending) { m_bPressPending = pending != 0; }
  // Set: the release leaves the selection to SelectEttOnLButtonUp.
  int IsSelectMode() const { return m_bSelectMode ? 1 : 0; }
  void SetSelectMode(int on) { m_bSelectMode = on != 0; }

private:
  CSnapPointManage m_snapPointManage;
  bool m_bPressPending = false;
  bool m_bSelectMode = true;
};
