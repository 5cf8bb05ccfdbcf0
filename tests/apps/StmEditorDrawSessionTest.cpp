// Drawing in the editor as a user does it: the Draw menu, real clicks on nodes, undo and redo,
// a coordinate typed into the dialog beside the view, and the file on disk after each save.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorDrawSessionTest : public StmEditorSessionFixture {
protected:
  void SetUp() override {
    StmEditorSessionFixture::SetUp();
    if (IsSkipped()) return;
    // A square of four nodes and four sides, 1000 mm each, in the x-z plane.
    CStmModel model;
    model.SetPlane(STM_PLANE_XZ);
    for (const CVector& p : {At(0, 0), At(1000, 0), At(1000, 1000), At(0, 1000)}) model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}}) model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    Save(model);
  }

  // The enabled elements on disk, each as the ids of its two nodes, the smaller first.
  std::set<std::pair<int, int>> ElementsOnDisk() const {
    const auto model = Saved();
    EXPECT_EQ(model->GetCountNode(1), 4) << "no node was added";
    std::set<std::pair<int, int>> out;
    for (const auto& [id, element] : model->GetElements()) {
      if (!element->IsEnable()) continue;
      const int a = element->GetIdNodeBegin(), b = element->GetIdNodeEnd();
      out.insert({std::min(a, b), std::max(a, b)});
    }
    return out;
  }
};

TEST_F(StmEditorDrawSessionTest, ElementsByClicksOnNodesAndGridPointsAndToATypedLength) {
  ASSERT_TRUE(m_editor.Start(m_path));
  // Room around the square, clear of the dialog at the bottom-left.
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Element"));
  EXPECT_EQ(Status(), "Pick start point");
  EXPECT_EQ(m_editor.State().Get("dialogs").rfind("4001:", 0), 0u) << "the coordinate dialog shows";

  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  EXPECT_EQ(Status(), "Pick end point");
  // The status line gives the point a click would take: the node the cursor is near.
  ASSERT_TRUE(m_editor.MoveTo(At(1003, 997)));
  EXPECT_NE(m_editor.State().Get("where").find("x 1000.0  z 1000.0 mm"), std::string::npos)
      << m_editor.State().Get("where");
  ASSERT_TRUE(m_editor.Click(At(1000, 1000)));
  EXPECT_EQ(Status(), "Element 5 drawn. Pick start point");
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  // The wheel over the dialog zooms the view.
  ASSERT_TRUE(m_editor.HoverItem("dlg4001.4098"));
  const double scale = m_editor.State().Real("scale");
  ASSERT_TRUE(m_editor.Input("click 5"));
  EXPECT_GT(m_editor.State().Real("scale"), scale);
  ASSERT_TRUE(m_editor.Input("click 4"));
  EXPECT_NEAR(m_editor.State().Real("scale"), scale, scale * 1e-9);

  // Undone and saved: the file is the square again; redone and saved: the diagonal is there.
  const std::set<std::pair<int, int>> square = {{1, 2}, {2, 3}, {3, 4}, {1, 4}};
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(ElementsOnDisk(), square);
  ASSERT_TRUE(m_editor.Key("ctrl+y"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  std::set<std::pair<int, int>> expected = square;
  expected.insert({1, 3});
  EXPECT_EQ(ElementsOnDisk(), expected);

  // While the tool runs, the grid gives points where nothing else is: two new nodes.
  ASSERT_TRUE(m_editor.Click(At(200, 300)));
  ASSERT_TRUE(m_editor.Click(At(200, 700)));
  EXPECT_EQ(Status(), "Element 6 drawn. Pick start point");

  // With the length prompt on, the length typed there ends the element on the way to the
  // picked point: at 500 from node 1, on the bottom side, which the new node splits; the half
  // it cuts out is the element asked for, so no second element lies over it.
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Ask for the length of each element"));
  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  EXPECT_EQ(m_editor.State().Get("modal"), "4090:4092=1000.000000,keyboard=4092");
  ASSERT_TRUE(m_editor.Type("500"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(m_editor.State().Get("modal"), "");
  EXPECT_EQ(Status(), "Element 1 drawn. Pick start point");
  // Esc in the prompt draws nothing.
  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  ASSERT_TRUE(m_editor.Click(At(1000, 1000)));
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(Status(), "Length not given: nothing was drawn. Pick start point");
  EXPECT_EQ(m_editor.State().Int("undo"), 3);

  // The snap modes are switches of the menu.
  const int snap = m_editor.State().Int("snap");
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Snap to middles"));
  EXPECT_EQ(m_editor.State().Int("snap"), snap & ~0x10);
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Orthogonal drawing"));
  EXPECT_EQ(m_editor.State().Int("ortho"), 1);
  // The nearest-point snap rests while orthogonal drawing is on.
  EXPECT_EQ(m_editor.State().Int("snap"), snap & ~0x12);

  // Esc leaves the tool, and the dialog goes with it; N starts the node tool.
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(m_editor.State().Get("dialogs"), "");
  ASSERT_TRUE(m_editor.Key("n"));
  EXPECT_EQ(Status(), "Pick Position");
  ASSERT_TRUE(m_editor.Click(At(800, 300)));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto model = Saved();
  for (const auto& [id, at] : {std::pair{5, At(200, 300)}, {6, At(200, 700)}, {7, At(500, 0)}, {8, At(800, 300)}}) {
    ASSERT_NE(model->GetNode(id), nullptr) << id;
    EXPECT_EQ(model->GetNode(id)->GetCoord(), at) << id;
  }
  EXPECT_EQ(model->GetCountElement(1), 7);
}

// Typed points as the key list teaches them: E, Tab, "1000,500", Enter. The value lands exactly,
// whatever the mouse did in between,
// and once: the click after it takes the node clicked, and a truss typed onto nodes joins them
// instead of standing half a pixel beside them.
TEST_F(StmEditorDrawSessionTest, TypedPointsAreTakenExactlyAndOnce) {
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  ASSERT_TRUE(m_editor.Key("e"));
  ASSERT_TRUE(m_editor.Key("Tab"));
  ASSERT_TRUE(m_editor.Type("1000,500"));
  // A hand that moves the mouse before Enter leaves what it typed as it was.
  ASSERT_TRUE(m_editor.MoveTo(At(300, 700)));
  EXPECT_EQ(m_editor.State().Get("dialogs"), "4001:4001=1000,4002=500,keyboard=4002");
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Status(), "Pick end point");
  ASSERT_TRUE(m_editor.Click(At(0, 0)));
  EXPECT_EQ(Status(), "Element 6 drawn. Pick start point");

  // The truss, typed: its chord from node 4 to node 3, then its height.
  ASSERT_TRUE(m_editor.Key("Escape"));
  ASSERT_TRUE(m_editor.ClickItem("Templates"));
  ASSERT_TRUE(m_editor.ClickItem("Truss"));
  for (const char* point : {"0,1000", "1000,1000", "0,1500"}) {
    ASSERT_TRUE(m_editor.Key("Tab"));
    ASSERT_TRUE(m_editor.Type(point));
    ASSERT_TRUE(m_editor.Key("Return"));
  }
  EXPECT_NE(Status().find("Added 6 nodes"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+s"));

  const auto model = Saved();
  // Node 5, where the typed point split the right side; node 1 at the end clicked.
  ASSERT_NE(model->GetNode(5), nullptr);
  EXPECT_EQ(model->GetNode(5)->GetCoord(), At(1000, 500));
  const CStmObjElement* typed = model->GetElement(6);
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(std::set<int>({typed->GetIdNodeBegin(), typed->GetIdNodeEnd()}), std::set<int>({1, 5}));
  // The truss added its six nodes and no node stands beside another.
  EXPECT_EQ(model->GetCountNode(1), 11);
  for (const auto& [id, node] : model->GetNodes()) {
    for (const auto& [other, near] : model->GetNodes()) {
      if (other > id && node->IsEnable() && near->IsEnable()) {
        EXPECT_GT((node->GetCoord() - near->GetCoord()).Length(), 1.0) << id << " " << other;
      }
    }
  }
}

// With letter names a member cut by a new node is named after its new ends; undo gives it its old
// name back, in the window's model and in the file saved from it.
TEST_F(StmEditorDrawSessionTest, UndoOfAnElementDrawnFromTheMiddleOfAMemberGivesTheMemberItsNameBack) {
  std::filesystem::copy_file(std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json", m_path,
                             std::filesystem::copy_options::overwrite_existing);
  const auto nameOnDisk = [this](int id) {
    const auto model = Saved();
    const CStmObjElement* element = model->GetElement(id);
    return element ? std::string(element->GetName().c_str()) : std::string();
  };
  ASSERT_EQ(nameOnDisk(5), "DE");
  const CVector d = At(320, 1720), e = At(700, 1720), f = At(320, 1400);

  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Wheel(f, -2));
  ASSERT_TRUE(m_editor.ClickItem("Draw"));
  ASSERT_TRUE(m_editor.ClickItem("Element"));
  ASSERT_TRUE(m_editor.Click((d + e) * 0.5));
  ASSERT_TRUE(m_editor.Click(f));
  ASSERT_NE(Status().find("drawn"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(nameOnDisk(5), "DI");
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(nameOnDisk(5), "DE");
}

}  // namespace
