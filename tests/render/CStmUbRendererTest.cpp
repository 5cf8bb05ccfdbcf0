// The render window off screen: highlights, the background, the view range, keys, picking with
// the hit order and the selection filter, selection commands and the XOR snap marker. (The order
// of the passes: the reference pictures; the GL state a frame leaves: the label placement test.)
#include "render/CStmUbRenderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityNode.h"
#include "host/framework/CUbActionNormal.h"
#include "host/model/CStmModel.h"
#include "host/platform/CScriptedUiHost.h"
#include "manager/CStmUbManager.h"
#include "support/StmSceneFixture.h"

namespace {

constexpr unsigned kNames = STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES;

class CStmUbRendererTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_model.GetStmDataView()->SetShowOption(kNames, 0);
  }

  // Nodes 1 (-40, 0, 0) and 2 (40, 0, 0), element 1 between them, and an outer boundary whose
  // bottom edge runs under the element and beyond it.
  void BuildScene() {
    for (const CVector& p : {CVector(-40, 0, 0), CVector(40, 0, 0)}) m_model.AddNode(p);
    m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
    m_model.SetBoundary(STM_BOUNDARY_OUTER, {{-60, 0, 0}, {60, 0, 0}, {60, 0, 40}, {-60, 0, 40}});
    m_manager.UpdateStmRenderer();
    m_wnd.SetAction(48, -1, 1);
  }

  const CVector& Colour(int entry) { return m_model.GetStmDataView()->GetColorSet()[entry]; }

  // A selection window over the whole scene; how many are selected then (or found, given a map).
  int SelectAround(CMapStringToPtr* found = nullptr, long mode = 0) {
    m_wnd.SelectionRect(At(At(-90, -10)), At(At(90, 50)), 0, 0, found, mode);
    return found ? found->GetCount() : m_manager.GetSelectMap().GetCount();
  }
  bool IsSelected(CUbEntityObj* entity) {
    void* value = nullptr;
    return m_manager.GetSelectMap().Lookup(entity->GetName(), value);
  }
};

TEST_F(CStmUbRendererTest, SelectedEntitiesAreHighlightedTheBoundaryOnlyWhenItsSelectionIsOnAndLinesUnsmoothed) {
  BuildScene();
  m_wnd.SelectAllElement();
  DrawScene();
  ExpectColour(At(CVector(0, 0, 0)), Colour(21));
  m_wnd.SelectAllNode();
  DrawScene();
  ExpectColour(At(CVector(40, 0, 0)), m_wnd.GetHighlightColorNode());
  ExpectColour(At(CVector(0, 0, 0)), Colour(9));

  m_wnd.SelectBoundary(STM_BOUNDARY_OUTER, 0, 1);
  DrawScene();
  ExpectColour(At(CVector(50, 0, 0)), Colour(2));
  m_manager.EnableBoundarySelection(1);
  DrawScene();
  ExpectColour(At(CVector(50, 0, 0)), Colour(21));

  // The colour set gives the background, and lines stay unsmoothed.
  CStmDataView* view = m_model.GetStmDataView();
  view->SetTypeColor(view->GetTypeColor() == STM_COLOR_DARK ? STM_COLOR_LIGHT : STM_COLOR_DARK);
  m_wnd.InvalidateAllWnd();
  m_wnd.Render();
  ExpectColour(CPoint(kWidth / 2, 0), Colour(0), 6.0);
  // The gradient is compiled once and kept while its colours stay.
  const GLuint gradient = m_wnd.GetEraseBackList();
  EXPECT_NE(gradient, 0u);
  m_wnd.Render();
  EXPECT_EQ(m_wnd.GetEraseBackList(), gradient);
  // The axis triad and the guidelines of the first frame leave lines unsmoothed for the second.
  ASSERT_TRUE(m_model.GetStmDataView()->IsShowOption(STM_SHOW_AXIS | STM_SHOW_GUIDELINES));
  m_wnd.OpenGLRenderStart();
  EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
  m_wnd.OpenGLRenderEnd();
  view->SetTypeColor(view->GetTypeColor() == STM_COLOR_DARK ? STM_COLOR_LIGHT : STM_COLOR_DARK);
  m_wnd.InvalidateAllWnd();
  m_wnd.Render();
  EXPECT_NEAR(Pixel(CPoint(kWidth / 2, 0))[0], Colour(0).x * 255.0, 6.0);
}

TEST_F(CStmUbRendererTest, ViewRangeOfAnEmptyModelOfBoundariesAndNodesAndOfALoneNodeAndPicksPreferNodes) {
  m_wnd.ResetViewRange();
  const CCubeRange* range = m_manager.GetViewRange(0);
  EXPECT_EQ(range->GetMin(), CVector(-10, -10, -10));
  EXPECT_EQ(range->GetMax(), CVector(10, 10, 10));

  // Boundaries and nodes decide the range, elements alone do not.
  BuildScene();
  m_wnd.ResetViewRange();
  EXPECT_EQ(range->GetMin(), CVector(-60, 0, 0));
  EXPECT_EQ(range->GetMax(), CVector(60, 0, 40));

  // Picking more hits than allowed prefers nodes, then the nearest hit.
  m_wnd.SelectionPoint(m_wnd.ExtToClient(CVector(-40, 0, 0)), CSize(7, 7), 1, 0, nullptr, 0);
  ASSERT_EQ(m_manager.GetSelectMap().GetCount(), 1);
  EXPECT_EQ(m_manager.GetSelectMap().begin()->second, m_manager.GetEntNode(1));

  // Two elements crossing at (0, 0): the one at y = -5 is nearer the viewer of the x-z view.
  CStmModel crossing;
  for (const CVector& p : {CVector(-40, -5, 40), CVector(40, -5, -40), CVector(-40, 5, -40), CVector(40, 5, 40)})
    crossing.AddNode(p);
  crossing.AddElement(3, 4, SStmPropElement(0, 2, 0.0));
  crossing.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
  m_manager.SetStmModel(&crossing);
  m_manager.UpdateStmRenderer();
  m_wnd.SetAction(48, -1, 1);
  m_wnd.SelectionPoint(m_wnd.ExtToClient(CVector(0, 0, 0)), CSize(7, 7), 1, 0, nullptr, 0);
  ASSERT_EQ(m_manager.GetSelectMap().GetCount(), 1);
  auto* picked = static_cast<CStmEntityElement*>(m_manager.GetSelectMap().begin()->second);
  EXPECT_EQ(picked->GetIdStm(), 2);
  m_wnd.SelectionPoint(m_wnd.ExtToClient(CVector(0, 0, 0)), CSize(7, 7), -1, 0, nullptr, 0);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);

  CStmModel lone;
  lone.AddNode(CVector(100, 0, 50));
  m_manager.SetStmModel(&lone);
  m_manager.UpdateStmRenderer();
  m_wnd.ZoomAll(0);
  EXPECT_GE(range->GetSize().x, 20.0);
  EXPECT_DOUBLE_EQ(range->GetCenter().x, 100.0);
  // Zoom-all shows the node in the middle of the window.
  EXPECT_EQ(m_wnd.ExtToClient(CVector(100, 0, 50)), CPoint(kWidth / 2, kHeight / 2));
}

TEST_F(CStmUbRendererTest, ArrowKeysMoveTheViewOnlyInTheSelectionCommandAndF8TwiceRestoresTheSnap) {
  BuildScene();
  double u0 = 0, v0 = 0, u = 0, v = 0;
  m_wnd.GetViewCenter(u0, v0);
  m_wnd.SetAction(55, -1, 1);
  for (UINT key : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) m_wnd.OnKeyDown(key, 1, 0);
  m_wnd.OnKeyDown(VK_LEFT, 1, 0);
  m_wnd.GetViewCenter(u, v);
  EXPECT_EQ(u, u0);
  EXPECT_EQ(v, v0);
  m_wnd.SetAction(48, -1, 1);
  m_wnd.OnKeyDown(VK_LEFT, 1, 0);
  m_wnd.OnKeyDown(VK_UP, 1, 0);
  m_wnd.GetViewCenter(u, v);
  EXPECT_NE(u, u0);
  EXPECT_NE(v, v0);

  // F8 twice gives orthogonal mode and the near-snap bit back.
  m_manager.SetOSnapMode2(7);
  const long start = m_manager.GetOSnapMode();
  m_wnd.OnKeyDown(VK_F8, 1, 0);
  EXPECT_EQ(m_wnd.GetVHDraw(), 2);
  EXPECT_EQ(m_manager.GetOSnapMode(), start & ~0x2L);
  EXPECT_EQ(m_manager.GetOSnapMode2(), 0);
  m_wnd.OnKeyDown(VK_F8, 1, 0);
  EXPECT_EQ(m_wnd.GetVHDraw(), 0);
  EXPECT_EQ(m_manager.GetOSnapMode(), start);

  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XY);
  m_wnd.OnKeyDown(VK_F8, 1, 0);
  EXPECT_EQ(m_wnd.GetVHDraw(), 3);

  // A click clears the marks unless the model is locked.
  m_manager.SetRenderMarkPos({CVector(0, 0, 0)}, STM_MARK_POINT, 1.0);
  m_model.SetLock(1);
  m_wnd.OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
  EXPECT_EQ(m_manager.GetMarkPosArray().size(), 1u);
  m_model.SetLock(0);
  m_wnd.OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
  EXPECT_TRUE(m_manager.GetMarkPosArray().empty());
}

TEST_F(CStmUbRendererTest, SelectionFilterKeepsNodesOnlyNeverGridPointsOrGuidelinesAndFollowsTheResultCase) {
  BuildScene();
  auto* grid = new CStmEntityGridPoint(&m_manager, CVector(0, 0, 20));
  auto* guide = new CStmEntityGuideline(&m_manager, 0, CVector(-80, 0, 10), CVector(80, 0, 10));
  ASSERT_EQ(m_manager.AddEtt(grid, 0, 0), 1);
  ASSERT_EQ(m_manager.AddEtt(guide, 0, 0), 1);

  EXPECT_EQ(SelectAround(), 3);
  EXPECT_EQ(grid->IsSelection(), 0);
  EXPECT_EQ(guide->IsSelection(), 0);
  EXPECT_TRUE(IsSelected(m_manager.GetEntElement(1)));

  m_manager.EnableBoundarySelection(1);
  EXPECT_EQ(SelectAround(), 4);

  // With boundary selection on, boundaries pass whatever the type filter says.
  m_manager.SetTypeSelection(STM_SELECTION_NODE);
  EXPECT_EQ(SelectAround(), 3);
  m_manager.EnableBoundarySelection(0);
  EXPECT_EQ(SelectAround(), 2);
  EXPECT_TRUE(IsSelected(m_manager.GetEntNode(1)));
  EXPECT_TRUE(IsSelected(m_manager.GetEntNode(2)));
  EXPECT_EQ(m_manager.GetEntElement(1)->IsSelection(), 0);

  m_manager.SetTypeSelection(STM_SELECTION_ELEMENT);
  EXPECT_EQ(SelectAround(), 1);
  EXPECT_TRUE(IsSelected(m_manager.GetEntElement(1)));

  // An unfiltered query keeps whatever was hit.
  CMapStringToPtr found;
  EXPECT_EQ(SelectAround(&found, 0x41), 6);

  // The strut and tie filters follow the result case.
  m_model.AddNode(CVector(0, 0, 30));
  m_model.AddElement(1, 3, SStmPropElement(0, 2, 0.0));
  m_manager.UpdateStmRenderer();
  m_wnd.SetAction(48, -1, 1);
  m_model.GetElement(1)->SetResultAxialForces({10.0});
  m_model.GetElement(2)->SetResultAxialForces({-10.0});
  m_manager.SetTypeSelection(STM_SELECTION_STRUT);
  ASSERT_EQ(SelectAround(), 1);
  EXPECT_TRUE(IsSelected(m_manager.GetEntElement(2)));
  m_manager.SetTypeSelection(STM_SELECTION_TIE);
  ASSERT_EQ(SelectAround(), 1);
  EXPECT_TRUE(IsSelected(m_manager.GetEntElement(1)));

  // Locked results select by type through the command too.
  m_model.SetLock(1);
  m_wnd.SelectAllStrutTie(STM_ELEMENT_STRUT);
  ASSERT_EQ(m_manager.GetSelectMap().GetCount(), 1);
  EXPECT_TRUE(IsSelected(m_manager.GetEntElement(2)));
  m_model.SetLock(0);
  m_wnd.SelectAllStrutTie(STM_ELEMENT_STRUT);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 0);
}

TEST_F(CStmUbRendererTest, SelectionCommandsActOnlyInTheSelectionCommandAndSelectPreviousRestores) {
  BuildScene();
  m_wnd.SetAction(55, -1, 1);
  m_wnd.SelectAllNode();
  m_wnd.SelectAllElement();
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 0);
  // By id works in any command.
  m_wnd.SelectNodeObject(2, 0);
  EXPECT_TRUE(IsSelected(m_manager.GetEntNode(2)));
  m_wnd.SelectElementObject(1, MK_CONTROL);
  EXPECT_TRUE(IsSelected(m_manager.GetEntElement(1)));
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);
  m_wnd.ClearSelection();
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);

  m_wnd.SetAction(48, -1, 1);
  m_wnd.SelectAllNode();
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);
  m_wnd.DeselectAllRestraint();
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 0);

  m_model.AddRestraint(2, SStmDof{1, 1, 1, 0, 0, 0});
  m_wnd.SelectAllRestraint();
  ASSERT_EQ(m_manager.GetSelectMap().GetCount(), 1);
  EXPECT_TRUE(IsSelected(m_manager.GetEntNode(2)));
  m_wnd.SelectRestraintGroup(1);
  m_wnd.SelectRestraintGroup(-1);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 1);

  m_wnd.SelectArea(-1, 1);
  m_wnd.SelectBoundary(STM_BOUNDARY_OUTER, -1, 1);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);
  m_wnd.SelectBoundary(STM_BOUNDARY_OUTER, 0, 0);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 1);
  m_wnd.SelectBoundary(STM_BOUNDARY_INNER, 5, 1);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 1);

  // Select Previous puts the remembered selection back.
  m_wnd.ClearSelection();
  m_wnd.SelectAllElement();
  m_manager.SetPreviousSelection();
  m_wnd.ClearSelection();
  m_wnd.SelectNodeObject(1, 0);
  m_wnd.SelectPrevious();
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);
  EXPECT_EQ(m_manager.GetEntElement(1)->IsSelection(), 1);
}

TEST_F(CStmUbRendererTest, SnapMarkerIsDrawnInXorAndNotTwiceForTheSameStamp) {
  // The selection command draws no cursor cross under the marker.
  m_wnd.SetAction(48, -1, 1);
  DrawScene();
  m_wnd.OpenGLRenderStart();
  GLint buffer = 0;
  glGetIntegerv(GL_DRAW_BUFFER, &buffer);
  m_wnd.OpenGLRenderEnd();
  const CVector pos(0, 0, 0);
  // The left side of the node square lies 8 pixels left of the marker's centre; the line sits
  // on a pixel edge, so either neighbour may carry it.
  const CPoint centre = m_wnd.ExtToClient(pos);
  auto sideGreen = [&]() {
    const auto p1 = Pixel(CPoint(centre.x - 8, centre.y));
    const auto p2 = Pixel(CPoint(centre.x - 9, centre.y));
    EXPECT_EQ(p1[0] + p2[0], 0);
    return std::max(p1[1], p2[1]);
  };
  m_wnd.DrawOSnapCursor(pos, 1, 5, 0, CVector(1, 1, 1));
  EXPECT_EQ(sideGreen(), 255);
  m_wnd.DrawOSnapCursor(pos, 1, 5, 0, CVector(1, 1, 1));
  EXPECT_EQ(sideGreen(), 255);
  m_wnd.DrawOSnapCursor(pos, 2, 5, 0, CVector(1, 1, 1));
  EXPECT_EQ(sideGreen(), 0);

  m_wnd.OpenGLRenderStart();
  GLint after = 0;
  glGetIntegerv(GL_DRAW_BUFFER, &after);
  EXPECT_EQ(after, buffer);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_LOGIC_OP));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  m_wnd.OpenGLRenderEnd();
}

}  // namespace
