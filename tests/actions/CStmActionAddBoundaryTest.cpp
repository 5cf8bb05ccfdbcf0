// The outline and area tools driven off screen: a chain selected beforehand used at once, and
// every refusal told in its message box with the model, the history and the scene left as they
// were. (Elements picked by clicks and the right button: the outline session test.)
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "actions/CStmActionAddBoundary.h"
#include "host/platform/StmText.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmActionAddBoundaryTest : public StmSceneFixture {
protected:
  // Elements 1-4 the square (0,0)-(100,100) in turn; 5-7 a triangle inside it; 8-10 a triangle
  // beside it; 11-14 a bow tie of four elements whose diagonals cross at (140, 80).
  void SetUp() override {
    StmSceneFixture::SetUp();
    const std::vector<CVector> points{{0, 0, 0},   {100, 0, 0},  {100, 0, 100}, {0, 0, 100},  {30, 0, 30},
                                      {70, 0, 30}, {50, 0, 70},  {150, 0, 0},   {190, 0, 0},  {170, 0, 40},
                                      {120, 0, 60}, {160, 0, 60}, {120, 0, 100}, {160, 0, 100}};
    for (const CVector& p : points) m_model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7}, {7, 5}, {8, 9}, {9, 10},
                               {10, 8}, {11, 12}, {12, 13}, {13, 14}, {14, 11}})
      m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    m_manager.UpdateStmRenderer();
    FitView();
  }

  // Clicks the middle of a model element.
  void ClickElement(int id) {
    const CStmObjElement* element = m_model.GetElement(id);
    Click((element->GetCoordBegin() + element->GetCoordEnd()) * 0.5);
  }
  // The last message the main window got, as (tool, result).
  std::pair<WPARAM, LPARAM> LastNotice() const {
    if (m_host.m_messages.empty() || m_host.m_messages.back().message != CStmActionAddBoundary::kMsgAdded) return {0, -1};
    return {m_host.m_messages.back().wParam, m_host.m_messages.back().lParam};
  }
  // Runs the tool on the elements (selected beforehand) and expects the refusal `text`, with no
  // trace in the file, the history or the scene.
  void ExpectRefused(long tool, const std::vector<int>& ids, const char* text, long activeAfter) {
    // Named by test, since ctest runs tests side by side.
    const std::string name = std::string("refused-") + testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string before = SaveModelBytes(m_model, name + "-before");
    const int undo = m_manager.GetUndoCount();
    const size_t boxes = m_host.m_boxes.size();
    m_manager.SelectRemoveAll();
    if (ids.size() >= 3) {
      m_manager.SelectElement(std::set<int>(ids.begin(), ids.end()));
      m_wnd.SetAction(tool, -1, 1);
    } else {
      m_wnd.SetAction(tool, -1, 1);
      for (int id : ids) ClickElement(id);
      m_wnd.OnRButtonDown(MK_RBUTTON, At(CVector(50, 0, 50)));
      m_wnd.OnRButtonUp(0, At(CVector(50, 0, 50)));
    }
    ASSERT_EQ(m_host.m_boxes.size(), boxes + 1) << text;
    EXPECT_EQ(m_host.m_boxes.back().text, StmText(text));
    EXPECT_EQ(FirstDifference(before, SaveModelBytes(m_model, name + "-after")), "");
    EXPECT_EQ(m_manager.GetUndoCount(), undo);
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    EXPECT_EQ(m_wnd.GetActionTypeCur(), activeAfter);
    m_wnd.CancelCommand();
  }
};

TEST_F(CStmActionAddBoundaryTest, AChainSelectedBeforehandMakesAnOpeningAndAnAreaAtOnce) {
  m_manager.SelectElement({1, 2, 3, 4});
  m_wnd.SetAction(CStmActionAddBoundary::kActionOuter, -1, 1);
  ASSERT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);

  m_manager.SelectElement({5, 6, 7});
  m_wnd.SetAction(CStmActionAddBoundary::kActionInner, -1, 1);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 1);
  EXPECT_EQ(m_host.m_statusTexts.back(), StmText("Add") + " " + StmText("InnerBoundary") + ".");
  EXPECT_EQ(LastNotice(), (std::pair<WPARAM, LPARAM>{50, 1}));
  EXPECT_EQ(m_wnd.GetActionTypeCur(), 48);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());

  m_manager.SelectElement({8, 9, 10});
  m_wnd.SetAction(CStmActionAddBoundary::kActionArea, -1, 1);
  ASSERT_EQ(m_model.GetCountPropertyArea(1), 1);
  EXPECT_EQ(m_model.GetPropertyAreas().begin()->second->GetBoundaryPos().size(), 3u);
  EXPECT_EQ(LastNotice(), (std::pair<WPARAM, LPARAM>{54, 1}));
  EXPECT_EQ(m_wnd.GetActionTypeCur(), 48);
  EXPECT_EQ(m_manager.GetUndoCount(), 3);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

TEST_F(CStmActionAddBoundaryTest, RefusedOutlinesAndOpeningsLeaveNothingBehind) {
  const char* const kNotClosed = "선택한 Line들이 폐합되지않아 영역을 만들수 없습니다.";
  const char* const kCrossing = "선택한 Line들이 다른 Boundary영역과 교차 됩니다.";
  // An opening needs an outline to sit in; the tool stays for another try.
  ExpectRefused(50, {5, 6, 7}, "OutBoudary영역 안에만 InnerBoundary를 추가 할수 있습니다.", 50);
  // A loop that crosses itself is no outline: its crossing is marked, and the tool ends.
  ExpectRefused(49, {11, 12, 13, 14}, kNotClosed, 48);
  EXPECT_EQ(LastNotice(), (std::pair<WPARAM, LPARAM>{49, 0}));
  EXPECT_EQ(m_host.m_statusTexts.back(), StmText("Failed Add") + " " + StmText("OuterBoundary") + ".");
  // Its corners, then the crossing from either side.
  ASSERT_EQ(m_manager.GetMarkPosArray().size(), 6u);
  EXPECT_EQ(m_manager.GetMarkPosArray()[0], CVector(120, 0, 60));
  EXPECT_LT((m_manager.GetMarkPosArray()[4] - CVector(140, 0, 80)).Length(), 1e-9);
  EXPECT_LT((m_manager.GetMarkPosArray()[5] - CVector(140, 0, 80)).Length(), 1e-9);
  ExpectRefused(49, {1, 2}, kNotClosed, 48);

  m_manager.SelectElement({1, 2, 3, 4});
  m_wnd.SetAction(49, -1, 1);
  ASSERT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  // Openings outside the outline, over it, or sharing its nodes cross it.
  ExpectRefused(50, {8, 9, 10}, kCrossing, 48);
  EXPECT_EQ(LastNotice(), (std::pair<WPARAM, LPARAM>{50, 0}));
  ExpectRefused(50, {1, 2, 3, 4}, kCrossing, 48);
  // A corner on the outline's node 1, with no element of the outline.
  m_model.AddElement(1, 6, SStmPropElement(0, 2, 0.0));  // 15
  m_model.AddElement(7, 1, SStmPropElement(0, 2, 0.0));  // 16
  m_manager.UpdateStmRenderer();
  ExpectRefused(50, {15, 6, 16}, kCrossing, 48);
  // One opening may not overlap another.
  m_manager.SelectElement({5, 6, 7});
  m_wnd.SetAction(50, -1, 1);
  ASSERT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 1);
  // Nodes 15-17, a triangle over the opening.
  for (const CVector& p : {CVector(15, 0, 25), CVector(85, 0, 25), CVector(50, 0, 92)}) m_model.AddNode(p);
  for (const auto& [a, b] : {std::pair{15, 16}, {16, 17}, {17, 15}}) m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  m_manager.UpdateStmRenderer();
  ExpectRefused(50, {17, 18, 19}, kCrossing, 48);
}

TEST_F(CStmActionAddBoundaryTest, AreasAreRefusedOverAnotherAreaAndPastTen) {
  m_manager.SelectElement({5, 6, 7});
  m_wnd.SetAction(54, -1, 1);
  ASSERT_EQ(m_model.GetCountPropertyArea(1), 1);
  // The square holds the triangle's area.
  ExpectRefused(54, {1, 2, 3, 4}, "선택한 Area가 다른 Area와 교차 됩니다.", 48);
  EXPECT_EQ(LastNotice(), (std::pair<WPARAM, LPARAM>{54, 0}));

  for (int i = 0; i < 9; ++i) m_model.AddPropertyArea({8, 9, 10});
  m_manager.UpdateStmRenderer();
  // The limit refuses before the open chain is reported, but its open ends are marked.
  ExpectRefused(54, {11, 12, 13}, "Area의 최대 갯수는 10개 입니다.\n 기존 Area를 삭제 하고 추가해주세요", 54);
  EXPECT_EQ(m_manager.GetMarkPosArray().size(), 2u);
}

TEST_F(CStmActionAddBoundaryTest, PolygonsCrossWhenAVertexOfOneLiesInsideTheOther) {
  CStmActionAddBoundary tool;
  const std::vector<CVector> square{{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}};
  EXPECT_EQ(tool.IsCross(square, {{5, 0, 5}, {20, 0, 5}, {20, 0, 20}}), 1);
  EXPECT_EQ(tool.IsCross({{20, 0, 0}, {30, 0, 0}, {30, 0, 10}}, square), 0);
  // Holding the other whole counts, in either order.
  EXPECT_EQ(tool.IsCross({{2, 0, 2}, {4, 0, 2}, {3, 0, 4}}, square), 1);
  // Neighbours that share an edge do not cross.
  EXPECT_EQ(tool.IsCross(square, {{10, 0, 0}, {20, 0, 0}, {20, 0, 10}, {10, 0, 10}}), 0);
  EXPECT_EQ(tool.IsCross({}, square), 0);
}

}  // namespace
