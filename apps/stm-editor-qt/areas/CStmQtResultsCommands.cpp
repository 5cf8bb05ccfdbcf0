#include "CStmQtResultsCommands.h"

#include "CStmMainWindow.h"

void CStmQtResultsCommands::AddHandlers(Handlers&) {}
