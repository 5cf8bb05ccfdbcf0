// The render window off screen: camera round trips, the frame, picking, pan and zoom. (Bands,
// Ctrl and hover through the selection action: CStmActionNormalTest.)
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

#include "TestSegmentEntity.h"
#include "host/framework/CUbActionNormal.h"
#include "host/framework/CUbActionZoomMove.h"
#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CScriptedUiHost.h"

namespace {

constexpr long kSelectId = 48;
constexpr long kPanId = 63;

class UbRenderWndTest : public testing::Test {
protected:
  void SetUp() override {
    std::string error;
    auto surface = CreateOffscreenSurface(200, 160, &error);
    ASSERT_TRUE(surface) << error;
    ASSERT_EQ(m_wnd.Create(&m_manage, std::move(surface)), 0);
    m_manage.AddAction(kSelectId, m_pNormal = new CUbActionNormal);
    m_manage.AddAction(kPanId, new CUbActionZoomMove);
    m_wnd.SetAction(kSelectId, -1, 1);
  }

  // A segment between the centres of two pixels.
  CTestSegmentEntity* AddSeg(CPoint a, CPoint b, CVector colour = {1, 0, 0}) {
    auto* e = new CTestSegmentEntity(&m_manage, m_wnd.ClientToExt(a, 0.0), m_wnd.ClientToExt(b, 0.0));
    e->SetDrawColor(colour);
    m_manage.AddEtt(e, 0, 1);
    return e;
  }

  std::array<unsigned char, 4> Pixel(int x, int y) {
    std::array<unsigned char, 4> rgba{};
    m_wnd.OpenGLRenderStart();
    glReadPixels(x, m_wnd.GetHeight() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    m_wnd.OpenGLRenderEnd();
    return rgba;
  }

  bool Selected(const CUbEntityObj* e) {
    void* found = nullptr;
    return m_manage.GetSelectMap().Lookup(e->GetName(), found) && found == e && e->IsSelection();
  }

  CScriptedUiHost m_host;
  CUbManage m_manage;
  CUbRenderWnd m_wnd;
  CUbActionNormal* m_pNormal = nullptr;
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

TEST_F(UbRenderWndTest, FrameDrawsTheSceneAndLeavesTheStateAsPassesExpect) {
  m_wnd.SetBackColor(RGB(0, 0, 255), RGB(0, 0, 255));
  AddSeg({40, 50}, {160, 50}, {1, 0, 0});
  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XY);
  m_wnd.Render();
  EXPECT_FALSE(m_wnd.IsInvalid());
  const auto on = Pixel(100, 50);
  EXPECT_EQ(on[0], 255);
  EXPECT_EQ(on[2], 0);
  const auto off = Pixel(100, 60);
  EXPECT_EQ(off[0], 0);
  EXPECT_EQ(off[2], 255);
  m_wnd.OpenGLRenderStart();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_LOGIC_OP));
  m_wnd.OpenGLRenderEnd();

  // A hidden entity and an entity hidden in this window are not drawn.
  m_manage.GetEttMap().begin()->second->SetDrawVerify(m_wnd.GetWndIndex(), 1);
  m_wnd.Render();
  EXPECT_EQ(Pixel(100, 50)[0], 0);

  // Compiled display lists draw the same picture.
  m_manage.GetEttMap().begin()->second->SetDrawVerify(m_wnd.GetWndIndex(), 0);
  m_manage.SetDirectDraw(0);
  m_wnd.Render();
  m_wnd.Render();
  EXPECT_EQ(Pixel(100, 50)[0], 255);
  EXPECT_NE(m_manage.GetEttMap().begin()->second->GetCallListRecord(0)->m_nList, -1);
}

TEST_F(UbRenderWndTest, AClickPicksWhatIsDrawnThereAndNotTenPixelsAway) {
  auto* a = AddSeg({40, 50}, {160, 50});
  auto* b = AddSeg({40, 60}, {160, 60});
  const CSize box(14, 14);  // twice the pick box, as the select action uses it
  EXPECT_EQ(m_wnd.SelectionPoint({100, 50}, box, 1, 0, nullptr, 2), 1);
  EXPECT_TRUE(Selected(a));
  EXPECT_FALSE(Selected(b));
  EXPECT_EQ(m_wnd.SelectionPoint({100, 60}, box, 1, 0, nullptr, 2), 1);
  EXPECT_TRUE(Selected(b));
  EXPECT_FALSE(Selected(a)) << "a new pick replaces the selection";
  EXPECT_EQ(m_wnd.SelectionPoint({100, 48}, box, 1, MK_CONTROL, nullptr, 2), 2);
  EXPECT_TRUE(Selected(a)) << "Ctrl adds";
  EXPECT_TRUE(Selected(b));
  EXPECT_EQ(m_wnd.SelectionPoint({100, 80}, box, 1, 0, nullptr, 2), 0) << "20 px away from both";
  EXPECT_TRUE(m_manage.GetSelectMap().IsEmpty());

  // A query fills its own map and leaves the selection alone.
  m_manage.SelectEtt(a, 1);
  CMapStringToPtr found;
  m_wnd.SelectionPoint({100, 55}, box, -1, 0, &found, CUbRenderWnd::kSelectQuery);
  EXPECT_EQ(found.GetCount(), 2);
  EXPECT_EQ(m_manage.GetSelectMap().GetCount(), 1);
}

TEST_F(UbRenderWndTest, PanZoomAndZoomAll) {
  const CVector p = m_wnd.ClientToExt({30, 40}, 0.0);
  m_wnd.OnMouseWheel(0, 240, {30, 40});
  EXPECT_LT(m_wnd.GetViewScale(), 1.0);
  EXPECT_EQ(m_wnd.ExtToClient(p), CPoint(30, 40)) << "the point under the cursor stays";

  m_wnd.SetAction(kPanId, -1, 1);
  const CVector q = m_wnd.ClientToExt({50, 50}, 0.0);
  m_wnd.OnLButtonDown(MK_LBUTTON, {50, 50});
  CPoint to(80, 20);
  m_wnd.OnMouseMove(MK_LBUTTON, to);
  m_wnd.OnLButtonUp(0, to);
  EXPECT_EQ(m_wnd.ExtToClient(q), to) << "the picture follows the drag";
  EXPECT_EQ(m_wnd.GetActionCurrent()->GetStep(), CUbActionZoomMove::kIdle);
  m_wnd.OnSetCursor();
  EXPECT_EQ(m_host.m_cursors.back(), IDC_SIZEALL);

  CCubeRange* range = m_manage.GetViewRange();
  range->Apply({-50, -10, 0});
  range->Apply({350, 30, 0});
  m_wnd.ZoomAll(0);
  for (const CVector corner : {CVector(-50, -10, 0), CVector(350, 30, 0)}) {
    const CPoint px = m_wnd.ExtToClient(corner);
    EXPECT_TRUE(CRect(0, 0, 200, 160).PtInRect(px));
  }
  EXPECT_NEAR(m_wnd.GetViewScale(), 400.0 / 200 * 1.1, 1e-12);
}

TEST_F(UbRenderWndTest, UnknownActionChangesNothing) {
  CUbActionBase* current = m_wnd.GetActionCurrent();
  EXPECT_EQ(m_wnd.SetAction(60, -1, 1), nullptr);
  EXPECT_EQ(m_wnd.GetActionCurrent(), current);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelectId);
  EXPECT_EQ(m_manage.AddAction(kSelectId, nullptr), 0);
}
