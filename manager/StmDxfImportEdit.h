// A DXF drawing put into the scene's model as one edit: its outlines as boundary entities with
// their records, in one undo step.
#pragma once

#include <string>

#include "host/model/StmDxfImport.h"

class CStmUbManager;

// False with the reason in error, and nothing changed, without a model or when the model has an
// outer outline already. Guidelines go into the view settings, which undo does not touch.
bool StmImportDxfDrawing(CStmUbManager& manager, const SStmDxfDrawing& drawing, std::string& error);
