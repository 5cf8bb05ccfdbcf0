// Changes of a model taken back and done again: the saved document is the measure, so every
// record a change touched (links, loads, supports, flags, ids) must come back byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/model/CStmModel.h"
#include "support/StmSavedModel.h"

namespace {

// Two elements on three nodes, a support and a load at the free end.
class CStmModelChangeTest : public testing::Test {
protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) m_model.AddNode(CVector(1000.0 * i, 0, 0));
    for (int i = 1; i <= 2; ++i) m_model.AddElement(i, i + 1, SStmPropElement(0, 2, 0.0));
    m_model.AddRestraint(1, SStmDof{1, 1, 1, 0, 0, 0});
    m_model.AddRestraint(3, SStmDof{0, 0, 1, 0, 0, 0}, 30.0);
    m_model.AddLoadConditionStatic("Dead");
    m_model.AddLoadConditionStatic("Live");
    m_model.AddLoadNode("Dead", 3, CVector(0, 0, -100));
    m_model.AddLoadNode("Live", 3, CVector(5, 0, -50));
    m_model.AddLoadNode("Live", 2, CVector(0, 0, -10));
  }

  CStmModel m_model;
};

TEST_F(CStmModelChangeTest, UndoAndRedoGiveBackEveryRecordAGestureTouched) {
  const std::string before = ModelText(m_model);
  m_model.BeginChange();
  // A new node merged into node 2's place the way a drag does, a node created on the way, and
  // node 3 removed with what hangs on it.
  CStmObjNode* added = m_model.AddNode(CVector(500, 0, 0));
  m_model.AddElement(1, added->GetId(), SStmPropElement(1, 0, 3.5))->SetAttributeText("web");
  m_model.GetElement(1)->SetIdNodeEnd(added->GetId());
  m_model.MergeNode(2, added->GetId());
  m_model.SetEnableNode(added->GetId(), 0);
  const CStmModel::SRemovedOfNode removed = m_model.RemoveNodeDependants(3);
  m_model.SetEnableNode(3, 0);
  m_model.SetEnableElement(2, 0);
  m_model.GetNode(1)->SetCoord(CVector(-10, 0, 0));
  std::unique_ptr<CStmModelChange> change = m_model.EndChange();
  ASSERT_TRUE(change);
  EXPECT_EQ(removed.nLoads, 2);
  EXPECT_EQ(removed.nSupports, 1);
  EXPECT_EQ(m_model.GetRestraintNode(3, 0), nullptr);
  EXPECT_EQ(m_model.GetCountInvolvedElements(2), 2);  // element 1 and the new one end there

  // The node's list of elements follows the records back and forth; the random editing test
  // checks the saved files through undo and redo of every gesture.
  m_model.UndoChange(*change);
  EXPECT_EQ(ModelText(m_model), before);
  EXPECT_EQ(m_model.GetInvolvedElements(3).size(), 1u);
  m_model.RedoChange(*change);
  EXPECT_EQ(m_model.GetCountInvolvedElements(3), 0);
  // The next record after an undo takes the id the undone one had.
  m_model.UndoChange(*change);
  EXPECT_EQ(m_model.AddNode(CVector(7, 0, 0))->GetId(), 4);
}

TEST_F(CStmModelChangeTest, ChangesNestAndOnlyARealChangeIsHandedOver) {
  m_model.BeginChange();
  EXPECT_FALSE(m_model.EndChange()) << "nothing touched";

  m_model.BeginChange();
  m_model.GetElement(1)->SetAttributeInt(CStmObject::kAttrBoundary, 0);  // the value it has
  EXPECT_FALSE(m_model.EndChange()) << "a setter that changes nothing records nothing";

  // Records changed and put back as they were, of every kind with fields of its own.
  m_model.BeginChange();
  m_model.GetNode(2)->SetCoord(CVector(1, 2, 3));
  m_model.GetNode(2)->SetCoord(CVector(1000, 0, 0));
  m_model.GetElement(1)->SetIdNodeEnd(3);
  m_model.GetElement(1)->SetIdNodeEnd(2);
  m_model.GetRestraintNode(3)->SetRollerAngle(45.0);
  m_model.GetRestraintNode(3)->SetRollerAngle(30.0);
  m_model.GetLoadConditionStatic("Live")->GetLoadNodes().begin()->second->SetLoad(CVector());
  m_model.GetLoadConditionStatic("Live")->GetLoadNodes().begin()->second->SetLoad(CVector(5, 0, -50));
  EXPECT_FALSE(m_model.EndChange()) << "what ends as it began records nothing";

  m_model.BeginChange();
  m_model.GetLoadConditionStatic("Live")->GetLoadNodes().begin()->second->SetLoad(CVector(5, 0, -51));
  ASSERT_TRUE(m_model.EndChange()) << "a load inside its condition is compared too";

  m_model.BeginChange();
  m_model.BeginChange();
  m_model.GetNode(2)->SetCoord(CVector(1, 2, 3));
  EXPECT_FALSE(m_model.EndChange()) << "the inner end hands nothing over";
  std::unique_ptr<CStmModelChange> change = m_model.EndChange();
  ASSERT_TRUE(change);
  EXPECT_EQ(change->GetCount(), 1);
  m_model.UndoChange(*change);
  EXPECT_EQ(m_model.GetNode(2)->GetCoord(), CVector(1000, 0, 0));
}

}  // namespace
