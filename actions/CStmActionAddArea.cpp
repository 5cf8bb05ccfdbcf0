// The property-area tool.
#include "actions/CStmActionAddArea.h"

int CStmActionAddArea::RunAcition(CUbRenderWnd* wnd) { return MakeAreaBySelectedElement(wnd); }
