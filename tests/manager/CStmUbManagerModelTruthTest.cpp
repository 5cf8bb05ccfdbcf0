// The model is what is saved. The random editing test checks scene against model and the saved
// files after every gesture, undo and redo; these are what it cannot see: reuse of nodes that are
// not shown, what a delete takes along and says, names after undo, and gestures that change nothing.
#include <gtest/gtest.h>

#include <string>

#include "host/framework/CUbActionNormal.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/StmText.h"
#include "support/StmGestureDriver.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

using G = SStmGesture;

const CVector kOrigin(0, 0, 0);

class CStmUbManagerModelTruthTest : public StmGestureFixture {
protected:
  void Draw(const CVector& a, const CVector& b) { m_driver->Apply(G::Of(G::kDrawElement, a, b)); }
  int End(int element) const { return m_model.GetElement(element)->GetIdNodeEnd(); }
  std::string Saved(const char* name) {
    m_driver->ApplyView();
    return SaveModelBytes(m_model, std::string("truth-") + name);
  }
};

// Where the new end of an element lies must not matter to reuse: nodes not shown, or nodes
// filtered out by a display group (off the window: the index test).
struct SHiddenCase {
  const char* name;
  SStmGestureView view;
};
void PrintTo(const SHiddenCase& c, std::ostream* out) { *out << c.name; }

SStmGestureView Hiding(bool nodes, bool group) {
  SStmGestureView view;
  view.m_bHideNodes = nodes;
  view.m_bNodeGroup = group;
  return view;
}


class CStmUbManagerHiddenNodeTest : public CStmUbManagerModelTruthTest,
                                    public testing::WithParamInterface<SHiddenCase> {};

TEST_P(CStmUbManagerHiddenNodeTest, AnElementDrawnToANodeThatIsNotShownReusesIt) {
  Draw(kOrigin, CVector(40, 0, 0));
  m_driver->Apply(G::Of(G::kDrawElement, CVector(40, 0, 0), CVector(40, 0, 40)).In(GetParam().view));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(m_model.GetElement(2)->GetIdNodeBegin(), 2);
}

TEST_P(CStmUbManagerHiddenNodeTest, AnElementMovedWhileItsNodesAreNotShownTakesItsFreeNodeAlongAndBack) {
  Draw(kOrigin, CVector(40, 0, 0));
  Draw(CVector(40, 0, 0), CVector(80, 0, 0));
  m_driver->Apply(G::Of(G::kMove, CVector(80, 0, 0), CVector(80, 0, 20))
                      .WithElement(CVector(40, 0, 0), CVector(80, 0, 0))
                      .In(GetParam().view));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetNode(3)->GetCoord(), CVector(80, 0, 20));
  EXPECT_EQ(End(2), 3);
  EXPECT_EQ(End(1), 2) << "the shared node stays with the element that did not move";
}

INSTANTIATE_TEST_SUITE_P(Views, CStmUbManagerHiddenNodeTest,
                         testing::Values(SHiddenCase{"NodesHidden", Hiding(true, false)},
                                         SHiddenCase{"DisplayGroup", Hiding(false, true)}),
                         [](const testing::TestParamInfo<SHiddenCase>& info) { return info.param.name; });

TEST_F(CStmUbManagerModelTruthTest, DeletingTheLastElementOfASupportedLoadedNodeTakesAllOfItInOneUndoableStep) {
  Draw(kOrigin, CVector(40, 0, 0));             // element 1, nodes 1-2
  Draw(CVector(40, 0, 0), CVector(80, 0, 0));   // element 2, nodes 2-3
  for (const char* name : {"DL", "LL"}) m_model.AddLoadConditionStatic(name);
  m_model.AddLoadNode("DL", 3, CVector(0, 0, -10));
  m_model.AddLoadNode("LL", 3, CVector(4, 0, -5));
  m_model.AddRestraint(3, SStmDof{0, 0, 1, 0, 0, 0});  // a roller
  m_model.AddSpring(3, CVector(1, 0, 1), CVector());
  m_model.AddBearingPlate(3, SStmPropBearingPlate{100.0, 10.0});

  const int steps = m_manager.GetUndoCount();
  m_driver->Apply(G::Of(G::kDelete).WithElement(CVector(40, 0, 0), CVector(80, 0, 0)));
  EXPECT_EQ(m_manager.GetUndoCount(), steps + 1);
  EXPECT_FALSE(m_model.GetNode(3)->IsEnable());
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  for (const char* condition : {"DL", "LL"}) {
    for (const auto& [id, load] : m_model.GetLoadConditionStatic(condition)->GetLoadNodes())
      EXPECT_NE(load->GetIdNode(), 3) << "load " << id << " of " << condition << " is left on the deleted node";
  }
  EXPECT_EQ(m_model.GetRestraintNode(3, 1), nullptr);
  const CStmObjSpring* spring = m_model.GetSpringNode(3);
  EXPECT_TRUE(!spring || !spring->IsEnable());
  const CStmObjBearingPlate* plate = m_model.GetBearingPlateNode(3);
  EXPECT_TRUE(!plate || !plate->IsEnable());
  // The user is told what went with the node.
  ASSERT_FALSE(m_host.m_statusTexts.empty());
  EXPECT_EQ(m_host.m_statusTexts.back(),
            CString("Deleted elements: 1, nodes: 1, other objects: 0; with the nodes went nodal loads: 2, supports: 3."));
}

// Letter names: a member cut by a new node is named after its new ends, and every undo names it
// after its old ones again, down to the file the model came from.
TEST_F(CStmUbManagerModelTruthTest, UndoingEveryEditOfTheCorbelGivesBackEveryNameAndTheFileItCameFrom) {
  const std::string path = std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json";
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(path, m_model, &error)) << error;
  m_manager.UpdateStmRenderer();
  const std::string original = SaveModelBytes(m_model, "truth-corbel-original");
  const CVector d(320, 0, 1720), e(700, 0, 1720), f(320, 0, 1400);
  Draw((d + e) * 0.5, f);
  EXPECT_EQ(m_model.GetElement(5)->GetName(), "DI");
  m_driver->Apply(G::Of(G::kStretch, e, CVector(800, 0, 1720)).WithNode(e));
  m_driver->Apply(G::Of(G::kCopy).WithElement(d, (d + e) * 0.5));
  m_driver->Apply(G::Of(G::kPaste, CVector(320, 0, 2000)));
  m_driver->Apply(G::Of(G::kDelete).WithElement(CVector(80, 0, 2400), CVector(320, 0, 2400)));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  while (m_manager.Undo()) EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetElement(5)->GetName(), "DE");
  EXPECT_EQ(FirstDifference(original, Saved("corbel-undone")), "");
  while (m_manager.Redo()) EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetElement(5)->GetName(), "DI");
}

// A gesture that changes no record (a delete of nothing too) leaves no step: the model stays
// unmodified, and what could be redone still can. Each step kept is named by the gesture, not by
// the helpers it called (the paste adds elements).
TEST_F(CStmUbManagerModelTruthTest, AGestureThatChangesNothingLeavesNoStepAndKeepsTheRedo) {
  Draw(kOrigin, CVector(40, 0, 0));
  m_driver->Apply(G::Of(G::kCopy).WithElement(kOrigin, CVector(40, 0, 0)));
  m_driver->Apply(G::Of(G::kPaste, CVector(0, 0, 40)));
  Draw(CVector(80, 0, 0), CVector(80, 0, 40));
  ASSERT_EQ(m_manager.Undo(), 1);
  ASSERT_EQ(m_manager.GetUndoCount(), 2);
  EXPECT_EQ(m_manager.GetUndoCaption(0), StmText("Add element"));
  EXPECT_EQ(m_manager.GetUndoCaption(1), StmText("Paste"));
  EXPECT_EQ(m_manager.GetRedoCaption(0), StmText("Add element"));
  const std::string before = Saved("nothing-changed");  // saving clears the modified flag
  const int steps = m_manager.GetUndoCount();
  const CVector b(40, 0, 0);
  const SStmGesture gestures[] = {G::Of(G::kDelete), G::Of(G::kStretch, b, b).WithNode(b),
                                  G::Of(G::kPaste, CVector(0, 0, 40)), G::Of(G::kPaste, kOrigin),
                                  G::Of(G::kMove, kOrigin, kOrigin).WithElement(kOrigin, b)};
  for (const SStmGesture& same : gestures) {
    SCOPED_TRACE(same.m_eKind);
    m_driver->Apply(same);
    EXPECT_EQ(m_manager.GetUndoCount(), steps);
    EXPECT_EQ(m_manager.GetRedoCount(), 1);
    EXPECT_EQ(m_model.GetStmModifiedFlag(), 0);
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
  }
  EXPECT_EQ(FirstDifference(before, Saved("nothing-changed")), "");
  ASSERT_EQ(m_manager.Redo(), 1);
  EXPECT_NE(m_model.GetNode(CVector(80, 0, 40)), nullptr);
}

}  // namespace
