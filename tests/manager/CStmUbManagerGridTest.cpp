// Grid points laid over the view: on the stored spacing while it is at least 30 pixels wide,
// thinned to whole multiples of it when zoomed out, and the same entities reused on the way back;
// fixed guidelines across the view, dynamic ones kept. Zoom-all, the wheel and dragging the view
// lay both again, and the frame draws them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmUbManagerGridTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_model.GetStmDataView()->SetShowOption(STM_SHOW_GRID_POINTS, 1);
    m_model.GetStmDataView()->SetGridSpace(CVector(10, 10, 10));
    for (const CVector& p : {CVector(0, 0, 0), CVector(100, 0, 80)}) m_model.AddNode(p);
    m_manager.UpdateStmRenderer();
    FitView();
  }

  std::vector<CVector> GridPoints() {
    std::vector<CVector> out;
    for (const CString& key : m_manager.GetGridPointKeys())
      out.push_back(dynamic_cast<CStmEntityGridPoint*>(m_manager.GetEtt(key))->GetCoord());
    return out;
  }

  // The smallest gap between neighbouring points along x, in pixels.
  double SpacingPixels(const std::vector<CVector>& points) {
    double gap = 1e300;
    for (const CVector& a : points)
      for (const CVector& b : points)
        if (a.z == b.z && b.x > a.x) gap = std::min(gap, b.x - a.x);
    return gap / m_wnd.GetViewScale();
  }

  int Count(int kind) { return m_manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind)); }

  // Every grid point lies in the window at least 30 pixels apart, and no column or row that
  // fits is missing.
  void ExpectGridCoversTheView() {
    const std::vector<CVector> points = GridPoints();
    ASSERT_FALSE(points.empty());
    EXPECT_GE(SpacingPixels(points), 30.0 - 1e-9);
    const CVector lo = m_wnd.ClientToExt(CPoint(0, kHeight), 0.0), hi = m_wnd.ClientToExt(CPoint(kWidth, 0), 0.0);
    double step = SpacingPixels(points) * m_wnd.GetViewScale();
    double minX = 1e300, maxX = -1e300;
    for (const CVector& p : points) {
      EXPECT_TRUE(p.x >= lo.x - 1e-9 && p.x <= hi.x + 1e-9 && p.z >= lo.z - 1e-9 && p.z <= hi.z + 1e-9) << p.x << "," << p.z;
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
    }
    EXPECT_LT(minX - step, lo.x);
    EXPECT_GT(maxX + step, hi.x);
  }

  // Whether a pixel within one of pt has the colour.
  bool DrawnNear(const CPoint& pt, const CVector& rgb) {
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        const auto px = Pixel(CPoint(pt.x + dx, pt.y + dy));
        if (std::abs(px[0] - rgb.x * 255) < 3 && std::abs(px[1] - rgb.y * 255) < 3 && std::abs(px[2] - rgb.z * 255) < 3)
          return true;
      }
    return false;
  }
};

TEST_F(CStmUbManagerGridTest, TheGridIsLaidAgainThinnedOrReusedAndDrawnAndGuidelinesSpanTheViewOrStay) {
  // Zoom-all (of the fixture) laid the grid.
  const std::vector<CString> keys = m_manager.GetGridPointKeys();
  ExpectGridCoversTheView();
  const size_t full = keys.size();
  ASSERT_GT(full, 4u);
  for (const CVector& p : GridPoints()) {
    EXPECT_DOUBLE_EQ(std::remainder(p.x, 10.0), 0.0) << p.x;
    EXPECT_DOUBLE_EQ(std::remainder(p.z, 10.0), 0.0) << p.z;
    EXPECT_EQ(p.y, 0.0);
  }

  // Zoomed out, the grid thins to whole multiples of its spacing, reusing the first points.
  const CPoint centre(kWidth / 2, kHeight / 2);
  const double fullStep = SpacingPixels(GridPoints()) * m_wnd.GetViewScale();
  m_wnd.OnMouseWheel(0, -720, centre);
  ExpectGridCoversTheView();
  const double thinStep = SpacingPixels(GridPoints()) * m_wnd.GetViewScale();
  EXPECT_GT(thinStep, fullStep);
  EXPECT_DOUBLE_EQ(std::remainder(thinStep, 10.0), 0.0);
  const size_t shared = std::min(full, m_manager.GetGridPointKeys().size());
  EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + shared, m_manager.GetGridPointKeys().begin()));
  EXPECT_EQ(Count(112), static_cast<int>(m_manager.GetGridPointKeys().size()));
  m_wnd.OnMouseWheel(0, 720, centre);
  EXPECT_EQ(m_manager.GetGridPointKeys(), keys);
  EXPECT_EQ(Count(112), static_cast<int>(full));

  // A drag of the view with the middle button moves the points along; none is made anew.
  m_wnd.OnMButtonDown(MK_MBUTTON, centre);
  CPoint to(centre.x + 47, centre.y - 23);
  m_wnd.OnMouseMove(MK_MBUTTON, to);
  m_wnd.OnMButtonUp(0, to);
  ExpectGridCoversTheView();
  for (const CString& key : m_manager.GetGridPointKeys())
    EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end());
  EXPECT_EQ(m_manager.GetUndoCount(), 0) << "the grid is no edit";
  EXPECT_EQ(m_manager.CheckConsistency(), "");

  DrawScene();
  const CVector colour = m_model.GetStmDataView()->GetColorSet()[16];
  int drawn = 0;
  for (const CVector& p : GridPoints()) drawn += DrawnNear(m_wnd.ExtToClient(p), colour) ? 1 : 0;
  EXPECT_GE(drawn, static_cast<int>(GridPoints().size()) - 2);  // nodes may lie over one or two

  // Hidden, the grid is left alone.
  const std::vector<CString> shown = m_manager.GetGridPointKeys();
  m_model.GetStmDataView()->SetShowOption(1, 0);
  m_wnd.OnMouseWheel(0, -720, centre);
  EXPECT_EQ(m_manager.GetGridPointKeys(), shown);

  // Fixed guidelines span the view, dynamic ones stay.
  CStmDataView& view = *m_model.GetStmDataView();
  view.SetShowOption(STM_SHOW_GUIDELINES, 1);
  view.SetGuideline(0, {25000.0, 75000.0});  // x = 25 and 75
  view.SetGuideline(1, {10000.0});           // y: across the x-z view, so not shown there
  view.SetGuideline(2, {40000.0});           // z = 40
  m_wnd.ZoomAll(0);
  auto guidelines = [&](int type) {
    std::vector<CStmEntityGuideline*> out;
    for (const auto& entry : m_manager.GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(113))) {
      auto* g = dynamic_cast<CStmEntityGuideline*>(entry.second);
      if (g->GetTypeGuideline() == type) out.push_back(g);
    }
    return out;
  };
  auto expectAcrossTheView = [&]() {
    const CVector lo = m_wnd.ClientToExt(CPoint(0, kHeight), 0.0), hi = m_wnd.ClientToExt(CPoint(kWidth, 0), 0.0);
    const auto atU = guidelines(CStmEntityGuideline::kTypeHorizontal);
    ASSERT_EQ(atU.size(), 2u);
    EXPECT_EQ(atU[0]->GetPoint1(), CVector(25, 0, lo.z));
    EXPECT_EQ(atU[0]->GetPoint2(), CVector(25, 0, hi.z));
    EXPECT_EQ(atU[1]->GetPoint1().x, 75.0);
    const auto atV = guidelines(CStmEntityGuideline::kTypeVertical);
    ASSERT_EQ(atV.size(), 1u);
    EXPECT_EQ(atV[0]->GetPoint1(), CVector(lo.x, 0, 40));
    EXPECT_EQ(atV[0]->GetPoint2(), CVector(hi.x, 0, 40));
  };
  expectAcrossTheView();

  const CVector a(0, 0, 0), b(100, 0, 80);
  EXPECT_EQ(m_manager.AddGuidelines(a, CVector(a.x + 1e-6, 0, 0), 0), nullptr);
  CStmEntityGuideline* dynamic = m_manager.AddGuidelines(a, b, 0);
  ASSERT_TRUE(dynamic);
  EXPECT_EQ(m_manager.AddGuidelines(a, b, 0), dynamic);
  EXPECT_EQ(m_manager.GetCountDynamicGuidelines(), 1);
  EXPECT_EQ(m_manager.GetUndoCount(), 0);

  m_wnd.OnMouseWheel(0, -240, CPoint(30, 40));
  expectAcrossTheView();
  EXPECT_EQ(Count(113), 4);
  EXPECT_EQ(dynamic->GetPoint2(), b);

  DrawScene();
  const CVector dashColour = m_model.GetStmDataView()->GetColorSet()[17];
  const CPoint top = m_wnd.ExtToClient(CVector(25, 0, 40));
  int dashes = 0;
  for (int y = 2; y < kHeight - 2; y += 3) dashes += DrawnNear(CPoint(top.x, y), dashColour) ? 1 : 0;
  EXPECT_GT(dashes, kHeight / 12) << "the dotted line at x = 25";

  m_manager.DeleteDynamicGuidelines();
  EXPECT_EQ(m_manager.GetCountDynamicGuidelines(), 0);
  EXPECT_EQ(Count(113), 3);

  // Facing x-y the lines across the view stand at the kept y positions.
  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XY);
  m_wnd.ZoomAll(0);
  const auto atV = guidelines(CStmEntityGuideline::kTypeVertical);
  ASSERT_EQ(atV.size(), 1u);
  EXPECT_EQ(atV[0]->GetPoint1().y, 10.0);
  EXPECT_EQ(m_manager.CheckConsistency(), "");
}

}  // namespace
