// Labels a person can read and GL state that stays put: overlapping labels are never both drawn,
// nodes win over elements, nothing is drawn half outside the window, and a frame with every
// kind of entity, stable elements and highlights leaves the state it found.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/framework/CUbGlState.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/framework/CUbSurface.h"
#include "host/platform/CScriptedUiHost.h"
#include "support/StmSceneFixture.h"

namespace {

constexpr unsigned kNodeNames = 0x40;
constexpr unsigned kElementNames = 0x80;

class LabelPlacementTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_model.GetStmDataView()->SetShowOption(kNodeNames | kElementNames, 0);
  }

  int LabelsOfFrame() {
    DrawScene();
    return m_wnd.GetCountLabelsDrawn();
  }
};

TEST_F(LabelPlacementTest, OverlappingNamesAreNeverBothDrawnNodesWinOverElementsAndLoneTextDrawsAtOnce) {
  for (const CVector& p : {CVector(0, 0, 0), CVector(50, 0, 20), CVector(100, 0, 60)}) m_model.AddNode(p);
  m_manager.UpdateStmRenderer();
  FitView();
  m_model.GetStmDataView()->SetShowOption(kNodeNames, 1);
  const int apart = LabelsOfFrame();
  EXPECT_GE(apart, 2);
  // A node a whisker away from the first has a name that would cover the first one's.
  m_model.AddNode(CVector(0.5, 0, 0));
  m_manager.UpdateStmRenderer();
  EXPECT_EQ(LabelsOfFrame(), apart);

  // Zoomed in, the same names have room and both show.
  m_wnd.SetViewScale(0.01);
  m_wnd.SetViewCenter(0.25, 0.0);
  EXPECT_EQ(LabelsOfFrame(), 2) << "the others are out of the window now, the close ones both fit";

  // Text calls outside a batch draw at once, and the first alternative only.
  m_wnd.OpenGLRenderStart();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, 0, kHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  CUbRenderAPI::BeginLabelAlternatives();
  CUbRenderAPI::OutVectorText(CVector(10, 10, 0), CVector(1, 0, 0), CVector(0, 1, 0), "AAAA", 14, 1.0, 0, 1, 0.0,
                              0, CVector(1, 0, 0), 1);
  CUbRenderAPI::OutVectorText(CVector(10, 100, 0), CVector(1, 0, 0), CVector(0, 1, 0), "BBBB", 14, 1.0, 0, 1, 0.0,
                              0, CVector(1, 0, 0), 1);
  CUbRenderAPI::EndLabelAlternatives();
  glFinish();
  auto redIn = [&](int y0, int y1) {
    int red = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = 0; x < 100; ++x) {
        unsigned char px[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        red += px[0] > 128 ? 1 : 0;
      }
    }
    return red;
  };
  EXPECT_GT(redIn(8, 30), 20);
  EXPECT_EQ(redIn(98, 120), 0);
  glEnable(GL_LIGHTING);
  m_wnd.OpenGLRenderEnd();
}

TEST_F(LabelPlacementTest, AnElementNameUnderANodeNameGivesWayToIt) {
  // A short element: its name in the middle sits where its nodes' names are.
  m_model.AddNode(CVector(0, 0, 0));
  m_model.AddNode(CVector(2, 0, 0));
  m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
  m_model.AddNode(CVector(200, 0, 100));
  m_manager.UpdateStmRenderer();
  FitView();
  m_model.GetStmDataView()->SetShowOption(kElementNames, 1);
  EXPECT_EQ(LabelsOfFrame(), 1) << "alone, the element's name shows";
  m_model.GetStmDataView()->SetShowOption(kNodeNames, 1);
  // The first node's name takes the place; the second node's and the element's would overlap it.
  EXPECT_EQ(LabelsOfFrame(), 2);
}

TEST_F(LabelPlacementTest, ALoadValueStandsPastItsArrowsTailAndNeverTakesTheNodesName) {
  // A window tall enough for loads, which keep their length in pixels.
  std::string error;
  auto surface = CreateOffscreenSurface(640, 480, &error);
  ASSERT_TRUE(surface) << error;
  CStmUbRenderer wnd;
  ASSERT_GE(wnd.Create(&m_manager, std::move(surface)), 0);
  wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);

  constexpr unsigned kLoads = 0x400 | 0x800;
  for (const CVector& p : {CVector(0, 0, 0), CVector(100, 0, 0)}) m_model.AddNode(p);
  m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
  m_model.AddLoadConditionStatic("L");
  m_model.AddLoadNode("L", 2, CVector(0, 0, -25));
  m_model.AddLoadNode("L", 1, CVector(-25, 0, 0));
  m_model.SetUnitForce("MN");
  m_model.GetStmDataView()->SetShowOption(kLoads | kNodeNames, 1);
  m_manager.UpdateStmRenderer();
  m_manager.SetIndexLoadConditionLoad(0, -1);
  wnd.ZoomAll(0);
  wnd.OpenGLRenderStart();
  wnd.RenderNoDepth(0);
  wnd.OpenGLRenderEnd();
  // Both node names and both values: no value sits over a name.
  EXPECT_EQ(wnd.GetCountLabelsDrawn(), 4);
  std::vector<CVector> quads;
  CUbRenderAPI::GetLastLabelQuads(quads);
  ASSERT_FALSE(quads.empty());
  // Upright text: every glyph bar is a rectangle whose sides run along the screen's axes.
  for (size_t i = 0; i + 3 < quads.size(); i += 4) {
    const CPoint a = wnd.ExtToClient(quads[i]), b = wnd.ExtToClient(quads[i + 1]);
    EXPECT_EQ(a.x, b.x) << "bar " << i / 4 << " is not upright";
  }
  // The vertical load's value stands past the tail, far above its node.
  const CPoint node = wnd.ExtToClient(CVector(100, 0, 0));
  int highest = node.y;
  for (const CVector& v : quads) highest = std::min(highest, static_cast<int>(wnd.ExtToClient(v).y));
  EXPECT_LT(highest, node.y - 150);
}

TEST_F(LabelPlacementTest, AFrameAndASelectionPassLeaveTheStateTheyFound) {
  for (const CVector& p : {CVector(0, 0, 0), CVector(100, 0, 0), CVector(100, 0, 50)}) m_model.AddNode(p);
  m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
  m_model.AddElement(2, 3, SStmPropElement(0, 2, 0.0))->SetStableElement(1);
  m_model.SetBoundary(STM_BOUNDARY_OUTER, {{-10, 0, -10}, {110, 0, -10}, {110, 0, 60}, {-10, 0, 60}});
  m_model.AddRestraint(1, SStmDof{1, 1, 1, 0, 0, 0});
  m_model.AddLoadConditionStatic("L");
  m_model.AddLoadNode("L", 3, CVector(0, 0, -10));
  m_model.GetStmDataView()->SetShowOption(kNodeNames | kElementNames, 1);
  m_manager.UpdateStmRenderer();
  FitView();
  for (const auto& entry : m_manager.GetEttMap()) m_manager.SelectEtt(entry.second, 1);

  auto expectFound = [&](const char* what) {
    m_wnd.OpenGLRenderStart();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << what;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << what;
    EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE)) << what;
    GLfloat width = 0, size = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(width, 1.0f) << what;
    EXPECT_EQ(size, 1.0f) << what;
    m_wnd.OpenGLRenderEnd();
  };
  DrawScene();
  expectFound("after a frame");
  EXPECT_GT(m_wnd.GetCountLabelsDrawn(), 0);
  CMapStringToPtr found;
  m_wnd.SelectionPoint(m_wnd.ExtToClient(CVector(50, 0, 0)), CSize(7, 7), -1, 0, &found, 0x41);
  expectFound("after a selection pass");
  EXPECT_FALSE(CUbGlState::IsPicking());
}

}  // namespace
