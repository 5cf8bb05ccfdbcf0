// The editor's drawer of the layer's dialogs, run in an overlay context without a window: the
// user's clicks and typing reach the dialog's controls and its handlers, the layer's focus and
// text reach the edits, and keys wait for Deliver.
#include <gtest/gtest.h>
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <map>
#include <string>
#include <vector>

#include "CStmEditorDialogView.h"

namespace {

class CTestDialog : public CDialog {
public:
  enum { kFirst = 10, kSecond = 11, kCheck = 12, kRadioA = 13, kRadioB = 14, kCombo = 15, kLabel = 16 };

  CTestDialog() : CDialog(4999) {
    m_strCaption = "Test";
    const auto add = [this](int id, EDlgControlKind kind, const CRect& rect, const char* caption = "") {
      SDlgControl control;
      control.m_nId = id;
      control.m_eKind = kind;
      control.m_rect = rect;
      control.m_strCaption = caption;
      AddControl(control);
    };
    add(kLabel, EDlgControlKind::kStatic, CRect(7, 7, 40, 21), "Pair :");
    add(kFirst, EDlgControlKind::kEdit, CRect(44, 7, 100, 21));
    add(kSecond, EDlgControlKind::kEdit, CRect(104, 7, 160, 21));
    add(kCheck, EDlgControlKind::kCheck, CRect(7, 28, 80, 40), "Check");
    add(kRadioA, EDlgControlKind::kRadio, CRect(7, 46, 60, 58), "A");
    add(kRadioB, EDlgControlKind::kRadio, CRect(64, 46, 120, 58), "B");
    add(kCombo, EDlgControlKind::kCombo, CRect(7, 64, 100, 78));
    add(IDOK, EDlgControlKind::kButton, CRect(104, 64, 160, 78), "OK");
    GetControl(kRadioA)->m_nCheck = 1;
    GetControl(kCombo)->m_arItems = {"one", "two"};
    GetControl(kCombo)->m_nSel = 0;
    MoveWindow(CRect(CPoint(5, 100), GetTemplateSize()));
  }

  // Like the coordinate dialog: a comma in the first edit moves on to the second.
  int PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_CHAR && msg->wParam == ',') {
      if (GetFocusId() == kFirst) {
        SetFocusId(kSecond);
        SetSel(kSecond, 0, -1);
      }
      return 1;
    }
    if (msg->message == WM_KEYDOWN) keys.push_back(static_cast<int>(msg->wParam));
    return CDialog::PreTranslateMessage(msg);
  }
  void OnClicked(int id) override {
    clicked.push_back(id);
    CDialog::OnClicked(id);
  }
  void OnControlChanged(int id) override { changed.push_back(id); }
  void OnMouseWheel(UINT, short delta, const CPoint&) override { wheel += delta; }

  std::vector<int> clicked, changed, keys;
  int wheel = 0;
};

class CStmEditorDialogViewTest : public testing::Test {
protected:
  void SetUp() override {
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(400, 300);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    io.KeyMap[ImGuiKey_Enter] = GLFW_KEY_ENTER;
    io.KeyMap[ImGuiKey_Backspace] = GLFW_KEY_BACKSPACE;
  }
  void TearDown() override { ImGui::DestroyContext(); }

  // One overlay frame with the dialog, noting where each control was laid out.
  void Frame(bool modal = false) {
    ImGuiIO& io = ImGui::GetIO();
    io.DeltaTime = 1.0f / 60.0f;
    ImGui::NewFrame();
    const auto note = [this](const std::string& name, bool) {
      const ImVec2 lo = ImGui::GetItemRectMin(), hi = ImGui::GetItemRectMax();
      m_where[name] = ImVec2((lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f);
    };
    if (modal) m_view.DrawModal(m_dialog, note);
    else m_view.DrawModeless(m_dialog, note);
    ImGui::Render();
  }
  void Click(int id) {
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = m_where["dlg4999." + std::to_string(id)];
    Frame();
    io.MouseDown[0] = true;
    Frame();
    io.MouseDown[0] = false;
    Frame();
  }
  void Type(const char* text) {
    ImGui::GetIO().AddInputCharactersUTF8(text);
    Frame();
  }

  CTestDialog m_dialog;
  CStmEditorDialogView m_view;
  std::map<std::string, ImVec2> m_where;
};

TEST_F(CStmEditorDialogViewTest, ClicksSetTheControlsAndReachTheDialogOnlyWhenDelivered) {
  Frame();
  ASSERT_EQ(m_where.size(), 8u);
  // Laid out from the template, left to right as the rectangles say.
  EXPECT_LT(m_where["dlg4999.16"].x, m_where["dlg4999.10"].x);
  EXPECT_LT(m_where["dlg4999.10"].x, m_where["dlg4999.11"].x);
  Click(CTestDialog::kCheck);
  Click(CTestDialog::kRadioB);
  EXPECT_EQ(m_dialog.GetControl(CTestDialog::kCheck)->m_nCheck, 1);
  EXPECT_EQ(m_dialog.GetControl(CTestDialog::kRadioA)->m_nCheck, 0) << "one radio of a group is on";
  EXPECT_EQ(m_dialog.GetControl(CTestDialog::kRadioB)->m_nCheck, 1);
  EXPECT_TRUE(m_dialog.clicked.empty());
  m_view.Deliver();
  EXPECT_EQ(m_dialog.clicked, (std::vector<int>{CTestDialog::kCheck, CTestDialog::kRadioB}));
  // The wheel over the dialog is the dialog's to pass on.
  ImGui::GetIO().MouseWheel = 1.0f;
  Frame();
  ImGui::GetIO().MouseWheel = 0.0f;
  m_view.Deliver();
  EXPECT_EQ(m_dialog.wheel, 120);
  Click(IDOK);
  m_view.Deliver();
  EXPECT_EQ(m_dialog.GetResult(), IDOK);
}

TEST_F(CStmEditorDialogViewTest, TypingFollowsTheDialogsFocusAndKeysWaitForDeliver) {
  Frame();
  // The layer puts the keyboard into the first edit with its text selected.
  m_dialog.SetDlgItemText(CTestDialog::kFirst, "99");
  m_dialog.SetFocus();
  m_dialog.SetFocusId(CTestDialog::kFirst);
  m_dialog.SetSel(CTestDialog::kFirst, 0, -1);
  Frame();
  Frame();
  EXPECT_TRUE(m_view.HasKeyboard(&m_dialog));
  // Typed over the selection; the comma moves on, and what follows in the same frame goes there.
  Type("12,34");
  EXPECT_EQ(m_dialog.GetDlgItemText(CTestDialog::kFirst), "12");
  EXPECT_EQ(m_dialog.GetDlgItemText(CTestDialog::kSecond), "34");
  EXPECT_EQ(m_dialog.GetFocusId(), CTestDialog::kSecond);
  // A key typed in the very frame the focus moves is not lost between the two edits.
  Frame();
  Type("5");
  EXPECT_EQ(m_dialog.GetDlgItemText(CTestDialog::kSecond), "345");
  EXPECT_NE(m_view.Describe().find("11=345,keyboard=11"), std::string::npos) << m_view.Describe();
  // A text the layer sets while the user types replaces what the edit shows.
  m_dialog.SetDlgItemText(CTestDialog::kSecond, "7");
  Frame();
  Type("8");
  EXPECT_EQ(m_dialog.GetDlgItemText(CTestDialog::kSecond), "78");

  EXPECT_TRUE(m_view.OnKey(GLFW_KEY_F8));
  EXPECT_TRUE(m_dialog.keys.empty());
  m_view.Deliver();
  EXPECT_EQ(m_dialog.keys, std::vector<int>{VK_F8});
  EXPECT_FALSE(m_dialog.changed.empty());
  // The layer takes the keyboard away: keys belong to the view again.
  CWnd view;
  view.SetFocus();
  Frame();
  Frame();
  EXPECT_FALSE(m_view.HasKeyboard(&m_dialog));
  EXPECT_FALSE(m_view.OnKey(GLFW_KEY_ENTER));
}

TEST_F(CStmEditorDialogViewTest, AModalDialogHoldsTheKeyboardAndEnterConfirmsIt) {
  m_dialog.SetFocus();
  m_dialog.SetFocusId(CTestDialog::kFirst);
  Frame(true);
  Frame(true);
  EXPECT_TRUE(m_view.HasKeyboard(&m_dialog));
  ASSERT_TRUE(m_view.OnKey(GLFW_KEY_ENTER));
  m_view.Deliver();
  EXPECT_EQ(m_dialog.GetResult(), IDOK);
  m_view.Forget(&m_dialog);
  EXPECT_EQ(m_view.Describe(), "");
}

}  // namespace
