// The Qt editor's main window driven as a user drives it: toolbar buttons, clicks in the view,
// keys, the question on close, the layout kept across a restart, frames drawn only on demand.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <memory>

#include "CStmMainWindow.h"
#include "StmQtWindowFixture.h"
#include "CStmQtRenderWidget.h"
#include "entities/CStmEntityGridPoint.h"
#include "host/model/CStmModelFile.h"

using StmQtMainWindow = StmQtWindowTest;

// With nothing happening the editor draws nothing: no hover timer, no animation, no busy loop.
TEST_F(StmQtMainWindow, IdleEditorPaintsNoFrameOverTenSeconds) {
  auto window = Start(STM_SOURCE_DIR "/examples/corbel.stm.json");
  QTest::qWait(1000);
  const int settled = window->PaintCount();
  EXPECT_GT(settled, 0);
  QTest::qWait(10000);
  EXPECT_EQ(window->PaintCount(), settled);
  // A change does draw, once.
  QTest::keyClick(window->View(), Qt::Key_Up);
  QTest::qWait(200);
  EXPECT_EQ(window->PaintCount(), settled + 1);
}

// Toolbars moved and hidden, a dock moved, and the window's size come back at the next start.
TEST_F(StmQtMainWindow, LayoutRestoredAfterRestartAndTheLengthDialogTakesTheTypedLength) {
  {
    auto first = Start();
    first->addToolBar(Qt::BottomToolBarArea, first->ToolBar("toolbar.view"));
    first->ToolBar("toolbar.modify")->hide();
    auto* panel = first->findChild<QDockWidget*>("dock.viewControl");
    ASSERT_NE(panel, nullptr);
    first->addDockWidget(Qt::RightDockWidgetArea, panel);
    first->resize(1300, 1100);
    QTest::qWait(100);
    EXPECT_TRUE(first->close());
  }
  auto window = Start();
  EXPECT_EQ(window->toolBarArea(window->ToolBar("toolbar.view")), Qt::BottomToolBarArea);
  EXPECT_FALSE(window->ToolBar("toolbar.modify")->isVisible());
  EXPECT_TRUE(window->ToolBar("toolbar.draw")->isVisible());
  EXPECT_EQ(window->size(), QSize(1300, 1100));
  EXPECT_EQ(window->dockWidgetArea(window->findChild<QDockWidget*>("dock.viewControl")), Qt::RightDockWidgetArea);

  // A tool's modal dialog as a Qt dialog from its control table: an element drawn while lengths
  // are asked for gets the length typed; a letter is refused in the field; Esc on the next one
  // draws nothing.
  window->Action("draw.askLength")->trigger();
  ClickTool(*window, "toolbar.draw", "draw.element");
  const int w = window->View()->width(), h = window->View()->height();
  const QPoint a = OnGrid(*window, {w / 4, h / 2}), b = OnGrid(*window, {3 * w / 4, h / 2});
  QString shownText;
  OnNextDialog<QDialog>([&shownText](QDialog& dialog) {
    auto* edit = dialog.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    shownText = edit->text();
    edit->selectAll();
    QTest::keyClicks(edit, "x2500");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  ClickView(*window, a);
  ClickView(*window, b);
  EXPECT_GT(shownText.toDouble(), 0.0) << shownText.toStdString();
  CStmModel& model = window->Model();
  ASSERT_EQ(model.GetCountElement(1), 1);
  const CStmObjElement* element = model.GetElements().begin()->second;
  EXPECT_NEAR((element->GetNodeEnd()->GetCoord() - element->GetNodeBegin()->GetCoord()).Length(), 2500.0, 1e-6);

  OnNextDialog<QDialog>([](QDialog& dialog) { QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Escape); });
  ClickView(*window, OnGrid(*window, {300, 200}));
  ClickView(*window, OnGrid(*window, {600, 200}));
  EXPECT_EQ(model.GetCountElement(1), 1);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
}

// Work survives a kill: the program, with a short autosave interval, has its model changed by
// the mouse and keys (a part selected with a window, then deleted) and is killed with SIGKILL
// once the recovery copy is written; the next start offers the copy, and taking it shows the
// changed model, still marked as differing from its file.
TEST_F(StmQtMainWindow, AutosaveOfferedAfterTheEditorIsKilled) {
  {
    // An autosave that writes no copy (the interface without its implementation) has nothing to
    // offer; the rest of the chain waits for it.
    CStmAutosave probe(CStmMainWindow::SettingsDir().toStdString(), std::chrono::milliseconds(0));
    const auto write = [](const std::string& path, std::string&) {
      return QFile(QString::fromStdString(path)).open(QIODevice::WriteOnly);
    };
    std::string error;
    const auto now = CStmAutosave::Clock::now();
    bool writes = probe.Tick(now, true, std::string(), write, error);
    writes = probe.Tick(now + std::chrono::seconds(1), true, std::string(), write, error) || writes;
    probe.Discard();
    if (!writes) GTEST_SKIP() << "this build's autosave writes no recovery copy";
  }
  // Where the drawing lies in the window, which the program takes over with the layout.
  QRect view;
  {
    auto first = Start();
    QTest::qWait(100);
    view = QRect(first->View()->mapTo(first.get(), QPoint(0, 0)), first->View()->size());
    EXPECT_TRUE(first->close());
  }
  const QString model = STM_SOURCE_DIR "/examples/corbel.stm.json";
  QProcess editor;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", m_config.path());
  editor.setProcessEnvironment(environment);
  editor.start(STM_EDITOR_EXE, {model, "--size", "1024x768", "--autosave", "1"});
  ASSERT_TRUE(editor.waitForStarted());
  const auto xdotool = [](const QStringList& args) {
    QProcess run;
    run.start("xdotool", args);
    return run.waitForFinished(20000) && run.exitCode() == 0 ? QString::fromUtf8(run.readAllStandardOutput()).trimmed()
                                                             : QString();
  };
  const QString window = xdotool({"search", "--sync", "--onlyvisible", "--name", "stm-editor - corbel"}).section('\n', 0, 0);
  ASSERT_FALSE(window.isEmpty());
  QTest::qWait(500);
  xdotool({"windowfocus", "--sync", window});
  // A window dragged from right to left over the whole view selects everything it crosses.
  const auto moveTo = [&](const QPoint& p, const QStringList& then) {
    xdotool(QStringList{"mousemove", "--window", window, QString::number(p.x()), QString::number(p.y())} + then);
  };
  moveTo(view.topRight() + QPoint(-10, 10), {"mousedown", "1"});
  moveTo(view.center(), {});
  moveTo(view.bottomLeft() + QPoint(10, -10), {"mouseup", "1"});
  xdotool({"key", "Delete"});

  const QDir config(m_config.path() + "/stm-editor");
  QStringList copies;
  for (int i = 0; i < 100 && copies.isEmpty(); ++i) {
    QTest::qWait(100);
    copies = config.entryList({"recovery*.stm.json"}, QDir::Files);
  }
  ASSERT_FALSE(copies.isEmpty()) << "no recovery copy was written";
  editor.kill();
  ASSERT_TRUE(editor.waitForFinished());

  auto window2 = Start();
  QString offered;
  OnNextDialog<QMessageBox>([&offered](QMessageBox& box) {
    ASSERT_EQ(box.objectName(), "stmRecoveryOffer");
    offered = box.text();
    box.findChild<QAbstractButton*>("openRecovery")->click();
  });
  window2->OfferRecovery();
  EXPECT_TRUE(offered.contains("corbel")) << offered.toStdString();
  CStmModel original;
  ASSERT_TRUE(CStmModelFile::Load(model.toStdString(), original, nullptr));
  EXPECT_LT(window2->Model().GetCountElement(1), original.GetCountElement(1));
  EXPECT_TRUE(window2->Actions().IsModified());
  EXPECT_TRUE(window2->windowTitle().startsWith("stm-editor - corbel"));
  EXPECT_EQ(window2->Manager().CheckConsistency(), CString());
}
