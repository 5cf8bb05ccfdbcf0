// The six scene entities off screen: what they draw and the GL state they leave, their snaps,
// tooltips and copies (their archives: the fuzz fixture test and its corpus).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityNode.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmEntityTest : public StmSceneFixture {
protected:
  // Nodes 1 (-40, 0, 0) and 2 (40, 0, 0) joined by element 1.
  void SetUp() override {
    StmSceneFixture::SetUp();
    for (const CVector& p : {CVector(-40, 0, 0), CVector(40, 0, 0)}) m_model.AddNode(p);
    m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
    m_manager.UpdateStmRenderer();
  }
};

// Their colours: the reference pictures. Fixed nodes, which the examples lack, draw smaller;
// they refuse moves but not mirrors, and nodes write back to the model.
TEST_F(CStmEntityTest, FixedNodesDrawSmallerAndRefuseMovesButNotMirrorsAndNodesWriteBack) {
  m_model.GetNode(1)->SetMoveable(0);
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_ELEMENTS | STM_SHOW_NODE_NAMES, 0);
  DrawScene();
  const CPoint fixed = m_wnd.ExtToClient(CVector(-40, 0, 0));
  const CPoint moveable = m_wnd.ExtToClient(CVector(40, 0, 0));
  // Size 4 reaches two pixels out, radius 7 three and a half.
  ExpectColour(CPoint(fixed.x - 3, fixed.y), CVector());
  ExpectColour(CPoint(moveable.x - 3, moveable.y), m_model.GetStmDataView()->GetColorSet()[5]);

  CStmEntityNode* node = m_manager.GetEntNode(1);
  node->Move(CVector(0, 0, 5));
  EXPECT_EQ(node->GetCoord(), CVector(-40, 0, 0));
  ASSERT_EQ(m_host.m_boxes.size(), 1u);
  node->Mirror(CVector(0, 0, -1), CVector(0, 0, 1));
  EXPECT_EQ(node->GetCoord(), CVector(40, 0, 0));
  EXPECT_EQ(node->GetCoordBeforeMove(), CVector(-40, 0, 0));
  EXPECT_EQ(m_model.GetNode(1)->GetCoord(), CVector(40, 0, 0));

  CStmEntityNode free(&m_manager, CVector(1, 2, 3));
  free.Translate(2.0);
  EXPECT_EQ(free.GetCoord(), CVector(2, 4, 6));
  EXPECT_EQ(free.GetCoordBeforeMove(), CVector(1, 2, 3));
}

TEST_F(CStmEntityTest, EveryEntityLeavesLightingAndDepthTestOn) {
  m_model.GetElement(1)->SetStableElement(1);
  m_model.SetBoundary(STM_BOUNDARY_OUTER, {CVector(-50, 0, -50), CVector(50, 0, -50), CVector(0, 0, 50)});
  m_model.RestoreArea(1, {CVector(-20, 0, -20), CVector(20, 0, -20), CVector(0, 0, 20)}, {});
  m_manager.UpdateStmRenderer();
  m_manager.AddEtt(new CStmEntityGridPoint(&m_manager, CVector(0, 0, 30)), 0, 1);
  m_manager.AddEtt(new CStmEntityGuideline(&m_manager, 0, CVector(10, 0, -60), CVector(10, 0, 60)), 0, 1);
  ASSERT_EQ(m_manager.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 7);

  m_wnd.OpenGLRenderStart();
  for (const auto& entry : m_manager.GetEttMap()) {
    CUbEntityObj* entity = entry.second;
    const int type = entity->GetTypeEntity();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glLineStipple(2, 0x00FF);
    entity->DrawEntity(0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << type;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << type;
    EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE)) << type;
    GLint pattern = 0, repeat = 0;
    glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &pattern);
    glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &repeat);
    // The guideline restores the stipple it found; a stability element leaves its own.
    if (type == 113 || type == 111) {
      EXPECT_EQ(pattern, type == 113 ? 0x00FF : 0x5555);
      EXPECT_EQ(repeat, type == 113 ? 2 : 3);
    }
  }
  m_wnd.OpenGLRenderEnd();
}

TEST_F(CStmEntityTest, BoundaryElementsDrawInTheirOwnColourAndListsAreCompiledOnce) {
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_NODES | STM_SHOW_ELEMENT_NAMES, 0);
  auto* element = m_manager.GetEntElement(1);
  element->SetTypeElement(1);
  DrawScene();
  ExpectColour(m_wnd.ExtToClient(CVector(0, 0, 0)), CVector(1, 0, 1));

  // With list compiling on, the first draw compiles the list and the second replays it.
  m_manager.SetDirectDraw(0);
  m_wnd.OpenGLRenderStart();
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(element->DrawEntity(0), 1);
  ASSERT_NE(element->GetCallListRecord(0)->m_nList, -1);
  const int list = element->GetCallListRecord(0)->m_nList;
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(element->DrawEntity(0), 1);
  EXPECT_EQ(element->GetCallListRecord(0)->m_nList, list);
  m_wnd.OpenGLRenderEnd();
  ExpectColour(m_wnd.ExtToClient(CVector(0, 0, 0)), CVector(1, 0, 1));

  CStmEntityNode lone;
  EXPECT_EQ(lone.GetManager(), nullptr);
  EXPECT_EQ(lone.DrawEntity(0), 0);
}

TEST_F(CStmEntityTest, TooltipsFollowTheirFormats) {
  m_model.AddRestraint(1, SStmDof{0, 1, 0, 0, 0, 1});
  const CString name = m_model.GetNode(1)->GetName();
  const CString node = m_manager.GetEntNode(1)->GetTooltipPropInfoTable();
  EXPECT_NE(node.Find(("<b>Node " + name + "</b></td><td align=right>-40.0000,</td><td align=right>0.0000</td>").c_str()),
            -1)
      << node.c_str();
  EXPECT_NE(node.Find("<td>Restraint</td><td align=right>Uy, Rz</td>"), -1);
  EXPECT_NE(node.Find("<td>Node Type</td><td align=right>-</td>"), -1);
  EXPECT_NE(m_manager.GetEntNode(2)->GetTooltipPropInfoTable().Find("<td align=right>N/A</td>"), -1);

  CStmEntityElement* element = m_manager.GetEntElement(1);
  EXPECT_EQ(element->GetTooltipPropInfoTable().Find("Axial Force"), -1);
  m_model.GetElement(1)->SetResultAxialForces({-0.004});
  m_model.SetLock(1);
  const CString text = element->GetTooltipPropInfoTable();
  EXPECT_NE(text.Find("<td>Length</td><td align=right>80.0000</td>"), -1) << text.c_str();
  EXPECT_NE(text.Find("<td>Unknown Type</td><td align=right>-</td>"), -1);
  EXPECT_NE(text.Find("<td>Axial Force</td><td align=right>0.00</td></tr></table>"), -1);
  EXPECT_EQ(text.Find("-0.00"), -1);

  // A check over capacity: its numbers and clause in the tooltips, and an orange halo beside the
  // line in the case shown.
  SStmCheckResults checks;
  checks.cases.resize(1);
  // Force, width required and available, steel required and provided, capacity, utilisation, angle.
  checks.cases[0].elements[1] =
      SStmCheckElement{-0.004, 12.5, 10.0, 0, 0, 0, 1.25, 0, "ACI 318-19 23.9.2", STM_CHECK_OVER_CAPACITY};
  checks.cases[0].nodes[1] = SStmCheckNode{"CCT", 0.0153, 0.5, "ACI 318-19 23.9.2", 0};
  m_model.SetCheckResults(checks);
  const CString checked = element->GetTooltipPropInfoTable();
  EXPECT_NE(checked.Find("<td>Required Width</td><td align=right>12.50 mm</td>"), -1) << checked.c_str();
  EXPECT_NE(checked.Find("<td>Utilisation</td><td align=right>1.250</td>"), -1);
  EXPECT_NE(checked.Find("<td>Clause</td><td align=right>ACI 318-19 23.9.2</td>"), -1);
  EXPECT_NE(checked.Find("<td>Over capacity</td>"), -1);
  EXPECT_NE(m_manager.GetEntNode(1)->GetTooltipPropInfoTable().Find("<td>Node Class</td><td align=right>CCT</td>"), -1);
  m_model.GetStmDataView()->SetShowOption(STM_SHOW_NODES | STM_SHOW_ELEMENT_NAMES, 0);
  DrawScene();
  const CPoint mid = m_wnd.ExtToClient(CVector(0, 0, 0));
  ExpectColour(CPoint(mid.x, mid.y - 4), CVector(1.0, 0.55, 0.0));

  m_model.GetStmDataView()->SetShowOption(STM_SHOW_ELEMENT_TOOLTIPS, 0);
  EXPECT_TRUE(element->GetTooltipPropInfoTable().IsEmpty());

  CStmEntityGuideline guide(&m_manager, 0, CVector(12.5, 0, -3), CVector(12.5, 0, 3));
  EXPECT_NE(guide.GetTooltipPropInfoTable().Find("<td>Distance </td><td align=right>12.5000</td>"), -1);
  CStmEntityBoundary inner(&m_manager, STM_BOUNDARY_INNER, {CVector(1, 0, 2)});
  EXPECT_EQ(inner.GetTooltipPropInfoTable(),
            "<table border=0><tr><td><b>Inner Boundary</b></td></tr></table><table border=0>\n"
            "<tr><td>1 </td><td align=right>1.0000,</td><td align=right>2.0000</td></tr>\n</table>");
}

TEST_F(CStmEntityTest, SegmentSnapsKeepTheFirstOfEqualCandidatesAndRejectWhatDoesNotCross) {
  CStmEntityElement element(&m_manager, CVector(-10, 0, 0), CVector(10, 0, 0));
  CVector out;
  int first = 1;
  EXPECT_EQ(element.GetOsnapEndPoint(CVector(0, 0, 0), out, first), 1);
  EXPECT_EQ(out, CVector(-10, 0, 0));
  EXPECT_EQ(element.GetOsnapEndPoint(CVector(9, 0, 0), out, first), 1);
  EXPECT_EQ(out, CVector(10, 0, 0));
  EXPECT_EQ(element.GetOsnapMidPoint(CVector(9, 0, 0), out, first, 0), 0);

  CStmEntityGuideline guide(&m_manager, 2, CVector(3, 0, -10), CVector(3, 0, 10));
  CStmEntityGuideline parallel(&m_manager, 2, CVector(-10, 0, 5), CVector(10, 0, 5));
  CStmEntityGuideline short_(&m_manager, 2, CVector(-10, 0, 5), CVector(-9, 0, 1));
  CStmEntityNode node(&m_manager, CVector(0, 0, 0));
  first = 1;
  EXPECT_EQ(element.GetOsnapCrossPoint(&node, CVector(), out, first), 0);
  EXPECT_EQ(element.GetOsnapCrossPoint(&element, CVector(), out, first), 0);
  EXPECT_EQ(element.GetOsnapCrossPoint(&parallel, CVector(), out, first), 0);
  EXPECT_EQ(element.GetOsnapCrossPoint(&short_, CVector(), out, first), 0);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(guide.GetOsnapCrossPoint(&element, CVector(), out, first), 1);
  EXPECT_EQ(out, CVector(3, 0, 0));

  // The near point needs the cursor within five pixels of the line.
  first = 1;
  EXPECT_EQ(element.GetOsnapNearPoint(CVector(4, 0, 6), out, first, nullptr), 0);
  EXPECT_EQ(element.GetOsnapNearPoint(CVector(4, 0, 2), out, first, nullptr), 1);
  EXPECT_LT((out - CVector(4, 0, 0)).Length(), 1e-9) << out.x << ", " << out.z;

  first = 1;
  CStmEntityElement point(&m_manager, CVector(1, 0, 1), CVector(1, 0, 1));
  EXPECT_EQ(point.GetOsnapPerPoint(CVector(), out, first, CVector(0, 0, 5), nullptr, 0, 0, 0), 0);
  EXPECT_EQ(element.GetOsnapPerPoint(CVector(), out, first, CVector(4, 0, 5), nullptr, 0, 0, 0), 1);
  EXPECT_LT((out - CVector(4, 0, 0)).Length(), 1e-9) << out.x << ", " << out.z;

  CStmEntityGridPoint grid(&m_manager, CVector(90, 0, 0));
  out = CVector(0, 0, 0);
  first = 1;
  EXPECT_EQ(grid.GetOsnapNodePoint(CVector(), out, first), 1);
  EXPECT_EQ(out, CVector(90, 0, 0));
}

TEST_F(CStmEntityTest, AnOutlineTurnsThroughTheFrameworksRotationSoUndoAndRedoTurnItTooAndCopiesWhole) {
  auto* boundary = new CStmEntityBoundary(&m_manager, STM_BOUNDARY_OUTER, {CVector(10, 0, 0), CVector(20, 0, 5)});
  m_manager.AddEtt(boundary, 0, 1);
  const std::vector<CVector> before = boundary->GetBoundaryArray();
  const std::vector<CVector> turned = {CVector(0, 0, 10), CVector(-5, 0, 20)};
  m_manager.SetHistoryStart();
  CUbEntityObj& entity = *boundary;
  entity.Rotate(CVector(0, 0, 0), CVector(0, -1, 0), CDPoint(0.0, 1.0));
  m_manager.AddHistory_ActionRotate(boundary->GetName(), CVector(0, 0, 0), CVector(0, -1, 0), CDPoint(0.0, 1.0));
  m_manager.SetHistoryEnd();
  EXPECT_EQ(boundary->GetBoundaryArray(), turned);
  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(boundary->GetBoundaryArray(), before);
  ASSERT_EQ(m_manager.Redo(), 1);
  EXPECT_EQ(boundary->GetBoundaryArray(), turned);
  CString why;
  EXPECT_EQ(m_manager.CheckEttIndex(&why), 1) << why.c_str();

  // Vertex edits, and copies through the most derived assignment.
  CStmEntityBoundary edited(&m_manager, STM_BOUNDARY_OUTER,
                            {CVector(0, 0, 0), CVector(10, 0, 0), CVector(0, 0, 0), CVector(2e-5, 0, 0)});
  CVector to(5, 0, 5);
  edited.MoveOnePoint(CVector(0, 0, 0), to, 0);
  const std::vector<CVector> moved = {CVector(5, 0, 5), CVector(10, 0, 0), CVector(5, 0, 5), CVector(2e-5, 0, 0)};
  EXPECT_EQ(edited.GetBoundaryArray(), moved);
  CStmEntityBoundary empty(&m_manager);
  EXPECT_EQ(empty.IsInRect(CRect(0, 0, 1, 1)), 1);

  CStmEntityBoundary inner(&m_manager, STM_BOUNDARY_INNER, {});
  inner.CopyEntity(&edited);
  EXPECT_EQ(inner.GetType(), STM_BOUNDARY_INNER);
  EXPECT_EQ(inner.GetBoundaryArray(), moved);

  CStmEntityGuideline guide(&m_manager, 1, CVector(1, 0, 1), CVector(2, 0, 2));
  CStmEntityGuideline copy(&m_manager);
  static_cast<CUbEntityObj&>(copy).CopyEntity(&guide);
  EXPECT_EQ(copy.GetTypeGuideline(), 1);
  EXPECT_EQ(copy.GetPoint2(), CVector(2, 0, 2));

  CStmEntityElement element(&m_manager, CVector(-30, 0, 0), CVector(30, 0, 0));
  CVector end(40, 0, 0);
  element.MoveOnePoint(CVector(30, 0, 0), end, 0);
  EXPECT_EQ(element.GetCoordEnd(), end);
  EXPECT_EQ(element.GetCoordBeforeMoveEnd(), CVector(30, 0, 0));
  const CPoint a = m_wnd.ExtToClient(CVector(-30, 0, 0));
  EXPECT_EQ(element.IsInRect(CRect(a.x - 1, a.y - 1, a.x + 2, a.y + 2)), 0);
}

}  // namespace
