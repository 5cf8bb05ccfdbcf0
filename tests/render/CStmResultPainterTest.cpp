// Off-screen checks of the result layers: colours, dashes, ramps, heads and regions as pixels,
// and the GL state each layer leaves behind.
#include "render/CStmResultPainter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <vector>

#include "analysis/CStmTrussAnalysis.h"
#include "support/RenderCheck.h"
#include "support/StmSceneFixture.h"

namespace {

// What a pass may touch and must give back.
struct SGlSnapshot {
  std::array<GLboolean, 6> caps{};
  GLfloat lineWidth = 0, pointSize = 0;
  GLint shadeModel = 0, projectionDepth = 0, modelviewDepth = 0, stippleRepeat = 0, stipplePattern = 0;

  static SGlSnapshot Read() {
    SGlSnapshot s;
    const GLenum caps[] = {GL_LIGHTING, GL_DEPTH_TEST, GL_LINE_STIPPLE, GL_BLEND, GL_POLYGON_SMOOTH, GL_LINE_SMOOTH};
    for (size_t i = 0; i < s.caps.size(); ++i) s.caps[i] = glIsEnabled(caps[i]);
    glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
    glGetFloatv(GL_POINT_SIZE, &s.pointSize);
    glGetIntegerv(GL_SHADE_MODEL, &s.shadeModel);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelviewDepth);
    glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &s.stippleRepeat);
    glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &s.stipplePattern);
    return s;
  }
  bool operator==(const SGlSnapshot& b) const {
    return caps == b.caps && lineWidth == b.lineWidth && pointSize == b.pointSize && shadeModel == b.shadeModel &&
           projectionDepth == b.projectionDepth && modelviewDepth == b.modelviewDepth &&
           stippleRepeat == b.stippleRepeat && stipplePattern == b.stipplePattern;
  }
};

constexpr unsigned kAllResultLayers = 0x1000 | 0x2000 | 0x8000 | 0x10000 | 0x20000 | 0x40000 | 0x1000000 |
                                      0x2000000 | 0x4000000 | 0x8000000;

SStmEsoCell Cell(double x0, double z0, double x1, double z1, double value) {
  SStmEsoCell cell;
  cell.corners = {CVector(x0, 0, z0), CVector(x1, 0, z0), CVector(x1, 0, z1), CVector(x0, 0, z1)};
  cell.dValue = value;
  return cell;
}

}  // namespace

class CStmResultPainterTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    // One model unit per pixel, the model origin in the middle of a pixel at the centre.
    m_wnd.SetViewScale(1.0);
    m_wnd.SetViewCenter(-0.5, 0.5);
    m_colours = m_model.GetStmDataView()->GetColorSet();
    m_model.GetStmDataView()->SetShowOptions(kAllResultLayers);
  }

  // Runs one pass on a black frame with lighting and depth test on, checks that it gives back
  // the GL state it found, and returns how many pixels it coloured.
  int Draw(const std::function<void()>& pass) {
    SGlSnapshot before;
    const auto measured = [&] {
      glLineWidth(1.0f);
      before = SGlSnapshot::Read();
      pass();
    };
    DrawScene(measured, [&] {
      EXPECT_TRUE(SGlSnapshot::Read() == before);
      m_image = SRgbaImage::FromGl(kWidth, kHeight);
    });
    return m_image.Count(SRgbaImage::Lit);
  }

  std::array<int, 3> At(const CVector& p) const {
    const CPoint c = m_wnd.ExtToClient(p);
    const std::uint8_t* px = m_image.At(c.x, c.y);
    return {px[0], px[1], px[2]};
  }

  void ExpectColour(const CVector& p, int r, int g, int b, int tolerance = 3) const {
    const auto px = At(p);
    EXPECT_NEAR(px[0], r, tolerance) << "at " << p.x << ", " << p.z;
    EXPECT_NEAR(px[1], g, tolerance) << "at " << p.x << ", " << p.z;
    EXPECT_NEAR(px[2], b, tolerance) << "at " << p.x << ", " << p.z;
  }

  // Pixels along the screen row of z from x0 to x1 that are coloured, or that `is` takes.
  int CountAlongRow(double z, int x0, int x1,
                    const std::function<bool(const std::array<int, 3>&)>& is = [](const std::array<int, 3>& px) {
                      return (px[0] | px[1] | px[2]) != 0;
                    }) const {
    int count = 0;
    for (int x = x0; x <= x1; ++x) count += is(At(CVector(x, 0, z)));
    return count;
  }

  CStmObjElement* AddElementWithForce(double x0, double z0, double x1, double z1, double force) {
    CStmObjNode* a = m_model.AddNode(CVector(x0, 0, z0));
    CStmObjNode* b = m_model.AddNode(CVector(x1, 0, z1));
    CStmObjElement* element = m_model.AddElement(a->GetId(), b->GetId(), SStmPropElement());
    element->SetResultAxialForces({force});
    return element;
  }

  SStmColorSet m_colours;
  CStmResultPainter m_painter{&m_manager, &m_wnd, m_colours};
  SRgbaImage m_image;
};

// What ties, struts and stability elements look like is checked against the example's reference
// picture; here the force that rounds to zero, which the example does not have.
TEST_F(CStmResultPainterTest, ForcesShowOnlyWhileResultsStandAndAZeroForceIsGreyWithAnUnsignedLabel) {
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_RESULT_VALUES, 0);
  AddElementWithForce(-80, -20, 80, -20, -0.004)->SetStableElement(0);  // rounds to zero

  // Results are shown only while they stand, and for a case that is there.
  EXPECT_EQ(Draw([&] { m_painter.RenderResult(0); }), 0);
  m_model.SetLock(1);
  EXPECT_EQ(Draw([&] { m_painter.RenderResult(1); }), 0);
  const int lines = Draw([&] { m_painter.RenderResult(0); });
  EXPECT_GT(lines, 0);
  // Dashes of ten pixels: about half of the line is drawn, in grey.
  const int drawn = CountAlongRow(-20, -70, 70);
  EXPECT_GT(drawn, 50);
  EXPECT_LT(drawn, 90);
  EXPECT_GT(CountAlongRow(-20, -70, 70, [](const std::array<int, 3>& px) {
              return std::abs(px[0] - 128) <= 1 && px[1] == px[0] && px[2] == px[0];
            }),
            50);
  // A stability element that carries force does not pass for idle: it takes its force's colour.
  AddElementWithForce(-80, 20, 80, 20, -50.0)->SetStableElement(1);
  Draw([&] { m_painter.RenderResult(0); });
  EXPECT_GT(CountAlongRow(20, -70, 70, [](const std::array<int, 3>& px) { return px == std::array<int, 3>{255, 0, 0}; }),
            50);

  // Labels beside the lines carry the unit, and a force that rounds to zero has no sign.
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_RESULT_VALUES, 1);
  EXPECT_GT(Draw([&] { m_painter.RenderResult(0); }), lines + 50);
  EXPECT_EQ(CStmResultPainter::FormatForce(-0.004, 2, "kN"), CString("0.00 kN"));
  EXPECT_EQ(CStmResultPainter::FormatForce(-0.0, 0, "kN"), CString("0 kN"));
  EXPECT_EQ(CStmResultPainter::FormatForce(-12.345, 1, "MN"), CString("-12.3 MN"));

  m_model.GetStmDataView()->SetShowOption(STM_SHOW_RESULTS, 0);
  EXPECT_EQ(Draw([&] { m_painter.RenderResult(0); }), 0);
}

TEST_F(CStmResultPainterTest, CentredRampsCentreOnZeroEqualValuesTakeTheMiddleAndEmptyStepsDrawNothing) {
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LEGEND, 0);
  m_model.SetEsoSteps({SStmEsoStep{{Cell(-90, -20, -50, 20, 2.0), Cell(-40, -20, 0, 20, 7.0),
                                    Cell(10, -20, 50, 20, 12.0)}}});
  // No step chosen yet: nothing.
  EXPECT_EQ(Draw([&] { m_painter.RenderESO(); }), 0);
  m_model.SetCurrentStepEso(0);

  // Red-blue splits at zero once the range is made symmetric: 2 of -12..12 is blue, though it
  // lies below the middle of 2..12.
  m_model.GetStmDataView()->SetTypeContour(STM_CONTOUR_RED_BLUE);
  m_model.SetEsoSteps({SStmEsoStep{{Cell(-90, -20, -50, 20, -12.0), Cell(-40, -20, 0, 20, 2.0),
                                    Cell(10, -20, 50, 20, 12.0)}}});
  Draw([&] { m_painter.RenderESO(); });
  ExpectColour(CVector(-70, 0, 0), 255, 0, 0);
  ExpectColour(CVector(-20, 0, 0), 0, 0, 255);

  // Equal values take the middle colour of the ramp; the legend then shows one band.
  m_model.GetStmDataView()->SetTypeContour(STM_CONTOUR_RGB);
  m_model.SetEsoSteps({SStmEsoStep{{Cell(-90, -20, -50, 20, 4.0), Cell(10, -20, 50, 20, 4.0)}}});
  Draw([&] { m_painter.RenderESO(); });
  ExpectColour(CVector(30, 0, 0), 5, 255, 0, 6);

  // An empty step or a step index past the list draws nothing, legend included.
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LEGEND, 1);
  m_model.SetCurrentStepEso(1);
  EXPECT_EQ(Draw([&] { m_painter.RenderESO(); }), 0);
  m_model.SetEsoSteps({SStmEsoStep{}});
  m_model.SetCurrentStepEso(0);
  EXPECT_EQ(Draw([&] { m_painter.RenderESO(); }), 0);
}

TEST_F(CStmResultPainterTest, TheLegendSitsBottomLeftInTheStyleTextColourAndEqualFlowsKeepFiniteHeads) {
  m_model.SetEsoSteps({SStmEsoStep{{Cell(60, 40, 90, 70, 0.0), Cell(60, 0, 90, 30, 1.0)}}});
  m_model.SetCurrentStepEso(0);
  // The bar and its labels: the left third, below the cells.
  auto legendPixels = [&] {
    const auto white = [](const std::uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; };
    return std::make_pair(m_image.Count(SRgbaImage::Lit, 0, kHeight / 3, kWidth / 3),
                          m_image.Count(white, 0, kHeight / 3, kWidth / 3));
  };
  Draw([&] { m_painter.RenderESO(); });
  const auto dark = legendPixels();
  EXPECT_GT(dark.first, 100);
  EXPECT_GT(dark.second, 20);  // white ticks and labels on the dark style
  // Zooming does not move or size it.
  m_wnd.SetViewScale(3.0);
  Draw([&] { m_painter.RenderESO(); });
  EXPECT_EQ(legendPixels().first, dark.first);
  m_model.GetStmDataView()->SetTypeColor(STM_COLOR_LIGHT);
  Draw([&] { m_painter.RenderESO(); });
  EXPECT_LT(legendPixels().second, dark.second);
  // The flow's legend stands beside the contour's when both show, never over it. (The bar is two
  // pixels wide here, so the dark style's white outline leaves its colours to count.)
  m_wnd.SetViewScale(1.0);
  m_model.GetStmDataView()->SetTypeColor(STM_COLOR_DARK);
  m_model.SetStressFlow({{CVector(60, 0, -60), CVector(90, 0, -60)}, {CVector(60, 0, -70), CVector(70, 0, -70)}});
  // Coloured pixels in the columns of a bar that starts at `left` per cent of the width.
  auto barAt = [&](int left) {
    return m_image.Count(SRgbaImage::Lit, kWidth * (left + 1) / 100, kHeight / 3, kWidth * (left + 2) / 100);
  };
  Draw([&] { m_painter.RenderStressFlow(); });
  // Past the contour legend's labels, however wide they came out.
  int beside = 14;
  while (beside < 60 && barAt(beside) <= 50) ++beside;
  EXPECT_LT(beside, 60);
  EXPECT_EQ(barAt(2), 0);
  m_model.SetEsoSteps({});
  Draw([&] { m_painter.RenderStressFlow(); });
  EXPECT_GT(barAt(2), 50);

  // Vectors of one length all get the smallest head and stay finite (no legend here).
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_LEGEND, 0);
  m_model.SetStressFlow({{CVector(-40, 0, 0), CVector(40, 0, 0)}, {CVector(-40, 0, 30), CVector(40, 0, 30)}});
  const int equal = Draw([&] { m_painter.RenderStressFlow(); });
  EXPECT_GT(equal, 160);
  EXPECT_LT(equal, 400);
}

TEST_F(CStmResultPainterTest, EveryLayerWithoutResultsDrawsNothingAndEachSaysSo) {
  for (const CVector& p : {CVector(-10, 0, 0), CVector(10, 0, 0)}) m_model.AddNode(p);
  m_model.AddElement(1, 2, SStmPropElement());
  m_model.SetLock(1);
  const std::vector<std::function<void()>> layers = {
      [&] { m_painter.RenderResult(0); },        [&] { m_painter.RenderESO(); },
      [&] { m_painter.RenderStressFlow(); },     [&] { m_painter.RenderResultNodalZone(); },
      [&] { m_painter.RenderMesh(); },           [&] { m_painter.RenderEffectiveWidthMax(); },
      [&] { m_painter.RenderEffectiveWidth(); }, [&] { m_painter.RenderNodalZoneMax(); },
      [&] { m_painter.RenderNodalZone(); }};
  for (size_t i = 0; i < layers.size(); ++i) EXPECT_EQ(Draw(layers[i]), 0) << i;
  for (unsigned bit = 0x1000; bit <= 0x8000000; bit <<= 1) {
    if (bit & kAllResultLayers) {
      EXPECT_FALSE(CStmResultPainter::HasResultContent(m_model, bit, 0)) << std::hex << bit;
    }
  }
  EXPECT_TRUE(CStmResultPainter::HasResultContent(m_model, 0x4, 0));
}

TEST_F(CStmResultPainterTest, TheFrameDrawsForcesOverElementsAndRegionsUnderThemAndCachesOnRequest) {
  m_model.GetStmDataView()->SetShowOptions(CStmDataView::kDefaultShowOptions | STM_SHOW_NODAL_ZONES);
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES | STM_SHOW_RESULT_VALUES, 0);
  AddElementWithForce(-60, 0, 60, 0, -50.0);
  m_model.GetNode(1)->SetNodalZones({{{-40, -10}, {-20, -10}, {-20, 10}, {-40, 10}}});
  m_model.SetLock(1);
  m_manager.UpdateStmRenderer();
  DrawScene();
  // The strut's dashes lie over the element; the element shows in their gaps and over the zone.
  int red = 0, element = 0;
  const CVector elementColour = m_model.GetStmDataView()->GetColorSet()[9];
  for (int x = -50; x <= 50; ++x) {
    const auto px = Pixel(m_wnd.ExtToClient(CVector(x, 0, 0)));
    red += px[0] == 255 && px[1] == 0 && px[2] == 0;
    element += std::abs(px[0] - elementColour.x * 255) <= 2 && std::abs(px[1] - elementColour.y * 255) <= 2;
  }
  EXPECT_GT(red, 30);
  EXPECT_GT(element, 30);
  const auto zone = Pixel(m_wnd.ExtToClient(CVector(-30, 0, 7)));
  EXPECT_GT(zone[0], zone[1]);
  EXPECT_EQ(m_wnd.GetStmCallList(STM_LIST_ANALYSIS_RESULT), CStmUbRenderer::kNoList);

  // With lists compiled, the layers draw the same and keep their lists.
  m_manager.SetDirectDraw(0);
  DrawScene();
  EXPECT_NE(m_wnd.GetStmCallList(STM_LIST_ANALYSIS_RESULT), CStmUbRenderer::kNoList);
  EXPECT_NE(m_wnd.GetStmCallList(STM_LIST_NODAL_ZONE), CStmUbRenderer::kNoList);
  EXPECT_EQ(Pixel(m_wnd.ExtToClient(CVector(-30, 0, 7))), zone);
}

// An outline drawn from elements around a triangle: the bottom edge is the tie between the
// supports and stays a member; the other three only trace the outline, so they look like it in
// either style, solid and with no force line over them.
TEST_F(CStmResultPainterTest, ElementsThatOnlyFormTheOutlineLookLikeTheOutline) {
  m_model.GetStmDataView()->SetShowOptions(CStmDataView::kDefaultShowOptions);
  m_model.GetStmDataView()->SetShowOption(
      STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES | STM_SHOW_RESULT_VALUES | STM_SHOW_LOADS | STM_SHOW_REACTIONS, 0);
  int n[5];
  const CVector at[5] = {CVector(-60, 0, 0), CVector(60, 0, 0), CVector(0, 0, 40), CVector(60, 0, 60), CVector(-60, 0, 60)};
  for (int i = 0; i < 5; ++i) n[i] = m_model.AddNode(at[i])->GetId();
  const auto bar = [&](int a, int b) { return m_model.AddElement(n[a], n[b], SStmPropElement())->GetId(); };
  const int bottom = bar(0, 1);
  bar(0, 2);
  bar(1, 2);
  m_model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {bottom, bar(1, 3), bar(3, 4), bar(4, 0)}, -1);
  m_model.AddRestraint(n[0], SStmDof{1, 1, 1, 0, 0, 0});
  m_model.AddRestraint(n[1], SStmDof{0, 0, 1, 0, 0, 0});
  m_model.AddLoadConditionStatic("P");
  m_model.AddLoadNode("P", n[2], CVector(0, 0, -10));
  ASSERT_EQ(CStmTrussAnalysis().Run(m_model), CStmTrussAnalysis::kSolved);
  m_manager.UpdateStmRenderer();
  for (const EStmTypeColor style : {STM_COLOR_DARK, STM_COLOR_LIGHT}) {
    m_model.GetStmDataView()->SetTypeColor(style);
    const CVector outline = m_model.GetStmDataView()->GetColorSet()[2];
    DrawScene();
    int top = 0, side = 0;
    for (int i = -50; i <= 50; ++i) {
      const auto px = Pixel(m_wnd.ExtToClient(CVector(i, 0, 60)));
      top += std::abs(px[0] - outline.x * 255) <= 2 && std::abs(px[2] - outline.z * 255) <= 2;
      const auto up = Pixel(m_wnd.ExtToClient(CVector(60, 0, 30 + i / 2)));
      side += std::abs(up[0] - outline.x * 255) <= 2 && std::abs(up[2] - outline.z * 255) <= 2;
    }
    EXPECT_EQ(top, 101) << style;
    EXPECT_EQ(side, 101) << style;
    // The tie's force line lies over the outline's bottom edge.
    const auto tie = Pixel(m_wnd.ExtToClient(CVector(20, 0, 0)));
    EXPECT_TRUE(tie[0] == 0 && tie[1] == 0 && tie[2] == 255) << style;
  }
}
