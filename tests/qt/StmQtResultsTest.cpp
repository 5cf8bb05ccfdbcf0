// Results in the Qt editor as a user meets them: Analyse refuses a mechanism with the loose node
// marked and solves the truss put back, locking the model until Clear; the case shown is chosen
// from the menu or the Results dock and named; the load path runs beside the view, where Esc or
// closing the window stops it, and once done shows its steps; the thickness typed in Properties
// changes how an indeterminate truss shares its load; a locked model says why every edit is
// refused.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "CStmQtDocks.h"
#include "StmQtGridInput.h"
#include "StmQtWindowFixture.h"
#include "areas/CStmQtResultsCommands.h"
#include "docks/CStmQtHistoryList.h"
#include "docks/CStmQtPropertyGrid.h"
#include "docks/CStmQtResultsPanel.h"
#include "host/model/StmMaterialDefaults.h"

namespace {

class StmQtResultsTest : public StmQtWindowTest {
protected:
  static std::string Example(const char* name) { return std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json"; }

  // A deep beam 2000 x 1000 mm in x-z with no truss: its outline, a pin and a roller at the bottom
  // corners and 100 kN down at the middle of the top.
  std::string SaveDeepBeam(double cellSize) {
    CStmModel model;
    model.SetPlane(STM_PLANE_XZ);
    model.SetUnitForce("kN");
    model.SetUnitLength("mm");
    SStmMaterials materials;
    EXPECT_TRUE(StmDefaultMaterials(STM_CODE_ACI_318_19, "kN", "mm", materials));
    materials.loadPath.dElementSize = cellSize;
    model.SetMaterials(materials);
    model.SetBoundary(STM_BOUNDARY_OUTER, {At(0, 0), At(2000, 0), At(2000, 1000), At(0, 1000)});
    for (const CVector& p : {At(0, 0), At(2000, 0), At(1000, 1000)}) model.AddNode(p);
    model.AddRestraint(1, SStmDof{1, 0, 1, 0, 0, 0});
    model.AddRestraint(2, SStmDof{0, 0, 1, 0, 0, 0});
    model.AddLoadConditionStatic("DL");
    model.AddLoadNode("DL", 3, CVector(0, 0, -100));
    Save(model);
    return m_path;
  }

  // Runs a command as its key or menu entry does, and waits for what it started to end.
  static void RunAndWait(CStmMainWindow& window, const char* id) {
    window.Action(id)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.ResultsCommands().IsComputing(); }, 60000)) << id;
  }

  static std::string Caption(CStmMainWindow& window) { return window.ResultsCommands().Caption().toStdString(); }
  static QImage Picture(CStmMainWindow& window) { return window.View()->grabFramebuffer(); }

  static int Differing(const QImage& a, const QImage& b, QRect within = QRect()) {
    if (within.isNull()) within = a.rect();
    int count = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
      for (int x = within.left(); x <= within.right(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    return count;
  }

  static QAction* CaseEntry(CStmMainWindow& window, const char* name) {
    for (QAction* action : window.ResultsCommands().CaseActions())
      if (action->text() == name) return action;
    ADD_FAILURE() << "no entry " << name;
    return nullptr;
  }
};

TEST_F(StmQtResultsTest, MechanismMarkedThenSolvedLockedAndClearedAndWithoutResultsNoCaseIsOffered) {
  auto window = Start(Example("corbel"));
  CStmModel& model = window->Model();
  CVector d, e;
  for (const auto& [id, node] : model.GetNodes()) {
    if (node->GetName() == "D") d = node->GetCoord();
    if (node->GetName() == "E") e = node->GetCoord();
  }
  // Without the tie DE, node E hangs on one strut.
  Click(*window, (d + e) * 0.5);
  ASSERT_EQ(window->Manager().GetSelectMap().GetCount(), 1);
  QTest::keyClick(window->View(), Qt::Key_Delete);
  const QImage before = Picture(*window);
  QTest::keyClick(window->View(), Qt::Key_F5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window->ResultsCommands().IsComputing(); }, 60000));
  EXPECT_NE(Status(*window).find("Nodes E and 1 elements"), std::string::npos) << Status(*window);
  EXPECT_EQ(model.IsLock(), 0);
  const CPoint atE = window->RenderWnd().ExtToClient(e);
  EXPECT_GT(Differing(Picture(*window), before, QRect(atE.x - 6, atE.y - 6, 13, 13)), 40) << "the mark over E";

  // Put back, the truss is solved: the first case named, the model locked, no edit made.
  QTest::keyClick(window->View(), Qt::Key_Z, Qt::ControlModifier);
  RunAndWait(*window, "results.analyse");
  const std::string summary = Status(*window);
  EXPECT_NE(summary.find("statically"), std::string::npos) << summary;
  EXPECT_TRUE(summary.find("all checks pass") != std::string::npos || summary.find("over capacity") != std::string::npos)
      << summary;
  EXPECT_EQ(model.IsLock(), 1);
  EXPECT_EQ(Caption(*window), "Load case DL");
  EXPECT_TRUE(window->windowTitle().contains("[locked]")) << window->windowTitle().toStdString();
  EXPECT_FALSE(window->windowTitle().endsWith("*"));
  // Redo would bring the mechanism back under its results; analysing again needs a Clear.
  EXPECT_FALSE(window->Action("edit.redo")->isEnabled());
  EXPECT_FALSE(window->Action("results.analyse")->isEnabled());
  QTest::keyClick(window->View(), Qt::Key_F5);
  EXPECT_NE(Status(*window).find("clear them first"), std::string::npos) << Status(*window);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());

  window->Action("results.clear")->trigger();
  EXPECT_EQ(model.IsLock(), 0);
  EXPECT_EQ(Caption(*window), "");
  EXPECT_FALSE(window->windowTitle().endsWith("*"));
  EXPECT_TRUE(window->Action("edit.redo")->isEnabled()) << "the history is as it was";

  // Cleared, the model offers no case; without an outline it offers no load path.
  EXPECT_EQ(Caption(*window), "");
  EXPECT_FALSE(CaseEntry(*window, "DL")->isEnabled());
  window->Docks()->GetResults()->GetCases()->setCurrentRow(1);
  EXPECT_EQ(window->Model().IsLock(), 0);
  EXPECT_EQ(Caption(*window), "");

  window.reset();
  SaveModel({At(0, 0), At(1000, 0)}, {{1, 2}});
  window = Start(m_path);
  EXPECT_FALSE(window->Action("results.loadPath")->isEnabled()) << "greyed without an outer outline";
  QTest::keyClick(window->View(), Qt::Key_F6);
  EXPECT_NE(Status(*window).find("outline"), std::string::npos) << Status(*window);
  EXPECT_FALSE(window->ResultsCommands().IsBusy());
  EXPECT_EQ(window->Model().IsLock(), 0);
}

TEST_F(StmQtResultsTest, ACrossingIsWarnedOnTheStatusLineAndTheRollersTooltipGivesItsReaction) {
  // A panel 4000 x 3000 on a pin and a roller, pushed sideways at its top left; its two diagonals
  // pass each other without a node.
  SaveModel({At(0, 0), At(4000, 0), At(4000, 3000), At(0, 3000)}, {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}});
  const auto panel = Saved();
  panel->AddRestraint(1, SStmDof{1, 0, 1, 0, 0, 0});
  panel->AddRestraint(2, SStmDof{0, 0, 1, 0, 0, 0});
  panel->AddLoadConditionStatic("W");
  panel->AddLoadNode("W", 4, CVector(5, 0, 0));
  Save(*panel);
  auto window = Start(m_path);
  RunAndWait(*window, "results.analyse");
  EXPECT_NE(Status(*window).find("1 warning: Elements 5 and 6 cross without a node"), std::string::npos)
      << Status(*window);
  EXPECT_EQ(window->Model().IsLock(), 1);
  // The roller's tooltip: it holds the overturning, 5 kN at 3000 over 4000, through a node of struts.
  const QString roller = TooltipAt(*window, At(4000, 0));
  EXPECT_TRUE(roller.contains("Rx 0.00 kN, Rz 3.75 kN")) << roller.toStdString();
  EXPECT_TRUE(roller.contains("CC")) << roller.toStdString();
}

TEST_F(StmQtResultsTest, CasesFromTheMenuAndTheDockAreOneChoiceAndNoEdit) {
  auto window = Start(Example("deep-beam-opening"));
  EXPECT_EQ(Caption(*window), "Load case DL");
  EXPECT_NE(Status(*window).find("Locked"), std::string::npos) << Status(*window);
  QListWidget* cases = window->Docks()->GetResults()->GetCases();
  EXPECT_EQ(cases->currentRow(), 1);
  const QImage before = Picture(*window);
  EXPECT_TRUE(CaseEntry(*window, "LL")->isEnabled());
  CaseEntry(*window, "ULS")->trigger();
  EXPECT_EQ(Caption(*window), "Combination ULS");
  EXPECT_NE(Status(*window).find("Combination ULS"), std::string::npos) << Status(*window);
  EXPECT_EQ(cases->currentItem()->text(), "ULS");
  EXPECT_TRUE(CaseEntry(*window, "ULS")->isChecked());
  const QImage after = Picture(*window);
  EXPECT_GT(Differing(after, before), 200) << "larger forces, other labels and longer load arrows";

  // The model as put in, from the dock: the results go, the model stays locked, and a case from
  // the menu brings them back.
  cases->setCurrentRow(0);
  EXPECT_EQ(Caption(*window), "Input model (results hidden)");
  EXPECT_TRUE(window->Action("results.inputModel")->isChecked());
  EXPECT_FALSE(CaseEntry(*window, "ULS")->isChecked());
  EXPECT_TRUE(window->windowTitle().contains("[locked]"));
  EXPECT_GT(Differing(Picture(*window), after), 1000) << "the contour, widths and forces should be gone";
  CaseEntry(*window, "ULS")->trigger();
  EXPECT_EQ(cases->currentItem()->text(), "ULS");
  EXPECT_LT(Differing(Picture(*window), after), 50) << "the same case shows the same picture again";
  EXPECT_FALSE(window->windowTitle().endsWith("*"));
  EXPECT_FALSE(window->Action("edit.undo")->isEnabled());

  // Locked by its results, the model can be looked at and copied from, and every edit says why
  // it is refused.
  const int elements = window->Model().GetCountElement(1);
  const CStmObjElement* element = window->Model().GetElements().begin()->second;
  Click(*window, (element->GetCoordBegin() + element->GetCoordEnd()) * 0.5);
  EXPECT_EQ(window->Manager().GetSelectMap().GetCount(), 1);
  EXPECT_TRUE(window->Action("edit.copy")->isEnabled());
  EXPECT_FALSE(window->Action("edit.delete")->isEnabled());
  EXPECT_FALSE(window->Action("edit.cut")->isEnabled());
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_X),
                                    QKeySequence(Qt::CTRL | Qt::Key_Z)}) {
    Key(*window, keys[0].key(), keys[0].keyboardModifiers());
    EXPECT_TRUE(window->StatusMessage().contains("locked", Qt::CaseInsensitive))
        << keys.toString().toStdString() << ": " << Status(*window);
    EXPECT_FALSE(window->Actions().IsModified());
  }
  EXPECT_EQ(window->Manager().GetSelectMap().GetCount(), 1);
  EXPECT_EQ(window->Model().GetCountElement(1), elements);
}

TEST_F(StmQtResultsTest, LoadPathRunsBesideTheViewEscCancelsAndClosingLeavesAtOnce) {
  // Fine enough to take a while.
  auto window = Start(SaveDeepBeam(10.0));
  CStmModel& model = window->Model();
  QTest::keyClick(window->View(), Qt::Key_F6);
  ASSERT_TRUE(window->ResultsCommands().IsBusy()) << "finished before it could be cancelled: " << Status(*window);
  EXPECT_NE(Status(*window).find("Load path:"), std::string::npos) << Status(*window);
  // Nothing to draw while the worker computes, once the frame of the start is drawn.
  QTest::qWait(100);
  const int paints = window->PaintCount();
  QTest::qWait(300);
  EXPECT_EQ(window->PaintCount(), paints);
  // The view moves; the model is not changed meanwhile, and the user is told so.
  const double scale = window->RenderWnd().GetViewScale();
  Wheel(window->View(), window->View()->rect().center(), 1);
  EXPECT_NE(window->RenderWnd().GetViewScale(), scale);
  QTest::keyClick(window->View(), Qt::Key_N);
  EXPECT_NE(Status(*window).find("can be looked at, not changed"), std::string::npos) << Status(*window);
  EXPECT_FALSE(window->Docks()->GetProperties()->isEnabled() && window->Docks()->GetHistory()->isEnabled());
  QTest::keyClick(window->View(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->ResultsCommands().IsBusy(); }, 60000));
  EXPECT_EQ(Status(*window), "Load path cancelled; the model is as it was");
  EXPECT_EQ(model.IsLock(), 0);
  EXPECT_EQ(model.GetCountStepEso(), 0);
  EXPECT_FALSE(window->Action("edit.undo")->isEnabled());
  EXPECT_FALSE(window->windowTitle().endsWith("*"));

  // Closing the window in the middle of one stops it and leaves at once.
  window->Action("results.loadPath")->trigger();
  ASSERT_TRUE(window->ResultsCommands().IsBusy()) << Status(*window);
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(window->close());
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(model.IsLock(), 0);
}

TEST_F(StmQtResultsTest, LoadPathShowsItsStepsThroughTheDockAndSavesWithTheModel) {
  auto window = Start(SaveDeepBeam(100.0));
  CStmModel& model = window->Model();
  const QImage before = Picture(*window);
  RunAndWait(*window, "results.loadPath");
  const std::string done = "Load path of Load case DL: ";
  ASSERT_EQ(Status(*window).rfind(done, 0), 0u) << Status(*window);
  // A fortieth of the longer side would give several times as many.
  EXPECT_LT(std::atoi(Status(*window).c_str() + done.size()), 600) << "the cell size of the model";
  EXPECT_EQ(model.IsLock(), 1);
  EXPECT_FALSE(window->windowTitle().endsWith("*")) << "results, not an edit";
  const int steps = model.GetCountStepEso();
  ASSERT_GE(steps, 2);
  EXPECT_EQ(model.GetCurrentStepEso(), steps - 1) << "the last step shows";
  const QImage last = Picture(*window);
  EXPECT_GT(Differing(last, before), 2000) << "the contour fills what is left of the concrete";

  // The dock goes back a step: another picture, still no edit.
  QSlider* step = window->Docks()->GetResults()->GetStep();
  ASSERT_TRUE(step->isVisible());
  EXPECT_EQ(step->value(), steps);
  step->setValue(steps - 1);
  EXPECT_EQ(model.GetCurrentStepEso(), steps - 2);
  EXPECT_GT(Differing(Picture(*window), last), 0);
  EXPECT_FALSE(window->Action("edit.undo")->isEnabled());

  // Saved: the step chosen and the lock go with the model.
  const auto saved = Saved(*window);
  EXPECT_EQ(saved->GetCurrentStepEso(), steps - 2);
  EXPECT_EQ(saved->GetCountStepEso(), steps);
  EXPECT_EQ(saved->IsLock(), 1);
}

TEST_F(StmQtResultsTest, TheThicknessFromPropertiesChangesHowAnIndeterminateTrussShares) {
  // Three bars from a ceiling meet at D, pushed up by 600 kN: the middle one a steel tie (E_s A_s,
  // 4 bars of 20), the outer ones concrete struts 100 wide, so the thickness moves load between
  // them. Hand solution: F_middle = P EA_m / (EA_m + 2 EA_o cos^3 30); with no thickness given
  // every bar takes the same EA.
  const double pi = std::acos(-1.0), c = std::cos(pi / 6.0), p = 600.0, eaTie = 200.0 * pi * 400.0;
  const auto middle = [&](double t) { return p * eaTie / (eaTie + 2.0 * 30.0 * t * 100.0 * c * c * c); };
  const double uniform = p / (1.0 + 2.0 * c * c * c);
  CStmModel bars;
  SStmMaterials m;
  m.dConcreteModulus = 30.0;
  m.dSteelModulus = 200.0;
  m.dConcreteStrength = 0.03;
  m.dSteelYield = 0.42;
  bars.SetMaterials(m);
  const int tie = bars.GetStmDataDefine()->AddTieType(SStmTieType{"4 bars", 0, 0, 1, 20.0, 4});
  const double x = 2000.0 * std::tan(pi / 6.0);
  for (const CVector& at : {At(-x, 0), At(0, 0), At(x, 0), At(0, -2000)}) bars.AddNode(at);
  bars.AddElement(1, 4, SStmPropElement(1, 0, 100.0));
  bars.AddElement(2, 4, SStmPropElement(2, 2, 0.0))->SetIndexTieType(tie);
  bars.AddElement(3, 4, SStmPropElement(1, 0, 100.0));
  for (int n = 1; n <= 3; ++n) bars.AddRestraint(n, SStmDof{1, 0, 1, 0, 0, 0});
  bars.AddLoadConditionStatic("DL");
  bars.AddLoadNode("DL", 4, CVector(0, 0, p));
  Save(bars);
  auto window = Start(m_path);
  CStmQtPropertyGrid& grid = *window->Docks()->GetProperties();
  // Analyses, reads the left strut's tooltip, saves the results, reads the middle bar's force
  // back from the file, and clears.
  std::string analysed;
  QString strut;
  const auto analyse = [&] {
    RunAndWait(*window, "results.analyse");
    analysed = Status(*window);
    EXPECT_EQ(window->Model().IsLock(), 1) << analysed;
    strut = TooltipAt(*window, At(-x / 2.0, -1000.0));
    const auto saved = Saved(*window);
    window->Action("results.clear")->trigger();
    return saved->GetElement(2) ? -saved->GetElement(2)->GetResultAxialForce(0) : 0.0;
  };
  EXPECT_NEAR(analyse(), uniform, 1e-3 * uniform);
  EXPECT_NE(analysed.find("same stiffness, since thickness is not given"), std::string::npos) << analysed;
  TypeInGrid(grid, "Model", "Thickness", "400");
  EXPECT_TRUE(window->Action("edit.undo")->isEnabled());
  TypeInGrid(grid, "Model", "Cover", "-5");
  EXPECT_NE(window->findChild<QLabel*>("propertyMessage")->text().indexOf("cannot be negative"), -1);
  EXPECT_EQ(window->Model().GetMaterials().dCover, 0.0) << "a refused edit changes nothing";
  EXPECT_NEAR(analyse(), middle(400.0), 1e-3 * middle(400.0));
  EXPECT_EQ(analysed.find("same stiffness"), std::string::npos) << analysed;
  // The strut's share over 0.75 x 0.85 f'c and the thickness: its utilisation over its designed 100.
  const auto utilisation = [&](double t) { return (p - middle(t)) / (2.0 * c) / (0.75 * 0.85 * 0.03 * t * 100.0); };
  const auto shown = [&] {
    const QRegularExpressionMatch number = QRegularExpression("Utilisation\\s+([0-9.]+)").match(strut);
    return number.hasMatch() ? number.captured(1).toDouble() : -1.0;
  };
  EXPECT_TRUE(strut.contains("Required Width")) << strut.toStdString();
  EXPECT_NEAR(shown(), utilisation(400.0), 1e-3) << strut.toStdString();
  TypeInGrid(grid, "Model", "Thickness", "200");
  EXPECT_NEAR(analyse(), middle(200.0), 1e-3 * middle(200.0));
  EXPECT_NEAR(shown(), utilisation(200.0), 1e-3) << strut.toStdString();
  QTest::keyClick(window->View(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(window->View(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->Model().GetMaterials().dThickness, 0.0);
  EXPECT_NEAR(analyse(), uniform, 1e-3 * uniform);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
}

}  // namespace
