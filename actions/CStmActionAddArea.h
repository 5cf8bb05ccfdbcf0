// The property-area tool: like the outline tools, a selected closed chain confirmed with the
// right button becomes an area, unless it crosses an area already there or ten exist.
#pragma once

#include "actions/CStmActionAddBoundary.h"

class CStmActionAddArea : public CStmActionAddBoundary {
public:
  int RunAcition(CUbRenderWnd* wnd) override;
};
