#include "CStmQtFileCommands.h"

#include "CStmMainWindow.h"

void CStmQtFileCommands::AddHandlers(Handlers&) {}
