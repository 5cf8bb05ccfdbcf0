// The scripted UI host that every interactive test stands on: queued answers, safe defaults
// for unscripted questions, a record of what was asked, and installation for its lifetime.
#include <gtest/gtest.h>

#include "host/platform/CScriptedUiHost.h"

namespace {

TEST(CScriptedUiHost, InstallsItselfForItsLifetime) {
  const CUiHost* before = &GetUiHost();
  {
    CScriptedUiHost host;
    EXPECT_EQ(&host, &GetUiHost());
    AfxMessageBox("inside");
    EXPECT_EQ(1u, host.m_boxes.size());
  }
  EXPECT_EQ(before, &GetUiHost());
  // The silent host again: nothing answers yes.
  EXPECT_EQ(IDNO, AfxMessageBox("after", MB_YESNO));
  EXPECT_EQ(IDOK, AfxMessageBox("after"));
}

TEST(CScriptedUiHost, AnswersFromTheQueueThenSafeDefaults) {
  CScriptedUiHost host;
  host.QueueAnswer(IDYES);
  host.QueueAnswer(IDCANCEL);
  EXPECT_EQ(IDYES, AfxMessageBox("first", MB_YESNO));
  EXPECT_EQ(IDCANCEL, AfxMessageBox("second", MB_YESNOCANCEL));
  EXPECT_EQ(IDNO, AfxMessageBox("third", MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(IDNO, GetUiHost().MessageBox("fourth", "Caption", MB_YESNOCANCEL | MB_ICONWARNING));
  EXPECT_EQ(IDOK, AfxMessageBox("fifth", MB_OK | MB_ICONSTOP));
  EXPECT_EQ(IDOK, AfxMessageBox("sixth", MB_OKCANCEL));

  ASSERT_EQ(6u, host.m_boxes.size());
  EXPECT_EQ(host.m_boxes[0].text, "first");
  EXPECT_EQ(MB_YESNO, host.m_boxes[0].type);
  EXPECT_EQ(IDYES, host.m_boxes[0].answer);
  EXPECT_EQ(host.m_boxes[3].caption, "Caption");
  EXPECT_EQ(IDNO, host.m_boxes[3].answer);
}

TEST(CScriptedUiHost, RecordsMessagesStatusAndKeys) {
  CScriptedUiHost host;
  host.SetSendResult(42);
  EXPECT_EQ(42, GetUiHost().SendToMainWindow(WM_USER + 500, 3, -4));
  ASSERT_EQ(1u, host.m_messages.size());
  EXPECT_EQ(WM_USER + 500, host.m_messages[0].message);
  EXPECT_EQ(3u, host.m_messages[0].wParam);
  EXPECT_EQ(-4, host.m_messages[0].lParam);

  GetUiHost().SetStatusText("Select a node");
  GetUiHost().SetStatusText("");
  ASSERT_EQ(2u, host.m_statusTexts.size());
  EXPECT_EQ(host.m_statusTexts[0], "Select a node");

  EXPECT_EQ(0, GetUiHost().GetKeyState(VK_SHIFT));
  host.SetKeyHeld(VK_SHIFT, true);
  EXPECT_LT(GetUiHost().GetKeyState(VK_SHIFT), 0);  // the high bit, as callers test it
  EXPECT_EQ(0x8000, GetUiHost().GetKeyState(VK_SHIFT) & 0x8000);
  EXPECT_EQ(0, GetUiHost().GetKeyState(VK_CONTROL));
  host.SetKeyHeld(VK_SHIFT, false);
  EXPECT_EQ(0, GetUiHost().GetKeyState(VK_SHIFT));
}

}  // namespace
