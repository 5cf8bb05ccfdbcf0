// The node, element and guideline tools driven off screen with mouse messages at the pixels of
// model points and with typed values: typed coordinates and lengths, orthogonal drawing, Esc
// mid-line, and the model checked against the scene after every step. (Elements drawn by clicks
// that share and split nodes: the Qt tool stories and the index and topology tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "actions/CStmActionAddLine.h"
#include "dialogs/CStmDlgCoord.h"
#include "entities/CStmEntityObject.h"
#include "host/framework/CRenderDistDlg.h"
#include "host/platform/StmText.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmDrawToolsTest : public StmSceneFixture {
protected:
  // An empty model on a grid of 10 in the x-z plane, 50 pixels to 10 units, the origin left of
  // the middle: grid points from x -10 to 30 and z -10 to 20 to snap to.
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_model.GetStmDataView()->SetShowOption(STM_SHOW_GRID_POINTS, 1);
    m_model.GetStmDataView()->SetShowOption(STM_SHOW_GUIDELINES, 1);
    m_model.GetStmDataView()->SetGridSpace(CVector(10, 10, 10));
    m_manager.UpdateStmRenderer();
    m_wnd.SetViewScale(0.2);
    m_wnd.SetViewCenter(15, 5);
    m_manager.AddGridPoints();
  }

  CPoint Pixel(const CVector& p) const { return m_wnd.ExtToClient(p); }
  void MoveTo(CPoint pt) { m_wnd.OnMouseMove(0, pt); }
  void ClickPixel(CPoint pt) {
    MoveTo(pt);
    m_wnd.OnLButtonDown(MK_LBUTTON, pt);
    m_wnd.OnLButtonUp(0, pt);
  }
  // A click near the model point, off by a few pixels as a hand is, so that only a snap makes
  // it exact.
  void Click(const CVector& p) {
    const CPoint pt = Pixel(p);
    ClickPixel(CPoint(pt.x + 2, pt.y - 1));
  }
  void Line(const CVector& a, const CVector& b) {
    Click(a);
    Click(b);
    ExpectConsistent();
  }
  void ExpectConsistent() { EXPECT_EQ(m_manager.CheckConsistency(), CString()); }
  CStmDlgCoord& Dialog() {
    CStmDlgCoord* dlg = m_manager.GetDlgCoord();
    EXPECT_NE(dlg, nullptr);
    return *dlg;
  }
  void Type(const std::string& text) {
    for (char c : text) Dialog().SendChar(static_cast<unsigned char>(c));
  }
  std::string Status() const { return m_host.m_statusTexts.empty() ? "" : m_host.m_statusTexts.back().c_str(); }

  // The enabled elements as pairs of end coordinates (x, z), each pair in ascending order.
  std::multiset<std::pair<std::pair<double, double>, std::pair<double, double>>> Elements() {
    std::multiset<std::pair<std::pair<double, double>, std::pair<double, double>>> out;
    for (const auto& [id, element] : m_model.GetElements()) {
      if (!element->IsEnable()) continue;
      const CStmObjNode* a = m_model.GetNode(element->GetIdNodeBegin());
      const CStmObjNode* b = m_model.GetNode(element->GetIdNodeEnd());
      EXPECT_TRUE(a && b && a->IsEnable() && b->IsEnable()) << "element " << id;
      if (!a || !b) continue;
      const auto pa = std::make_pair(a->GetCoord().x, a->GetCoord().z);
      const auto pb = std::make_pair(b->GetCoord().x, b->GetCoord().z);
      out.insert({std::min(pa, pb), std::max(pa, pb)});
    }
    return out;
  }
  std::vector<CVector> Nodes() {
    std::vector<CVector> out;
    for (const auto& [id, node] : m_model.GetNodes())
      if (node->IsEnable()) out.push_back(node->GetCoord());
    return out;
  }
};

TEST_F(CStmDrawToolsTest, TypedCoordinatesGiveExactPointsInTheViewsPlaneAndARefusedLengthNothing) {
  m_wnd.SetAction(52, -1, 1);
  Type("12.345,3.21");
  EXPECT_TRUE(Dialog().SendKey(VK_RETURN));
  // Tab in the view takes the keyboard back into the first field.
  m_wnd.OnKeyDown(VK_TAB, 1, 0);
  Type("20,7.25");
  Dialog().SendKey(VK_RETURN);
  ASSERT_EQ(Elements().size(), 1u);
  EXPECT_EQ(*Elements().begin(), std::make_pair(std::make_pair(12.345, 3.21), std::make_pair(20.0, 7.25)));
  ExpectConsistent();
  // Each Enter tells the main window; the value is taken once, so a click after it snaps.
  ASSERT_FALSE(m_host.m_messages.empty());
  EXPECT_EQ(m_host.m_messages.back().message, WM_USER + 500u);
  EXPECT_EQ(m_host.m_messages.back().wParam, static_cast<WPARAM>(-1));

  // With the length prompt on (a length typed there: the drawing session test), cancelled or
  // given a length that is no positive number: nothing drawn, no undo step.
  m_wnd.SetDistPrompt(1);
  const int steps = m_manager.GetUndoCount();
  m_host.QueueDialog([](CDialog&) { return IDCANCEL; });
  Line(At(0, 10), At(10, 10));
  m_host.QueueDialog([](CDialog& dlg) {
    dlg.SetDlgItemText(CRenderDistDlg::IDC_DIST_EDIT, "-3");
    return IDOK;
  });
  Line(At(0, 10), At(10, 10));
  EXPECT_NE(Status().find("-3"), std::string::npos) << Status();
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  EXPECT_EQ(Elements().size(), 1u);

  // Typed points lie in the view's plane.
  for (const auto& [pos, expected] : {std::pair{CUbRenderWnd::VIEW_POS_XZ, CVector(3, 0, 4)},
                                      std::pair{CUbRenderWnd::VIEW_POS_XY, CVector(3, 4, 0)},
                                      std::pair{CUbRenderWnd::VIEW_POS_YZ, CVector(0, 3, 4)}}) {
    m_wnd.SetViewPos(pos);
    m_wnd.SetAction(51, -1, 1);
    Type("3,4");
    Dialog().SendKey(VK_RETURN);
    const std::vector<CVector> nodes = Nodes();
    ASSERT_FALSE(nodes.empty());
    EXPECT_EQ(nodes.back(), expected) << pos;
    ExpectConsistent();
  }
}

TEST_F(CStmDrawToolsTest, OrthoSquaresTheEndPointUnlessASnapIsInTheBox) {
  m_wnd.SetAction(52, -1, 1);
  m_wnd.OnKeyDown(VK_F8, 1, 0);
  ASSERT_NE(m_wnd.GetVHDraw(), 0);
  // Far from any snap, mostly along x: the end stays on the start point's horizontal.
  const CPoint loose = Pixel(At(14.2, 3.1));
  Click(At(0, 0));
  ClickPixel(loose);
  const double x = m_wnd.ClientToExt(loose, 0.0).x;
  EXPECT_EQ(Elements().count({{0.0, 0.0}, {x, 0.0}}), 1u) << x;
  // Mostly along z: on the vertical.
  const CPoint steep = Pixel(At(23.1, 15.7));
  Click(At(20, 0));
  ClickPixel(steep);
  EXPECT_EQ(Elements().count({{20.0, 0.0}, {20.0, m_wnd.ClientToExt(steep, 0.0).z}}), 1u);
  // A grid point in the pick box wins over the square.
  Line(At(0, 10), At(10, 20));
  EXPECT_EQ(Elements().count({{0.0, 10.0}, {10.0, 20.0}}), 1u);
  ExpectConsistent();
}

TEST_F(CStmDrawToolsTest, EscMidLineAndRefusedLinesLeaveNothingAndNoStep) {
  m_wnd.SetAction(52, -1, 1);
  Line(At(0, 0), At(10, 0));
  const std::string before = SaveModelBytes(m_model, "esc-before");
  const int steps = m_manager.GetUndoCount();
  // The same point twice, and an element that is there already.
  Line(At(20, 0), At(20, 0));
  EXPECT_EQ(Status(), StmText("The end point is the start point: no element. Pick start point").c_str());
  Line(At(10, 0), At(0, 0));
  EXPECT_NE(Status().find("already"), std::string::npos) << Status();
  // A click where nothing snaps gives no point and says so.
  ClickPixel(Pixel(At(5.3, 4.4)));
  EXPECT_NE(Status().find("No point here"), std::string::npos);
  EXPECT_EQ(m_manager.GetAction(52)->GetStep(), CStmActionAddLine::kPickStart);

  Click(At(20, 10));
  MoveTo(Pixel(At(30, 10)));
  CVector from, to;
  EXPECT_EQ(m_manager.GetAction(52)->GetVectorCurLine(&m_wnd, from, to), 1) << "the rubber line shows";
  m_wnd.OnKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), 48);
  EXPECT_FALSE(Dialog().IsWindowVisible());
  EXPECT_EQ(m_manager.GetAction(52)->GetVectorCurLine(&m_wnd, from, to), 0);
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  EXPECT_EQ(FirstDifference(before, SaveModelBytes(m_model, "esc-after")), "");
  ExpectConsistent();
  // Back in the tool, the next line starts afresh.
  m_wnd.SetAction(52, -1, 1);
  Line(At(20, 10), At(30, 10));
  EXPECT_EQ(Elements().size(), 2u);
}

TEST_F(CStmDrawToolsTest, NodesSplitWhatTheyLandOnAndGuidelinesGiveSnapsOutsideTheModel) {
  m_wnd.SetAction(52, -1, 1);
  Line(At(0, 0), At(20, 0));
  m_wnd.SetAction(51, -1, 1);
  EXPECT_EQ(Status(), StmText("Pick Position").c_str());
  Click(At(10, 0));
  EXPECT_EQ(Elements().size(), 2u);
  ExpectConsistent();

  // A guideline is no edit of the model: no step; its middle is a point to place a node on.
  const int steps = m_manager.GetUndoCount();
  m_wnd.SetAction(53, -1, 1);
  Line(At(0, 10), At(30, 20));
  EXPECT_EQ(m_manager.GetCountDynamicGuidelines(), 1);
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  m_manager.SetOSnapMode(CUbManage::kSnapMid);
  m_wnd.SetAction(51, -1, 1);
  Click(At(15, 15));
  EXPECT_EQ(Nodes().back(), At(15, 15));
  ExpectConsistent();
  m_manager.DeleteDynamicGuidelines();
  EXPECT_EQ(m_manager.GetCountDynamicGuidelines(), 0);

  // A locked model holds results that an edit would make wrong: the tools say so and add nothing.
  m_manager.SetOSnapMode(CStmUbManager::kSnapModeDefault);
  m_model.SetLock(1);
  const int before = m_manager.GetUndoCount();
  Click(At(20, 10));
  EXPECT_NE(Status().find("locked"), std::string::npos) << Status();
  m_wnd.SetAction(52, -1, 1);
  Line(At(0, 10), At(10, 10));
  EXPECT_NE(Status().find("locked"), std::string::npos) << Status();
  EXPECT_EQ(m_manager.GetUndoCount(), before);
  EXPECT_EQ(Nodes().size(), 4u);
}

}  // namespace
