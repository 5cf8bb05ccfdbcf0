// The Modify tools in the real editor under a virtual display: real clicks and keys, checked
// against what the editor writes to disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "geometry/StmGeometry.h"
#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorModifySessionTest : public StmEditorSessionFixture {
protected:
  void SetUp() override {
    StmEditorSessionFixture::SetUp();
    if (IsSkipped()) return;
    SaveSquareTruss();
  }

  // The enabled elements on disk as "x,z-x,z" of their ends, ends in either order.
  std::set<std::string> ElementsOnDisk() const {
    const auto model = Saved();
    std::set<std::string> out;
    for (const auto& [id, e] : model->GetElements()) {
      if (!e->IsEnable()) continue;
      std::string a = Text(e->GetCoordBegin()), b = Text(e->GetCoordEnd());
      if (b < a) std::swap(a, b);
      out.insert(a + "-" + b);
    }
    return out;
  }
  static std::string Text(const CVector& p) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g,%g", p.x, p.z);
    return buffer;
  }
};

TEST_F(StmEditorModifySessionTest, CtrlVAndClicksPasteTheModifyMenuMovesATypedAngleTurnsAndMirrorCopies) {
  ASSERT_TRUE(m_editor.Start(m_path));
  // Room around the square, so that the tools' dialogs at the bottom-left leave its corner clear.
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  ASSERT_TRUE(m_editor.Click(At(500, 0)));
  ASSERT_TRUE(m_editor.Key("ctrl+c"));
  ASSERT_TRUE(m_editor.Key("ctrl+v"));
  EXPECT_NE(Status().find("Pick Position"), std::string::npos) << Status();
  // The bottom side's left end lands on the top-right corner; the second paste there adds nothing.
  ASSERT_TRUE(m_editor.Click(At(1000, 1000)));
  ASSERT_TRUE(m_editor.Click(At(1000, 1000)));
  ASSERT_TRUE(m_editor.Key("Escape"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  std::set<std::string> expected = {"0,0-1000,0",    "1000,0-1000,1000", "0,1000-1000,1000",
                                    "0,0-0,1000",    "0,0-1000,1000",    "1000,1000-2000,1000"};
  EXPECT_EQ(ElementsOnDisk(), expected);
  // A paste onto what is there already is no edit: no step, no '*', and what could be redone
  // still can.
  const int steps = m_editor.State().Int("undo");
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  for (const int redo : {1, 0}) {
    ASSERT_TRUE(m_editor.Key("ctrl+v"));
    ASSERT_TRUE(m_editor.Click(At(0, 0)));
    ASSERT_TRUE(m_editor.Key("Escape"));
    EXPECT_EQ(m_editor.State().Int("undo"), steps - redo);
    EXPECT_EQ(m_editor.State().Int("redo"), redo);
    if (redo) {
      ASSERT_TRUE(m_editor.Key("ctrl+y"));
    }
  }
  EXPECT_EQ(m_editor.State().Get("title").find('*'), std::string::npos) << m_editor.State().Get("title");

  // The diagonal, moved by its lower end onto the bottom-right corner through the menu.
  ASSERT_TRUE(m_editor.Click(At(500, 500)));
  ASSERT_EQ(m_editor.State().Int("selected"), 1);
  ASSERT_TRUE(m_editor.ClickItem("Modify"));
  EXPECT_EQ(m_editor.ItemEnabled("Move"), 1);
  ASSERT_TRUE(m_editor.ClickItem("Move"));
  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  EXPECT_NE(Status().find("Moved 1"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  expected.erase("0,0-1000,1000");
  expected.insert("1000,0-2000,1000");
  EXPECT_EQ(ElementsOnDisk(), expected);

  // The bottom side turned by a typed quarter turn about its left end lands on the left side,
  // which stays alone.
  ASSERT_TRUE(m_editor.Click(At(500, 0)));
  ASSERT_TRUE(m_editor.Key("r"));
  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  ASSERT_TRUE(m_editor.Key("Tab"));
  ASSERT_TRUE(m_editor.Type("90"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_NE(Status().find("Rotated 1"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  expected.erase("0,0-1000,0");
  EXPECT_EQ(ElementsOnDisk(), expected);

  // The left side mirrored by copy about the right side: the question is answered in the window.
  ASSERT_TRUE(m_editor.Click(At(0, 500)));
  ASSERT_TRUE(m_editor.Key("i"));
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  ASSERT_TRUE(m_editor.Click(At(1000, 1000)));
  ASSERT_TRUE(m_editor.ClickItem("dlg4006.4125"));
  EXPECT_NE(Status().find("Mirrored copies made"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  expected.insert("2000,0-2000,1000");
  EXPECT_EQ(ElementsOnDisk(), expected);
}

// A post in two pieces, a beam meeting it half-way, copied onto a whole post: the whole post is
// cut there and its halves reused, and a second paste at the same node adds nothing and leaves
// no step that Ctrl+Z would undo for nothing.
TEST_F(StmEditorModifySessionTest, APostInTwoPiecesPastedTwiceAtOneNodeLiesOnceOverTheOtherPost) {
  CStmModel model;
  model.SetPlane(STM_PLANE_XZ);
  for (const CVector& p : {At(0, 0), At(0, 500), At(0, 1000), At(500, 500), At(1000, 0), At(1000, 1000)})
    model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {2, 4}, {5, 6}}) model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  Save(model);
  const std::set<std::string> original = ElementsOnDisk();

  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  ASSERT_TRUE(m_editor.Drag(At(-100, -100), At(100, 1100)));
  ASSERT_EQ(m_editor.State().Int("selected"), 5);
  ASSERT_TRUE(m_editor.Key("ctrl+c"));
  ASSERT_TRUE(m_editor.Key("ctrl+v"));
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  ASSERT_TRUE(m_editor.Key("Escape"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const std::set<std::string> pasted = {"0,0-0,500",       "0,1000-0,500",       "0,500-500,500",
                                        "1000,0-1000,500", "1000,1000-1000,500"};
  EXPECT_EQ(ElementsOnDisk(), pasted);
  const int steps = m_editor.State().Int("undo");

  ASSERT_TRUE(m_editor.Key("ctrl+v"));
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(m_editor.State().Int("undo"), steps);
  EXPECT_FALSE(TitleMarked()) << Get("title");
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(ElementsOnDisk(), pasted);
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_TRUE(TitleMarked()) << Get("title");
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(ElementsOnDisk(), original);
}

TEST_F(StmEditorModifySessionTest, BothNodesOfASideStretchedUpBySideLengthMoveBeforeAnythingMerges) {
  ASSERT_TRUE(m_editor.Start(m_path));
  const std::set<std::string> original = ElementsOnDisk();
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  // A window round the right side takes both its nodes (and the side, which stretch leaves alone).
  ASSERT_TRUE(m_editor.Drag(At(900, -100), At(1100, 1100)));
  ASSERT_EQ(m_editor.State().Int("selected"), 3);
  ASSERT_TRUE(m_editor.ClickItem("Modify"));
  ASSERT_TRUE(m_editor.ClickItem("Stretch"));
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  ASSERT_TRUE(m_editor.Click(At(1000, 1000)));
  EXPECT_NE(Status().find("Stretched: 2 nodes"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(ElementsOnDisk(), (std::set<std::string>{"0,0-1000,1000", "1000,1000-1000,2000", "0,1000-1000,2000",
                                                     "0,0-0,1000", "0,0-1000,2000"}));
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(ElementsOnDisk(), original);
}

// What a file could not take back never enters the model: a move that would carry a node past
// the coordinate limit is refused with the value and the limit, and the file stays as it was.
TEST_F(StmEditorModifySessionTest, AMovePastTheCoordinateLimitSaysWhyAndLeavesTheFileAsItWas) {
  CStmModel model;
  model.SetPlane(STM_PLANE_XZ);
  model.AddNode(At(0, 0));
  model.AddNode(At(6e8, 0));
  model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
  Save(model);
  const std::set<std::string> original = ElementsOnDisk();

  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Wheel(At(3e8, 0), -2));
  ASSERT_TRUE(m_editor.Click(At(3e8, 0)));
  ASSERT_EQ(m_editor.State().Int("selected"), 1);
  ASSERT_TRUE(m_editor.ClickItem("Modify"));
  ASSERT_TRUE(m_editor.ClickItem("Move"));
  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  ASSERT_TRUE(m_editor.Click(At(6e8, 0)));
  EXPECT_NE(Status().find("1.2e+09, beyond the limit of +/-1e+09"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("undo"), 0);
  EXPECT_FALSE(TitleMarked());
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(ElementsOnDisk(), original);
}

}  // namespace
