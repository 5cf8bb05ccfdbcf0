// The Qt editor's main window for a test: started on a model (or none) in a settings folder of
// the test's own, and driven as a user drives it: toolbar buttons, clicks in the view, answers
// to the message boxes that a step opens.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <memory>
#include <string>

#include "CStmMainWindow.h"
#include "CStmQtRenderWidget.h"
#include "docks/CStmQtPropertyGrid.h"
#include "entities/CStmEntityGridPoint.h"

// Double-clicks a cell of the Properties grid, types the text over what it holds and presses Enter.
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

// Every test keeps its settings, recent files and recovery copy in a folder of its own.
class StmQtWindowTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
  }

  std::unique_ptr<CStmMainWindow> Start(const std::string& model = std::string()) {
    CStmMainWindow::SOptions options;
    options.model = model;
    options.width = 900;
    options.height = 700;
    auto window = std::make_unique<CStmMainWindow>(options);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // Shortcuts reach only the active window.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    std::string error;
    EXPECT_TRUE(window->Open(error)) << error;
    QTest::qWait(100);
    return window;
  }

  // Clicks the button of a toolbar command, as a user would.
  static void ClickTool(CStmMainWindow& window, const QString& bar, const char* id) {
    QToolBar* toolBar = window.ToolBar(bar);
    ASSERT_NE(toolBar, nullptr);
    QWidget* button = toolBar->widgetForAction(window.Action(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  // The grid point nearest to a place in the view: a click in empty space snaps only to one.
  static QPoint OnGrid(CStmMainWindow& window, QPoint near) {
    QPoint best = near;
    int bestDistance = -1;
    for (const CString& key : window.Manager().GetGridPointKeys()) {
      const auto* point = dynamic_cast<CStmEntityGridPoint*>(window.Manager().GetEtt(key));
      if (!point) continue;
      const CPoint at = window.RenderWnd().ExtToClient(point->GetCoord());
      const int distance = (at.x - near.x()) * (at.x - near.x()) + (at.y - near.y()) * (at.y - near.y());
      if (bestDistance < 0 || distance < bestDistance) {
        bestDistance = distance;
        best = QPoint(at.x, at.y);
      }
    }
    EXPECT_GE(bestDistance, 0) << "no grid laid";
    return best;
  }

  static void ClickView(CStmMainWindow& window, QPoint at) {
    QTest::mouseMove(window.View(), at);
    QTest::qWait(20);
    QTest::mouseClick(window.View(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::qWait(20);
  }

  // Answers the message box that the next step opens with the button given, and keeps its text.
  static void AnswerNextBox(QMessageBox::StandardButton answer, QString* text) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, text] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      if (text) *text = box->text();
      timer->stop();
      timer->deleteLater();
      box->button(answer)->click();
    });
    timer->start(50);
  }

  QTemporaryDir m_config;
};
