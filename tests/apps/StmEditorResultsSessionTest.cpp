// The editor's results menu as a user meets it: the case shown is named on screen, choosing
// another case changes the forces drawn, and a model without results offers none.
#include <gtest/gtest.h>

#include <string>

#include "support/StmEditorSession.h"

namespace {

class StmEditorResultsSessionTest : public StmEditorSessionFixture {
protected:
  static std::string Example(const char* name) {
    return std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json";
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
  ASSERT_EQ(after.rgba.size(), before.rgba.size());
  int changed = 0;
  for (size_t i = 0; i < after.rgba.size(); i += 4) changed += after.rgba[i] != before.rgba[i];
  EXPECT_GT(changed, 200);
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
  ASSERT_EQ(input.rgba.size(), after.rgba.size());
  changed = 0;
  for (size_t i = 0; i < input.rgba.size(); i += 4) changed += input.rgba[i] != after.rgba[i];
  EXPECT_GT(changed, 1000) << "the contour, widths and forces should be gone";
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  ASSERT_TRUE(m_editor.ClickItem("ULS"));
  EXPECT_EQ(m_editor.State().Get("case"), "Combination ULS");
  SRgbaImage again;
  ASSERT_TRUE(m_editor.Picture(again));
  changed = 0;
  for (size_t i = 0; i < again.rgba.size(); i += 4) changed += again.rgba[i] != after.rgba[i];
  EXPECT_LT(changed, 50) << "the same case shows the same picture again";
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
}

TEST_F(StmEditorResultsSessionTest, AModelWithoutResultsOffersNoCaseAndNamesNone) {
  ASSERT_TRUE(m_editor.Start(Example("corbel")));
  EXPECT_EQ(m_editor.State().Get("case"), "");
  ASSERT_TRUE(m_editor.ClickItem("Results"));
  EXPECT_EQ(m_editor.ItemEnabled("DL"), 0);
  EXPECT_EQ(m_editor.ItemEnabled("ULS"), 0);
}

}  // namespace
