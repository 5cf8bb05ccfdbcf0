// The element tool: a strut-and-tie element between two picked points, with the end nodes made
// where none stand (each splitting what it lands on); one undo step per element.
#pragma once

#include "actions/CStmActionAddLine.h"

class CStmActionAddElement : public CStmActionAddLine {
public:
  CStmActionAddElement() : CStmActionAddLine(1) {}

  void OnLineCompleted(CUbRenderWnd* wnd) override;
};
