// Topology edits of the scene manager against a real model and an off-screen window: reuse by
// position, splitting, deleting the selection with its orphan nodes, and the Delete key. Their
// undo and redo: the random editing test, which runs the same routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
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

// Lookups by position through the container's index: reuse beyond the window's edge and
// without any window, the index in step through setters and a rebuild, and picks from it.
// (Nodes that are not shown: CStmUbManagerHiddenNodeTest.)
class CStmUbManagerIndexTest : public CStmUbManagerTopologyTest {
protected:
  void ExpectIndexInStep(const char* when) {
    CString why;
    EXPECT_EQ(m_manager.CheckEttIndex(&why), 1) << when << ": " << why.str();
  }
};

TEST_F(CStmUbManagerIndexTest, AnElementDrawnBeyondTheWindowEdgeReusesTheNodeAndTheElementThere) {
  // The window shows x from -100 to 100: 500 lies well outside.
  ASSERT_GT(m_wnd.ExtToClient(CVector(500, 0, 0)).x, kWidth);
  CStmEntityElement* first = Draw(CVector(0, 0, 0), CVector(500, 0, 0));
  Draw(CVector(0, 0, 20), CVector(500, 0, 0));
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(Draw(CVector(500, 0, 0), CVector(0, 0, 0)), first);
  EXPECT_EQ(EnabledElements(), 2);
  // A node put on the part of the element beyond the edge splits it there.
  m_manager.AddNode(CVector(300, 0, 0), 1, 1, 1, 1, nullptr);
  EXPECT_EQ(EnabledElements(), 3);
  EXPECT_EQ(first->GetCoordEnd(), CVector(300, 0, 0));
}

TEST_F(CStmUbManagerIndexTest, ReuseSplittingAndDeletingWorkWithNoWindowAtAll) {
  CStmModel model;
  CStmUbManager manager;
  manager.SetStmModel(&model);
  ASSERT_EQ(manager.GetRenderWnd(-1), nullptr);
  const auto draw = [&](const CVector& a, const CVector& b) { return manager.AddElement(a, b, 1, 1, 1, nullptr); };
  CStmEntityElement* base = draw(CVector(0, 0, 0), CVector(100, 0, 0));
  draw(CVector(100, 0, 0), CVector(50, 0, 80));
  draw(CVector(50, 0, 80), CVector(0, 0, 0));
  EXPECT_EQ(model.GetCountNode(1), 3);
  EXPECT_EQ(draw(CVector(100, 0, 0), CVector(0, 0, 0)), base);
  // A post from the top down to the middle of the base splits it.
  draw(CVector(50, 0, 80), CVector(50, 0, 0));
  EXPECT_EQ(model.GetCountElement(1), 5);
  EXPECT_EQ(model.GetCountNode(1), 4);
  EXPECT_EQ(manager.GetEntElement(CVector(50, 0, 0), CVector(100, 0, 0), nullptr)->GetIdStm(), 4);

  // Deleting the post leaves its ends, which others hold; deleting both sides of the top takes it.
  manager.SelectElement({5});
  manager.DeleteSelectedEntity();
  EXPECT_EQ(model.GetCountElement(1), 4);
  EXPECT_EQ(model.GetCountNode(1), 4);
  manager.SelectRemoveAll();
  manager.SelectElement({2, 3});
  manager.DeleteSelectedEntity();
  EXPECT_EQ(model.GetCountNode(1), 3);
  EXPECT_EQ(model.GetNode(3)->GetCoord(), CVector(50, 0, 80));
  EXPECT_FALSE(model.GetNode(3)->IsEnable());
  CString why;
  EXPECT_EQ(manager.CheckEttIndex(&why), 1) << why.str();
}

TEST_F(CStmUbManagerIndexTest, DuplicatesAreFoundInRegistryOrderAndTheEarlierNodeSurvivesAMerge) {
  CStmEntityNode* older = m_manager.AddNode(CVector(500, 0, 0), 0, 1, 1, 0, nullptr);
  CStmEntityNode* newer = m_manager.AddNode(CVector(500, 0, 1e-5), 0, 1, 1, 0, nullptr);
  EXPECT_EQ(m_manager.GetEntNode(CVector(500, 0, 0), nullptr), older);
  m_manager.DeleteNodeDuplication(newer);
  EXPECT_EQ(m_manager.GetCount(kNode), 1);
  EXPECT_EQ(m_manager.GetEntNode(CVector(500, 0, 0), nullptr), older);
  EXPECT_FALSE(m_model.GetNode(newer->GetIdStm())->IsEnable());
}

// Edits of elements, nodes and outlines, with their undo and redo, are checked against the index
// by the random editing test; guidelines, grid points and areas change only through setters.
TEST_F(CStmUbManagerIndexTest, TheIndexFollowsTheSettersAndARebuild) {
  Draw(CVector(-40, 0, 0), CVector(40, 0, 0));
  Draw(CVector(40, 0, 0), CVector(40, 0, 60));
  auto* boundary = new CStmEntityBoundary(&m_manager, STM_BOUNDARY_OUTER,
                                          {CVector(-50, 0, -10), CVector(50, 0, -10), CVector(50, 0, 70)});
  auto* area = new CStmEntityArea(&m_manager, {CVector(0, 0, 0), CVector(10, 0, 0), CVector(10, 0, 10)});
  auto* guide = new CStmEntityGuideline(&m_manager, 2, CVector(-90, 0, 5), CVector(90, 0, 5));
  auto* grid = new CStmEntityGridPoint(&m_manager, CVector(20, 0, 20));
  for (CUbEntityObj* e : std::vector<CUbEntityObj*>{boundary, area, guide, grid}) m_manager.AddEtt(e, 0, 1);
  ExpectIndexInStep("after drawing");

  area->SetAreaPosArray({CVector(300, 0, 300), CVector(310, 0, 300), CVector(310, 0, 310)});
  guide->SetPoints(CVector(0, 0, -90), CVector(0, 0, 90));
  grid->SetCoord(CVector(-20, 0, -20));
  boundary->SetBoundaryArray({CVector(-60, 0, -60), CVector(60, 0, -60), CVector(60, 0, 90)});
  ExpectIndexInStep("after the setters");
  std::vector<CUbEntityObj*> found;
  m_manager.GetEttInBox(CVector(-20, 0, -20), CVector(-20, 0, -20), Kind::TYPE_ENTITY_ALL, found);
  EXPECT_NE(std::find(found.begin(), found.end(), grid), found.end());

  m_manager.UpdateStmRenderer();
  ExpectIndexInStep("after the rebuild");
  EXPECT_NE(m_manager.GetEntElement(2), nullptr);
  EXPECT_EQ(m_manager.GetCount(kElement), EnabledElements());
}

TEST_F(CStmUbManagerIndexTest, PicksFromTheIndexFindWhatABandCoversAndFollowAMove) {
  // A lattice of 20 x 8 cells, 10 apart; the band then covers the cells from (2, 2) to (5, 4).
  for (int r = 0; r <= 8; ++r) {
    for (int c = 0; c <= 20; ++c) {
      if (c < 20) Draw(CVector(c * 10.0 - 100, 0, r * 10.0 - 40), CVector(c * 10.0 - 90, 0, r * 10.0 - 40));
      if (r < 8) Draw(CVector(c * 10.0 - 100, 0, r * 10.0 - 40), CVector(c * 10.0 - 100, 0, r * 10.0 - 30));
    }
  }
  FitView();
  m_manager.SetTypeSelection(STM_SELECTION_ELEMENT);
  const CVector lo(-100 + 2 * 10 - 2, 0, -40 + 2 * 10 - 2), hi(-100 + 5 * 10 + 2, 0, -40 + 4 * 10 + 2);
  const CPoint p1 = m_wnd.ExtToClient(CVector(lo.x, 0, hi.z)), p2 = m_wnd.ExtToClient(CVector(hi.x, 0, lo.z));
  m_wnd.SelectionRect(p1, p2, 1, 0, nullptr, 2);
  std::set<CString> expected;
  for (const auto& entry : m_manager.GetEttMap(kElement)) {
    auto* e = static_cast<CStmEntityElement*>(entry.second);
    const auto inside = [&](const CVector& p) { return p.x > lo.x && p.x < hi.x && p.z > lo.z && p.z < hi.z; };
    if (inside(e->GetCoordBegin()) && inside(e->GetCoordEnd())) expected.insert(entry.first);
  }
  std::set<CString> selected;
  for (const auto& entry : m_manager.GetSelectMap()) selected.insert(entry.first);
  EXPECT_EQ(selected.size(), 3u * 3 + 4u * 2);
  EXPECT_EQ(selected, expected);
  EXPECT_EQ(m_wnd.GetPickCandidates(), nullptr);

  // An element moved far away is picked where it now lies, and no longer where it was.
  CStmEntityElement* moved = m_manager.GetEntElement(CVector(-100, 0, -40), CVector(-90, 0, -40), nullptr);
  ASSERT_NE(moved, nullptr);
  const CPoint before = m_wnd.ExtToClient(CVector(-95, 0, -40));
  // The move action's work: one step, the element moved and recorded, then re-linked and its
  // nodes merged into what they landed on.
  m_manager.SetHistoryStart();
  moved->Move(CVector(60, 0, 85));
  m_manager.AddHistory_ActionMoveAllPoint(moved->GetName(), CVector(60, 0, 85));
  m_manager.AddNodeMovedElement(moved);
  m_manager.DeleteNodeDuplication(moved->GetIdStm());
  m_manager.SetHistoryEnd();
  CMapStringToPtr found;
  void* hit = nullptr;
  m_wnd.SelectionPoint(m_wnd.ExtToClient(CVector(-35, 0, 45)), CSize(5, 5), -1, 0, &found, CUbRenderWnd::kSelectQuery);
  EXPECT_TRUE(found.Lookup(moved->GetName(), hit));
  m_wnd.SelectionPoint(before, CSize(5, 5), -1, 0, &found, CUbRenderWnd::kSelectQuery);
  EXPECT_FALSE(found.Lookup(moved->GetName(), hit));
}

}  // namespace
