// Analysing in the editor as a user does: a truss with a tie removed is refused as a mechanism
// with the loose node marked; put back, it is solved, its forces are shown at once and the
// model is locked (no undo past the results) until the results are cleared.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "support/RunProgram.h"
#include "support/StmEditorSession.h"

namespace {

// Pixels of the picture that are exactly the tie colour of the forces layer.
int TiePixels(const SRgbaImage& image) {
  return image.Count([](const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 255; });
}

TEST(StmEditorAnalysisSessionTest, MechanismMarkedThenSolvedLockedAndCleared) {
  const std::string why = StmEditorSession::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  const std::string path = std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json";
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(path, model, &error)) << error;
  CVector d, e;
  for (const auto& [id, node] : model.GetNodes()) {
    if (node->GetName() == "D") d = node->GetCoord();
    if (node->GetName() == "E") e = node->GetCoord();
  }

  StmEditorSession editor;
  ASSERT_TRUE(editor.Start(path));
  // Without the tie DE, node E hangs on one strut.
  ASSERT_TRUE(editor.Click((d + e) * 0.5));
  ASSERT_EQ(editor.State().Int("selected"), 1);
  ASSERT_TRUE(editor.Key("Delete"));
  SRgbaImage before;
  ASSERT_TRUE(editor.Picture(before));
  ASSERT_TRUE(editor.Key("F5"));
  const std::string refused = editor.State().Get("status");
  EXPECT_NE(refused.find("mechanism"), std::string::npos) << refused;
  EXPECT_NE(refused.find("Nodes E and 1 elements"), std::string::npos) << refused;
  EXPECT_EQ(editor.State().Int("locked"), 0);
  // The mark over the node is all that changed there.
  SRgbaImage picture;
  ASSERT_TRUE(editor.Picture(picture));
  int x = 0, y = 0;
  editor.ScreenOf(e, x, y, true);
  EXPECT_GT(picture.Differing(before, x - 6, y - 6, x + 7, y + 7), 40);

  // Put back, the truss is solved: forces on screen, the first case named, the model locked,
  // and neither analysing nor clearing is an edit.
  ASSERT_TRUE(editor.Key("ctrl+z"));
  ASSERT_EQ(editor.State().Int("undo"), 0);
  ASSERT_TRUE(editor.Picture(picture));
  EXPECT_EQ(TiePixels(picture), 0);
  ASSERT_TRUE(editor.ClickItem("Results"));
  ASSERT_TRUE(editor.ClickItem("Analyse"));
  EXPECT_NE(editor.State().Get("status").find("statically"), std::string::npos) << editor.State().Get("status");
  // The example's materials give the checks, which the status line sums up.
  const std::string summary = editor.State().Get("status");
  EXPECT_TRUE(summary.find("all checks pass") != std::string::npos || summary.find("over capacity") != std::string::npos)
      << summary;
  EXPECT_EQ(editor.State().Int("locked"), 1);
  EXPECT_EQ(editor.State().Get("case"), "Load case DL");
  EXPECT_NE(editor.State().Get("title").find("[locked]"), std::string::npos);
  EXPECT_EQ(editor.State().Int("modified"), 0);
  ASSERT_TRUE(editor.Picture(picture));
  EXPECT_GT(TiePixels(picture), 50);
  // Redo would bring the mechanism back under its results.
  ASSERT_TRUE(editor.Key("ctrl+y"));
  EXPECT_EQ(editor.State().Int("redo"), 1);
  EXPECT_NE(editor.State().Get("status").find("locked"), std::string::npos) << editor.State().Get("status");

  ASSERT_TRUE(editor.ClickItem("Results"));
  EXPECT_EQ(editor.ItemEnabled("Analyse"), 0);
  ASSERT_TRUE(editor.ClickItem("Clear results"));
  EXPECT_EQ(editor.State().Int("locked"), 0);
  EXPECT_EQ(editor.State().Get("case"), "");
  EXPECT_EQ(editor.State().Int("modified"), 0);
  ASSERT_TRUE(editor.Picture(picture));
  EXPECT_EQ(TiePixels(picture), 0);
  // The history is as it was.
  ASSERT_TRUE(editor.Key("ctrl+y"));
  EXPECT_EQ(editor.State().Int("undo"), 1);
  std::filesystem::remove_all(StmEditorSession::ConfigDir());
}

TEST(StmEditorAnalysisSessionTest, SupportTooltipGivesTheReactionAndTheStatusLineACrossing) {
  const std::string why = StmEditorSession::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  // A panel 4000 wide and 3000 high on a pin and a roller, pushed sideways at its top left; its
  // two diagonals pass each other without a node.
  CStmModel model;
  model.SetPlane(STM_PLANE_XZ);
  for (const CVector& p : {CVector(0, 0, 0), CVector(4000, 0, 0), CVector(4000, 0, 3000), CVector(0, 0, 3000)})
    model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}})
    model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  model.AddRestraint(1, SStmDof{1, 0, 1, 0, 0, 0});
  model.AddRestraint(2, SStmDof{0, 0, 1, 0, 0, 0});
  model.AddLoadConditionStatic("W");
  model.AddLoadNode("W", 4, CVector(5, 0, 0));
  const std::string path = std::string(STM_TEST_OUT_DIR) + "/panel-" + std::to_string(getpid()) + ".stm.json";
  std::filesystem::create_directories(STM_TEST_OUT_DIR);
  std::string error;
  ASSERT_TRUE(CStmModelFile::Save(path, model, &error)) << error;

  StmEditorSession editor;
  ASSERT_TRUE(editor.Start(path));
  ASSERT_TRUE(editor.Key("F5"));
  const std::string status = editor.State().Get("status");
  EXPECT_NE(status.find("1 warning: Elements 5 and 6 cross without a node"), std::string::npos) << status;
  EXPECT_EQ(editor.State().Int("locked"), 1);
  // The roller holds the overturning: 5 kN at 3000 over 4000.
  ASSERT_TRUE(editor.MoveTo(CVector(4000, 0, 0)));
  ASSERT_TRUE(editor.WaitFor(
      [](const StmEditorSession::SState& state) { return state.Get("tooltip").find("Reaction") != std::string::npos; },
      "the reaction in the tooltip of the roller"));
  const std::string tooltip = editor.State().Get("tooltip");
  EXPECT_NE(tooltip.find("Rx 0.00 kN, Rz 3.75 kN"), std::string::npos) << tooltip;
  EXPECT_NE(tooltip.find("CC"), std::string::npos) << tooltip;
  std::filesystem::remove(path);
  std::filesystem::remove_all(StmEditorSession::ConfigDir());
}

}  // namespace
