// The template tools driven off screen by clicks on nodes at model points: the worked layouts
// of the truss, arch, bottle shape and combined mechanism, refused picks and one undo step per
// insertion. (A second insertion at the same points, and what is there cut: the session test.)
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "actions/CStmActionAddArch.h"
#include "actions/CStmActionAddBottleShape.h"
#include "actions/CStmActionAddCombinedMechanism.h"
#include "actions/CStmActionAddTruss.h"
#include "host/platform/StmText.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

std::string Text(const CVector& p) {
  char text[64];
  std::snprintf(text, sizeof text, "(%.6g,%.6g)", p.x + 0.0, p.z + 0.0);
  return text;
}

class CStmActionTemplateTest : public StmSceneFixture {
protected:
  // Nodes where the clicks go, the only things a click can snap to, and elements between them
  // by their node ids.
  void Build(const std::vector<CVector>& points, const std::vector<std::pair<int, int>>& elements = {}) {
    for (const CVector& p : points) m_model.AddNode(p);
    for (const auto& [a, b] : elements) m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    m_manager.UpdateStmRenderer();
    FitView();
    m_before = SaveModelBytes(m_model, "template-before");
  }
  template <class T>
  T& Use(long id) {
    m_wnd.SetAction(id, -1, 1);
    return *dynamic_cast<T*>(m_manager.GetAction(id));
  }
  void PickAll(const std::vector<CVector>& points) {
    for (const CVector& p : points) Click(p);
  }

  std::set<std::string> Nodes() const {
    std::set<std::string> out;
    for (const auto& [id, node] : m_model.GetNodes())
      if (node->IsEnable()) out.insert(Text(node->GetCoord()));
    return out;
  }
  // Enabled elements as their two ends, the smaller first; a duplicate would show as a count.
  std::multiset<std::string> Elements(int strutType = -2, int tieType = -2) const {
    std::multiset<std::string> out;
    for (const auto& [id, element] : m_model.GetElements()) {
      if (!element->IsEnable()) continue;
      if (strutType != -2 && element->GetIndexStrutType() != strutType) continue;
      if (tieType != -2 && element->GetIndexTieType() != tieType) continue;
      std::string a = Text(element->GetCoordBegin()), b = Text(element->GetCoordEnd());
      out.insert(a < b ? a + "-" + b : b + "-" + a);
    }
    return out;
  }
  static std::multiset<std::string> Set(std::initializer_list<std::pair<CVector, CVector>> pairs) {
    std::multiset<std::string> out;
    for (const auto& [p, q] : pairs) {
      std::string a = Text(p), b = Text(q);
      out.insert(a < b ? a + "-" + b : b + "-" + a);
    }
    return out;
  }

  // One insertion is one step. That its undo and redo give the files back exactly, the random
  // editing test checks for every template inserted by clicks.
  void ExpectOneStep(int undoBefore) {
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    EXPECT_EQ(m_manager.GetUndoCount(), undoBefore + 1);
  }
  void ExpectRefused(int undoBefore) {
    ASSERT_EQ(m_host.m_boxes.size(), 1u);
    EXPECT_EQ(m_host.m_boxes.back().text, StmText("Input Failure"));
    m_host.m_boxes.clear();
    EXPECT_EQ(m_manager.GetUndoCount(), undoBefore);
    EXPECT_EQ(FirstDifference(m_before, SaveModelBytes(m_model, "template-refused")), "");
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
  }

  std::string m_before;
};

const CVector kP0(0, 0, 0), kP1(6, 0, 0), kP2(2, 0, 3);

TEST_F(CStmActionTemplateTest, ThreeBayTrussDiagonalsFollowTheirDirection) {
  Build({kP0, kP1, kP2});
  const auto outline = Set({{At(0, 0), At(2, 0)}, {At(2, 0), At(4, 0)}, {At(4, 0), At(6, 0)}, {At(6, 0), At(6, 3)},
                            {At(6, 3), At(4, 3)}, {At(4, 3), At(2, 3)}, {At(2, 3), At(0, 3)}, {At(0, 3), At(0, 0)},
                            {At(2, 0), At(2, 3)}, {At(4, 0), At(4, 3)}});
  const auto toP0 = Set({{At(2, 0), At(0, 3)}, {At(4, 0), At(2, 3)}, {At(6, 0), At(4, 3)}});
  const auto toP1 = Set({{At(0, 0), At(2, 3)}, {At(2, 0), At(4, 3)}, {At(4, 0), At(6, 3)}});
  auto both = toP0;
  both.insert(toP1.begin(), toP1.end());
  // Towards the first point alone, and both ways (towards the second alone is that mirrored).
  const std::pair<int, std::multiset<std::string>> cases[] = {{0, toP0}, {2, both}};
  for (const auto& [direction, diagonals] : cases) {
    SCOPED_TRACE(direction);
    auto& truss = Use<CStmActionAddTruss>(58);
    truss.SetDirection(static_cast<EStmTypeTrussDirection>(direction));
    EXPECT_EQ(truss.GetBay(), 3);
    const int undo = m_manager.GetUndoCount();
    PickAll({kP0, kP1});
    EXPECT_EQ(truss.GetPickedPoints().size(), 2u);
    Click(kP2);
    EXPECT_TRUE(truss.GetPickedPoints().empty());
    EXPECT_EQ(Nodes(), (std::set<std::string>{"(0,0)", "(2,0)", "(4,0)", "(6,0)", "(0,3)", "(2,3)", "(4,3)", "(6,3)"}));
    auto expected = outline;
    expected.insert(diagonals.begin(), diagonals.end());
    EXPECT_EQ(Elements(), expected);
    ExpectOneStep(undo);
    ASSERT_EQ(m_manager.Undo(), 1);
    // The tool stays for the next truss.
    EXPECT_EQ(m_wnd.GetActionTypeCur(), 58);
  }
}

TEST_F(CStmActionTemplateTest, TrussByTopCornerOnEitherSide) {
  // Beyond the second point: panels under the overlap of the chords, triangles at both ends.
  Build({kP0, kP1, At(8, 3), At(4, 3)});
  auto& truss = Use<CStmActionAddTruss>(58);
  truss.SetType(STM_TRUSS_POINT_CORNER);
  truss.SetBay(2);
  PickAll({kP0, kP1, At(8, 3)});
  EXPECT_EQ(Nodes(), (std::set<std::string>{"(0,0)", "(2,0)", "(4,0)", "(6,0)", "(8,3)", "(6,3)", "(4,3)", "(2,3)"}));
  EXPECT_EQ(Elements().size(), 8u + 3u + 2u);
  EXPECT_EQ(Elements().count(Text(At(0, 0)) + "-" + Text(At(2, 3))), 1u);
  EXPECT_EQ(Elements().count(Text(At(6, 0)) + "-" + Text(At(8, 3))), 1u);
  ASSERT_EQ(m_manager.Undo(), 1);
  // Short of it: panels from the first point to below the corner, a triangle to the second.
  PickAll({kP0, kP1, At(4, 3)});
  EXPECT_EQ(Nodes(), (std::set<std::string>{"(0,0)", "(2,0)", "(4,0)", "(6,0)", "(0,3)", "(2,3)", "(4,3)", "(8,3)"}));
  EXPECT_EQ(Elements(), Set({{At(0, 0), At(2, 0)}, {At(2, 0), At(4, 0)}, {At(4, 0), At(6, 0)}, {At(6, 0), At(4, 3)},
                             {At(4, 3), At(2, 3)}, {At(2, 3), At(0, 3)}, {At(0, 3), At(0, 0)}, {At(2, 0), At(2, 3)},
                             {At(4, 0), At(4, 3)}, {At(2, 0), At(0, 3)}, {At(4, 0), At(2, 3)}}));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

TEST_F(CStmActionTemplateTest, RefusedPicksSayInputFailureAndLeaveNothing) {
  Build({kP0, At(3, 0), kP1, At(0, 3)});
  auto& truss = Use<CStmActionAddTruss>(58);
  PickAll({kP0, At(3, 0), kP1});
  ExpectRefused(0);
  EXPECT_TRUE(truss.GetPickedPoints().empty());
  EXPECT_FALSE(m_manager.IsTemplatePick());
  truss.SetBay(0);
  const std::tuple<const char*, long, std::vector<CVector>> refused[] = {
      {"a truss of no bays", 58, {kP0, kP1, At(0, 3)}}, {"an arch", 59, {At(3, 0), kP0, kP1}},
      {"a bottle of one point", 57, {kP0, kP0}}, {"a mechanism along", 56, {kP0, kP1}},
      {"a mechanism up", 56, {kP0, At(0, 3)}}};
  for (const auto& [what, tool, points] : refused) {
    SCOPED_TRACE(what);
    m_wnd.SetAction(tool, -1, 1);
    PickAll(points);
    ExpectRefused(0);
  }
  truss.SetBay(3);
  // Settings that make no layout create nothing, and say nothing either.
  Use<CStmActionAddArch>(59).SetBay(0);
  PickAll({At(0, 3), kP0, kP1});
  Use<CStmActionAddBottleShape>(57).SetTie(3);
  PickAll({kP0, kP1});
  Use<CStmActionAddCombinedMechanism>(56).SetType(static_cast<EStmTypeCombinedMechanism>(3));
  PickAll({At(0, 3), kP1});
  // A locked model takes no picks at all.
  m_model.SetLock(1);
  auto& bottle = Use<CStmActionAddBottleShape>(57);
  bottle.SetTie(1);
  PickAll({kP0, kP1});
  EXPECT_TRUE(bottle.GetPickedPoints().empty());
  m_model.SetLock(0);
  EXPECT_TRUE(m_host.m_boxes.empty());
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
  EXPECT_EQ(FirstDifference(m_before, SaveModelBytes(m_model, "template-silent")), "");
}

TEST_F(CStmActionTemplateTest, ArchFanOfFourBays) {
  m_model.GetStmDataDefine()->AddStrutType(SStmStrutType());
  Build({At(0, 4), At(-4, 0), At(4, 0)});
  EXPECT_EQ(Use<CStmActionAddArch>(59).GetBay(), 4);
  PickAll({At(0, 4), At(-4, 0), At(4, 0)});
  EXPECT_EQ(Nodes(), (std::set<std::string>{"(0,4)", "(-4,0)", "(-2,0)", "(0,0)", "(2,0)", "(4,0)"}));
  EXPECT_EQ(Elements(0), Set({{At(0, 4), At(-4, 0)}, {At(-4, 0), At(-2, 0)}, {At(-2, 0), At(0, 0)}, {At(0, 0), At(2, 0)},
                              {At(2, 0), At(4, 0)}, {At(4, 0), At(0, 4)}, {At(0, 4), At(-2, 0)}, {At(0, 4), At(0, 0)},
                              {At(0, 4), At(2, 0)}}));
  ExpectOneStep(0);
}

TEST_F(CStmActionTemplateTest, BottleWithOneAndWithTwoTies) {
  m_model.GetStmDataDefine()->AddStrutType(SStmStrutType());
  m_model.GetStmDataDefine()->AddTieType(SStmTieType());
  Build({kP0, At(8, 0), At(0, -3), At(6, -3)});
  auto& bottle = Use<CStmActionAddBottleShape>(57);
  EXPECT_EQ(bottle.GetRatio(), 2.0);
  PickAll({kP0, At(8, 0)});
  EXPECT_EQ(Nodes().count("(4,2)") + Nodes().count("(4,-2)"), 2u);
  EXPECT_EQ(Elements(0, -1).size(), 4u);
  EXPECT_EQ(Elements(-1, 0), Set({{At(4, 2), At(4, -2)}}));
  ExpectOneStep(0);

  bottle.SetTie(2);
  PickAll({At(0, -3), At(6, -3)});
  for (const char* side : {"(2,-2)", "(4,-2)", "(2,-4)", "(4,-4)"}) EXPECT_EQ(Nodes().count(side), 1u) << side;
  EXPECT_EQ(Elements().size(), 5u + 9u);
  EXPECT_EQ(Elements(-1, 0), Set({{At(4, 2), At(4, -2)}, {At(2, -2), At(2, -4)}, {At(4, -2), At(4, -4)}}));
  int stable = 0;
  for (const auto& [id, element] : m_model.GetElements()) {
    if (!element->IsStableElement()) continue;
    ++stable;
    EXPECT_EQ(element->GetIndexStrutType(), -1);
    EXPECT_EQ(element->GetIndexTieType(), -1);
  }
  EXPECT_EQ(stable, 1);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

TEST_F(CStmActionTemplateTest, CombinedMechanismOfEachType) {
  m_model.GetStmDataDefine()->AddStrutType(SStmStrutType());
  m_model.GetStmDataDefine()->AddTieType(SStmTieType());
  Build({At(4, 0), At(0, 2), At(10, 2), At(16, 5)});
  auto& combined = Use<CStmActionAddCombinedMechanism>(56);
  combined.SetType(STM_COMBINED_TIE_VERTICAL_ONE);
  // Lower corner first: the upper one still leads the layout.
  PickAll({At(4, 0), At(0, 2)});
  EXPECT_EQ(Nodes().count("(2,0)") + Nodes().count("(2,2)"), 2u);
  EXPECT_EQ(Nodes().count("(4,2)"), 0u);
  EXPECT_EQ(Elements(0, -1), Set({{At(0, 2), At(2, 0)}, {At(4, 0), At(2, 2)}, {At(2, 2), At(0, 2)}, {At(0, 2), At(4, 0)}}));
  EXPECT_EQ(Elements(-1, 0), Set({{At(2, 0), At(4, 0)}, {At(2, 0), At(2, 2)}}));
  ExpectOneStep(0);

  // No tie type is meant for horizontal anchored ties: the mid-height tie stays untyped.
  combined.SetType(STM_COMBINED_TIE_HORIZONTAL);
  PickAll({At(10, 2), At(16, 5)});
  EXPECT_EQ(Elements(0).size(), 4u + 5u);
  EXPECT_EQ(Elements(-1, -1), Set({{At(10, 3.5), At(16, 3.5)}}));
  ExpectOneStep(1);
  ASSERT_EQ(m_manager.Undo(), 1);
  SStmTieType horizontal;
  horizontal.nHorizontal = horizontal.nAnchored = 1;
  m_model.GetStmDataDefine()->AddTieType(horizontal);
  PickAll({At(10, 2), At(16, 5)});
  EXPECT_EQ(Elements(-1, 1), Set({{At(10, 3.5), At(16, 3.5)}}));

  combined.SetType(STM_COMBINED_TIE_VERTICAL_TWO);
  PickAll({At(16, 5), At(10, 2)});
  EXPECT_EQ(Elements(-1, 0).size(), 2u + 4u);
  ExpectOneStep(2);
}

TEST_F(CStmActionTemplateTest, RubberBandFollowsThePicksAndCancelStartsAfresh) {
  Build({kP0, kP1, kP2});
  auto& truss = Use<CStmActionAddTruss>(58);
  truss.SetBay(2);
  Click(kP0);
  CPoint cursor = m_wnd.ExtToClient(At(3, 2));
  m_wnd.OnMouseMove(0, cursor);
  CVector from, to;
  ASSERT_EQ(truss.GetVectorCurLine(&m_wnd, from, to), 1);
  EXPECT_EQ(from, kP0);
  Click(kP1);
  ASSERT_EQ(truss.GetVectorCurLine(&m_wnd, from, to), 1);
  EXPECT_EQ(from, kP1);
  EXPECT_TRUE(m_manager.IsTemplatePick());
  // The leg already picked is drawn over the scene.
  m_wnd.Render();
  EXPECT_EQ(Pixel(m_wnd.ExtToClient(At(3, 0)))[1], 255);
  // The right button drops the picks but keeps the tool; the settings outlive the tool.
  m_wnd.OnRButtonDown(MK_RBUTTON, cursor);
  m_wnd.OnRButtonUp(0, cursor);
  EXPECT_TRUE(truss.GetPickedPoints().empty());
  EXPECT_EQ(truss.GetVectorCurLine(&m_wnd, from, to), 0);
  EXPECT_EQ(m_host.m_statusTexts.back(), StmText("Truss: pick the start of the bottom chord"));
  Click(kP0);
  m_wnd.OnKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), 48);
  EXPECT_EQ(Use<CStmActionAddTruss>(58).GetBay(), 2);
  EXPECT_TRUE(truss.GetPickedPoints().empty());
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
}

TEST_F(CStmActionTemplateTest, ATemplateLiesInThePlaneTheViewShows) {
  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XY);
  Build({CVector(0, 0, 0), CVector(8, 0, 0)});
  Use<CStmActionAddBottleShape>(57);
  PickAll({CVector(0, 0, 0), CVector(8, 0, 0)});
  EXPECT_NE(m_model.GetNode(CVector(4, 2, 0)), nullptr);
  EXPECT_NE(m_model.GetNode(CVector(4, -2, 0)), nullptr);
  EXPECT_EQ(m_model.GetCountElement(1), 5);
  ExpectOneStep(0);
}

}  // namespace
