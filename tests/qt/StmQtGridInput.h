// Typing into the Properties grid as a user does: a double-click opens the cell's editor, the
// text replaces what it holds, Enter commits.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "docks/CStmQtPropertyGrid.h"

inline void TypeInGrid(CStmQtPropertyGrid& grid, const QString& group, const QString& name, const QString& text) {
  const QModelIndex cell = grid.FindValue(group, name);
  ASSERT_TRUE(cell.isValid()) << group.toStdString() << " / " << name.toStdString();
  QTreeView* view = grid.GetView();
  view->scrollTo(cell);
  const QPoint at = view->visualRect(cell).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
  auto* editor = view->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr) << "no editor opened on " << name.toStdString();
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  // The grid tells of the edit once the editor has closed, and lays its rows out after that: a
  // few turns of the event loop, however slow the machine (one wait may be a single turn).
  for (int turn = 0; turn < 4; ++turn) QTest::qWait(20);
}
