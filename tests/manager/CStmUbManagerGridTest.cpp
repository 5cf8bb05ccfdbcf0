// Grid points laid over the view: on the stored spacing while it is at least 30 pixels wide,
// thinned to whole multiples of it when zoomed out, and the same entities reused on the way back.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "entities/CStmEntityGridPoint.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmUbManagerGridTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_model.GetStmDataView()->SetShowOption(1, 1);
    m_model.GetStmDataView()->SetGridSpace(CVector(10, 10, 10));
    m_model.AddNode(CVector(0, 0, 0));
    m_model.AddNode(CVector(100, 0, 80));
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
};

TEST_F(CStmUbManagerGridTest, ZoomingOutThinsTheGridAndZoomingBackReusesItsPoints) {
  m_manager.AddGridPoints();
  const std::vector<CString> keys = m_manager.GetGridPointKeys();
  const std::vector<CVector> full = GridPoints();
  ASSERT_GT(full.size(), 4u);
  const double fullStep = SpacingPixels(full) * m_wnd.GetViewScale();
  EXPECT_EQ(m_manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(112)), static_cast<int>(full.size()));
  for (const CVector& p : full) {
    EXPECT_DOUBLE_EQ(std::remainder(p.x, 10.0), 0.0) << p.x;
    EXPECT_DOUBLE_EQ(std::remainder(p.z, 10.0), 0.0) << p.z;
    EXPECT_EQ(p.y, 0.0);
  }
  EXPECT_GE(SpacingPixels(full), 30.0 - 1e-9);

  m_wnd.ZoomAt(CPoint(kWidth / 2, kHeight / 2), 4.0);
  m_manager.AddGridPoints();
  const std::vector<CVector> thin = GridPoints();
  ASSERT_FALSE(thin.empty());
  EXPECT_GE(SpacingPixels(thin), 30.0 - 1e-9);
  const double thinStep = SpacingPixels(thin) * m_wnd.GetViewScale();
  EXPECT_GT(thinStep, fullStep);
  EXPECT_DOUBLE_EQ(std::remainder(thinStep, 10.0), 0.0);
  EXPECT_EQ(m_manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(112)), static_cast<int>(thin.size()));
  // The points still there are the first ones made, moved.
  for (size_t i = 0; i < m_manager.GetGridPointKeys().size() && i < keys.size(); ++i)
    EXPECT_EQ(m_manager.GetGridPointKeys()[i], keys[i]);

  m_wnd.ZoomAt(CPoint(kWidth / 2, kHeight / 2), 0.25);
  m_manager.AddGridPoints();
  EXPECT_EQ(GridPoints().size(), full.size());
  for (size_t i = 0; i < std::min(thin.size(), keys.size()); ++i) EXPECT_EQ(m_manager.GetGridPointKeys()[i], keys[i]);

  // Hidden, the grid is left alone.
  m_model.GetStmDataView()->SetShowOption(1, 0);
  m_wnd.ZoomAt(CPoint(kWidth / 2, kHeight / 2), 4.0);
  m_manager.AddGridPoints();
  EXPECT_EQ(GridPoints().size(), full.size());
}

}  // namespace
