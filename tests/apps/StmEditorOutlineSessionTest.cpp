// The outline tools in the real editor: elements picked by clicks in the window, the right
// button to confirm, a refused opening told in a message box, and the outlines in the file saved.
#include <gtest/gtest.h>

#include <string>

#include "host/model/CStmModel.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorOutlineSessionTest : public StmEditorSessionFixture {
protected:
  void SetUp() override {
    StmEditorSessionFixture::SetUp();
    if (IsSkipped()) return;
    // A square of 1000 mm (elements 1-4), a triangle inside it (5-7) and one beside it (8-10).
    CStmModel model;
    model.SetPlane(STM_PLANE_XZ);
    for (const CVector& p : {At(0, 0), At(1000, 0), At(1000, 1000), At(0, 1000), At(300, 300), At(700, 300),
                             At(500, 700), At(1200, 0), At(1600, 0), At(1400, 400)})
      model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7}, {7, 5}, {8, 9}, {9, 10}, {10, 8}})
      model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    Save(model);
  }
  // Picks the elements through their middles and confirms with the right button.
  testing::AssertionResult PickAndConfirm(const std::vector<CVector>& middles) {
    for (const CVector& p : middles) {
      testing::AssertionResult done = m_editor.Click(p);
      if (!done) return done;
    }
    return m_editor.Click(At(850, 150), 3);
  }
};

TEST_F(StmEditorOutlineSessionTest, OutlineAndOpeningFromPickedElementsAndARefusedOpening) {
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Outer outline from elements"));
  EXPECT_TRUE(Has("status", "right button")) << Get("status");
  ASSERT_TRUE(PickAndConfirm({At(500, 0), At(1000, 500), At(500, 1000), At(0, 500)}));
  EXPECT_TRUE(Has("status", "Add OuterBoundary.")) << Get("status");
  EXPECT_EQ(m_editor.State().Int("selected"), 0);

  // The triangle beside the square is no opening of it: refused, and the tool ends.
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Opening from elements"));
  ASSERT_TRUE(PickAndConfirm({At(1400, 0), At(1500, 200), At(1300, 200)}));
  EXPECT_TRUE(Has("box", "교차") || Has("box", "cross")) << Get("box");
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("box"), "");
  EXPECT_TRUE(Has("status", "Failed Add InnerBoundary.")) << Get("status");

  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Opening from elements"));
  ASSERT_TRUE(PickAndConfirm({At(500, 300), At(600, 500), At(400, 500)}));
  EXPECT_TRUE(Has("status", "Add InnerBoundary.")) << Get("status");
  ASSERT_TRUE(m_editor.Key("ctrl+s"));

  const auto saved = Saved();
  ASSERT_EQ(saved->GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(saved->GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0)->GetIdElements(), (std::vector<int>{1, 2, 3, 4}));
  ASSERT_EQ(saved->GetCountBoundary(STM_BOUNDARY_INNER, 1), 1);
  EXPECT_EQ(saved->GetBoundaryObj(STM_BOUNDARY_INNER, -1, 0)->GetIdElements(), (std::vector<int>{5, 6, 7}));
}

}  // namespace
