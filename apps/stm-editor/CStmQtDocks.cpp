// The four docks that show the model, made and wired to the window's manager.
#include "CStmQtDocks.h"

#include <QDockWidget>
#include <QMainWindow>

#include "docks/CStmQtHistoryList.h"
#include "docks/CStmQtModelTree.h"
#include "docks/CStmQtPropertyGrid.h"
#include "docks/CStmQtResultsPanel.h"
#include "docks/StmQtText.h"

CStmQtDocks::CStmQtDocks(QMainWindow& window, CStmUbManager& manager, CStmModel& model)
    : QObject(&window), m_manager(manager), m_model(model) {
  m_pProperties = new CStmQtPropertyGrid(manager);
  m_pTree = new CStmQtModelTree(manager);
  m_pResults = new CStmQtResultsPanel(manager);
  m_pHistory = new CStmQtHistoryList(manager);
  AddDock(window, "propertiesDock", "Properties", m_pProperties, Qt::RightDockWidgetArea);
  AddDock(window, "modelTreeDock", "Model tree", m_pTree, Qt::LeftDockWidgetArea);
  AddDock(window, "resultsDock", "Results", m_pResults, Qt::RightDockWidgetArea);
  AddDock(window, "historyDock", "History", m_pHistory, Qt::LeftDockWidgetArea);
  // An edit in one dock shows in all of them before the window hears of it.
  const auto changed = [this] {
    Refresh();
    emit Changed();
  };
  connect(m_pProperties, &CStmQtPropertyGrid::Edited, this, changed);
  connect(m_pHistory, &CStmQtHistoryList::Changed, this, changed);
  connect(m_pHistory, &CStmQtHistoryList::Moved, this, &CStmQtDocks::HistoryMoved);
  // A selection from the tree changes what Properties shows, not the tree itself.
  connect(m_pTree, &CStmQtModelTree::Changed, this, [this] {
    m_pProperties->Refresh();
    emit Changed();
  });
  connect(m_pResults, &CStmQtResultsPanel::Changed, this, &CStmQtDocks::Changed);
  connect(m_pResults, &CStmQtResultsPanel::CaseChosen, this, &CStmQtDocks::ResultCaseChosen);
}

CStmQtDocks::~CStmQtDocks() = default;

QDockWidget* CStmQtDocks::AddDock(QMainWindow& window, const char* name, const char* title, QWidget* content,
                                  Qt::DockWidgetArea area) {
  auto* dock = new QDockWidget(StmQtText(title), &window);
  dock->setObjectName(name);
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  dock->setWidget(content);
  window.addDockWidget(area, dock);
  m_docks.append(dock);
  return dock;
}

void CStmQtDocks::Refresh() {
  m_pProperties->Refresh();
  m_pTree->Refresh();
  m_pResults->Refresh();
  m_pHistory->Refresh();
}

void CStmQtDocks::SetEditable(bool editable) {
  m_bEditable = editable;
  m_pProperties->SetEditable(editable);
  m_pHistory->setEnabled(editable);
  m_pResults->setEnabled(editable);
}
