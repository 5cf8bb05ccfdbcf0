// Object snapping, point taking, grip drags and refused numbers in a dialog, off screen. (The
// distance prompt: the line tool's test.)
#include <gtest/gtest.h>

#include "TestSegmentEntity.h"
#include "host/framework/CUbActionNormal.h"
#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CDialog.h"
#include "host/platform/CScriptedUiHost.h"

namespace {

// A point entity, for the node snap.
class CTestPointEntity : public CUbEntityObj {
public:
  CTestPointEntity(CUbEttManage* m, const CVector& p) : CUbEntityObj(m), m_vPos(p) {}
  int GetOsnapNodePoint(CVector pt, CVector& out, int& first) override {
    if (first || (m_vPos - pt).Length() < (out - pt).Length()) {
      out = m_vPos;
      first = 0;
      return 1;
    }
    return 0;
  }

protected:
  int ExcuteCallList(CALL_LIST_TYPE, unsigned int, long) override {
    glPointSize(3.0f);
    glBegin(GL_POINTS);
    glVertex3d(m_vPos.x, m_vPos.y, m_vPos.z);
    glEnd();
    glPointSize(1.0f);
    return 1;
  }

private:
  CVector m_vPos;
};

class SnapTest : public testing::Test {
protected:
  void SetUp() override {
    std::string error;
    auto surface = CreateOffscreenSurface(200, 160, &error);
    ASSERT_TRUE(surface) << error;
    ASSERT_EQ(m_wnd.Create(&m_manage, std::move(surface)), 0);
    m_manage.AddAction(48, m_pNormal = new CUbActionNormal);
    m_wnd.SetAction(48, -1, 1);
  }

  // Model coordinates are pixel-sized around the window centre: x right, y up.
  CVector At(int px, int py) { return m_wnd.ClientToExt({px, py}, 0.0); }
  CTestSegmentEntity* AddSeg(CVector a, CVector b) {
    auto* e = new CTestSegmentEntity(&m_manage, a, b);
    m_manage.AddEtt(e, 0, 0);
    return e;
  }
  int Snap(CPoint pt, long mode, CVector& out) {
    return m_manage.GetOSnapPoint(&m_wnd, m_manage.GetRectCursor(pt), out, mode, 1, 1);
  }

  CScriptedUiHost m_host;
  CUbManage m_manage;
  CUbRenderWnd m_wnd;
  CUbActionNormal* m_pNormal = nullptr;
};

}  // namespace

TEST_F(SnapTest, EachModeFindsItsPoint) {
  AddSeg(At(40, 80), At(120, 80));
  AddSeg(At(100, 40), At(100, 120));
  m_manage.AddEtt(new CTestPointEntity(&m_manage, At(150, 30)), 0, 0);
  CVector out;
  EXPECT_EQ(Snap({43, 78}, CUbManage::kSnapEnd, out), CUbManage::kGlyphEnd);
  EXPECT_EQ(out, At(40, 80));
  EXPECT_EQ(Snap({78, 83}, CUbManage::kSnapMid, out), CUbManage::kGlyphMid);
  EXPECT_EQ(out, At(80, 80));
  EXPECT_EQ(Snap({103, 77}, CUbManage::kSnapCross, out), CUbManage::kGlyphCross);
  EXPECT_EQ(out, At(100, 80));
  EXPECT_EQ(Snap({60, 82}, CUbManage::kSnapNear, out), CUbManage::kGlyphNear);
  EXPECT_EQ(out, At(60, 80));
  EXPECT_EQ(Snap({152, 33}, CUbManage::kSnapNode, out), CUbManage::kGlyphNode);
  EXPECT_EQ(out, At(150, 30));
  EXPECT_EQ(m_wnd.GetOSnapType(), CUbManage::kGlyphNode) << "the marker shows the kind";

  // The perpendicular needs a start point, and its foot may lie outside the pick box.
  EXPECT_EQ(Snap({60, 80}, CUbManage::kSnapPer, out), 0);
  m_manage.GetStartPoint() = At(20, 20);
  m_pNormal->SetStep(1);
  EXPECT_EQ(Snap({60, 80}, CUbManage::kSnapPer, out), CUbManage::kGlyphPer);
  EXPECT_EQ(out, At(20, 80));

  // Nothing in the box: no point, and out is left alone.
  const CVector before = out;
  EXPECT_EQ(Snap({20, 140}, CUbManage::kSnapAll, out), 0);
  EXPECT_EQ(out, before);
  EXPECT_EQ(m_wnd.GetOSnapType(), -1);
}

TEST_F(SnapTest, TheNearestCandidateWins) {
  AddSeg(At(40, 80), At(70, 80));
  AddSeg(At(44, 84), At(44, 140));
  CVector out;
  // Two end points in the box: the nearer one.
  EXPECT_EQ(Snap({42, 83}, CUbManage::kSnapEnd, out), CUbManage::kGlyphEnd);
  EXPECT_EQ(out, At(44, 84));
  EXPECT_EQ(Snap({41, 81}, CUbManage::kSnapEnd, out), CUbManage::kGlyphEnd);
  EXPECT_EQ(out, At(40, 80));
  // Across modes too: the middle at 1 px beats the end at 5 px.
  AddSeg(At(140, 20), At(140, 30));
  EXPECT_EQ(Snap({141, 25}, CUbManage::kSnapEnd | CUbManage::kSnapMid, out), CUbManage::kGlyphMid);
  EXPECT_EQ(out, At(140, 25));
  EXPECT_EQ(Snap({141, 28}, CUbManage::kSnapEnd | CUbManage::kSnapMid, out), CUbManage::kGlyphEnd);
  EXPECT_EQ(out, At(140, 30));
  // A point along the segment is only taken where no end or middle is in the box.
  EXPECT_EQ(Snap({69, 81}, CUbManage::kSnapEnd | CUbManage::kSnapNear, out), CUbManage::kGlyphEnd);
  EXPECT_EQ(out, At(70, 80));
  EXPECT_EQ(Snap({60, 81}, CUbManage::kSnapEnd | CUbManage::kSnapNear, out), CUbManage::kGlyphNear);
  EXPECT_EQ(out, At(60, 80));
}

TEST_F(SnapTest, PointsComeFromTypedInputSnapsOrOrthogonalDrawing) {
  AddSeg(At(40, 80), At(120, 80));
  CVector out;
  // Typed input is a click without the button flag: the model point under it.
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {10, 10}, 0, 0, 0xffff), 1);
  EXPECT_EQ(out, At(10, 10));
  // A real click gives a point only through a snap.
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {10, 10}, 0, MK_LBUTTON, 0xffff), 0);
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {38, 79}, 0, MK_LBUTTON, 0xffff), 1);
  EXPECT_EQ(out, At(40, 80));
  // With orthogonal drawing the second point lies on the horizontal or vertical of the first.
  m_manage.GetStartPoint() = At(40, 80);
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {30, 20}, 1, MK_LBUTTON, 0xffff), 0);
  m_wnd.SetVHDraw(3);
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {30, 20}, 1, MK_LBUTTON, 0xffff), 1);
  EXPECT_EQ(out, CVector(At(40, 80).x, At(30, 20).y, 0));
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {150, 70}, 1, MK_LBUTTON, 0xffff), 1);
  EXPECT_EQ(out, CVector(At(150, 70).x, At(40, 80).y, 0));
  // A snap in the box still wins.
  EXPECT_EQ(m_pNormal->GetSnapPoint(&m_wnd, out, {122, 82}, 1, MK_LBUTTON, 0xffff), 1);
  EXPECT_EQ(out, At(120, 80));
}

TEST_F(SnapTest, AGripDragMovesTheEntityAndUndoesInOneStep) {
  auto* moving = AddSeg(At(40, 80), At(80, 80));
  auto* target = AddSeg(At(150, 30), At(150, 60));
  m_manage.SelectEtt(moving, 1);
  CSnapPointManage& grips = m_pNormal->GetSnapPointManage();
  grips.OnChangeSelectedMember(&m_wnd);
  ASSERT_EQ(grips.GetGrips().size(), 3u);  // two ends and the middle

  // Away from every grip the press is not a grip press.
  EXPECT_NE(grips.OnLButtonDown(&m_wnd, MK_LBUTTON, {20, 140}), 0);
  // Press on the middle grip, then drop where nothing snaps: still dragging, nothing moved.
  EXPECT_EQ(grips.OnLButtonDown(&m_wnd, MK_LBUTTON, {61, 81}), 0);
  EXPECT_TRUE(grips.IsDragging());
  ASSERT_EQ(grips.GetGripEntityNames().size(), 1u);
  EXPECT_EQ(grips.GetGripEntityNames()[0], moving->GetName());
  EXPECT_EQ(grips.OnLButtonDown(&m_wnd, MK_LBUTTON, {20, 140}), 0);
  EXPECT_TRUE(grips.IsDragging());
  EXPECT_EQ(moving->Begin(), At(40, 80));
  // Drop on the other segment's end: the whole segment moves by the grip's offset.
  EXPECT_EQ(grips.OnLButtonDown(&m_wnd, MK_LBUTTON, {151, 29}), 0);
  EXPECT_FALSE(grips.IsDragging());
  const CVector d = target->Begin() - At(60, 80);
  EXPECT_EQ(moving->Begin(), At(40, 80) + d);
  EXPECT_EQ(moving->End(), At(80, 80) + d);
  EXPECT_EQ(m_manage.GetUndoCount(), 1);

  // An end grip moves only that end; without history the drop is not recorded.
  m_manage.Undo();
  grips.OnChangeSelectedMember(&m_wnd);
  grips.EnableHistory(0);
  EXPECT_EQ(grips.OnLButtonDown(&m_wnd, MK_LBUTTON, {80, 80}), 0);
  EXPECT_EQ(grips.OnLButtonDown(&m_wnd, 0, {100, 100}), 0);  // typed point
  EXPECT_EQ(moving->Begin(), At(40, 80));
  EXPECT_EQ(moving->End(), At(100, 100));
  EXPECT_EQ(m_manage.GetUndoCount(), 0);
  EXPECT_EQ(m_manage.GetRedoCount(), 1) << "an unrecorded drop starts no step";
}

TEST(Dialog, RefusedNumbersKeepTheDialogOpen) {
  class CNumberDlg : public CDialog {
  public:
    CNumberDlg() : CDialog(1) {
      SDlgControl edit;
      edit.m_nId = 10;
      edit.m_eKind = EDlgControlKind::kEdit;
      AddControl(edit);
    }
    double m_dValue = 1.5;

  protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 10, m_dValue); }
  };
  CScriptedUiHost host;
  CNumberDlg dlg;
  host.QueueDialog([](CDialog& d) {
    d.SetDlgItemText(10, "abc");
    return IDOK;
  });
  host.QueueDialog([](CDialog& d) {
    d.SetDlgItemText(10, " 4.25 ");
    return IDOK;
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_dValue, 4.25);
  EXPECT_EQ(host.m_boxes.size(), 1u) << "the refusal was told once";
}
