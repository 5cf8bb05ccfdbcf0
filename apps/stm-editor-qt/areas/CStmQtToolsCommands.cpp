#include "CStmQtToolsCommands.h"

#include "CStmMainWindow.h"

void CStmQtToolsCommands::AddHandlers(Handlers&) {}
