// The paste tool: every picked point gets a copy of the clipboard, its paste origin there,
// merging with what already lies where the copy lands. It stays active for further pastes.
#pragma once

#include "host/framework/CUbActionBase.h"

class CStmUbManager;

class CStmActionPaste : public CUbActionBase {
public:
  // The main window's message that a paste changed the model (wParam 111).
  static constexpr UINT kMsgModelChanged = WM_USER + 2;

  void RenderPost(CUbRenderWnd* wnd, int flag) override;
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) override;
  void OnTimer(CUbRenderWnd* wnd) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;

private:
  void PromptPosition();
};
