// The editor's UI host on GLFW and the overlay.
#include "CStmEditorUiHost.h"

#include <GLFW/glfw3.h>
#include <imgui.h>

#include "StmMessageBoxAnswer.h"

#include "host/framework/StmGlfwInput.h"
#include "host/platform/CDialog.h"
#include "host/platform/StmText.h"

namespace {

constexpr UINT kButtonsMask = 0x000F;

}  // namespace

CStmEditorUiHost::CStmEditorUiHost(GLFWwindow* window, std::function<bool()> runFrame)
    : m_window(window), m_runFrame(std::move(runFrame)) {
  SetUiHost(this);
}

CStmEditorUiHost::~CStmEditorUiHost() {
  SetUiHost(nullptr);
  glfwSetCursor(m_window, nullptr);
  for (const auto& entry : m_cursors) glfwDestroyCursor(entry.second);
}

int CStmEditorUiHost::MessageBox(const CString& text, const CString& caption, UINT type) {
  m_boxes.push_back({text, caption, type, 0});
  const size_t index = m_boxes.size() - 1;
  while (m_boxes[index].answer == 0) {
    if (!m_runFrame()) m_boxes[index].answer = StmSafeMessageBoxAnswer(type);
  }
  const int answer = m_boxes[index].answer;
  m_boxes.pop_back();
  return answer;
}

void CStmEditorUiHost::DrawMessageBox() {
  if (m_boxes.empty()) return;
  SBox& box = m_boxes.back();
  // The depth keeps a box nested in another from sharing its popup.
  const std::string id = std::string(box.caption.c_str()) + "##box" + std::to_string(m_boxes.size());
  if (!ImGui::IsPopupOpen(id.c_str())) ImGui::OpenPopup(id.c_str());
  const ImVec2 centre = ImGui::GetMainViewport()->GetCenter();
  ImGui::SetNextWindowPos(centre, ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  if (!ImGui::BeginPopupModal(id.c_str(), nullptr, ImGuiWindowFlags_AlwaysAutoResize)) return;
  ImGui::TextUnformatted(box.text.c_str());
  ImGui::Separator();
  std::vector<std::pair<CString, int>> buttons;
  switch (box.type & kButtonsMask) {
    case MB_OKCANCEL:
      buttons = {{StmText("OK"), IDOK}, {StmText("Cancel"), IDCANCEL}};
      break;
    case MB_YESNOCANCEL:
      buttons = {{StmText("Yes"), IDYES}, {StmText("No"), IDNO}, {StmText("Cancel"), IDCANCEL}};
      break;
    case MB_YESNO:
      buttons = {{StmText("Yes"), IDYES}, {StmText("No"), IDNO}};
      break;
    default:
      buttons = {{StmText("OK"), IDOK}};
      break;
  }
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (i > 0) ImGui::SameLine();
    if (ImGui::Button(buttons[i].first.c_str(), ImVec2(90.0f, 0.0f))) box.answer = buttons[i].second;
  }
  // The keys that answer, under the buttons they stand for.
  CString keys = StmText("Keys:");
  for (const auto& [label, answer] : buttons) {
    const char* key = answer == IDYES ? "Y" : answer == IDNO ? "N" : answer == IDOK ? "O" : "Esc";
    keys.AppendFormat(" %s %s,", key, label.c_str());
  }
  keys.AppendFormat(" Enter %s", buttons.front().first.c_str());
  ImGui::TextDisabled("%s", keys.c_str());
  if (box.answer != 0) ImGui::CloseCurrentPopup();
  ImGui::EndPopup();
}

bool CStmEditorUiHost::AnswerByKey(int glfwKey) {
  if (m_boxes.empty()) return false;
  SBox& box = m_boxes.back();
  const UINT buttons = box.type & kButtonsMask;
  const bool yesNo = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
  const bool ok = buttons == MB_OK || buttons == MB_OKCANCEL;
  switch (glfwKey) {
    case GLFW_KEY_Y:
      if (yesNo) box.answer = IDYES;
      break;
    case GLFW_KEY_N:
      if (yesNo) box.answer = IDNO;
      break;
    case GLFW_KEY_O:
      if (ok) box.answer = IDOK;
      break;
    case GLFW_KEY_ENTER:
    case GLFW_KEY_KP_ENTER:
      box.answer = yesNo ? IDYES : IDOK;
      break;
    case GLFW_KEY_ESCAPE:
      box.answer = StmSafeMessageBoxAnswer(box.type);
      break;
    default:
      break;
  }
  return box.answer != 0;
}

int CStmEditorUiHost::RunModal(CDialog& dialog) {
  dialog.EndDialog(0);
  dialog.SetFocus();
  // The keyboard goes to the dialog's focused control, its text selected to be typed over.
  dialog.SetFocusId(dialog.GetFocusId());
  dialog.SetSel(dialog.GetFocusId(), 0, -1);
  m_dialogs.push_back(&dialog);
  while (dialog.GetResult() == 0) {
    if (!m_runFrame()) dialog.EndDialog(IDCANCEL);
    // What the user did in the frame reaches the dialog outside it, where it may end it.
    if (m_dialogs.back() == &dialog) m_dialogView.Deliver();
  }
  m_dialogs.pop_back();
  m_dialogView.Forget(&dialog);
  return dialog.GetResult();
}

void CStmEditorUiHost::DrawModalDialog(const CStmEditorDialogView::NoteItemFn& note) {
  if (!m_dialogs.empty()) m_dialogView.DrawModal(*m_dialogs.back(), note);
}

LRESULT CStmEditorUiHost::SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  m_messages.push_back({message, wParam, lParam});
  return 0;
}

void CStmEditorUiHost::SetCursor(int cursorId) {
  int shape = 0;
  switch (cursorId) {
    case IDC_ARROW:
      shape = GLFW_ARROW_CURSOR;
      break;
    case IDC_CROSS:
      shape = GLFW_CROSSHAIR_CURSOR;
      break;
    case IDC_SIZEALL:
      shape = GLFW_HAND_CURSOR;
      break;
    default:
      glfwSetCursor(m_window, nullptr);
      return;
  }
  auto it = m_cursors.find(shape);
  if (it == m_cursors.end()) it = m_cursors.emplace(shape, glfwCreateStandardCursor(shape)).first;
  glfwSetCursor(m_window, it->second);
}

short CStmEditorUiHost::GetKeyState(int virtualKey) {
  for (int key : VirtualKeyToGlfwKeys(virtualKey)) {
    if (glfwGetKey(m_window, key) == GLFW_PRESS) return static_cast<short>(0x8000);
  }
  return 0;
}

void CStmEditorUiHost::SetTimer(UINT id, UINT milliseconds) {
  const double period = milliseconds / 1000.0;
  m_timers[id] = {period, glfwGetTime() + period};
}

std::vector<UINT> CStmEditorUiHost::TakeDueTimers() {
  std::vector<UINT> due;
  const double now = glfwGetTime();
  for (auto& [id, timer] : m_timers) {
    if (timer.due > now) continue;
    due.push_back(id);
    timer.due = now + timer.period;
  }
  return due;
}
