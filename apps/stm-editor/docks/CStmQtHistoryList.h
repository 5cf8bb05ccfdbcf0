// The History dock: the undo history as a list from the model as opened to the last step that
// can be redone, the current state marked; a click undoes or redoes to the step clicked.
#pragma once

#include <QListWidget>

class CStmUbManager;

class CStmQtHistoryList : public QListWidget {
  Q_OBJECT
public:
  explicit CStmQtHistoryList(CStmUbManager& manager, QWidget* parent = nullptr);
  void Refresh();
  // Undoes or redoes until the row is the current state; false when a step would not replay.
  bool GoTo(int row);

signals:
  // Undo and redo moved along the history to this depth (the modified state follows it).
  void Moved(int depth);
  void Changed();

private:
  CStmUbManager& m_manager;
};
