#include "CStmQtCommandArea.h"

#include "CStmMainWindow.h"

CStmQtCommandArea::CStmQtCommandArea(CStmMainWindow& window) : QObject(&window), m_window(window) {}

void CStmQtCommandArea::AddCommands(CStmCommandTable&) {}
