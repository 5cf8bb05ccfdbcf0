// The selection and pan actions driven off screen with mouse and key messages at model points:
// picks by click, window and crossing band, Ctrl, grip drops that merge and split (each undone
// and redone exactly), hover, Esc, pan, and the commands whose tools are not built yet.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "actions/CStmActionNormal.h"
#include "entities/CStmEntityNode.h"
#include "entities/CStmEntityObject.h"
#include "host/model/CStmDataView.h"
#include "host/platform/StmText.h"
#include "support/RenderCheck.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmActionNormalTest : public StmSceneFixture {
protected:
  // Nodes 1 (-40,0,0), 2 (0,0,0), 3 (40,0,0), 4 (40,0,40); elements 1 = 1-2 and 2 = 3-4, and
  // with `bridge` 3 = 2-3.
  void BuildScene(bool bridge = false) {
    for (const CVector& p : {CVector(-40, 0, 0), CVector(0, 0, 0), CVector(40, 0, 0), CVector(40, 0, 40)})
      m_model.AddNode(p);
    m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
    m_model.AddElement(3, 4, SStmPropElement(0, 2, 0.0));
    if (bridge) m_model.AddElement(2, 3, SStmPropElement(0, 2, 0.0));
    m_manager.UpdateStmRenderer();
    FitView();
    ASSERT_EQ(m_wnd.GetActionTypeCur(), 48);
  }

  int Dragging() {
    auto* normal = dynamic_cast<CStmActionNormal*>(m_manager.GetAction(48));
    return normal ? normal->GetSnapPointManage().IsDragging() : -1;
  }
  // Pressed at `from`, dragged to `to` and released there.
  void Band(const CPoint& from, CPoint to, UINT flags = 0) {
    m_wnd.OnLButtonDown(MK_LBUTTON | flags, from);
    m_wnd.OnMouseMove(MK_LBUTTON | flags, to);
    m_wnd.OnLButtonUp(flags, to);
  }

  // The selection as "n<id>" and "e<id>" of the model records it mirrors.
  std::set<std::string> Selected() {
    std::set<std::string> out;
    for (const auto& entry : m_manager.GetSelectMap()) {
      auto* entity = dynamic_cast<CStmEntityObject*>(static_cast<CUbEntityObj*>(entry.second));
      if (!entity) continue;
      const int kind = entity->GetTypeEntity();
      const char* prefix = kind == CStmEntityObject::kKindNode      ? "n"
                           : kind == CStmEntityObject::kKindElement ? "e"
                           : kind == CStmEntityObject::kKindArea    ? "a"
                                                                    : "b";
      out.insert(prefix + std::to_string(entity->GetIdStm()));
    }
    return out;
  }

};

TEST_F(CStmActionNormalTest, ClickWindowAndCrossingPickCtrlAddsOrTakesOutAndPanMovesTheView) {
  BuildScene();
  Click(CVector(-40, 0, 0));
  EXPECT_EQ(Selected(), (std::set<std::string>{"n1"}));
  Click(CVector(40, 0, 20), MK_CONTROL);
  EXPECT_EQ(Selected(), (std::set<std::string>{"n1", "e2"}));
  // Ctrl+click on a selected node takes it out rather than grabbing its grip.
  Click(CVector(-40, 0, 0), MK_CONTROL);
  EXPECT_EQ(Selected(), (std::set<std::string>{"e2"}));
  EXPECT_EQ(Dragging(), 0);
  // A click on nothing empties the selection.
  Click(CVector(-20, 0, 30));
  EXPECT_TRUE(Selected().empty());

  // Left to right: only what lies wholly inside; right to left: also what the band crosses.
  const CPoint topLeft = At(CVector(-45, 0, 5)), bottomRight = At(CVector(20, 0, -5));
  Band(topLeft, bottomRight);
  EXPECT_EQ(Selected(), (std::set<std::string>{"n1", "n2", "e1"}));
  Band(At(CVector(45, 0, 25)), At(CVector(30, 0, 15)));
  EXPECT_EQ(Selected(), (std::set<std::string>{"e2"}));
  Band(At(CVector(-45, 0, 5)), At(CVector(-30, 0, -5)), MK_CONTROL);
  EXPECT_EQ(Selected(), (std::set<std::string>{"n1", "e2"}));
  EXPECT_EQ(m_manager.GetPreviousSelection().size(), 2u);

  // A band 2 pixels wide is a click at the release point.
  const CPoint node2 = At(CVector(0, 0, 0));
  Band(CPoint(node2.x - 2, node2.y - 40), node2);
  EXPECT_EQ(Selected(), (std::set<std::string>{"n2"}));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());

  // Pan moves the view, and its cursor ends with the pan.
  m_manager.SelectRemoveAll();
  m_wnd.SetAction(63, -1, 1);
  m_wnd.OnSetCursor();
  EXPECT_EQ(m_host.m_cursors.back(), IDC_SIZEALL);
  const CPoint before = At(CVector(0, 0, 0));
  Band(CPoint(100, 80), CPoint(110, 70));
  EXPECT_EQ(At(CVector(0, 0, 0)), CPoint(before.x + 10, before.y - 10));
  EXPECT_EQ(m_manager.GetAction(63)->GetStep(), 0);
  EXPECT_TRUE(Selected().empty());
  m_wnd.OnKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), 48);
  EXPECT_EQ(m_host.m_cursors.back(), IDC_ARROW);

  // The middle-button pan of the selection action gives the arrow back at the release too.
  m_wnd.OnMButtonDown(MK_MBUTTON, CPoint(100, 80));
  EXPECT_EQ(m_host.m_cursors.back(), IDC_SIZEALL);
  m_wnd.OnMButtonUp(0, CPoint(100, 80));
  EXPECT_EQ(m_host.m_cursors.back(), IDC_ARROW);
}

// A locked model only selects, and the resting cursor highlights.
TEST_F(CStmActionNormalTest, APressOnAGripNeitherSelectsNorClearsEscDropsNothingAndALockedModelOnlySelects) {
  BuildScene();
  Click(CVector(0, 0, 0));
  const int undo = m_manager.GetUndoCount();
  Click(CVector(0, 0, 0));
  EXPECT_EQ(Selected(), (std::set<std::string>{"n2"}));
  EXPECT_EQ(Dragging(), 1);
  // Esc while dragging abandons the drag; the selection goes with a second Esc.
  m_wnd.OnKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(Dragging(), 0);
  EXPECT_EQ(m_model.GetNode(2)->GetCoord(), CVector(0, 0, 0));
  EXPECT_EQ(m_manager.GetUndoCount(), undo);

  m_model.SetLock(1);
  Click(CVector(0, 0, 0));
  EXPECT_EQ(Dragging(), 0);
  EXPECT_EQ(Selected(), (std::set<std::string>{"n2"}));

  CPoint hover = At(CVector(-40, 0, 0));
  m_wnd.OnMouseMove(0, hover);
  m_wnd.OnTimer(CUbActionBase::kHoverTimerId);
  void* hovered = nullptr;
  EXPECT_TRUE(m_manager.GetHoverMap().Lookup(m_manager.GetEntNode(1)->GetName(), hovered));
  EXPECT_EQ(m_host.m_timers.count(CUbActionBase::kHoverTimerId), 0u);
}

// Node 2 dropped on node 3 merges with it; dropped on element 2 it snaps to it and cuts it in two.
TEST_F(CStmActionNormalTest, ANodeDroppedOnANodeMergesOnAnElementSplitsAndUndoRedoAreExact) {
  for (const bool onNode : {true, false}) {
    SCOPED_TRACE(onNode ? "on a node" : "on an element");
    m_model.Clear();
    BuildScene();
    const std::string before = SaveModelBytes(m_model, "grip-drop-before");
    // Node 2 picked, and its grip dropped at the target, as two clicks do.
    const CVector target = onNode ? CVector(40, 0, 0) : CVector(40, 0, 20);
    Click(CVector(0, 0, 0));
    ASSERT_EQ(Selected(), (std::set<std::string>{"n2"}));
    Click(CVector(0, 0, 0));
    Click(target);
    if (onNode) {
      EXPECT_EQ(m_model.GetCountNode(1), 3);
      EXPECT_EQ(m_model.GetElement(1)->GetIdNodeBegin(), 1);
      EXPECT_EQ(m_model.GetElement(1)->GetIdNodeEnd(), 3);
    } else {
      EXPECT_EQ(m_model.GetNode(2)->GetCoord().x, 40);
      EXPECT_NEAR(m_model.GetNode(2)->GetCoord().z, 20, 10);
      EXPECT_EQ(m_model.GetCountElement(1), 3);
      EXPECT_EQ(m_model.GetCountInvolvedElements(2), 3);
    }
    ExpectUndoRedoExact(before, "grip-drop");
  }
}

TEST_F(CStmActionNormalTest, AnElementDraggedByItsGripLeavesItsSharedNodeBehind) {
  BuildScene(true);
  const std::string before = SaveModelBytes(m_model, "grip-element-before");
  // Element 1's middle (-20,0,0) dropped on node 4 (40,0,40): node 1 goes along, node 2 stays
  // with element 3 and element 1 gets a new node at its new end.
  Click(CVector(-20, 0, 0));
  ASSERT_EQ(Selected(), (std::set<std::string>{"e1"}));
  Click(CVector(-20, 0, 0));
  Click(CVector(40, 0, 40));
  const CStmObjElement* element = m_model.GetElement(1);
  ASSERT_TRUE(element->IsEnable());
  EXPECT_EQ(element->GetIdNodeBegin(), 1);
  EXPECT_EQ(m_model.GetNode(1)->GetCoord(), CVector(20, 0, 40));
  EXPECT_EQ(m_model.GetNode(element->GetIdNodeEnd())->GetCoord(), CVector(60, 0, 40));
  EXPECT_EQ(m_model.GetNode(2)->GetCoord(), CVector(0, 0, 0));
  EXPECT_EQ(m_model.GetCountNode(1), 5);
  ExpectUndoRedoExact(before, "grip-element");
}

TEST_F(CStmActionNormalTest, HoverAnswersAsTheSelectionPassOverEveryCursorPosition) {
  m_model.GetStmDataView()->SetGridSpace(CVector(20, 20, 20));
  BuildScene(true);
  // Node 5 closes a ring 1-2-3-4-5 that bounds an area; grid points lie on elements 1 and 3.
  m_model.AddNode(CVector(-40, 0, 40));
  m_model.AddElement(4, 5, SStmPropElement(0, 2, 0.0));
  m_model.AddElement(5, 1, SStmPropElement(0, 2, 0.0));
  ASSERT_TRUE(m_model.AddPropertyArea({1, 3, 2, 4, 5}));
  m_manager.UpdateStmRenderer();
  m_manager.AddGridPoints();
  // Node 4 is out of the shown display group, so neither pick may name it.
  SUbDisplayGroup& group = m_manager.GetCurDisplayGroup();
  group.m_bFilter = 1;
  for (int id : {1, 2, 3, 5}) group.m_setKeys.insert(m_manager.GetEntNode(id)->GetName());
  const CString hidden = m_manager.GetEntNode(4)->GetName();

  // A point exactly on the box's edge is hit or not as the driver's rounding falls; a quarter
  // pixel off the fitted view keeps every point of this scene off the edges.
  double u = 0.0, v = 0.0;
  m_wnd.GetViewCenter(u, v);
  m_wnd.SetViewCenter(u + 0.25 * m_wnd.GetViewScale(), v + 0.25 * m_wnd.GetViewScale());

  const CSize box(m_manager.GetSelectSize().cx * 2, m_manager.GetSelectSize().cy * 2);
  const auto keys = [](const CMapStringToPtr& map) {
    std::set<std::string> out;
    for (const auto& entry : map) out.insert(std::string(entry.first));
    return out;
  };
  std::set<int> kinds;
  int disagreements = 0;
  CMapStringToPtr pass;
  for (int y = 0; y < kHeight; y += 3) {
    for (int x = 0; x < kWidth; x += 3) {
      const CPoint pt(x, y);
      m_wnd.HoverPoint(pt, box);
      m_wnd.SelectionPoint(pt, box, -1, 0, &pass, CUbRenderWnd::kSelectHover);
      const std::set<std::string> hovered = keys(m_manager.GetHoverMap());
      if (hovered != keys(pass) && ++disagreements <= 3) {
        std::string cpu, gl;
        for (const std::string& key : hovered) cpu += key + ' ';
        for (const std::string& key : keys(pass)) gl += key + ' ';
        ADD_FAILURE() << "at " << x << "," << y << " hover has " << cpu << "and the pass " << gl;
      }
      EXPECT_EQ(hovered.count(std::string(hidden)), 0u);
      if (const CUbEntityObj* entity = m_wnd.GetHoverEntity()) kinds.insert(entity->GetTypeEntity());
    }
  }
  EXPECT_EQ(disagreements, 0);
  EXPECT_EQ(kinds, (std::set<int>{CStmEntityObject::kKindNode, CStmEntityObject::kKindElement,
                                  CStmEntityObject::kKindGridPoint, CStmEntityObject::kKindArea}));
}

TEST_F(CStmActionNormalTest, AClickMeansTheElementOverTheAreaAndTheOutline) {
  // A square of elements 1-4 that is both the outline and a property area, element 5 inside.
  for (const CVector& p : {CVector(-50, 0, -30), CVector(50, 0, -30), CVector(50, 0, 50), CVector(-50, 0, 50),
                           CVector(-20, 0, 0), CVector(20, 0, 0)})
    m_model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}})
    m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  ASSERT_TRUE(m_model.AddPropertyArea({1, 2, 3, 4}));
  ASSERT_TRUE(m_model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {1, 2, 3, 4}, -1));
  m_manager.UpdateStmRenderer();
  FitView();
  m_manager.EnableBoundarySelection(1);
  // The area's fill lets what lies in it show through.
  m_wnd.Render();
  m_wnd.OpenGLRenderStart();
  SRgbaImage picture = SRgbaImage::FromGl(kWidth, kHeight);
  m_wnd.OpenGLRenderEnd();
  for (size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;  // opaque, as the programs write it
  EXPECT_TRUE(CheckRender("area-over-elements", picture, 8, 40));

  Click(CVector(0, 0, 0));
  EXPECT_EQ(Selected(), (std::set<std::string>{"e5"}));
  Click(CVector(0, 0, -30));
  EXPECT_EQ(Selected(), (std::set<std::string>{"e1"}));
  Click(CVector(-50, 0, -30));
  EXPECT_EQ(Selected(), (std::set<std::string>{"n1"}));
  // Away from every element the area is what lies under the click.
  Click(CVector(0, 0, 30));
  EXPECT_EQ(Selected(), (std::set<std::string>{"a1"}));
  // With outlines not selectable the element on the outline is still picked.
  m_manager.EnableBoundarySelection(0);
  Click(CVector(50, 0, 10));
  EXPECT_EQ(Selected(), (std::set<std::string>{"e2"}));
}

}  // namespace
