// The editor's selection command: the framework's selection action with every press starting
// a selection gesture, so that a click picks and a drag selects by window or crossing.
#pragma once

#include "host/framework/CUbActionNormal.h"

class CStmEditorSelectAction : public CUbActionNormal {
public:
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
};
