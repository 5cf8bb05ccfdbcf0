// Zoom-all fits the model together with the symbols that keep their size in pixels, so that a
// user sees every load arrow whole however small the window.
#include "support/StmSceneFixture.h"

namespace {

using ZoomAllTest = StmSceneFixture;

TEST_F(ZoomAllTest, WithLoadsHiddenTheModelAloneDecidesTheScaleAndShownTheLargestArrowFitsTheWindow) {
  // A 3000 wide, 1500 deep member whose top node carries a load as long as the window allows.
  for (const CVector& p : {CVector(0, 0, 0), CVector(3000, 0, 0), CVector(1500, 0, 1500)}) m_model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {1, 3}, {3, 2}}) m_model.AddElement(a, b, SStmPropElement());
  m_model.AddLoadConditionStatic("DL");
  m_model.AddLoadNode("DL", 3, CVector(0, 0, -450));
  m_manager.UpdateStmRenderer();
  m_manager.SetIndexLoadConditionLoad(0, -1);

  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LOADS, 0);
  m_wnd.ZoomAll(0);
  const double withoutLoads = m_wnd.GetViewScale();
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LOADS, 1);
  m_wnd.ZoomAll(0);
  EXPECT_GT(m_wnd.GetViewScale(), withoutLoads * 1.2);

  // A 160 px arrow cannot fit the fixture's 160 px high window, so the fit is checked through a
  // window of a usual size.
  constexpr int kLargeWidth = 400, kLargeHeight = 300;
  CStmUbRenderer large;
  std::string error;
  auto surface = CreateOffscreenSurface(kLargeWidth, kLargeHeight, &error);
  ASSERT_TRUE(surface) << error;
  ASSERT_GE(large.Create(&m_manager, std::move(surface)), 0);
  large.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
  const auto inside = [&](const CVector& p) {
    const CPoint pt = large.ExtToClient(p);
    return pt.x >= 0 && pt.x < kLargeWidth && pt.y >= 0 && pt.y < kLargeHeight;
  };
  large.ZoomAll(0);
  const double s = large.GetViewScale();
  // The largest load is drawn 160 px long from its node.
  const CVector tail(1500, 0, 1500 + 160 * s);
  EXPECT_TRUE(inside(tail)) << "tail at " << large.ExtToClient(tail).y;
  EXPECT_TRUE(inside(CVector(0, 0, 0)));
  EXPECT_TRUE(inside(CVector(3000, 0, 0)));
  // ...and the window is not wasted: the tail is near the top edge.
  EXPECT_LT(large.ExtToClient(tail).y, kLargeHeight / 5);
}

}  // namespace
