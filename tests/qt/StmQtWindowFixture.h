// The Qt editor's main window for a test: started on a model (or none) in a settings folder of
// the test's own, and driven as a user drives it: toolbar buttons, clicks in the view, answers
// to the message boxes that a step opens.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHelpEvent>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QWheelEvent>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CStmMainWindow.h"
#include "CStmQtRenderWidget.h"
#include "StmQtGridInput.h"
#include "entities/CStmEntityGridPoint.h"
#include "host/framework/CUbActionBase.h"
#include "host/model/CStmModelFile.h"

// A model point in the x-z plane, where the tests draw.
inline CVector At(double x, double z) { return CVector(x, 0.0, z); }

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
    // The dock below the view comes with the tool and takes its height from the view.
    QTest::qWait(50);
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

  // A click at a view pixel, sent to the main window where the X server sends it: the window
  // must hand it past the GL window over the view to the view.
  static void ClickView(CStmMainWindow& window, QPoint at) {
    QWindow* top = window.windowHandle();
    const QPoint onTop = window.View()->mapTo(&window, at);
    QTest::mouseMove(top, onTop);
    QTest::qWait(20);
    QTest::mouseClick(top, Qt::LeftButton, Qt::NoModifier, onTop);
    QTest::qWait(20);
  }

  // A model point as the view's pixel, and a click there.
  static QPoint Px(CStmMainWindow& window, const CVector& p) {
    const CPoint at = window.RenderWnd().ExtToClient(p);
    return QPoint(at.x, at.y);
  }
  static void Click(CStmMainWindow& window, const CVector& p) { ClickView(window, Px(window, p)); }
  // A key pressed in the view, sent to the main window as the X server does. Shortcuts reach only
  // the active window, which a closed box does not always give back where no window manager runs.
  static void Key(CStmMainWindow& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (!window.isActiveWindow()) {
      window.activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QTest::keyClick(window.windowHandle(), static_cast<Qt::Key>(key), modifiers);
    QTest::qWait(20);
  }
  static std::string Status(CStmMainWindow& window) { return window.StatusMessage().toStdString(); }

  // Notches of the wheel over a pixel of a widget; positive ones roll away from the user.
  static void Wheel(QWidget* widget, QPointF at, int notches) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
    QTest::qWait(20);
  }
  static void Wheel(CStmMainWindow& window, const CVector& p, int notches) {
    Wheel(window.View(), Px(window, p), notches);
  }
  // A drag in the view: with the left button a window that selects.
  static void Drag(CStmMainWindow& window, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* view = window.View();
    QTest::mouseMove(view, from);
    QTest::mousePress(view, button, Qt::NoModifier, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, button, Qt::NoModifier, to);
    QTest::qWait(20);
  }
  static void Drag(CStmMainWindow& window, const CVector& from, const CVector& to) {
    Drag(window, Px(window, from), Px(window, to));
  }

  // Rests the pointer on a model point until the scene's hover pick is made, then asks the view
  // for its tooltip as a resting pointer does: the tooltip's text without its markup.
  static QString TooltipAt(CStmMainWindow& window, const CVector& p) {
    const CPoint at = window.RenderWnd().ExtToClient(p);
    QTest::mouseMove(window.View(), QPoint(at.x, at.y));
    QTest::qWait(2 * CUbActionBase::kHoverDelayMs);
    QHelpEvent help(QEvent::ToolTip, QPoint(at.x, at.y), window.View()->mapToGlobal(QPoint(at.x, at.y)));
    QApplication::sendEvent(window.View(), &help);
    return QToolTip::isVisible() ? QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText() : QString();
  }

  // Runs `act` on the next modal dialog of type T that opens.
  template <class T>
  static void OnNextDialog(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      if (!dialog) return;
      timer->stop();
      timer->deleteLater();
      act(*dialog);
    });
    timer->start(50);
  }
  // Answers the message box that the next step opens with the button given, and keeps its text.
  static void AnswerNextBox(QMessageBox::StandardButton answer, QString* text) {
    OnNextDialog<QMessageBox>([answer, text](QMessageBox& box) {
      if (text) *text = box.text();
      box.button(answer)->click();
    });
  }

  // A model in the plane given of the nodes given and the elements between them (1-based ids).
  void SaveModel(const std::vector<CVector>& nodes, const std::vector<std::pair<int, int>>& elements,
                 EStmPlane plane = STM_PLANE_XZ) {
    CStmModel model;
    model.SetPlane(plane);
    for (const CVector& p : nodes) model.AddNode(p);
    for (const auto& [a, b] : elements) model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    Save(model);
  }
  // A square of 1000 mm, nodes 1-4 counter-clockwise from the origin, sides 1-4, and with
  // `diagonal` element 5 from node 1 to node 3.
  void SaveSquare(bool diagonal = false) {
    std::vector<std::pair<int, int>> elements{{1, 2}, {2, 3}, {3, 4}, {4, 1}};
    if (diagonal) elements.emplace_back(1, 3);
    SaveModel({At(0, 0), At(1000, 0), At(1000, 1000), At(0, 1000)}, elements);
  }
  std::unique_ptr<CStmMainWindow> StartOnSquare(bool diagonal = false) {
    SaveSquare(diagonal);
    return Start(m_path);
  }

  // The model file a test starts from, written by Save and read back by Saved.
  void Save(CStmModel& model) const {
    std::string error;
    ASSERT_TRUE(CStmModelFile::Save(m_path, model, &error)) << error;
  }
  std::unique_ptr<CStmModel> Saved() const {
    auto model = std::make_unique<CStmModel>();
    std::string error;
    EXPECT_TRUE(CStmModelFile::Load(m_path, *model, &error)) << error;
    return model;
  }
  // Ctrl+S, and the model as the file now holds it.
  std::unique_ptr<CStmModel> Saved(CStmMainWindow& window) const {
    Key(window, Qt::Key_S, Qt::ControlModifier);
    return Saved();
  }

  QTemporaryDir m_config;
  const std::string m_path = m_config.filePath("model.stm.json").toStdString();
};
