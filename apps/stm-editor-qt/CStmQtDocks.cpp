#include "CStmQtDocks.h"

#include <QMainWindow>

CStmQtDocks::CStmQtDocks(QMainWindow& window, CStmUbManager& manager, CStmModel& model)
    : QObject(&window), m_manager(manager), m_model(model) {}

CStmQtDocks::~CStmQtDocks() = default;

void CStmQtDocks::Refresh() {}

void CStmQtDocks::SetEditable(bool editable) { m_bEditable = editable; }
