// The editor's everyday stories in the real window, by mouse, wheel and keys: selecting by clicks
// and windows, deleting, undo and save against the file on disk, the question on closing and its
// keys, panning and zooming, the grid laid again, an outline from elements, the light and dark
// looks, a support and a load from the Properties grid.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>

#include "CStmMainWindow.h"
#include "CStmQtDocks.h"
#include "CStmQtRenderWidget.h"
#include "StmQtWindowFixture.h"
#include "docks/CStmQtPropertyGrid.h"
#include "entities/CStmEntityObject.h"
#include "support/RenderCheck.h"
#include "support/StmSavedModel.h"

namespace {

// Model points of the square truss, in the x-z plane: 1000 mm sides and the diagonal 1-3.
const CVector kBottomMiddle = At(500.0, 0.0);
const CVector kEmpty = At(750.0, 250.0);

// Answers every message box that opens while it lives with a key, and keeps the last text.
class CKeyAnswer {
public:
  explicit CKeyAnswer(Qt::Key key) {
    QObject::connect(&m_timer, &QTimer::timeout, [this, key] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      // The box's button takes its click a moment after the key: one key per box.
      if (!box || !box->isVisible() || box == m_answered) return;
      m_answered = box;
      m_asked = box->text();
      QTest::keyClick(box, key);
    });
    m_timer.start(50);
  }
  const QString& Asked() const { return m_asked; }

private:
  QTimer m_timer;
  QPointer<QMessageBox> m_answered;
  QString m_asked;
};

class StmQtStories : public StmQtWindowTest {
protected:
  int ElementsOnDisk() const { return Saved()->GetCountElement(1); }

  static int Selected(CStmMainWindow& window) { return window.Manager().GetSelectMap().GetCount(); }
  static bool TitleMarked(CStmMainWindow& window) { return window.windowTitle().endsWith("*"); }
  // The mean of a pixel's channels, 0..255.
  static int Brightness(const QImage& image, QPoint at) {
    const QColor c = image.pixelColor(at);
    return (c.red() + c.green() + c.blue()) / 3;
  }
};

TEST_F(StmQtStories, AnOutlineFromSelectedElementsNeedsOneClosedLoop) {
  auto window = StartOnSquare(true);
  Wheel(*window, At(500, 500), -2);
  // With the diagonal the sides do not close into one loop.
  Drag(*window, At(-100, -100), At(1100, 1100));
  window->Action("edit.outlineFromElements")->trigger();
  EXPECT_NE(Status(*window).find("do not close"), std::string::npos) << Status(*window);
  {
    // A mark shows round the corner where the diagonal branches, just off its node and lines.
    const QImage picture = window->View()->grabFramebuffer();
    const QColor c = picture.pixelColor(Px(*window, At(0, 0)) + QPoint(-6, 6));
    EXPECT_GT(c.red(), c.green() + 60) << c.red() << "," << c.green() << "," << c.blue();
  }
  // Esc first: a click on the middle of a selected element would pick up its grip.
  Key(*window, Qt::Key_Escape);
  Click(*window, At(500, 500));
  Key(*window, Qt::Key_Delete);
  Drag(*window, At(-100, -100), At(1100, 1100));
  window->Action("edit.outlineFromElements")->trigger();
  EXPECT_NE(Status(*window).find("Outer outline made from 4 elements"), std::string::npos) << Status(*window);
  EXPECT_EQ(Selected(*window), 0);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
  const auto saved = Saved(*window);
  ASSERT_EQ(saved->GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(saved->GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0)->GetIdElements().size(), 4u);
}

// A middle drag pans; the wheel zooms about the cursor; the grid and the guidelines are laid again
// for the view: far out, the grid thins to points at least 30 pixels apart and reaches the left edge.
TEST_F(StmQtStories, MiddleDragPansTheWheelZoomsAboutTheCursorAndTheGridFollows) {
  SaveSquare(true);
  {
    const auto model = Saved();
    model->GetStmDataView()->SetGuideline(0, {250000.0});
    Save(*model);
  }
  auto window = Start(m_path);
  const auto guidelines = [&window] {
    return window->Manager().GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindGuideline));
  };
  EXPECT_EQ(guidelines(), 1);
  const QPoint before = Px(*window, kBottomMiddle);
  const double scale = window->RenderWnd().GetViewScale();
  // What was under the press is under the release.
  Drag(*window, before, before + QPoint(80, -60), Qt::MiddleButton);
  EXPECT_EQ(Px(*window, kBottomMiddle) - before, QPoint(80, -60));
  EXPECT_EQ(window->RenderWnd().GetViewScale(), scale);

  // Rolling away zooms in and keeps the point under the cursor where it was.
  const CVector corner = At(1000, 500);
  const QPoint under = Px(*window, corner);
  Wheel(*window, corner, 2);
  EXPECT_LT(window->RenderWnd().GetViewScale(), scale);
  EXPECT_LE((Px(*window, corner) - under).manhattanLength(), 2);
  Wheel(*window, corner, -12);
  EXPECT_GT(window->RenderWnd().GetViewScale(), scale);
  EXPECT_EQ(guidelines(), 1);

  // The grid point nearest the left edge, and its right-hand neighbour in the same row.
  std::vector<QPoint> grid;
  for (const CString& key : window->Manager().GetGridPointKeys())
    if (const auto* point = dynamic_cast<CStmEntityGridPoint*>(window->Manager().GetEtt(key)))
      grid.push_back(Px(*window, point->GetCoord()));
  const QRect inside = window->View()->rect().adjusted(2, 2, -2, -2);
  grid.erase(std::remove_if(grid.begin(), grid.end(), [&](QPoint p) { return !inside.contains(p); }), grid.end());
  ASSERT_FALSE(grid.empty());
  const QPoint left = *std::min_element(grid.begin(), grid.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
  EXPECT_LT(left.x(), 60);
  QPoint next(window->View()->width() * 2, left.y());
  for (const QPoint& p : grid)
    if (p.y() == left.y() && p.x() > left.x() && p.x() < next.x()) next = p;
  ASSERT_LT(next.x(), window->View()->width()) << "a grid point without a neighbour";
  EXPECT_GE(next.x() - left.x(), 30);
  const QImage picture = window->View()->grabFramebuffer();
  int brightest = 0;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) brightest = std::max(brightest, Brightness(picture, left + QPoint(dx, dy)));
  EXPECT_GT(brightest, 100) << "no grid point drawn at " << left.x() << "," << left.y();
  EXPECT_LT(Brightness(picture, QPoint((left.x() + next.x()) / 2, left.y())), 80) << "a grid point halfway between two";
}

// Esc keeps the window, N closes and keeps the file, Enter (the first button) and Y save, and a
// model undone to the file closes without asking.
TEST_F(StmQtStories, ClosingWithChangesAsksAndTheKeysAnswer) {
  SaveSquare(true);
  {
    auto window = Start(m_path);
    Key(*window, Qt::Key_Delete);  // deleting nothing is no change
    Click(*window, kBottomMiddle);
    Key(*window, Qt::Key_Delete);
    {
      CKeyAnswer stay(Qt::Key_Escape);
      Key(*window, Qt::Key_Q, Qt::ControlModifier);
      EXPECT_TRUE(stay.Asked().startsWith("Save the changes")) << stay.Asked().toStdString();
    }
    EXPECT_TRUE(window->isVisible());
    Key(*window, Qt::Key_Z, Qt::ControlModifier);
    CKeyAnswer none(Qt::Key_Escape);
    Key(*window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(none.Asked(), QString());
  }
  const auto deleteAndClose = [this](Qt::Key answer, int key = Qt::Key_Delete) {
    auto window = Start(m_path);
    Click(*window, key == Qt::Key_Delete ? kBottomMiddle : At(1000, 500));
    if (key == Qt::Key_Delete) Key(*window, Qt::Key_Delete);
    else Key(*window, Qt::Key_X, Qt::ControlModifier);
    const std::string said = Status(*window);
    CKeyAnswer close(answer);
    Key(*window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(close.Asked().isEmpty());
    EXPECT_FALSE(window->isVisible());
    return said;
  };
  deleteAndClose(Qt::Key_N);
  EXPECT_EQ(ElementsOnDisk(), 5);
  deleteAndClose(Qt::Key_Return);
  EXPECT_EQ(ElementsOnDisk(), 4);
  EXPECT_EQ(deleteAndClose(Qt::Key_Y, Qt::Key_X), "Cut 1 object to the clipboard");
  EXPECT_EQ(ElementsOnDisk(), 3);
}

TEST_F(StmQtStories, ClicksAndWindowsSelectEscClearsEveryCommandSaysWhatItDidAndSavesFollowTheFile) {
  auto window = StartOnSquare(true);
  EXPECT_EQ(window->RenderWnd().GetViewPos(), CUbRenderWnd::VIEW_POS_XZ);
  Click(*window, kBottomMiddle);
  EXPECT_EQ(Selected(*window), 1);
  Click(*window, kEmpty);
  EXPECT_EQ(Selected(*window), 0);

  // With nothing to act on, Delete and Undo are greyed, and their keys change nothing.
  EXPECT_FALSE(window->Action("edit.delete")->isEnabled());
  EXPECT_FALSE(window->Action("edit.undo")->isEnabled());
  Key(*window, Qt::Key_Delete);
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ElementsOnDisk(), window->Model().GetCountElement(1));

  // A node that elements still use stays, and the user is told so.
  Click(*window, At(1000, 0));
  Key(*window, Qt::Key_Delete);
  EXPECT_NE(Status(*window).find("a node goes only with the last element"), std::string::npos) << Status(*window);
  EXPECT_FALSE(TitleMarked(*window));
  Wheel(*window, At(500, 500), -2);
  // Right to left takes what the window crosses too: three elements leave it.
  Drag(*window, At(1100, 100), At(-100, -100));
  EXPECT_EQ(Selected(*window), 6);
  Key(*window, Qt::Key_Escape);
  EXPECT_EQ(Selected(*window), 0);
  // Left to right takes what lies inside: the bottom side and its nodes, which the others use.
  Drag(*window, At(-100, -100), At(1100, 100));
  ASSERT_EQ(Selected(*window), 3);
  EXPECT_EQ(window->findChild<QLabel*>("statusSelected")->text(), "3 selected");
  Key(*window, Qt::Key_Delete);
  EXPECT_NE(Status(*window).find("Deleted 1 object; 2 nodes stay"), std::string::npos) << Status(*window);
  Key(*window, Qt::Key_Z, Qt::ControlModifier);

  // Paste is offered once something is on the clipboard.
  EXPECT_FALSE(window->Action("edit.paste")->isEnabled());
  Click(*window, kBottomMiddle);
  Key(*window, Qt::Key_C, Qt::ControlModifier);
  EXPECT_NE(Status(*window).find("Copied 0 nodes and 1 element"), std::string::npos) << Status(*window);
  Key(*window, Qt::Key_V, Qt::ControlModifier);
  EXPECT_NE(Status(*window).find("Pick Position"), std::string::npos) << Status(*window);
  Key(*window, Qt::Key_Escape);

  Key(*window, Qt::Key_F8);
  EXPECT_TRUE(window->Action("edit.ortho")->isChecked());
  EXPECT_NE(Status(*window).find("Orthogonal drawing on"), std::string::npos) << Status(*window);
  Key(*window, Qt::Key_F8);
  EXPECT_NE(Status(*window).find("Orthogonal drawing off"), std::string::npos) << Status(*window);
  EXPECT_FALSE(TitleMarked(*window));

  // Delete, undo, redo and save follow the file on disk.
  Key(*window, Qt::Key_Escape);
  Click(*window, kBottomMiddle);
  Key(*window, Qt::Key_Delete);
  EXPECT_EQ(Selected(*window), 0);
  EXPECT_TRUE(TitleMarked(*window));
  EXPECT_EQ(Status(*window), "Deleted 1 object");
  // Undoing back to what is on disk is no change at all.
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Status(*window), "Undone");
  EXPECT_FALSE(TitleMarked(*window));
  EXPECT_FALSE(window->Actions().IsModified());
  Key(*window, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_TRUE(TitleMarked(*window));
  Key(*window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(TitleMarked(*window));
  EXPECT_EQ(ElementsOnDisk(), 4);
  EXPECT_NE(Status(*window).find("Saved"), std::string::npos) << Status(*window);

  // Undo past the save is a change again; a new edit there cuts the saved state off for good.
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(TitleMarked(*window));
  Click(*window, At(1000, 500));
  Key(*window, Qt::Key_Delete);
  EXPECT_TRUE(TitleMarked(*window));
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(TitleMarked(*window));
  EXPECT_EQ(ElementsOnDisk(), 4);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
}

// The style is the whole window's look, menu bar and status bar included, and a way of looking
// is no edit: nothing to undo, nothing to ask about, yet the file keeps it.
TEST_F(StmQtStories, TheLightAndDarkStylesAreTheWholeWindowsLook) {
  auto window = StartOnSquare(true);
  const auto expectLooks = [&window](bool light) {
    QTest::qWait(50);
    const QImage picture = window->View()->GrabWindow();
    const QPoint background = window->View()->mapTo(window.get(), QPoint(window->View()->width() - 4, 8));
    const QPoint menu(window->width() - 4, window->menuBar()->height() / 2);
    // Above the message's letters.
    const QPoint status(window->width() / 2, window->statusBar()->geometry().top() + 2);
    for (const auto& [what, at] : {std::pair{"the background", background}, {"the menu bar", menu}, {"the status bar", status}}) {
      if (light) EXPECT_GT(Brightness(picture, at), 200) << what;
      else EXPECT_LT(Brightness(picture, at), 90) << what;
    }
  };
  expectLooks(false);
  window->Action("view.styleLight")->trigger();
  expectLooks(true);
  EXPECT_NE(Status(*window).find("Light style"), std::string::npos) << Status(*window);
  EXPECT_FALSE(window->Actions().IsModified());
  EXPECT_EQ(window->Manager().GetUndoCount(), 0);
  EXPECT_EQ(Saved(*window)->GetStmDataView()->GetTypeColor(), STM_COLOR_LIGHT);
  window->Action("view.styleDark")->trigger();
  expectLooks(false);
  EXPECT_TRUE(window->close());
  // The file opens as it was saved.
  window = Start(m_path);
  expectLooks(true);

  // The view control panel switches a layer and the style back, and the file keeps both.
  auto* panel = window->findChild<QDockWidget*>("dock.viewControl");
  ASSERT_NE(panel, nullptr);
  panel->show();
  panel->raise();
  // The opening's box is there, greyed: openings are drawn with the outline's layer.
  EXPECT_FALSE(panel->findChild<QWidget*>("ctl4025")->isEnabled());
  const QImage before = window->View()->grabFramebuffer();
  QTest::mouseClick(panel->findChild<QAbstractButton*>("ctl4004"), Qt::LeftButton);  // Element
  EXPECT_NE(window->View()->grabFramebuffer(), before);
  QTest::mouseClick(panel->findChild<QAbstractButton*>("ctl4069"), Qt::LeftButton);  // Dark
  expectLooks(false);
  EXPECT_FALSE(window->Actions().IsModified());
  const auto saved = Saved(*window);
  EXPECT_FALSE(saved->GetStmDataView()->IsShowOption(STM_SHOW_ELEMENTS));
  EXPECT_EQ(saved->GetStmDataView()->GetTypeColor(), STM_COLOR_DARK);
}

// A node picked in the view gets a pin from the Properties grid's drop list and a load typed into
// its field, a negative plate is refused, and a new load case gets its own fields; the file on
// disk and the picture follow, undo included.
TEST_F(StmQtStories, ASupportAndALoadFromThePropertiesGridReachTheFileAndThePicture) {
  SaveModel({At(0, 0), At(1000, 0), At(500, 800)}, {{1, 2}, {2, 3}, {3, 1}});
  const auto triangle = Saved();
  triangle->AddLoadConditionStatic("DL");
  Save(*triangle);
  auto window = Start(m_path);
  const auto supportPixels = [&window] {
    const QImage picture = window->View()->grabFramebuffer();
    const CVector c = CStmDataView::GetDefaultColorSet(STM_COLOR_DARK)[10];
    const auto near = [](int channel, double value) { return std::abs(channel - static_cast<int>(value * 255 + 0.5)) <= 2; };
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width() / 2; ++x) {
        const QColor p = picture.pixelColor(x, y);
        count += near(p.red(), c.x) && near(p.green(), c.y) && near(p.blue(), c.z);
      }
    return count;
  };
  Click(*window, At(0, 0));
  ASSERT_EQ(Selected(*window), 1);
  EXPECT_EQ(supportPixels(), 0);
  CStmQtPropertyGrid& grid = *window->Docks()->GetProperties();

  // The drop list takes the choice as it is made.
  const QModelIndex support = grid.FindValue("Nodes", "Support");
  ASSERT_TRUE(support.isValid());
  const QPoint at = grid.GetView()->visualRect(support).center();
  QTest::mouseClick(grid.GetView()->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(grid.GetView()->viewport(), Qt::LeftButton, {}, at);
  auto* list = grid.GetView()->viewport()->findChild<QComboBox*>();
  ASSERT_NE(list, nullptr);
  QTest::keyClick(list, Qt::Key_Down);  // Free, then Pin
  for (int turn = 0; turn < 4; ++turn) QTest::qWait(20);
  EXPECT_EQ(Status(*window), "Support set");
  EXPECT_EQ(window->Manager().GetUndoCount(), 1);
  EXPECT_GT(supportPixels(), 10) << "the pin is drawn in the next frame";

  TypeInGrid(grid, "Nodes", "Load DL z", "-50");
  EXPECT_EQ(Status(*window), "Nodal load of DL set");
  EXPECT_EQ(window->Manager().GetUndoCount(), 2);
  TypeInGrid(grid, "Nodes", "Plate width", "-5");
  EXPECT_NE(Status(*window).find("cannot be negative"), std::string::npos) << Status(*window);
  EXPECT_EQ(window->Manager().GetUndoCount(), 2) << "a refused edit leaves no step";
  TypeInGrid(grid, "Load cases", "New load case", "LL");
  EXPECT_EQ(Status(*window), "Load case LL added");
  EXPECT_TRUE(grid.FindValue("Nodes", "Load LL z").isValid());
  EXPECT_EQ(window->Manager().GetUndoCount(), 3);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());

  {
    const auto saved = Saved(*window);
    EXPECT_FALSE(window->Actions().IsModified());
    ASSERT_NE(saved->GetRestraintNode(1), nullptr);
    EXPECT_EQ(saved->GetRestraintNode(1)->GetDof(), (SStmDof{1, 0, 1, 0, 0, 0}));
    ASSERT_EQ(saved->GetLoadConditionStatic("DL")->GetLoadNodes().size(), 1u);
    EXPECT_EQ(saved->GetLoadConditionStatic("DL")->GetLoadNodes().begin()->second->GetLoad(), CVector(0, 0, -50));
    EXPECT_TRUE(saved->GetBearingPlates().empty());
    EXPECT_NE(saved->GetLoadConditionStatic("LL"), nullptr);
  }
  for (int step = 0; step < 3; ++step) Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(supportPixels(), 0) << "undo takes the pin away again";
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
  const auto undone = Saved(*window);
  EXPECT_TRUE(undone->GetRestraints().empty());
  EXPECT_TRUE(undone->GetLoadConditionStatic("DL")->GetLoadNodes().empty());
  EXPECT_EQ(undone->GetLoadConditionStatic("LL"), nullptr);
}

// A model opens facing its own plane; the View menu turns the view, which is no edit.
TEST_F(StmQtStories, AModelOpensFacingItsPlaneAndTheViewMenuTurnsIt) {
  SaveModel({CVector(0, 0, 0), CVector(1000, 0, 0), CVector(1000, 1000, 0)}, {{1, 2}, {2, 3}}, STM_PLANE_XY);
  auto window = Start(m_path);
  EXPECT_EQ(window->RenderWnd().GetViewPos(), CUbRenderWnd::VIEW_POS_XY);
  Click(*window, CVector(500, 0, 0));
  EXPECT_EQ(Selected(*window), 1);
  window->Action("view.planeYZ")->trigger();
  EXPECT_EQ(window->RenderWnd().GetViewPos(), CUbRenderWnd::VIEW_POS_YZ);
  EXPECT_EQ(Saved(*window)->GetPlane(), STM_PLANE_XY);
  window->Action("view.planeXY")->trigger();
  Click(*window, kEmpty);
  Click(*window, CVector(1000, 500, 0));
  EXPECT_EQ(Selected(*window), 1);
}

// The program as a user starts it: it shows the model for the frames counted, writes the
// window's picture and leaves; a missing or broken file or a bad argument stops it with a message
// that names what is wrong and where.
struct SRun {
  int status = -1;
  QString out, err;
};

SRun RunProgram(const QStringList& args, const QString& config, bool display = true) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", config);
  if (!display) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  }
  program.setProcessEnvironment(environment);
  program.start(STM_EDITOR_EXE, args);
  SRun run;
  if (!program.waitForFinished(60000)) {
    program.kill();
    program.waitForFinished();
    return run;
  }
  run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
  run.out = QString::fromUtf8(program.readAllStandardOutput());
  run.err = QString::fromUtf8(program.readAllStandardError());
  return run;
}

TEST(StmQtProgram, ShowsTheModelAndLeavesAfterTheCountedFramesWithItsPicture) {
  QTemporaryDir config;
  const QString model = STM_SOURCE_DIR "/examples/corbel.stm.json";
  const QString png = config.filePath("corbel.png");
  const std::string before = ReadFile(model.toStdString());
  const SRun run = RunProgram({model, "--size", "1280x800", "--frames", "3", "--screenshot", png}, config.path());
  ASSERT_EQ(run.status, 0) << run.err.toStdString();

  QImage picture(png);
  ASSERT_FALSE(picture.isNull()) << png.toStdString();
  EXPECT_EQ(picture.size(), QSize(1280, 800));
  // Nodes are drawn in green; the frame buffer's alpha says nothing about the picture.
  const SRgbaImage pixels = SRgbaImage::FromPng(png.toStdString());
  EXPECT_GT(pixels.Count([](const std::uint8_t* p) { return p[1] > 150 && p[0] < 100 && p[2] < 100; }), 20);
  EXPECT_EQ(pixels.Count([](const std::uint8_t* p) { return p[3] != 255; }), 0) << "translucent pixels";
  // The menu bar and the status bar are bands unlike the scene's background between them.
  const QColor middle = picture.pixelColor(picture.width() * 3 / 5, picture.height() / 2);
  for (const int y : {3, picture.height() - 3}) {
    const QColor band = picture.pixelColor(picture.width() - 5, y);
    EXPECT_GT(std::abs(band.red() - middle.red()) + std::abs(band.green() - middle.green()) +
                  std::abs(band.blue() - middle.blue()), 10) << "row " << y;
  }
  // Looking is not editing: the file is as it was.
  EXPECT_EQ(ReadFile(model.toStdString()), before);
}

TEST(StmQtProgram, AMissingOrBrokenFileOrABadArgumentStopsWithAMessageAndHelpIsAnAnswer) {
  QTemporaryDir config;
  const QString broken = config.filePath("broken.stm.json");
  std::ofstream(broken.toStdString()) << "{\"nodes\": [1, 2";
  // A missing file, a folder, a broken file (named, with the place in it where reading stopped),
  // and no file at all without a display, which a window needs.
  const std::tuple<QStringList, bool, QStringList> refused[] = {
      {{"/no/such/model.stm.json"}, true, {"/no/such/model.stm.json"}},
      {{STM_SOURCE_DIR "/examples"}, false, {"is a folder, not a model file"}},
      {{broken}, true, {"broken.stm.json", "line 1, column 16"}},
      {{}, false, {"no window could be opened"}}};
  SRun run;
  for (const auto& [args, display, said] : refused) {
    run = RunProgram(args, config.path(), display);
    EXPECT_EQ(run.status, 1) << args.join(' ').toStdString();
    for (const QString& text : said) EXPECT_TRUE(run.err.contains(text)) << run.err.toStdString();
  }

  // A bad argument needs no display.
  const QString model = STM_SOURCE_DIR "/examples/corbel.stm.json";
  for (const QStringList& bad : {QStringList{"--frames", "0"}, QStringList{"--frames"}, QStringList{"--size", "3"},
                                 QStringList{"--screenshot", "x.png"}, QStringList{"--frobnicate"},
                                 QStringList{"--frames", "1", "--screenshot", "/no/such/folder/x.png"}}) {
    run = RunProgram(QStringList{model} + bad, config.path(), false);
    EXPECT_EQ(run.status, 2) << bad.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains("usage: stm-editor")) << bad.join(' ').toStdString();
  }
  EXPECT_TRUE(run.err.contains("the folder /no/such/folder does not exist")) << run.err.toStdString();

  run = RunProgram({"--help"}, config.path(), false);
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("usage: stm-editor")) << run.out.toStdString();
  EXPECT_FALSE(run.err.contains("usage")) << run.err.toStdString();
}

}  // namespace
