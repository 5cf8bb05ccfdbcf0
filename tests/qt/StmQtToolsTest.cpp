// The tools in the Qt editor as a user drives them: the dialogs below the view that take typed
// coordinates and angles, the templates with their settings, the outline tools and the modify
// tools; after each edit the scene is the model's, and the file saved holds what was made.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QSpinBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <set>
#include <utility>

#include "CStmQtDialog.h"
#include "actions/CStmActionAddBottleShape.h"
#include "CStmQtTemplateSettings.h"
#include "StmQtWindowFixture.h"
#include "areas/CStmQtToolsCommands.h"

namespace {

class StmQtTools : public StmQtWindowTest {
protected:
  // Typed where the keyboard is, character by character, so that a field the comma moves to
  // gets what follows it.
  static void Type(const QString& text) {
    for (const QChar ch : text) {
      QWidget* focus = QApplication::focusWidget();
      ASSERT_NE(focus, nullptr);
      QTest::keyClick(focus, ch.toLatin1());
    }
    QTest::qWait(20);
  }
  static void Press(int key) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
    QTest::qWait(50);
  }
  static QLineEdit* Edit(CStmMainWindow& window, unsigned dialog, int control) {
    CStmQtDialog* form = window.ToolsCommands().ToolDialog(dialog);
    return form ? qobject_cast<QLineEdit*>(form->ControlWidget(control)) : nullptr;
  }

  // The enabled elements of the file as "x,z-x,z" of their ends, ends in either order.
  std::set<std::string> ElementsSaved(CStmMainWindow& window) {
    std::set<std::string> out;
    const auto model = Saved(window);
    for (const auto& [id, e] : model->GetElements()) {
      if (!e->IsEnable()) continue;
      std::string a = Text(e->GetCoordBegin()), b = Text(e->GetCoordEnd());
      if (b < a) std::swap(a, b);
      out.insert(a + "-" + b);
    }
    return out;
  }
  static std::string Text(const CVector& p) { return QString("%1,%2").arg(p.x).arg(p.z).toStdString(); }
  // The status line says it, and the scene is the model's.
  static void ExpectDone(CStmMainWindow& window, const std::string& said = "") {
    if (!said.empty()) {
      EXPECT_NE(Status(window).find(said), std::string::npos) << Status(window);
    }
    EXPECT_EQ(window.Manager().CheckConsistency(), CString());
  }
};

}  // namespace

// The element tool from the toolbar shows the coordinate dialog below the view while it runs;
// clicks on nodes draw; undo and redo reach the file; Esc takes the dialog away; N draws nodes.
TEST_F(StmQtTools, DrawingShowsTheCoordinateDialogWhileTheToolRunsAndUndoReachesTheFile) {
  auto window = StartOnSquare();
  QDockWidget* dock = window->ToolsCommands().InputDock();
  ASSERT_NE(dock, nullptr);
  EXPECT_FALSE(dock->isVisible());
  ClickTool(*window, "toolbar.draw", "draw.element");
  EXPECT_TRUE(dock->isVisible());
  EXPECT_EQ(window->dockWidgetArea(dock), Qt::BottomDockWidgetArea);
  EXPECT_EQ(Status(*window), "Pick start point");
  // The status bar gives the point a click would take: the node the cursor is near.
  QTest::mouseMove(window->View(), Px(*window, At(0, 0)) + QPoint(3, -2));
  QTest::qWait(20);
  EXPECT_EQ(window->findChild<QLabel*>("statusWhere")->text(), "x 0  z 0 mm");
  Click(*window, At(0, 0));
  EXPECT_EQ(Status(*window), "Pick end point");
  Click(*window, At(1000, 1000));
  EXPECT_EQ(Status(*window), "Element 5 drawn. Pick start point");
  ExpectDone(*window);
  // The wheel over the dialog zooms the view.
  const double scale = window->RenderWnd().GetViewScale();
  Wheel(window->ToolsCommands().ToolDialog(4001), QPointF(5, 5), 1);
  EXPECT_LT(window->RenderWnd().GetViewScale(), scale);

  const std::set<std::string> square = {"0,0-1000,0", "1000,0-1000,1000", "0,1000-1000,1000", "0,0-0,1000"};
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  ExpectDone(*window);
  EXPECT_EQ(ElementsSaved(*window), square);
  Key(*window, Qt::Key_Y, Qt::ControlModifier);
  ExpectDone(*window);
  std::set<std::string> withDiagonal = square;
  withDiagonal.insert("0,0-1000,1000");
  EXPECT_EQ(ElementsSaved(*window), withDiagonal);

  // The snap modes are switches on the status bar; orthogonal drawing rests the nearest-point snap.
  const long snap = window->Manager().GetOSnapMode();
  QTest::mouseClick(window->findChild<QWidget*>("status.draw.snap.middle"), Qt::LeftButton);
  EXPECT_EQ(window->Manager().GetOSnapMode(), snap & ~CUbManage::kSnapMid);
  QTest::mouseClick(window->findChild<QWidget*>("status.edit.ortho"), Qt::LeftButton);
  EXPECT_EQ(window->Manager().GetOSnapMode(), snap & ~(CUbManage::kSnapMid | CUbManage::kSnapNear));

  Key(*window, Qt::Key_Escape);
  QTest::qWait(50);
  EXPECT_FALSE(dock->isVisible());
  EXPECT_FALSE(window->Action("draw.element")->isChecked());
  Key(*window, Qt::Key_N);
  EXPECT_TRUE(window->Action("draw.node")->isChecked());
  EXPECT_EQ(Status(*window), "Pick Position");
  const QPoint grid = OnGrid(*window, Px(*window, At(500, 500)) + QPoint(37, -41));
  ClickView(*window, grid);
  ExpectDone(*window);
  EXPECT_EQ(Saved(*window)->GetCountNode(1), 5);
}

// E, Tab, "1000,500", Enter: the point typed is taken exactly, whatever the mouse did meanwhile,
// and once, so the next click takes the node clicked. A comma in the second field, a word and a
// value past the limit are refused with a message; a truss typed onto nodes joins them.
TEST_F(StmQtTools, TypedPointsAreExactAndOnceAndWhatIsNoCoordinateIsRefused) {
  auto window = StartOnSquare();
  Key(*window, Qt::Key_E);
  QTest::qWait(50);
  Press(Qt::Key_Tab);
  Type("1000,500");
  QLineEdit* first = Edit(*window, 4001, 4001);
  QLineEdit* second = Edit(*window, 4001, 4002);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(QApplication::focusWidget(), second);
  QTest::mouseMove(window->View(), Px(*window, At(300, 700)));
  QTest::qWait(20);
  EXPECT_EQ(first->text(), "1000");
  EXPECT_EQ(second->text(), "500");
  Press(Qt::Key_Return);
  EXPECT_EQ(Status(*window), "Pick end point");
  Click(*window, At(0, 0));
  EXPECT_EQ(Status(*window), "Element 6 drawn. Pick start point");
  ExpectDone(*window);

  // Tab starts again in the first field wherever the keyboard is; a comma in the second is refused.
  Press(Qt::Key_Tab);
  Type("1,2");
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), first);
  Type("3,4,");
  EXPECT_EQ(second->text(), "4");
  EXPECT_NE(Status(*window).find("The comma is refused"), std::string::npos) << Status(*window);
  Press(Qt::Key_Tab);
  Type("nan");
  EXPECT_FALSE(first->text().contains('n')) << first->text().toStdString();
  EXPECT_EQ(window->StatusMessage(), "Only a number is taken here");
  Type("2e9,1");
  QString box;
  AnswerNextBox(QMessageBox::Ok, &box);
  Press(Qt::Key_Return);
  EXPECT_TRUE(box.contains("2e9") && box.contains("1e+09")) << box.toStdString();
  EXPECT_EQ(window->Model().GetCountNode(1), 5);
  Key(*window, Qt::Key_Escape);

  // The truss, typed: its chord from node 4 to node 3, then its height.
  ClickTool(*window, "toolbar.templates", "templates.truss");
  EXPECT_TRUE(window->Action("templates.truss")->isChecked());
  for (const char* point : {"0,1000", "1000,1000", "0,1500"}) {
    window->Action("draw.typedCoordinate")->trigger();
    QTest::qWait(20);
    Type(point);
    Press(Qt::Key_Return);
  }
  ExpectDone(*window, "Added 6 nodes");
  const auto model = Saved(*window);
  ASSERT_NE(model->GetNode(5), nullptr);
  EXPECT_EQ(model->GetNode(5)->GetCoord(), At(1000, 500));
  const CStmObjElement* typed = model->GetElement(6);
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(std::set<int>({typed->GetIdNodeBegin(), typed->GetIdNodeEnd()}), std::set<int>({1, 5}));
  EXPECT_EQ(model->GetCountNode(1), 11);
  for (const auto& [id, node] : model->GetNodes()) {
    for (const auto& [other, near] : model->GetNodes()) {
      if (other > id && node->IsEnable() && near->IsEnable()) {
        EXPECT_GT((node->GetCoord() - near->GetCoord()).Length(), 1.0) << id << " " << other;
      }
    }
  }
}

// With letter names a member cut by a new node is named after its new ends; undo gives it its
// old name back, in the file too.
TEST_F(StmQtTools, UndoOfAnElementFromTheMiddleOfAMemberGivesTheMemberItsNameBack) {
  std::filesystem::copy_file(STM_SOURCE_DIR "/examples/corbel.stm.json", m_path);
  auto window = Start(m_path);
  const auto name = [&](int id) {
    const auto model = Saved(*window);
    const CStmObjElement* element = model->GetElement(id);
    return element ? std::string(element->GetName().c_str()) : std::string();
  };
  ClickTool(*window, "toolbar.draw", "draw.element");
  Click(*window, (At(320, 1720) + At(700, 1720)) * 0.5);
  Click(*window, At(320, 1400));
  ASSERT_NE(Status(*window).find("drawn"), std::string::npos) << Status(*window);
  EXPECT_EQ(name(5), "DI");
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  ExpectDone(*window);
  EXPECT_EQ(name(5), "DE");
}

// Paste by clicks (a second paste onto what is there is no step), Move from the toolbar, a
// typed quarter turn in the angle dialog, and a mirror copy answered in its dialog.
TEST_F(StmQtTools, PasteMoveATypedAngleAndAMirrorCopyReachTheFile) {
  auto window = StartOnSquare(true);
  Click(*window, At(500, 0));
  Key(*window, Qt::Key_C, Qt::ControlModifier);
  Key(*window, Qt::Key_V, Qt::ControlModifier);
  Click(*window, At(1000, 1000));
  Click(*window, At(1000, 1000));
  Key(*window, Qt::Key_Escape);
  ExpectDone(*window);
  std::set<std::string> expected = {"0,0-1000,0", "1000,0-1000,1000", "0,1000-1000,1000", "0,0-0,1000",
                                    "0,0-1000,1000", "1000,1000-2000,1000"};
  EXPECT_EQ(ElementsSaved(*window), expected);
  const int steps = window->Manager().GetUndoCount();
  Key(*window, Qt::Key_V, Qt::ControlModifier);
  Click(*window, At(0, 0));
  Key(*window, Qt::Key_Escape);
  EXPECT_EQ(window->Manager().GetUndoCount(), steps);
  EXPECT_FALSE(window->windowTitle().endsWith("*"));

  Click(*window, At(500, 500));
  ClickTool(*window, "toolbar.modify", "modify.move");
  Click(*window, At(0, 0));
  Click(*window, At(1000, 0));
  ExpectDone(*window, "Moved 1");
  expected.erase("0,0-1000,1000");
  expected.insert("1000,0-2000,1000");
  EXPECT_EQ(ElementsSaved(*window), expected);

  // The bottom side turned a typed quarter turn about its left end lies on the left side.
  Click(*window, At(500, 0));
  Key(*window, Qt::Key_R);
  QTest::qWait(50);
  Click(*window, At(0, 0));
  Key(*window, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), Edit(*window, 4005, 4003));
  Type("90");
  Press(Qt::Key_Return);
  ExpectDone(*window, "Rotated 1");
  expected.erase("0,0-1000,0");
  EXPECT_EQ(ElementsSaved(*window), expected);

  Click(*window, At(0, 500));
  Key(*window, Qt::Key_I);
  QTest::qWait(50);
  OnNextDialog<CStmQtDialog>([](CStmQtDialog& dialog) {
    // On the radio button's mark: the rest of its row is no button.
    QWidget* copy = dialog.ControlWidget(4125);
    QTest::mouseClick(copy, Qt::LeftButton, Qt::NoModifier, QPoint(6, copy->height() / 2));
  });
  Click(*window, At(1000, 0));
  Click(*window, At(1000, 1000));
  ExpectDone(*window, "Mirrored copies made");
  expected.insert("2000,0-2000,1000");
  EXPECT_EQ(ElementsSaved(*window), expected);
}

// A post in two pieces with a beam meeting it half-way, pasted onto a whole post: the whole post
// is cut and its halves reused; the second paste adds nothing and leaves no step.
TEST_F(StmQtTools, APostInTwoPiecesPastedTwiceLiesOnceOverTheOtherPost) {
  SaveModel({At(0, 0), At(0, 500), At(0, 1000), At(500, 500), At(1000, 0), At(1000, 1000)},
            {{1, 2}, {2, 3}, {2, 4}, {5, 6}});
  auto window = Start(m_path);
  const std::set<std::string> original = ElementsSaved(*window);
  Drag(*window, At(-100, -100), At(100, 1100));
  ASSERT_EQ(window->Manager().GetSelectMap().GetCount(), 5);
  Key(*window, Qt::Key_C, Qt::ControlModifier);
  const std::set<std::string> pasted = {"0,0-0,500", "0,1000-0,500", "0,500-500,500", "1000,0-1000,500",
                                        "1000,1000-1000,500"};
  for (int paste = 0; paste < 2; ++paste) {
    Key(*window, Qt::Key_V, Qt::ControlModifier);
    Click(*window, At(1000, 0));
    Key(*window, Qt::Key_Escape);
    ExpectDone(*window);
  }
  EXPECT_EQ(window->Manager().GetUndoCount(), 1);
  EXPECT_EQ(ElementsSaved(*window), pasted);
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ElementsSaved(*window), original);
}

// Both nodes of a side stretched up by its length move before anything merges; a move that would
// carry a node past the coordinate limit says why and changes nothing; offsets typed below the view.
TEST_F(StmQtTools, StretchMovesEveryNodeFirstAMovePastTheLimitIsRefusedAndOffsetsAreTyped) {
  auto window = StartOnSquare(true);
  const std::set<std::string> original = ElementsSaved(*window);
  Drag(*window, At(900, -100), At(1100, 1100));
  ASSERT_EQ(window->Manager().GetSelectMap().GetCount(), 3);
  ClickTool(*window, "toolbar.modify", "modify.stretch");
  Click(*window, At(1000, 0));
  Click(*window, At(1000, 1000));
  ExpectDone(*window, "Stretched: 2 nodes");
  EXPECT_EQ(ElementsSaved(*window), (std::set<std::string>{"0,0-1000,1000", "1000,1000-1000,2000", "0,1000-1000,2000",
                                                           "0,0-0,1000", "0,0-1000,2000"}));
  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ElementsSaved(*window), original);

  Click(*window, At(500, 0));
  ClickTool(*window, "toolbar.modify", "modify.move");
  Click(*window, At(0, 0));
  Press(Qt::Key_Tab);
  Type("1e9,0");
  Press(Qt::Key_Return);
  ExpectDone(*window, "beyond the limit of +/-1e+09");
  EXPECT_EQ(ElementsSaved(*window), original);

  // Two copies of the left side 250 apart, typed into the offset dialog below the view.
  Key(*window, Qt::Key_Escape);
  Click(*window, At(0, 500));
  ClickTool(*window, "toolbar.modify", "modify.offset");
  QLineEdit* distance = Edit(*window, 4007, 4126);
  ASSERT_NE(distance, nullptr);
  EXPECT_TRUE(distance->isVisible());
  QTest::mouseClick(distance, Qt::LeftButton);
  distance->selectAll();
  Type("250");
  Press(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), Edit(*window, 4007, 4127));
  Edit(*window, 4007, 4127)->selectAll();
  Type("2");
  Press(Qt::Key_Return);
  Click(*window, At(500, 500));
  ExpectDone(*window);
  const std::set<std::string> offset = ElementsSaved(*window);
  EXPECT_EQ(offset.count("250,0-250,1000"), 1u);
  EXPECT_EQ(offset.count("500,0-500,1000"), 1u);
}

// A truss of two bays by clicks on a square, the bays set below the view; chosen again after
// Esc the truss keeps them, and at the same points it adds nothing.
TEST_F(StmQtTools, ATrussKeepsItsSettingsFromOneUseToTheNext) {
  auto window = StartOnSquare();
  CStmQtTemplateSettings* settings = window->ToolsCommands().TemplateSettings();
  auto* bays = settings->findChild<QSpinBox*>("templateBays");
  ASSERT_NE(bays, nullptr);
  for (int use = 0; use < 2; ++use) {
    ClickTool(*window, "toolbar.templates", "templates.truss");
    EXPECT_TRUE(settings->isVisible());
    EXPECT_NE(Status(*window).find("Truss: pick the start of the bottom chord"), std::string::npos) << Status(*window);
    if (use == 0) {
      bays->setFocus();
      QTest::keyClick(bays, Qt::Key_Down);
    }
    EXPECT_EQ(bays->value(), 2);
    for (const CVector& p : {At(0, 0), At(1000, 0), At(0, 1000)}) Click(*window, p);
    ExpectDone(*window, use == 0 ? "Added 2 nodes and 5 elements" : "Nothing added");
    Key(*window, Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_FALSE(settings->isVisible());
  }
  EXPECT_EQ(window->Manager().GetUndoCount(), 1);

  // The bottle shape's ratio takes only what lies within its limits.
  ClickTool(*window, "toolbar.templates", "templates.bottleShape");
  auto* ratio = settings->findChild<QLineEdit*>("templateRatio");
  ASSERT_TRUE(ratio && ratio->isVisible());
  QTest::mouseClick(ratio, Qt::LeftButton);
  ratio->selectAll();
  Type("0");
  EXPECT_TRUE(window->StatusMessage().contains("lies from 0.1 to 100")) << Status(*window);
  Type(".5");
  const auto* bottle = dynamic_cast<CStmActionAddBottleShape*>(window->Manager().GetAction(CStmUbManager::kActionBottleShape));
  ASSERT_NE(bottle, nullptr);
  EXPECT_EQ(bottle->GetRatio(), 0.5);
  Key(*window, Qt::Key_Escape);

  const auto saved = Saved(*window);
  EXPECT_EQ(saved->GetCountNode(1), 6);
  EXPECT_EQ(saved->GetCountElement(1), 9);
  EXPECT_NE(saved->GetNode(At(500, 0)), nullptr);
  EXPECT_NE(saved->GetNode(At(500, 1000)), nullptr);
}

// The outline tools from their toolbar: elements picked by clicks and confirmed with the right
// button; an opening outside the outline is refused in a message box.
TEST_F(StmQtTools, OutlineAndOpeningFromPickedElementsAndARefusedOpening) {
  SaveModel({At(0, 0), At(1000, 0), At(1000, 1000), At(0, 1000), At(300, 300), At(700, 300), At(500, 700),
             At(1200, 0), At(1600, 0), At(1400, 400)},
            {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7}, {7, 5}, {8, 9}, {9, 10}, {10, 8}});
  auto window = Start(m_path);
  const auto pick = [&](const std::vector<CVector>& middles) {
    for (const CVector& p : middles) Click(*window, p);
    QTest::mouseClick(window->View(), Qt::RightButton, Qt::NoModifier, Px(*window, At(850, 150)));
    QTest::qWait(20);
  };
  ClickTool(*window, "toolbar.outline", "draw.outerOutline");
  EXPECT_TRUE(window->Action("draw.outerOutline")->isChecked());
  EXPECT_TRUE(window->StatusMessage().contains("right button")) << Status(*window);
  pick({At(500, 0), At(1000, 500), At(500, 1000), At(0, 500)});
  EXPECT_TRUE(window->StatusMessage().contains("Add OuterBoundary.")) << Status(*window);
  ExpectDone(*window);

  ClickTool(*window, "toolbar.outline", "draw.opening");
  QString box;
  AnswerNextBox(QMessageBox::Ok, &box);
  pick({At(1400, 0), At(1500, 200), At(1300, 200)});
  EXPECT_FALSE(box.isEmpty());
  EXPECT_TRUE(window->StatusMessage().contains("Failed Add InnerBoundary.")) << Status(*window);

  ClickTool(*window, "toolbar.outline", "draw.opening");
  pick({At(500, 300), At(600, 500), At(400, 500)});
  EXPECT_TRUE(window->StatusMessage().startsWith("Add InnerBoundary.")) << Status(*window);
  ExpectDone(*window);
  const auto saved = Saved(*window);
  ASSERT_EQ(saved->GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(saved->GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0)->GetIdElements(), (std::vector<int>{1, 2, 3, 4}));
  ASSERT_EQ(saved->GetCountBoundary(STM_BOUNDARY_INNER, 1), 1);
  EXPECT_EQ(saved->GetBoundaryObj(STM_BOUNDARY_INNER, -1, 0)->GetIdElements(), (std::vector<int>{5, 6, 7}));
}
