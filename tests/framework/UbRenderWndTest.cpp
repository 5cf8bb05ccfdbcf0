// The render window's camera off screen: client and model points round trip in every view. (The
// frame, picking, pan and zoom through the layer: the renderer, selection action, zoom-all and
// editor session tests.)
#include <gtest/gtest.h>

#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CScriptedUiHost.h"

namespace {

class UbRenderWndTest : public testing::Test {
protected:
  void SetUp() override {
    std::string error;
    auto surface = CreateOffscreenSurface(200, 160, &error);
    ASSERT_TRUE(surface) << error;
    ASSERT_EQ(m_wnd.Create(&m_manage, std::move(surface)), 0);
  }

  CScriptedUiHost m_host;
  CUbManage m_manage;
  CUbRenderWnd m_wnd;
};

}  // namespace

TEST_F(UbRenderWndTest, ClientAndModelCoordinatesRoundTripInEveryView) {
  m_wnd.SetViewScale(0.37);
  m_wnd.SetViewCenter(12.5, -3.25);
  const CUbRenderWnd::VIEW_POS views[] = {CUbRenderWnd::VIEW_POS_XY, CUbRenderWnd::VIEW_POS_YZ,
                                          CUbRenderWnd::VIEW_POS_XZ};
  const CVector normals[] = {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}};
  for (int i = 0; i < 3; ++i) {
    m_wnd.SetViewPos(views[i]);
    EXPECT_EQ(m_manage.GetNormalByDepth(nullptr, 0, 0), normals[i]);
    for (const CPoint pt : {CPoint(0, 0), CPoint(199, 159), CPoint(57, 101), CPoint(-20, 300)}) {
      const CVector p = m_wnd.ClientToExt(pt, 4.0);
      EXPECT_EQ(m_wnd.ExtToClient(p), pt) << "view " << views[i];
      EXPECT_EQ(m_manage.ExtToClient(p), pt);
      // The depth argument is the coordinate along the normal's axis.
      EXPECT_DOUBLE_EQ(p.Dot(normals[i]) * (i == 2 ? -1 : 1), 4.0);
    }
    const CVector model(3.3, -7.1, 2.9);
    const CVector back = m_wnd.ClientToExt(m_wnd.ExtToClient(model), 0.0);
    double mu, mv, bu, bv;
    m_wnd.ModelToPlane(model, mu, mv);
    m_wnd.ModelToPlane(back, bu, bv);
    EXPECT_LE(std::fabs(mu - bu), 0.37 / 2 + 1e-12);
    EXPECT_LE(std::fabs(mv - bv), 0.37 / 2 + 1e-12);
  }
  // Up on screen is +z in the side views and +y in the plan view; right is +y in view 2.
  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
  EXPECT_LT(m_wnd.ExtToClient({0, 0, 10}).y, m_wnd.ExtToClient({0, 0, 0}).y);
  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_YZ);
  EXPECT_GT(m_wnd.ExtToClient({0, 10, 0}).x, m_wnd.ExtToClient({0, 0, 0}).x);
}
