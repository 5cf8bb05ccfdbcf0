// Zoom-all fits the model together with the symbols that keep their size in pixels, so that a
// user sees every load arrow whole however small the window.
#include "support/StmSceneFixture.h"

namespace {

class ZoomAllTest : public StmSceneFixture {
protected:
  // A 3000 wide, 1500 deep member whose top nodes carry loads as long as the window allows.
  void BuildLoadedBeam() {
    const int a = m_model.AddNode(CVector(0, 0, 0))->GetId();
    const int b = m_model.AddNode(CVector(3000, 0, 0))->GetId();
    const int c = m_model.AddNode(CVector(1500, 0, 1500))->GetId();
    m_model.AddElement(a, b, SStmPropElement());
    m_model.AddElement(a, c, SStmPropElement());
    m_model.AddElement(c, b, SStmPropElement());
    m_model.AddLoadConditionStatic("DL");
    m_model.AddLoadNode("DL", c, CVector(0, 0, -450));
    m_manager.UpdateStmRenderer();
    m_manager.SetIndexLoadConditionLoad(0, -1);
  }

  // A 160 px arrow cannot fit the fixture's 160 px high window, so this test looks through a
  // window of a usual size.
  void OpenLargeWindow() {
    std::string error;
    auto surface = CreateOffscreenSurface(kLargeWidth, kLargeHeight, &error);
    ASSERT_TRUE(surface) << error;
    ASSERT_GE(m_large.Create(&m_manager, std::move(surface)), 0);
    m_large.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
  }

  bool Inside(const CVector& p) const {
    const CPoint pt = m_large.ExtToClient(p);
    return pt.x >= 0 && pt.x < kLargeWidth && pt.y >= 0 && pt.y < kLargeHeight;
  }

  static constexpr int kLargeWidth = 400;
  static constexpr int kLargeHeight = 300;
  CStmUbRenderer m_large;
};

TEST_F(ZoomAllTest, TheLargestLoadArrowAndTheModelBothFitTheWindow) {
  BuildLoadedBeam();
  OpenLargeWindow();
  m_large.ZoomAll(0);
  const double s = m_large.GetViewScale();
  // The largest load is drawn 160 px long from its node.
  const CVector tail(1500, 0, 1500 + 160 * s);
  EXPECT_TRUE(Inside(tail)) << "tail at " << m_large.ExtToClient(tail).y;
  EXPECT_TRUE(Inside(CVector(0, 0, 0)));
  EXPECT_TRUE(Inside(CVector(3000, 0, 0)));
  // ...and the window is not wasted: the tail is near the top edge.
  EXPECT_LT(m_large.ExtToClient(tail).y, kLargeHeight / 5);
}

TEST_F(ZoomAllTest, WithLoadsHiddenTheModelAloneDecidesTheScale) {
  BuildLoadedBeam();
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LOADS, 0);
  m_wnd.ZoomAll(0);
  const double withoutLoads = m_wnd.GetViewScale();
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LOADS, 1);
  m_wnd.ZoomAll(0);
  EXPECT_GT(m_wnd.GetViewScale(), withoutLoads * 1.2);
}

}  // namespace
