// The guideline tool: a construction line between two picked points, for later points to snap
// to. Guidelines belong to the view, not to the model.
#pragma once

#include "actions/CStmActionAddLine.h"

class CStmActionAddGuideline : public CStmActionAddLine {
public:
  CStmActionAddGuideline() : CStmActionAddLine(0) {}

  void OnLineCompleted(CUbRenderWnd* wnd) override;
};
