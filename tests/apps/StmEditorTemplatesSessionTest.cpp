// The Templates menu and its settings panel in the real editor under a virtual display: a truss
// inserted by clicks on a square, the settings kept for the next use, the file on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorTemplatesSessionTest : public StmEditorSessionFixture {
protected:
  void SetUp() override {
    StmEditorSessionFixture::SetUp();
    if (IsSkipped()) return;
    SaveSquareTruss();
  }
  testing::AssertionResult ChooseTruss() {
    if (auto result = m_editor.ClickItem("Templates"); !result) return result;
    return m_editor.ClickItem("Truss");
  }
  testing::AssertionResult PickTrussOnSquare() {
    for (const CVector& p : {At(0, 0), At(1000, 0), At(0, 1000)}) {
      if (auto result = m_editor.Click(p); !result) return result;
    }
    return testing::AssertionSuccess();
  }
};

TEST_F(StmEditorTemplatesSessionTest, ATrussOfTwoBaysByClicksKeepsItsSettingsAndIsSaved) {
  ASSERT_TRUE(m_editor.Start(m_path));
  // Room around the square, clear of the menu, the panel and the status line.
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -3));
  ASSERT_TRUE(ChooseTruss());
  EXPECT_NE(Status().find("Truss: pick the start of the bottom chord"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.ClickItem("Fewer bays"));
  ASSERT_TRUE(PickTrussOnSquare());
  // The bottom and top sides are cut at their middles; a vertical and two diagonals join them.
  EXPECT_NE(Status().find("Added 2 nodes and 5 elements"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("undo"), 1);

  // Chosen again after Esc, the truss still has two bays: at the same points it adds nothing.
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(m_editor.ItemEnabled("Fewer bays"), -1);
  ASSERT_TRUE(ChooseTruss());
  ASSERT_TRUE(PickTrussOnSquare());
  EXPECT_NE(Status().find("Nothing added"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("undo"), 1);

  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto saved = Saved();
  EXPECT_EQ(saved->GetCountNode(1), 6);
  EXPECT_EQ(saved->GetCountElement(1), 10);
  EXPECT_NE(saved->GetNode(At(500, 0)), nullptr);
  EXPECT_NE(saved->GetNode(At(500, 1000)), nullptr);
}

}  // namespace
