// The window's own colours follow the model's style, so that a dark scene does not sit in a
// light frame (menus, toolbars, docks, the status bar) nor a light one in a dark frame.
#pragma once

#include "host/model/CStmDataView.h"

// Sets the application's palette for the style; the same style again changes nothing.
void StmApplyQtLook(EStmTypeColor style);
