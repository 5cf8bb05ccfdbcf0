// The model is what is saved: one test per way an edit or its undo has been seen to leave the
// model's records (node links, loads, supports, enabled flags) behind the scene, each checked
// through the consistency check or the saved file and through the record concerned.
#include <gtest/gtest.h>

#include <string>

#include "host/framework/CUbActionNormal.h"
#include "host/model/CStmModelFile.h"
#include "support/StmGestureDriver.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

const CVector kOrigin(0, 0, 0);

class CStmUbManagerModelTruthTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_wnd.SetAction(48, -1, 1);
    m_driver = std::make_unique<CStmGestureDriver>(m_manager, m_wnd, m_model);
    m_driver->RestoreView();
  }

  void Draw(const CVector& a, const CVector& b) { m_driver->Apply(SStmGesture::DrawElement(a, b)); }
  int NodeAt(const CVector& p) const {
    const CStmObjNode* node = m_model.GetNode(p);
    return node ? node->GetId() : -1;
  }
  int Begin(int element) const { return m_model.GetElement(element)->GetIdNodeBegin(); }
  int End(int element) const { return m_model.GetElement(element)->GetIdNodeEnd(); }
  std::string Saved(const char* name) {
    m_driver->RestoreView();
    return SaveModelBytes(m_model, std::string("truth-") + name);
  }
  // Runs the gesture, then its undo, each followed by the consistency check; the saved file
  // after the undo must be the one before the gesture.
  void ExpectUndoneExactly(const SStmGesture& gesture, const char* name) {
    const std::string before = Saved(name);
    const int steps = m_manager.GetUndoCount();
    m_driver->Apply(gesture);
    EXPECT_EQ(m_manager.CheckConsistency(), CString()) << "after: " << gesture.Describe();
    EXPECT_EQ(m_manager.GetUndoCount(), steps + 1) << "one gesture, one undo step";
    ASSERT_EQ(m_manager.Undo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString()) << "after undoing: " << gesture.Describe();
    EXPECT_EQ(FirstDifference(before, Saved(name)), "") << "after undoing: " << gesture.Describe();
  }

  std::unique_ptr<CStmGestureDriver> m_driver;
};

TEST_F(CStmUbManagerModelTruthTest, DraggingANodeOntoTheMiddleOfAnElementAndUndoingGivesTheLinksBack) {
  Draw(kOrigin, CVector(40, 0, 0));         // element 1, nodes 1-2
  Draw(CVector(60, 0, 30), CVector(20, 0, 30));  // element 2, nodes 3-4
  const SStmGesture drag = SStmGesture::DragNode(CVector(20, 0, 30), CVector(20, 0, 0));
  ExpectUndoneExactly(drag, "drag-onto-element");
  EXPECT_EQ(End(1), 2) << "the split element must end at its old node again";
  EXPECT_EQ(End(2), 4);
  EXPECT_EQ(m_model.GetCountElement(1), 2);
}

TEST_F(CStmUbManagerModelTruthTest, DraggingALoadedNodeOntoAnotherAndUndoingGivesItsLinksAndLoadsBack) {
  Draw(kOrigin, CVector(40, 0, 0));              // element 1, nodes 1-2
  Draw(CVector(0, 0, 30), CVector(40, 0, 30));   // element 2, nodes 3-4
  m_model.AddLoadConditionStatic("DL");
  m_model.AddLoadConditionStatic("LL");
  m_model.AddLoadNode("DL", 4, CVector(0, 0, -10));
  m_model.AddLoadNode("LL", 4, CVector(5, 0, 0));
  ExpectUndoneExactly(SStmGesture::DragNode(CVector(40, 0, 30), CVector(40, 0, 0)), "drag-onto-node");
  EXPECT_EQ(End(2), 4);
  EXPECT_EQ(m_model.GetLoadConditionStatic("DL")->GetLoadNodes().begin()->second->GetIdNode(), 4);
  EXPECT_EQ(m_model.GetLoadConditionStatic("LL")->GetLoadNodes().begin()->second->GetIdNode(), 4);
}

TEST_F(CStmUbManagerModelTruthTest, MovingOneElementOffASharedNodeAndUndoingGivesItItsNodeBack) {
  Draw(kOrigin, CVector(40, 0, 0));               // element 1, nodes 1-2
  Draw(CVector(40, 0, 0), CVector(80, 0, 0));     // element 2, nodes 2-3
  Draw(CVector(40, 0, 0), CVector(40, 0, 40));    // element 3, nodes 2-4
  const SStmGesture move =
      SStmGesture::Move(CVector(40, 0, 0), CVector(50, 0, 10)).WithElement(CVector(40, 0, 0), CVector(40, 0, 40));
  ExpectUndoneExactly(move, "move-off-shared-node");
  EXPECT_EQ(Begin(3), 2);
  EXPECT_EQ(End(3), 4);
  EXPECT_EQ(StmPointText(m_model.GetNode(4)->GetCoord()), "(40,0,40)");
}

// An element must keep two real end nodes, and the saved file must load back with every
// enabled element of the model in it.
void ExpectSavedElementsIntact(CStmModel& model, const char* name) {
  for (const auto& [id, element] : model.GetElements()) {
    if (!element->IsEnable()) continue;
    EXPECT_NE(element->GetIdNodeBegin(), -1) << "element " << id;
    EXPECT_NE(element->GetIdNodeEnd(), -1) << "element " << id;
  }
  CStmModel loaded;
  std::string error;
  ASSERT_TRUE(CStmModelFile::FromText(SaveModelBytes(model, name), name, loaded, &error)) << error;
  EXPECT_EQ(loaded.GetCountElement(1), model.GetCountElement(1));
  for (const auto& [id, element] : model.GetElements()) {
    if (!element->IsEnable()) continue;
    const CStmObjElement* back = loaded.GetElement(id);
    ASSERT_NE(back, nullptr) << "element " << id;
    EXPECT_EQ(StmPointText(back->GetCoordBegin()), StmPointText(element->GetCoordBegin())) << "element " << id;
    EXPECT_EQ(StmPointText(back->GetCoordEnd()), StmPointText(element->GetCoordEnd())) << "element " << id;
  }
}

TEST_F(CStmUbManagerModelTruthTest, AnElementEndMovedOntoTheMiddleOfAnotherLeavesNoElementWithoutItsNodes) {
  Draw(kOrigin, CVector(40, 0, 0));               // element 1
  Draw(CVector(20, 0, 20), CVector(30, 0, 40));   // element 2
  Draw(CVector(20, 0, 20), CVector(20, 0, 60));   // element 3 holds element 2's begin
  m_driver->Apply(
      SStmGesture::Move(CVector(20, 0, 20), CVector(20, 0, 0)).WithElement(CVector(20, 0, 20), CVector(30, 0, 40)));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(End(1), NodeAt(CVector(40, 0, 0)));
  ExpectSavedElementsIntact(m_model, "truth-move-onto-middle");
}

TEST_F(CStmUbManagerModelTruthTest, ANodeAddedWithoutSplitOnTheMiddleOfAnElementLeavesTheElementItsNodes) {
  Draw(kOrigin, CVector(40, 0, 0));
  m_driver->Apply(SStmGesture::AddNode(CVector(20, 0, 0), false));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(End(1), 2);
  ExpectSavedElementsIntact(m_model, "truth-node-without-split");
}

TEST_F(CStmUbManagerModelTruthTest, UndoingAMergeOfCoincidentNodesGivesBackTheLinksAndTheOldNodesLoads) {
  Draw(kOrigin, CVector(40, 0, 0));             // element 1, nodes 1-2
  Draw(CVector(40, 0, 0), CVector(40, 0, 40));  // element 2, nodes 2-3
  m_model.AddLoadConditionStatic("DL");
  m_model.AddLoadConditionStatic("LL");
  m_model.AddLoadNode("DL", 2, CVector(0, 0, -10));
  m_model.AddLoadNode("LL", 2, CVector(0, 0, -5));
  SStmDof fixed;
  fixed.Ux = fixed.Uz = 1;
  m_model.AddRestraint(2, fixed);
  // A second node at node 2's place takes everything over from node 2.
  ExpectUndoneExactly(SStmGesture::Merge(CVector(40, 0, 0)), "merge");
  EXPECT_EQ(End(1), 2);
  EXPECT_EQ(Begin(2), 2);
  EXPECT_EQ(m_model.GetLoadConditionStatic("DL")->GetLoadNodes().begin()->second->GetIdNode(), 2);
  EXPECT_EQ(m_model.GetLoadConditionStatic("LL")->GetLoadNodes().begin()->second->GetIdNode(), 2);
  ASSERT_NE(m_model.GetRestraintNode(2, 1), nullptr);
}

// Where the new end of an element lies must not matter to reuse: off the window, nodes not
// shown, or nodes filtered out by a display group.
struct SHiddenCase {
  const char* name;
  SStmGestureView view;
};
void PrintTo(const SHiddenCase& c, std::ostream* out) { *out << c.name; }

SStmGestureView OffScreen() {
  SStmGestureView view;
  view.m_dScale = 0.1;
  view.m_dCenterU = 0.0;
  view.m_dCenterV = 0.0;
  return view;
}
SStmGestureView NodesHidden() {
  SStmGestureView view;
  view.m_bHideNodes = true;
  return view;
}
SStmGestureView NodeGroup() {
  SStmGestureView view;
  view.m_bNodeGroup = true;
  return view;
}

class CStmUbManagerHiddenNodeTest : public CStmUbManagerModelTruthTest,
                                    public testing::WithParamInterface<SHiddenCase> {};

TEST_P(CStmUbManagerHiddenNodeTest, AnElementDrawnToANodeThatIsNotShownReusesIt) {
  Draw(kOrigin, CVector(40, 0, 0));
  m_driver->Apply(SStmGesture::DrawElement(CVector(40, 0, 0), CVector(40, 0, 40)).In(GetParam().view));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(Begin(2), 2);
}

TEST_P(CStmUbManagerHiddenNodeTest, AnElementMovedWhileItsNodesAreNotShownTakesItsFreeNodeAlongAndBack) {
  Draw(kOrigin, CVector(40, 0, 0));
  Draw(CVector(40, 0, 0), CVector(80, 0, 0));
  m_driver->Apply(SStmGesture::Move(CVector(80, 0, 0), CVector(80, 0, 20))
                      .WithElement(CVector(40, 0, 0), CVector(80, 0, 0))
                      .In(GetParam().view));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(StmPointText(m_model.GetNode(3)->GetCoord()), "(80,0,20)");
  EXPECT_EQ(End(2), 3);
  EXPECT_EQ(End(1), 2) << "the shared node stays with the element that did not move";
  // Undone while the nodes are still not shown.
  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(StmPointText(m_model.GetNode(3)->GetCoord()), "(80,0,0)");
}

INSTANTIATE_TEST_SUITE_P(Views, CStmUbManagerHiddenNodeTest,
                         testing::Values(SHiddenCase{"OutsideTheWindow", OffScreen()},
                                         SHiddenCase{"NodesHidden", NodesHidden()},
                                         SHiddenCase{"DisplayGroup", NodeGroup()}),
                         [](const testing::TestParamInfo<SHiddenCase>& info) { return info.param.name; });

TEST_F(CStmUbManagerModelTruthTest, DeletingTheLastElementOfASupportedLoadedNodeTakesAllOfItInOneUndoableStep) {
  Draw(kOrigin, CVector(40, 0, 0));             // element 1, nodes 1-2
  Draw(CVector(40, 0, 0), CVector(80, 0, 0));   // element 2, nodes 2-3
  m_model.AddLoadConditionStatic("DL");
  m_model.AddLoadConditionStatic("LL");
  m_model.AddLoadNode("DL", 3, CVector(0, 0, -10));
  m_model.AddLoadNode("LL", 3, CVector(4, 0, -5));
  SStmDof roller;
  roller.Uz = 1;
  m_model.AddRestraint(3, roller);
  m_model.AddSpring(3, CVector(1, 0, 1), CVector());
  m_model.AddBearingPlate(3, SStmPropBearingPlate{100.0, 10.0});

  const std::string before = Saved("delete-loaded");
  const int steps = m_manager.GetUndoCount();
  m_driver->Apply(SStmGesture::Delete().WithElement(CVector(40, 0, 0), CVector(80, 0, 0)));
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

  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(FirstDifference(before, Saved("delete-loaded")), "");
}

// The random sequences found these three.
// A free end node follows its element without an undo record of its own; undo finds it again
// by position, which fails once it has been merged into a node where it landed.
TEST_F(CStmUbManagerModelTruthTest, MovingAnElementWhoseFreeEndLandsOnANodeAndUndoingPutsBothNodesBack) {
  Draw(kOrigin, CVector(40, 0, 0));               // element 1, nodes 1-2
  Draw(CVector(0, 0, 40), CVector(40, 0, 40));    // element 2, nodes 3-4, both its alone
  ExpectUndoneExactly(
      SStmGesture::Move(CVector(0, 0, 40), CVector(40, 0, 0)).WithElement(CVector(0, 0, 40), CVector(40, 0, 40)),
      "move-free-end");
  EXPECT_EQ(StmPointText(m_model.GetNode(3)->GetCoord()), "(0,0,40)");
  EXPECT_EQ(StmPointText(m_model.GetNode(4)->GetCoord()), "(40,0,40)");
  EXPECT_EQ(Begin(2) * 10 + End(2), 34);
}

TEST_F(CStmUbManagerModelTruthTest, UndoingADeleteLeavesAnElementThatPassesOverTheRestoredNodeAsItWas) {
  Draw(CVector(20, 0, 0), CVector(20, 0, 40));  // element 1, nodes 1-2
  Draw(CVector(0, 0, 40), CVector(40, 0, 40));  // element 2 passes over node 2 unsplit, nodes 3-4
  ExpectUndoneExactly(SStmGesture::Delete().WithElement(CVector(20, 0, 0), CVector(20, 0, 40)), "delete-under");
  EXPECT_EQ(Begin(2), 3);
  EXPECT_EQ(End(2), 4);
}

TEST_F(CStmUbManagerModelTruthTest, UndoingAPasteTakesThePastedSupportsAway) {
  Draw(kOrigin, CVector(40, 0, 0));
  SStmDof pin;
  pin.Ux = pin.Uz = 1;
  m_model.AddRestraint(2, pin);
  m_model.AddSpring(2, CVector(1, 0, 1), CVector());
  m_driver->Apply(SStmGesture::Copy().WithNode(CVector(40, 0, 0)));
  ExpectUndoneExactly(SStmGesture::Paste(CVector(80, 0, 0)), "paste-supports");
  EXPECT_EQ(m_model.GetRestraints().size(), 1u);
}

TEST_F(CStmUbManagerModelTruthTest, DeleteWithNothingSelectedLeavesTheModelUnmodified) {
  Draw(kOrigin, CVector(40, 0, 0));
  const std::string before = Saved("delete-nothing");  // saving clears the modified flag
  const int steps = m_manager.GetUndoCount();
  ASSERT_EQ(m_model.GetStmModifiedFlag(), 0);
  m_driver->Apply(SStmGesture::Delete());
  EXPECT_EQ(m_model.GetStmModifiedFlag(), 0);
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  EXPECT_EQ(FirstDifference(before, Saved("delete-nothing")), "");
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
  m_driver->Apply(SStmGesture::DragNode(CVector(700, 0, 1720), CVector(800, 0, 1720)));
  m_driver->Apply(SStmGesture::Copy().WithElement(d, (d + e) * 0.5));
  m_driver->Apply(SStmGesture::Paste(CVector(320, 0, 2000)));
  m_driver->Apply(SStmGesture::Delete().WithElement(CVector(80, 0, 2400), CVector(320, 0, 2400)));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  while (m_manager.Undo()) EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetElement(5)->GetName(), "DE");
  EXPECT_EQ(FirstDifference(original, Saved("corbel-undone")), "");
  while (m_manager.Redo()) EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(m_model.GetElement(5)->GetName(), "DI");
}

// A gesture that changes no record leaves no step: the model stays unmodified, and what could be
// redone still can.
TEST_F(CStmUbManagerModelTruthTest, AGestureThatChangesNothingLeavesNoStepAndKeepsTheRedo) {
  Draw(kOrigin, CVector(40, 0, 0));
  m_driver->Apply(SStmGesture::Copy().WithElement(kOrigin, CVector(40, 0, 0)));
  m_driver->Apply(SStmGesture::Paste(CVector(0, 0, 40)));
  Draw(CVector(80, 0, 0), CVector(80, 0, 40));
  ASSERT_EQ(m_manager.Undo(), 1);
  const std::string before = Saved("nothing-changed");  // saving clears the modified flag
  const int steps = m_manager.GetUndoCount();
  for (const SStmGesture& same : {SStmGesture::DragNode(CVector(40, 0, 0), CVector(40, 0, 0)),
                                  SStmGesture::Paste(CVector(0, 0, 40)), SStmGesture::Paste(kOrigin),
                                  SStmGesture::Move(kOrigin, kOrigin).WithElement(kOrigin, CVector(40, 0, 0))}) {
    m_driver->Apply(same);
    EXPECT_EQ(m_manager.GetUndoCount(), steps) << same.Describe();
    EXPECT_EQ(m_manager.GetRedoCount(), 1) << same.Describe();
    EXPECT_EQ(m_model.GetStmModifiedFlag(), 0) << same.Describe();
    EXPECT_EQ(m_manager.CheckConsistency(), CString()) << same.Describe();
  }
  EXPECT_EQ(FirstDifference(before, Saved("nothing-changed")), "");
  ASSERT_EQ(m_manager.Redo(), 1);
  EXPECT_NE(m_model.GetNode(CVector(80, 0, 40)), nullptr);
}

}  // namespace
