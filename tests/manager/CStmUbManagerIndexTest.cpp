// Lookups by position through the container's index: reuse beyond the window's edge and
// without any window, the index in step through setters and a rebuild, and picks from it.
// (Nodes that are not shown: CStmUbManagerHiddenNodeTest.)
#include <gtest/gtest.h>

#include <set>
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

// What a user drew: reused end nodes, recorded, into the model.
CStmEntityElement* Draw(CStmUbManager& m, const CVector& a, const CVector& b) {
  return m.AddElement(a, b, 1, 1, 1, nullptr);
}

class CStmUbManagerIndexTest : public StmSelectingFixture {
protected:
  void ExpectIndexInStep(const char* when) {
    CString why;
    EXPECT_EQ(m_manager.CheckEttIndex(&why), 1) << when << ": " << why.str();
  }
  int Elements() const { return m_model.GetCountElement(1); }
};

TEST_F(CStmUbManagerIndexTest, AnElementDrawnBeyondTheWindowEdgeReusesTheNodeAndTheElementThere) {
  // The window shows x from -100 to 100: 500 lies well outside.
  ASSERT_GT(m_wnd.ExtToClient(CVector(500, 0, 0)).x, kWidth);
  CStmEntityElement* first = Draw(m_manager, CVector(0, 0, 0), CVector(500, 0, 0));
  Draw(m_manager, CVector(0, 0, 20), CVector(500, 0, 0));
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(Draw(m_manager, CVector(500, 0, 0), CVector(0, 0, 0)), first);
  EXPECT_EQ(Elements(), 2);
  // A node put on the part of the element beyond the edge splits it there.
  m_manager.AddNode(CVector(300, 0, 0), 1, 1, 1, 1, nullptr);
  EXPECT_EQ(Elements(), 3);
  EXPECT_EQ(first->GetCoordEnd(), CVector(300, 0, 0));
}

TEST_F(CStmUbManagerIndexTest, ReuseSplittingAndDeletingWorkWithNoWindowAtAll) {
  CStmModel model;
  CStmUbManager manager;
  manager.SetStmModel(&model);
  ASSERT_EQ(manager.GetRenderWnd(-1), nullptr);
  CStmEntityElement* base = Draw(manager, CVector(0, 0, 0), CVector(100, 0, 0));
  Draw(manager, CVector(100, 0, 0), CVector(50, 0, 80));
  Draw(manager, CVector(50, 0, 80), CVector(0, 0, 0));
  EXPECT_EQ(model.GetCountNode(1), 3);
  EXPECT_EQ(Draw(manager, CVector(100, 0, 0), CVector(0, 0, 0)), base);
  // A post from the top down to the middle of the base splits it.
  Draw(manager, CVector(50, 0, 80), CVector(50, 0, 0));
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
  Draw(m_manager, CVector(-40, 0, 0), CVector(40, 0, 0));
  Draw(m_manager, CVector(40, 0, 0), CVector(40, 0, 60));
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
  EXPECT_EQ(m_manager.GetCount(kElement), Elements());
}

TEST_F(CStmUbManagerIndexTest, PicksFromTheIndexFindWhatABandCoversAndFollowAMove) {
  // A lattice of 20 x 8 cells, 10 apart; the band then covers the cells from (2, 2) to (5, 4).
  for (int r = 0; r <= 8; ++r) {
    for (int c = 0; c <= 20; ++c) {
      if (c < 20) Draw(m_manager, CVector(c * 10.0 - 100, 0, r * 10.0 - 40), CVector(c * 10.0 - 90, 0, r * 10.0 - 40));
      if (r < 8) Draw(m_manager, CVector(c * 10.0 - 100, 0, r * 10.0 - 40), CVector(c * 10.0 - 100, 0, r * 10.0 - 30));
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
