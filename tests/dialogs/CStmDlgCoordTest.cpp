// The coordinate dialog driven by key and character messages as a user's typing sends them:
// the comma, Enter, Esc and F8, a value that is no number, where the dialog stands and when it
// shows.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/CStmDlgCoord.h"
#include "host/framework/CUbActionBase.h"
#include "host/platform/StmText.h"
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

TEST_F(CStmDlgCoordTest, ShownByTheToolsAtTheBottomLeftWithTheFirstFieldReadyToTypeOver) {
  CStmDlgCoord& dlg = Dialog();
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_EQ(dlg.GetCaption(), StmText("Edit Coordination"));
  EXPECT_EQ(dlg.GetControl(CStmDlgCoord::IDC_STATIC_COORD)->m_strCaption, StmText("Coordination :"));
  EXPECT_EQ(CWnd::GetFocus(), &dlg);
  EXPECT_EQ(dlg.GetFocusId(), CStmDlgCoord::IDC_EDIT_FIRST);
  EXPECT_TRUE(dlg.GetControl(CStmDlgCoord::IDC_EDIT_SECOND)->m_bEnabled);
  const CRect rect = dlg.GetWindowRect();
  EXPECT_EQ(rect.left, 5);
  EXPECT_EQ(rect.bottom, kHeight - 5);
  EXPECT_EQ(rect.Size(), dlg.GetTemplateSize());

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

TEST_F(CStmDlgCoordTest, CommaMovesToTheSecondFieldOnceAndIsNeverTyped) {
  CPoint pt = m_wnd.ExtToClient(CVector(40, 0, 20));
  m_wnd.OnMouseMove(0, pt);
  Type("12.5");
  EXPECT_EQ(First(), "12.5");
  EXPECT_EQ(Dialog().SendChar(','), 1);
  EXPECT_EQ(Dialog().GetFocusId(), CStmDlgCoord::IDC_EDIT_SECOND);
  // The second field's text was selected, so the first key replaced what the read-out showed.
  Type("3,");
  EXPECT_EQ(Second(), "3");
  EXPECT_EQ(Dialog().GetFocusId(), CStmDlgCoord::IDC_EDIT_SECOND);
  Type("\b7");
  EXPECT_EQ(Second(), "7");
  EXPECT_EQ(First(), "12.5");
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

TEST_F(CStmDlgCoordTest, AValueThatIsNoNumberIsRefusedWithAMessageAndNothingHappens) {
  Type("1O,4");
  Dialog().SendKey(VK_RETURN);
  ASSERT_EQ(m_host.m_boxes.size(), 1u);
  EXPECT_EQ(m_host.m_boxes[0].text, StmText("Please enter a number."));
  EXPECT_EQ(Dialog().IsPending(), 0);
  EXPECT_EQ(m_manager.GetAction(52)->GetStep(), 0);
  EXPECT_TRUE(m_host.m_messages.empty());
  EXPECT_EQ(Dialog().GetFocusId(), CStmDlgCoord::IDC_EDIT_FIRST) << "the field to correct has the focus";
}

TEST_F(CStmDlgCoordTest, TheReadOutFollowsTheCursorAndTheWheelOverTheDialogZooms) {
  CPoint pt = m_wnd.ExtToClient(CVector(40, 0, 20));
  m_wnd.OnMouseMove(0, pt);
  EXPECT_EQ(First(), "40");
  EXPECT_EQ(Second(), "20");
  const SDlgControl* first = Dialog().GetControl(CStmDlgCoord::IDC_EDIT_FIRST);
  EXPECT_EQ(first->m_nSelStart, 0);
  EXPECT_EQ(first->m_nSelEnd, -1);
  const double scale = m_wnd.GetViewScale();
  Dialog().OnMouseWheel(0, 120, CPoint(kWidth / 2, kHeight / 2));
  EXPECT_LT(m_wnd.GetViewScale(), scale);
}

}  // namespace
