// Topology edits of the scene manager against a real model and an off-screen window: reuse by
// position, splitting, deleting the selection with its orphan nodes, undo, and the Delete key.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "host/framework/CUbActionNormal.h"
#include "support/StmSceneFixture.h"

namespace {

using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
constexpr Kind kNode = static_cast<Kind>(110);
constexpr Kind kElement = static_cast<Kind>(111);

class CStmUbManagerTopologyTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    // The selection action is current, as in the application.
    m_manager.AddAction(48, new CUbActionNormal);
    m_wnd.SetAction(48, -1, 1);
  }
  // An element drawn by the user: reused end nodes, recorded, into the model.
  CStmEntityElement* Draw(const CVector& a, const CVector& b) {
    return m_manager.AddElement(a, b, 1, 1, 1, nullptr);
  }
  int EnabledNodes() const { return m_model.GetCountNode(1); }
  int EnabledElements() const { return m_model.GetCountElement(1); }
};

TEST_F(CStmUbManagerTopologyTest, AddNodeReusesANodeWithinTheToleranceOnlyAndSplitsNothingAtAnEnd) {
  CStmEntityNode* first = m_manager.AddNode(CVector(10, 0, 0), 1, 1, 1, 1, nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetIdStm(), 1);
  EXPECT_EQ(m_manager.AddNode(CVector(10 + 1e-5, 0, -1e-5), 1, 1, 1, 1, nullptr), first);
  const std::vector<CUbEntityObj*> candidates{first};
  EXPECT_EQ(m_manager.AddNode(CVector(10, 0, 9e-6), 1, 1, 1, 1, &candidates), first);
  CStmEntityNode* beyond = m_manager.AddNode(CVector(10 + 2e-5, 0, 0), 1, 1, 1, 1, nullptr);
  EXPECT_NE(beyond, first);
  EXPECT_EQ(EnabledNodes(), 2);

  // Exactly on an element's end (a fresh node, not reused): nothing is split.
  CStmEntityElement* element = Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  ASSERT_NE(element, nullptr);
  m_manager.AddNode(CVector(40, 0, 1e-5), 1, 1, 1, 0, nullptr);
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(EnabledElements(), 1);
  EXPECT_EQ(m_model.GetElement(element->GetIdStm())->GetIdNodeEnd(), 4);
}

TEST_F(CStmUbManagerTopologyTest, AddElementRefusesZeroLengthAndReturnsAnExistingReversedElement) {
  EXPECT_EQ(m_manager.AddElement(CVector(0, 0, 0), CVector(5e-6, 0, 0), 1, 1, 1, nullptr), nullptr);
  EXPECT_EQ(m_manager.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 0);
  EXPECT_EQ(m_manager.GetUndoCount(), 0);

  CStmEntityElement* element = Draw(CVector(-20, 0, 0), CVector(20, 0, 10));
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(m_manager.GetCount(kNode), 2);
  const CStmObjElement* record = m_model.GetElement(element->GetIdStm());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->GetIdNodeBegin(), 1);
  EXPECT_EQ(record->GetIdNodeEnd(), 2);
  EXPECT_EQ(record->GetProperty().nTypeMember, 0);
  EXPECT_EQ(record->GetProperty().nTypeWidth, 2);
  EXPECT_EQ(m_manager.GetUndoCount(), 1);  // one gesture, one step

  EXPECT_EQ(Draw(CVector(20, 0, 10 + 1e-5), CVector(-20, 0, 0)), element);
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(m_model.GetCountElement(0), 1);
  EXPECT_EQ(m_manager.GetUndoCount(), 1);

  // Without reuse the element is the scene's alone.
  CStmEntityElement* loose = m_manager.AddElement(CVector(-20, 0, 0), CVector(0, 0, 20), 1, 1, 0, nullptr);
  EXPECT_EQ(loose->GetIdStm(), -1);
  EXPECT_EQ(m_model.GetCountElement(0), 1);
}

TEST_F(CStmUbManagerTopologyTest, ANodeStrictlyInsideSplitsTheElementInSceneAndModelAndUndoJoinsItAgain) {
  CStmEntityElement* element = Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  CStmObjElement* first = m_model.GetElement(element->GetIdStm());
  first->SetThicknessScale(2.5);
  first->SetAttributeText("web");

  CStmEntityNode* node = m_manager.AddNode(CVector(0, 0, 0), 1, 1, 1, 1, nullptr);
  EXPECT_EQ(node->GetIdStm(), 3);
  EXPECT_EQ(m_manager.GetCount(kElement), 2);
  EXPECT_EQ(EnabledElements(), 2);
  EXPECT_EQ(element->GetCoordEnd(), CVector(0, 0, 0));
  EXPECT_EQ(first->GetIdNodeBegin(), 1);
  EXPECT_EQ(first->GetIdNodeEnd(), 3);
  const CStmObjElement* second = m_model.GetElement(2);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetIdNodeBegin(), 3);
  EXPECT_EQ(second->GetIdNodeEnd(), 2);
  EXPECT_DOUBLE_EQ(second->GetThicknessScale(), 2.5);
  EXPECT_EQ(m_model.GetNode(3)->GetAttributeText(), CString("web"));
  ASSERT_NE(m_manager.GetEntElement(CVector(0, 0, 0), CVector(40, 0, 0), nullptr), nullptr);

  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(element->GetCoordEnd(), CVector(40, 0, 0));
  EXPECT_EQ(first->GetIdNodeEnd(), 2);
  EXPECT_EQ(EnabledElements(), 1);
  EXPECT_EQ(EnabledNodes(), 2);
  ASSERT_EQ(m_manager.Redo(), 1);
  EXPECT_EQ(first->GetIdNodeEnd(), 3);
  EXPECT_EQ(EnabledElements(), 2);
}

TEST_F(CStmUbManagerTopologyTest, DeletingTheSelectionKeepsUsedNodesDropsOrphansAndUndoRestoresFlagsAndLinks) {
  CStmEntityElement* left = Draw(CVector(-40, 0, 0), CVector(0, 0, 0));
  Draw(CVector(0, 0, 0), CVector(40, 0, 0));
  m_manager.ClearHistory();

  // A node that an element still uses stays.
  m_manager.SelectNode({2});
  m_manager.DeleteSelectedEntity();
  EXPECT_EQ(m_manager.GetCount(kNode), 3);
  EXPECT_EQ(EnabledNodes(), 3);

  m_manager.SelectRemoveAll();
  m_manager.SelectElement({left->GetIdStm()});
  m_host.m_messages.clear();
  m_manager.DeleteSelectedEntity();
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(m_manager.GetCount(kNode), 2);
  EXPECT_FALSE(m_model.GetElement(1)->IsEnable());
  EXPECT_FALSE(m_model.GetNode(1)->IsEnable());
  EXPECT_TRUE(m_model.GetNode(2)->IsEnable());
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 0);
  ASSERT_EQ(m_host.m_messages.size(), 1u);
  EXPECT_EQ(m_host.m_messages[0].message, 1524u);
  EXPECT_EQ(static_cast<LPARAM>(m_host.m_messages[0].wParam), -1);
  EXPECT_EQ(m_host.m_messages[0].lParam, 0);
  EXPECT_EQ(m_model.GetStmModifiedFlag(), 1);

  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_manager.GetCount(kElement), 2);
  EXPECT_EQ(m_manager.GetCount(kNode), 3);
  EXPECT_EQ(EnabledNodes(), 3);
  EXPECT_EQ(EnabledElements(), 2);
  EXPECT_EQ(m_model.GetElement(1)->GetIdNodeBegin(), 1);
  EXPECT_EQ(m_model.GetElement(1)->GetIdNodeEnd(), 2);
  EXPECT_EQ(m_model.GetElement(2)->GetIdNodeBegin(), 2);
  EXPECT_EQ(m_model.GetElement(2)->GetIdNodeEnd(), 3);
}

TEST_F(CStmUbManagerTopologyTest, ALockedModelDeletesNothing) {
  Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  m_manager.ClearHistory();
  m_model.SetStmModifiedFlag(0);
  m_model.SetLock(1);
  m_manager.SelectElement({1});
  m_manager.DeleteSelectedEntity();
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(EnabledElements(), 1);
  EXPECT_EQ(EnabledNodes(), 2);
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
  EXPECT_TRUE(m_host.m_messages.empty());
  EXPECT_EQ(m_model.GetStmModifiedFlag(), 0);
}

TEST_F(CStmUbManagerTopologyTest, TheDeleteKeyDeletesTheSelectionInTheSelectionAction) {
  Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  ASSERT_EQ(m_wnd.GetActionTypeCur(), 48);
  m_manager.SelectElement({1});
  m_host.SetKeyHeld(VK_CONTROL, true);
  m_wnd.OnKeyDown(VK_DELETE, 1, 0);
  EXPECT_EQ(EnabledElements(), 1);
  m_host.SetKeyHeld(VK_CONTROL, false);
  m_wnd.OnKeyDown(VK_DELETE, 1, 0);
  EXPECT_EQ(m_manager.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 0);
  EXPECT_EQ(EnabledElements(), 0);
  EXPECT_EQ(EnabledNodes(), 0);
}

TEST_F(CStmUbManagerTopologyTest, DraggingANodeOntoAnotherMergesThemAndDropsTheDuplicateElement) {
  Draw(CVector(-40, 0, 0), CVector(0, 0, 0));
  Draw(CVector(0, 0, 0), CVector(40, 0, 0));
  CStmEntityElement* spare = Draw(CVector(0, 0, 0), CVector(0, 0, 30));
  m_manager.ClearHistory();
  // Drag the top node (4) down onto the end node at (40, 0, 0): spare now repeats element 2.
  CStmEntityNode* dragged = m_manager.GetEntNode(4);
  ASSERT_NE(dragged, nullptr);
  m_manager.SetHistoryStart();
  dragged->Move(CVector(40, 0, -30));
  m_manager.AddHistory_ActionMoveAllPoint(dragged->GetName(), CVector(40, 0, -30));
  m_manager.StretchElementMovedNode(dragged, {spare});
  m_manager.SetHistoryEnd();
  EXPECT_EQ(m_manager.GetCount(kNode), 3);
  EXPECT_EQ(m_manager.GetCount(kElement), 2);
  EXPECT_FALSE(m_model.GetNode(4)->IsEnable());
  EXPECT_FALSE(m_model.GetElement(3)->IsEnable());
  EXPECT_EQ(m_model.GetElement(3)->GetIdNodeEnd(), 3);
  EXPECT_EQ(m_model.GetElement(2)->GetIdNodeEnd(), 3);

  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_manager.GetCount(kElement), 3);
  EXPECT_EQ(spare->GetCoordEnd(), CVector(0, 0, 30));
  EXPECT_TRUE(m_model.GetElement(3)->IsEnable());
}

TEST_F(CStmUbManagerTopologyTest, CountNodeAndLinkedElementCountsEachEndOfAnOpenChain) {
  Draw(CVector(-40, 0, 0), CVector(0, 0, 0));
  Draw(CVector(0, 0, 0), CVector(40, 0, 0));
  std::map<int, int> counts{{99, 1}};
  m_manager.GetCountNodeAndLinkedElement({m_model.GetElement(1), m_model.GetElement(2)}, counts);
  EXPECT_EQ(counts, (std::map<int, int>{{1, 1}, {2, 2}, {3, 1}}));
}

}  // namespace
