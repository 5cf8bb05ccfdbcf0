// Topology edits of the scene manager against a real model and an off-screen window: reuse by
// position, splitting, deleting the selection with its orphan nodes, and the Delete key. Their
// undo and redo: the random editing test, which runs the same routines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "host/framework/CUbActionNormal.h"
#include "support/StmSceneFixture.h"

namespace {

using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
constexpr Kind kNode = static_cast<Kind>(110);
constexpr Kind kElement = static_cast<Kind>(111);

class CStmUbManagerTopologyTest : public StmSelectingFixture {
protected:
  // An element drawn by the user: reused end nodes, recorded, into the model.
  CStmEntityElement* Draw(const CVector& a, const CVector& b) {
    return m_manager.AddElement(a, b, 1, 1, 1, nullptr);
  }
  int EnabledNodes() const { return m_model.GetCountNode(1); }
  int EnabledElements() const { return m_model.GetCountElement(1); }
  int Ends(int idElement) const {
    const CStmObjElement* e = m_model.GetElement(idElement);
    return e->GetIdNodeBegin() * 100 + e->GetIdNodeEnd();
  }
};

TEST_F(CStmUbManagerTopologyTest, AddNodeReusesANodeWithinTheToleranceOnlyAndSplitsNothingAtAnEnd) {
  CStmEntityNode* first = m_manager.AddNode(CVector(10, 0, 0), 1, 1, 1, 1, nullptr);
  EXPECT_EQ(m_manager.AddNode(CVector(10 + 1e-5, 0, -1e-5), 1, 1, 1, 1, nullptr), first);
  const std::vector<CUbEntityObj*> candidates{first};
  EXPECT_EQ(m_manager.AddNode(CVector(10, 0, 9e-6), 1, 1, 1, 1, &candidates), first);
  EXPECT_NE(m_manager.AddNode(CVector(10 + 2e-5, 0, 0), 1, 1, 1, 1, nullptr), first);
  EXPECT_EQ(EnabledNodes(), 2);

  // A fresh node on an element's end (within the tolerance) splits nothing.
  CStmEntityElement* element = Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  m_manager.AddNode(CVector(40, 0, 1e-5), 1, 1, 1, 0, nullptr);
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(Ends(element->GetIdStm()), 304);
}

TEST_F(CStmUbManagerTopologyTest, AddElementRefusesZeroLengthAndPointsPastTheLimitAndReturnsAnExistingReversedElement) {
  EXPECT_EQ(m_manager.AddElement(CVector(0, 0, 0), CVector(5e-6, 0, 0), 1, 1, 1, nullptr), nullptr);
  EXPECT_EQ(m_manager.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 0);

  CStmEntityElement* element = Draw(CVector(-20, 0, 0), CVector(20, 0, 10));
  EXPECT_EQ(Ends(element->GetIdStm()), 102);
  EXPECT_EQ(m_model.GetElement(1)->GetProperty(), SStmPropElement(0, 2, 0.0));
  EXPECT_EQ(Draw(CVector(20, 0, 10 + 1e-5), CVector(-20, 0, 0)), element);
  EXPECT_EQ(m_manager.GetCount(kElement), 1);
  EXPECT_EQ(m_model.GetCountElement(0), 1);
  EXPECT_EQ(m_manager.GetUndoCount(), 1);  // one drawn element, one step

  // Drawn along half of an element, the new end node cuts out that very half: no duplicate.
  CStmEntityElement* chord = Draw(CVector(0, 0, 50), CVector(40, 0, 50));
  EXPECT_EQ(Draw(CVector(0, 0, 50), CVector(20, 0, 50)), chord);  // shortened to that half
  EXPECT_EQ(m_manager.GetCount(kElement), 3);
  EXPECT_EQ(EnabledElements(), 3);

  // The one refusal every edit that carries points gives: the limit itself is allowed, and the
  // first value past it, not a number or infinite, is named with the limit.
  const size_t statuses = m_host.m_statusTexts.size();
  EXPECT_FALSE(m_manager.RefuseBeyondLimits({CVector(-1e9, 0, 1e9), CVector(0, 1e9, -1e9)}));
  EXPECT_EQ(m_host.m_statusTexts.size(), statuses);
  EXPECT_EQ(CStmUbManager::BeyondLimitsText({CVector(1e9, 0, 0)}), CString());
  const std::tuple<CVector, const char*> cases[] = {
      {CVector(0, 0, -1.000001e9), "-1.000001e+09"},
      {CVector(std::nan(""), 0, 0), "nan"},
  };
  for (const auto& [p, named] : cases) {
    SCOPED_TRACE(named);
    const CString text = CStmUbManager::BeyondLimitsText({CVector(5, 0, 5), p, CVector(2e9, 0, 0)});
    EXPECT_NE(text.str().find(std::string("become ") + named + ", beyond the limit of +/-1e+09"), std::string::npos)
        << text.str();
    EXPECT_TRUE(m_manager.RefuseBeyondLimits({p}));
    ASSERT_FALSE(m_host.m_statusTexts.empty());
    EXPECT_EQ(m_host.m_statusTexts.back(), CStmUbManager::BeyondLimitsText({p}));
  }
}

TEST_F(CStmUbManagerTopologyTest, ANodeStrictlyInsideSplitsTheElementInSceneAndModel) {
  CStmEntityElement* element = Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  CStmObjElement* first = m_model.GetElement(1);
  first->SetThicknessScale(2.5);
  first->SetAttributeText("web");

  EXPECT_EQ(m_manager.AddNode(CVector(0, 0, 0), 1, 1, 1, 1, nullptr)->GetIdStm(), 3);
  EXPECT_EQ(m_manager.GetCount(kElement), 2);
  EXPECT_EQ(element->GetCoordEnd(), CVector(0, 0, 0));
  EXPECT_NE(m_manager.GetEntElement(CVector(0, 0, 0), CVector(40, 0, 0), nullptr), nullptr);
  EXPECT_EQ(Ends(1), 103);
  EXPECT_EQ(Ends(2), 302);
  EXPECT_DOUBLE_EQ(m_model.GetElement(2)->GetThicknessScale(), 2.5);
  EXPECT_EQ(m_model.GetNode(3)->GetAttributeText(), CString("web"));
}

TEST_F(CStmUbManagerTopologyTest, DeletingTheSelectionKeepsUsedNodesAndDropsOrphans) {
  Draw(CVector(-40, 0, 0), CVector(0, 0, 0));
  Draw(CVector(0, 0, 0), CVector(40, 0, 0));
  m_manager.SelectNode({2});  // still used: stays
  m_manager.DeleteSelectedEntity();
  EXPECT_EQ(m_manager.GetCount(kNode), 3);

  m_manager.SelectRemoveAll();
  m_manager.SelectElement({1});
  m_host.m_messages.clear();
  m_manager.DeleteSelectedEntity();
  EXPECT_EQ(m_manager.GetCount(kElement) * 10 + m_manager.GetCount(kNode), 12);
  EXPECT_FALSE(m_model.GetElement(1)->IsEnable());
  EXPECT_FALSE(m_model.GetNode(1)->IsEnable());
  EXPECT_TRUE(m_model.GetNode(2)->IsEnable());
  ASSERT_EQ(m_host.m_messages.size(), 1u);
  EXPECT_EQ(m_host.m_messages[0].message, 1524u);
  EXPECT_EQ(static_cast<LPARAM>(m_host.m_messages[0].wParam), -1);
}

TEST_F(CStmUbManagerTopologyTest, TheDeleteKeyDeletesTheSelectionInTheSelectionAction) {
  Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  m_manager.SelectNewElement({1});
  auto* normal = dynamic_cast<CUbActionNormal*>(m_manager.GetActionCurrent());
  ASSERT_NE(normal, nullptr);
  EXPECT_FALSE(normal->GetSnapPointManage().GetGrips().empty());
  m_host.SetKeyHeld(VK_CONTROL, true);
  m_wnd.OnKeyDown(VK_DELETE, 1, 0);
  EXPECT_EQ(EnabledElements(), 1);
  m_host.SetKeyHeld(VK_CONTROL, false);
  m_wnd.OnKeyDown(VK_DELETE, 1, 0);
  EXPECT_EQ(m_manager.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 0);
  EXPECT_EQ(EnabledElements() + EnabledNodes(), 0);
  // No grip of the deleted element is left on screen.
  EXPECT_TRUE(normal->GetSnapPointManage().GetGrips().empty());
}

TEST_F(CStmUbManagerTopologyTest, DraggingANodeOntoAnotherMergesThemAndDropsTheDuplicateElement) {
  Draw(CVector(-40, 0, 0), CVector(0, 0, 0));
  Draw(CVector(0, 0, 0), CVector(40, 0, 0));
  CStmEntityElement* spare = Draw(CVector(0, 0, 0), CVector(0, 0, 30));
  // Node 4 on top goes down onto node 3: the spare element then repeats element 2.
  CStmEntityNode* dragged = m_manager.GetEntNode(4);
  ASSERT_NE(dragged, nullptr);
  m_manager.SetHistoryStart();
  dragged->Move(CVector(40, 0, -30));
  m_manager.AddHistory_ActionMoveAllPoint(dragged->GetName(), CVector(40, 0, -30));
  m_manager.StretchElementMovedNode(dragged, {spare});
  m_manager.SetHistoryEnd();
  EXPECT_EQ(m_manager.GetCount(kElement) * 10 + m_manager.GetCount(kNode), 23);
  EXPECT_FALSE(m_model.GetNode(4)->IsEnable());
  EXPECT_FALSE(m_model.GetElement(3)->IsEnable());
  EXPECT_EQ(Ends(3), 203);
}

// A square outline made of elements 1-4 (outer) around a square opening of elements 5-8.
class CStmUbManagerSplitOutlineTest : public CStmUbManagerTopologyTest {
protected:
  void SetUp() override {
    CStmUbManagerTopologyTest::SetUp();
    for (const CVector& p : {CVector(-50, 0, 0), CVector(50, 0, 0), CVector(50, 0, 60), CVector(-50, 0, 60),
                             CVector(-20, 0, 20), CVector(20, 0, 20), CVector(20, 0, 40), CVector(-20, 0, 40)})
      m_model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7}, {7, 8}, {8, 5}})
      m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    const CStmObjBoundary* outer = m_model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {1, 2, 3, 4}, -1);
    const CStmObjBoundary* inner = m_model.SetBoudaryByElementGroup(STM_BOUNDARY_INNER, {5, 6, 7, 8}, -1);
    ASSERT_TRUE(outer && inner);
    m_nOuter = outer->GetId();
    m_nInner = inner->GetId();
    m_manager.UpdateStmRenderer();
    FitView();
  }

  const CStmObjBoundary* Boundary(EStmTypeBoundary type) const {
    return m_model.GetBoundaryObj(type, type == STM_BOUNDARY_OUTER ? m_nOuter : m_nInner, 0);
  }

  int m_nOuter = 0, m_nInner = 0;
};

TEST_F(CStmUbManagerSplitOutlineTest, SplittingAnOutlineElementKeepsItsBoundaryThroughUndoAndRedo) {
  for (const auto& [at, type, first] : {std::tuple{CVector(0, 0, 0), STM_BOUNDARY_OUTER, 1},
                                        std::tuple{CVector(20, 0, 30), STM_BOUNDARY_INNER, 6}}) {
    const int before = m_model.GetCountElement(0);
    m_manager.AddNode(at, 1, 1, 1, 0, nullptr);
    ASSERT_EQ(m_model.GetCountElement(0), before + 1);
    const int second = before + 1;
    const CStmObjBoundary* boundary = Boundary(type);
    ASSERT_TRUE(boundary);
    EXPECT_TRUE(boundary->IsIncludeElement(first));
    EXPECT_TRUE(boundary->IsIncludeElement(second));
    // Both halves keep the outline's membership, in the model and on screen.
    const int membership = type == STM_BOUNDARY_OUTER ? 1 : 2;
    EXPECT_EQ(m_model.GetElement(second)->GetAttributeInt(CStmObject::kAttrBoundary), membership);
    EXPECT_EQ(m_manager.GetEntElement(second)->GetTypeElement(), membership);
    ASSERT_EQ(m_manager.Undo(), 1);
    EXPECT_FALSE(Boundary(type)->IsIncludeElement(second));
    ASSERT_EQ(m_manager.Redo(), 1);
    EXPECT_TRUE(Boundary(type)->IsIncludeElement(second));
  }
}

}  // namespace
