// The coordinate dialog driven by key and character messages as a user's typing sends them:
// Tab, the comma, Enter, Esc and F8, values refused, where the dialog stands and when it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgOffset.h"
#include "host/framework/CUbActionBase.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmDlgCoordTest : public StmSceneFixture {
protected:
  void SetUp() override {
    StmSceneFixture::SetUp();
    m_model.AddNode(CVector(0, 0, 0));
    m_model.AddNode(CVector(40, 0, 20));
    m_manager.UpdateStmRenderer();
    FitView();
    m_wnd.SetAction(52, -1, 1);
    ASSERT_NE(m_manager.GetDlgCoord(), nullptr);
  }

  CStmDlgCoord& Dialog() { return *m_manager.GetDlgCoord(); }
  void Type(const std::string& text) {
    for (char c : text) Dialog().SendChar(static_cast<unsigned char>(c));
  }
  CString First() { return Dialog().GetDlgItemText(CStmDlgCoord::IDC_EDIT_FIRST); }
  CString Second() { return Dialog().GetDlgItemText(CStmDlgCoord::IDC_EDIT_SECOND); }
};

TEST_F(CStmDlgCoordTest, ShownByTheToolsAtTheBottomLeftReadyToTypeOverAndFollowingTheCursor) {
  CStmDlgCoord& dlg = Dialog();
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_EQ(CWnd::GetFocus(), &dlg);
  EXPECT_EQ(dlg.GetFocusId(), CStmDlgCoord::IDC_EDIT_FIRST);
  EXPECT_TRUE(dlg.GetControl(CStmDlgCoord::IDC_EDIT_SECOND)->m_bEnabled);
  const CRect rect = dlg.GetWindowRect();
  EXPECT_EQ(rect.left, 5);
  EXPECT_EQ(rect.bottom, kHeight - 5);
  EXPECT_EQ(rect.Size(), dlg.GetTemplateSize());

  // The read-out follows the cursor, and the wheel over the dialog zooms the view.
  CPoint pt = m_wnd.ExtToClient(CVector(40, 0, 20));
  m_wnd.OnMouseMove(0, pt);
  EXPECT_EQ(First(), "40");
  EXPECT_EQ(Second(), "20");
  const SDlgControl* first = dlg.GetControl(CStmDlgCoord::IDC_EDIT_FIRST);
  EXPECT_EQ(first->m_nSelStart, 0);
  EXPECT_EQ(first->m_nSelEnd, -1);
  const double scale = m_wnd.GetViewScale();
  dlg.OnMouseWheel(0, 120, CPoint(kWidth / 2, kHeight / 2));
  EXPECT_LT(m_wnd.GetViewScale(), scale);

  // The selection tool hides it and the edits go grey; the guideline tool leaves it as it is.
  m_wnd.SetAction(48, -1, 1);
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_FALSE(dlg.GetControl(CStmDlgCoord::IDC_EDIT_FIRST)->m_bEnabled);
  m_wnd.SetAction(53, -1, 1);
  EXPECT_FALSE(dlg.IsWindowVisible());
  // A hidden dialog gives no point, whatever was confirmed.
  CVector out(1, 2, 3);
  EXPECT_EQ(dlg.GetTypedCoord(out), 0);
  EXPECT_EQ(out, CVector(1, 2, 3));
}

TEST_F(CStmDlgCoordTest, EnterHandsTheToolThePointEscCancelsItAndF8TogglesOrtho) {
  const int steps = m_manager.GetUndoCount();
  Type("0,0");
  EXPECT_EQ(Dialog().SendKey(VK_RETURN), 1);
  EXPECT_EQ(m_manager.GetAction(52)->GetStep(), 1);
  EXPECT_EQ(m_manager.GetStartPoint(), CVector(0, 0, 0));
  EXPECT_EQ(Dialog().IsPending(), 0);
  // Focus went back to the view.
  EXPECT_EQ(CWnd::GetFocus(), m_wnd.GetWnd());

  EXPECT_EQ(Dialog().SendKey(VK_F8), 1);
  EXPECT_NE(m_wnd.GetVHDraw(), 0);
  EXPECT_EQ(Dialog().SendKey(VK_F8), 1);
  EXPECT_EQ(m_wnd.GetVHDraw(), 0);

  // Esc in the middle of the line: back to selection, nothing drawn, no step.
  EXPECT_EQ(Dialog().SendKey(VK_ESCAPE), 1);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), 48);
  EXPECT_EQ(m_manager.GetAction(52)->GetStep(), 0);
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  EXPECT_EQ(m_model.GetCountElement(1), 0);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  // Other keys are the edit's.
  EXPECT_EQ(Dialog().SendKey(VK_LEFT), 0);
}

// What typing gives: the limits themselves are taken, and a value that is no number or "nan" is
// refused by name with the limit, the tool getting nothing (Tab, the comma in either field, a
// value past the limit and what was typed standing against the cursor: the Qt tool stories).
// '\r' is Enter; the rest are characters.
TEST_F(CStmDlgCoordTest, TypingGivesTheToolExactlyWhatWasTypedOrRefusesItByName) {
  struct SCase {
    const char* name;
    std::string keys;
    CVector point;     // taken by the tool, when nothing is refused
    const char* refused;  // what the refusal names, with the limit
  };
  const SCase cases[] = {
      {"the limits themselves", "-1e9,1e9\r", CVector(-1e9, 0, 1e9), nullptr},
      {"nan", "nan,1\r", CVector(), "\"nan\""},
      {"no number", "1O,4\r", CVector(), "\"1O\""},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_wnd.SetAction(52, -1, 1);
    m_host.m_boxes.clear();
    m_host.m_statusTexts.clear();
    m_manager.GetStartPoint() = CVector(7, 7, 7);
    for (char k : c.keys) {
      if (k == '\r') Dialog().SendKey(VK_RETURN);
      else Dialog().SendChar(static_cast<unsigned char>(k));
      EXPECT_EQ(First().Find(','), -1);
      EXPECT_EQ(Second().Find(','), -1);
    }
    // The comma that ends the first value is no refusal.
    EXPECT_TRUE(std::none_of(m_host.m_statusTexts.begin(), m_host.m_statusTexts.end(),
                             [](const CString& t) { return t.Find("comma") >= 0; }));
    EXPECT_EQ(Dialog().IsPending(), 0);
    if (!c.refused) {
      EXPECT_TRUE(m_host.m_boxes.empty());
      EXPECT_EQ(m_manager.GetAction(52)->GetStep(), 1);
      EXPECT_EQ(m_manager.GetStartPoint(), c.point);
      continue;
    }
    ASSERT_EQ(m_host.m_boxes.size(), 1u);
    const std::string text = m_host.m_boxes[0].text.str();
    EXPECT_NE(text.find(c.refused), std::string::npos) << text;
    EXPECT_NE(text.find("1e+09"), std::string::npos) << text;
    EXPECT_EQ(m_manager.GetAction(52)->GetStep(), 0);
    EXPECT_EQ(m_manager.GetStartPoint(), CVector(7, 7, 7));
  }
  EXPECT_EQ(m_model.GetCountNode(1), 2);

  // The angle and offset dialogs refuse the same way, naming the value and the limit.
  m_manager.ShowDlgAngle(1);
  m_manager.ShowDlgOffset(1);
  const struct {
    CDialog* dlg;
    int id;
    const char* text;
    const char* limit;
  } refusals[] = {{m_manager.GetDlgAngle(), CStmDlgAngle::IDC_ANGLE, "nan", "360"},
                  {m_manager.GetDlgAngle(), CStmDlgAngle::IDC_ANGLE, "1e400", "360"},
                  {m_manager.GetDlgOffset(), CStmDlgOffset::IDC_DISTANCE, "inf", "1e+09"},
                  {m_manager.GetDlgOffset(), CStmDlgOffset::IDC_DISTANCE, "5e9", "1e+09"}};
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.text);
    ASSERT_NE(r.dlg, nullptr);
    m_host.m_boxes.clear();
    r.dlg->SetDlgItemText(r.id, r.text);
    EXPECT_EQ(r.dlg->UpdateData(1), 0);
    ASSERT_EQ(m_host.m_boxes.size(), 1u);
    const std::string text = m_host.m_boxes[0].text.str();
    EXPECT_NE(text.find(r.text), std::string::npos) << text;
    EXPECT_NE(text.find(r.limit), std::string::npos) << text;
  }
}

}  // namespace
