// Off-screen checks of the model symbols: what each pass draws, its size on screen, and the GL
// state it leaves behind.
#include "render/CStmModelPainter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "support/RenderCheck.h"
#include "support/StmSceneFixture.h"

namespace {
// Distinct colours per entry so that a pixel tells which symbol drew it.
SStmColorSet DistinctColours() {
  SStmColorSet set;
  for (int i = 0; i < kStmColorCount; ++i) set[i] = CVector((i % 3 + 1) / 3.0, (i / 3 % 3) / 2.0, (i / 9) / 2.0);
  return set;
}
}  // namespace

class CStmModelPainterTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    // One model unit per pixel, the model origin in the middle of a pixel at the centre.
    m_wnd.SetViewScale(1.0);
    m_wnd.SetViewCenter(-0.5, 0.5);
    m_node = m_model.AddNode(CVector(0, 0, 0));
    ASSERT_NE(m_node, nullptr);
  }

  // Runs one pass on a black frame and returns how many pixels it coloured; the pass must leave
  // lighting and depth test on.
  int Draw(const std::function<void()>& pass) {
    DrawScene(pass, [&] {
      EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
      EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
      m_image = SRgbaImage::FromGl(kWidth, kHeight);
    });
    return m_image.Count(SRgbaImage::Lit);
  }

  // Coloured pixels of the last frame within a radius of the model point.
  int CountNear(const CVector& p, int radius) const {
    const CPoint c = m_wnd.ExtToClient(p);
    return m_image.Count(SRgbaImage::Lit, c.x - radius, c.y - radius, c.x + radius + 1, c.y + radius + 1);
  }

  static double Length(const CStmModelPainter::SArrow& a) { return (a.vTail - a.vTip).Length(); }

  SStmColorSet m_colours = DistinctColours();
  CStmModelPainter m_painter{&m_manager, &m_wnd, m_colours};
  CStmObjNode* m_node = nullptr;
  SRgbaImage m_image;
};

TEST_F(CStmModelPainterTest, ANodalLoadDrawsOneArrowPerComponentAndTheLargestIsFullLength) {
  m_wnd.SetViewScale(2.0);
  m_model.AddLoadConditionStatic("LC1");
  ASSERT_NE(m_model.AddLoadNode("LC1", m_node->GetId(), CVector(3, 0, 4)), nullptr);
  EXPECT_GT(Draw([&] { m_painter.RenderLoad(0); }), 0);
  const auto& arrows = m_painter.GetDrawnArrows();
  ASSERT_EQ(arrows.size(), 2u);
  EXPECT_NEAR(Length(arrows[0]), 120.0 * 2.0, 1e-9);
  EXPECT_NEAR(Length(arrows[1]), 160.0 * 2.0, 1e-9);
  EXPECT_NEAR(arrows[1].vTail.z, -320.0, 1e-9);
  EXPECT_GT(CountNear(CVector(0, 0, -100), 2), 0);

  // Loads are not picked, and the view range reaches the arrow tails.
  EXPECT_EQ(Draw([&] { m_painter.RenderLoad(1); }), 0);
  EXPECT_TRUE(m_painter.GetDrawnArrows().empty());
  CCubeRange range;
  m_painter.ExtendViewRange(range);
  EXPECT_NEAR(range.GetMin().z, -320.0, 1e-9);
  EXPECT_NEAR(range.GetMin().x, -240.0, 1e-9);
}

TEST_F(CStmModelPainterTest, ACombinationDrawsItsConvertedLoads) {
  for (const char* name : {"LC1", "LC2"}) m_model.AddLoadConditionStatic(name);
  m_model.AddLoadNode("LC1", m_node->GetId(), CVector(0, 0, 10));
  m_model.AddLoadNode("LC2", m_node->GetId(), CVector(5, 0, 0));
  m_model.AddLoadConditionCombo("C1");
  ASSERT_NE(m_model.AddComboFactor("C1", "LC1", CStmObjLoadComboFactor::kTypeStatic, 1.5), nullptr);
  ASSERT_NE(m_model.AddComboFactor("C1", "LC2", CStmObjLoadComboFactor::kTypeStatic, 1.0), nullptr);
  m_manager.SetIndexLoadConditionLoad(2, -1);
  Draw([&] { m_painter.RenderLoad(0); });
  const auto& arrows = m_painter.GetDrawnArrows();
  ASSERT_EQ(arrows.size(), 2u);
  // One load per node after the conversion: (5, 0, 15), the 15 at full length.
  EXPECT_NEAR(Length(arrows[0]), 5.0 / 15.0 * 160.0, 1e-9);
  EXPECT_NEAR(Length(arrows[1]), 160.0, 1e-9);
}

TEST_F(CStmModelPainterTest, ConnectedArrowsGetIntermediateArrowsOnlyWhenFarApart) {
  auto arrowsFor = [&](double gap) {
    m_manager.ClearLoadArrowSet();
    SStmLoadArrowSet set;
    set.bConnect = 1;
    set.AddArrow({CVector(-gap / 2, 0, 0), CVector(0, 0, -1), 10.0});
    set.AddArrow({CVector(gap / 2, 0, 0), CVector(0, 0, -1), 10.0});
    m_manager.AddLoadArrowSet(set);
    Draw([&] { m_painter.RenderLoadUserInput(); });
    return m_painter.GetDrawnArrows();
  };
  // Not shown while the working model is on screen without the background loads.
  EXPECT_TRUE(arrowsFor(100.0).empty());
  m_manager.SetViewBackgroundLoadStatic(1);

  auto arrows = arrowsFor(100.0);
  ASSERT_EQ(arrows.size(), 3u);
  EXPECT_EQ(arrows[1].bIntermediate, 1);
  EXPECT_NEAR(arrows[1].vTip.x, 0.0, 1e-9);
  EXPECT_NEAR(Length(arrows[0]), 160.0, 1e-9);
  EXPECT_NEAR(arrows[0].vTail.z, 160.0, 1e-9);
  EXPECT_EQ(arrows[1].bHead, 1);
  EXPECT_GT(CountNear(CVector(0, 0, 60), 1), 0);  // the intermediate shaft

  EXPECT_EQ(arrowsFor(40.0).size(), 2u);
}

TEST_F(CStmModelPainterTest, ARestraintSymbolSitsAtItsNodeAndARollerTurnsWithItsAngle) {
  const SStmDof pin{1, 0, 1, 0, 0, 0};
  CStmObjRestraint* restraint = m_model.AddRestraint(m_node->GetId(), pin);
  ASSERT_NE(restraint, nullptr);
  EXPECT_GT(Draw([&] { m_painter.RenderRestraint(); }), 0);
  EXPECT_GT(CountNear(CVector(0, 0, -10), 3), 0);
  EXPECT_EQ(CountNear(CVector(0, 0, 40), 10), 0);

  const double h = 1.2 * 15.0, q = 0.6 * 15.0;
  auto extent = [&] {
    CCubeRange box;
    for (const CVector& v : m_painter.GetRestraintVertices()) box.Apply(v);
    return box;
  };
  restraint->SetDof(SStmDof{0, 0, 1, 0, 0, 0});  // a roller
  Draw([&] { m_painter.RenderRestraint(); });
  EXPECT_NEAR(extent().GetMin().z, -h, 1e-6);
  EXPECT_NEAR(extent().GetMax().x, q, 1e-6);
  // A quarter turn lays the roller on its side, to the right of the node.
  restraint->SetRollerAngle(90.0);
  Draw([&] { m_painter.RenderRestraint(); });
  EXPECT_NEAR(extent().GetMax().x, h, 1e-4);
  EXPECT_NEAR(extent().GetMin().z, -q, 1e-4);
  EXPECT_GT(CountNear(CVector(h, 0, 0), 2), 0);

  // Nothing when every fixity is free or the node is gone.
  restraint->SetDof(SStmDof());
  EXPECT_EQ(Draw([&] { m_painter.RenderRestraint(); }), 0);
  restraint->SetDof(pin);
  m_model.SetEnableNode(m_node->GetId(), 0);
  EXPECT_EQ(Draw([&] { m_painter.RenderRestraint(); }), 0);
}

// Each pass's show option is checked from the view control panel, which switches each one.
TEST_F(CStmModelPainterTest, BoundaryReferencesAndPolygonsDrawInTheirPlaceAndTheTriadForTheActiveModelOnly) {
  m_model.SetBoundaryRefs({{CVector(-50, 0, 20), CVector(50, 0, 20)}});
  EXPECT_GT(Draw([&] { m_painter.DrawBoundarySegment(); }), 0);
  EXPECT_GT(CountNear(CVector(0, 0, 20), 3), 0);

  // Plane points land in the x-z plane; a filled square covers its middle, an outline does not.
  const std::vector<CDPoint> square = {{-20, -20}, {20, -20}, {20, 20}, {-20, 20}};
  Draw([&] {
    glColor3d(1, 1, 1);
    m_painter.DrawPolygon(square, 1);
  });
  EXPECT_GT(CountNear(CVector(0, 0, 0), 0), 0);
  Draw([&] {
    glColor3d(1, 1, 1);
    m_painter.DrawPolygon(square, 0);
  });
  EXPECT_EQ(CountNear(CVector(0, 0, 0), 5), 0);
  EXPECT_GT(CountNear(CVector(-20, 0, 0), 1), 0);

  m_model.GetStmDataView()->SetShowOptions(CStmDataView::kDefaultShowOptions);
  EXPECT_GT(Draw([&] { m_painter.DrawCoordinate(); }), 0);
  m_manager.SetActiveStmModel(0);
  EXPECT_EQ(Draw([&] { m_painter.DrawCoordinate(); }), 0);
}
