// The History dock's list and its clicks.
#include "docks/CStmQtHistoryList.h"

#include <QFont>

#include "docks/StmQtText.h"
#include "host/platform/CUiHost.h"
#include "manager/CStmUbManager.h"

CStmQtHistoryList::CStmQtHistoryList(CStmUbManager& manager, QWidget* parent)
    : QListWidget(parent), m_manager(manager) {
  setObjectName("historyList");
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { GoTo(row(item)); });
  Refresh();
}

void CStmQtHistoryList::Refresh() {
  const QSignalBlocker blocker(this);
  clear();
  const int undo = m_manager.GetUndoCount(), redo = m_manager.GetRedoCount();
  // Row 0 is the model before any step kept; the history drops empty steps, so every row changed something.
  addItem(StmQtText("Opened"));
  for (int i = 0; i < undo; ++i) addItem(QString::fromUtf8(m_manager.GetUndoCaption(i).c_str()));
  for (int i = 0; i < redo; ++i) {
    auto* step = new QListWidgetItem(QString::fromUtf8(m_manager.GetRedoCaption(i).c_str()), this);
    // Steps that were undone read as the future: greyed until redone.
    step->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
  }
  QListWidgetItem* current = item(undo);
  QFont font = current->font();
  font.setBold(true);
  current->setFont(font);
  current->setText(QString::fromUtf8("\u25b6 ") + current->text());
  setCurrentRow(undo);
}

bool CStmQtHistoryList::GoTo(int target) {
  bool replayed = true;
  int undo = m_manager.GetUndoCount();
  if (target < 0 || target > undo + m_manager.GetRedoCount() || target == undo) return false;
  // Going back past an analysis would leave forces of another truss on screen.
  if (const CStmModel* model = m_manager.GetStmModel(); model && model->IsLock()) {
    GetUiHost().SetStatusText(StmLockedModelText());
    Refresh();
    return false;
  }
  while (replayed && undo > target) replayed = m_manager.Undo() == 1, undo = m_manager.GetUndoCount();
  while (replayed && undo < target) replayed = m_manager.Redo() == 1, undo = m_manager.GetUndoCount();
  Refresh();
  emit Moved(m_manager.GetUndoCount());
  emit Changed();
  return replayed;
}
