// The editor's results menu as a user meets it: the case shown is named on screen, choosing
// another case changes the forces drawn, and a model without results offers none. The load path
// of the concrete: refused without an outline, cancelled by Esc, and once computed drawn, stepped
// through in the control panel and saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "host/model/CStmModel.h"
#include "host/model/StmMaterialDefaults.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorResultsSessionTest : public StmEditorSessionFixture {
protected:
  static std::string Example(const char* name) {
    return std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json";
  }

  // A deep beam 2000 x 1000 mm in x-z with no truss: its outline, a pin and a roller at the bottom
  // corners and 100 kN down at the middle of the top, saved to m_path.
  void SaveDeepBeam(double cellSize) {
    CStmModel model;
    model.SetPlane(STM_PLANE_XZ);
    model.SetUnitForce("kN");
    model.SetUnitLength("mm");
    SStmMaterials materials;
    ASSERT_TRUE(StmDefaultMaterials(STM_CODE_ACI_318_19, "kN", "mm", materials));
    materials.loadPath.dElementSize = cellSize;
    model.SetMaterials(materials);
    model.SetBoundary(STM_BOUNDARY_OUTER, {At(0, 0), At(2000, 0), At(2000, 1000), At(0, 1000)});
    const int left = model.AddNode(At(0, 0))->GetId();
    const int right = model.AddNode(At(2000, 0))->GetId();
    const int top = model.AddNode(At(1000, 1000))->GetId();
    SStmDof pin, roller;
    pin.Ux = pin.Uz = 1;
    roller.Uz = 1;
    model.AddRestraint(left, pin);
    model.AddRestraint(right, roller);
    model.AddLoadConditionStatic("DL");
    model.AddLoadNode("DL", top, CVector(0, 0, -100));
    Save(model);
  }

  // Pixels inside the outline that are neither grey nor the background: the contour's colours.
  int ColouredInOutline() { return ColouredInOutline(m_editor); }
  static int ColouredInOutline(const StmEditorSession& editor) {
    SRgbaImage image;
    EXPECT_TRUE(editor.Picture(image));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    editor.ScreenOf(At(0, 1000), x0, y0, true);
    editor.ScreenOf(At(2000, 0), x1, y1, true);
    const auto coloured = [](const std::uint8_t* p) { return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 100; };
    return image.Count(coloured, x0 + 3, y0 + 3, x1 - 3, y1 - 3);
  }
};

TEST_F(StmEditorResultsSessionTest, ChoosingACombinationShowsItsForcesAndNamesIt) {
  ASSERT_TRUE(m_editor.Start(Example("deep-beam-opening")));
  EXPECT_EQ(m_editor.State().Get("case"), "Load case DL");
  SRgbaImage before;
  ASSERT_TRUE(m_editor.Picture(before));

  ASSERT_TRUE(m_editor.ClickItem("Results"));
  EXPECT_EQ(m_editor.ItemEnabled("LL"), 1);
  EXPECT_EQ(m_editor.ItemEnabled("ULS+10%"), 1);
  ASSERT_TRUE(m_editor.ClickItem("ULS"));
  EXPECT_EQ(m_editor.State().Get("case"), "Combination ULS");
  EXPECT_NE(m_editor.State().Get("status").find("Combination ULS"), std::string::npos)
      << m_editor.State().Get("status");
  // Larger forces, other labels and longer load arrows.
  SRgbaImage after;
  ASSERT_TRUE(m_editor.Picture(after));
  EXPECT_GT(after.Differing(before), 200);
  // Choosing is no edit.
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
  EXPECT_EQ(m_editor.State().Get("title").find('*'), std::string::npos) << m_editor.State().Get("title");

  // The input model: the results go from the picture, the model stays locked, and a case
  // brings them back.
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  ASSERT_TRUE(m_editor.ClickItem("Input model"));
  EXPECT_EQ(m_editor.State().Get("case"), "Input model (results hidden)");
  EXPECT_NE(m_editor.State().Get("title").find("[locked]"), std::string::npos) << m_editor.State().Get("title");
  SRgbaImage input;
  ASSERT_TRUE(m_editor.Picture(input));
  EXPECT_GT(input.Differing(after), 1000) << "the contour, widths and forces should be gone";
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  ASSERT_TRUE(m_editor.ClickItem("ULS"));
  EXPECT_EQ(m_editor.State().Get("case"), "Combination ULS");
  SRgbaImage again;
  ASSERT_TRUE(m_editor.Picture(again));
  EXPECT_LT(again.Differing(after), 50) << "the same case shows the same picture again";
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
}

TEST_F(StmEditorResultsSessionTest, AModelWithoutResultsOffersNoCaseAndNamesNone) {
  ASSERT_TRUE(m_editor.Start(Example("corbel")));
  EXPECT_EQ(m_editor.State().Get("case"), "");
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  EXPECT_EQ(m_editor.ItemEnabled("DL"), 0);
  EXPECT_EQ(m_editor.ItemEnabled("ULS"), 0);
}

TEST_F(StmEditorResultsSessionTest, LoadPathWithoutAnOutlineIsRefusedAndChangesNothing) {
  SaveSquareTruss();
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  EXPECT_EQ(m_editor.ItemEnabled("Load path"), 0) << "greyed without an outer outline";
  ASSERT_TRUE(m_editor.Key("Escape"));
  ASSERT_TRUE(m_editor.Key("F6"));
  EXPECT_NE(Status().find("outline"), std::string::npos) << Status();
  EXPECT_EQ(Get("loadpath"), "");
  EXPECT_EQ(m_editor.State().Int("locked"), 0);
  EXPECT_EQ(m_editor.State().Int("undo"), 0);
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
  EXPECT_EQ(Get("eso"), "0/0");
}

TEST_F(StmEditorResultsSessionTest, LoadPathRunsBesideTheViewAndEscCancelsIt) {
  // Fine enough to take a while.
  SaveDeepBeam(10.0);
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  ASSERT_TRUE(m_editor.ClickItem("Load path"));
  ASSERT_EQ(Get("loadpath"), "running") << "finished before it could be cancelled: " << Status();
  EXPECT_NE(Status().find("Load path:"), std::string::npos) << Status();
  // The view moves; the model is not changed meanwhile, and the user is told so.
  const double scale = m_editor.State().Real("scale");
  ASSERT_TRUE(m_editor.Wheel(At(1000, 500), 1));
  EXPECT_NE(m_editor.State().Real("scale"), scale);
  ASSERT_TRUE(m_editor.Key("n"));
  EXPECT_NE(Status().find("can be looked at, not changed"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("Escape"));
  ASSERT_TRUE(m_editor.WaitFor([](const StmEditorSession::SState& state) { return state.Get("loadpath").empty(); },
                               "the load path to stop"));
  EXPECT_EQ(Status(), "Load path cancelled; the model is as it was");
  EXPECT_EQ(m_editor.State().Int("locked"), 0);
  EXPECT_EQ(m_editor.State().Int("undo"), 0);
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
  EXPECT_EQ(Get("eso"), "0/0");
  // Closing the window in the middle of one stops it and leaves at once.
  ASSERT_TRUE(m_editor.Key("F6"));
  ASSERT_EQ(Get("loadpath"), "running") << Status();
  EXPECT_EQ(m_editor.KeyAndWaitForExit("ctrl+q"), 0) << m_editor.Stderr();
}

TEST_F(StmEditorResultsSessionTest, LoadPathShowsItsContourStepsThroughThePanelAndSavesWithTheModel) {
  SaveDeepBeam(0.0);
  ASSERT_TRUE(m_editor.Start(m_path));
  // The settings in the Properties panel: one step each, a value out of range refused.
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Properties"));
  ASSERT_TRUE(m_editor.ClickItem("Cell size"));
  ASSERT_TRUE(m_editor.Type("100"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Status(), "Load-path settings set");
  ASSERT_TRUE(m_editor.ClickItem("Target fraction"));
  ASSERT_TRUE(m_editor.Type("0"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_NE(Status().find("target fraction must be above 0"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Properties"));
  const int before = ColouredInOutline();
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  ASSERT_TRUE(m_editor.ClickItem("Load path"));
  ASSERT_TRUE(m_editor.WaitFor([](const StmEditorSession::SState& state) { return state.Get("loadpath").empty(); },
                               "the load path"));
  const std::string done = "Load path of Load case DL: ";
  ASSERT_EQ(Status().rfind(done, 0), 0u) << Status();
  // A fortieth of the longer side would give several times as many.
  EXPECT_LT(std::atoi(Status().c_str() + done.size()), 600) << "the cell size typed";
  // Results, not an edit: locked, no step, the mark as the settings left it.
  EXPECT_EQ(m_editor.State().Int("locked"), 1);
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  EXPECT_TRUE(TitleMarked());
  const std::string eso = Get("eso");
  const int steps = std::stoi(eso.substr(eso.find('/') + 1));
  ASSERT_GE(steps, 2) << eso;
  EXPECT_EQ(eso, std::to_string(steps) + "/" + std::to_string(steps)) << "the last step shows";
  const int shown = ColouredInOutline();
  EXPECT_GT(shown, before + 2000) << "the contour fills what is left of the concrete";

  // The panel goes back a step: another picture, still no edit.
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Control panel"));
  ASSERT_TRUE(m_editor.ClickItem("dlg4004.4075"));
  const std::string chosen = Get("eso");
  EXPECT_EQ(chosen, std::to_string(steps - 1) + "/" + std::to_string(steps));
  EXPECT_NE(ColouredInOutline(), shown);
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Control panel"));
  const int picked = ColouredInOutline();

  // Saved and opened again: the same step, the same picture.
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  ASSERT_EQ(m_editor.KeyAndWaitForExit("ctrl+q"), 0);
  StmEditorSession again;
  ASSERT_TRUE(again.Start(m_path));
  EXPECT_EQ(again.State().Get("eso"), chosen);
  EXPECT_EQ(again.State().Int("locked"), 1);
  EXPECT_NEAR(ColouredInOutline(again), picked, picked / 100);
}

}  // namespace
