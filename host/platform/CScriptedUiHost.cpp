// Queue-driven answers and a record of every request, for tests that drive the layer.
#include "host/platform/CScriptedUiHost.h"

CScriptedUiHost::CScriptedUiHost() { SetUiHost(this); }

CScriptedUiHost::~CScriptedUiHost() {
  if (&GetUiHost() == this) SetUiHost(nullptr);
}

void CScriptedUiHost::SetKeyHeld(int virtualKey, bool held) {
  if (held)
    m_heldKeys.insert(virtualKey);
  else
    m_heldKeys.erase(virtualKey);
}

int CScriptedUiHost::MessageBox(const CString& text, const CString& caption, UINT type) {
  int answer;
  if (!m_answers.empty()) {
    answer = m_answers.front();
    m_answers.pop_front();
  } else {
    const UINT buttons = type & 0xF;
    answer = buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
  }
  m_boxes.push_back({text, caption, type, answer});
  return answer;
}

int CScriptedUiHost::RunModal(CDialog& dialog) {
  m_modalDialogs.push_back(&dialog);
  if (m_dialogs.empty()) return IDCANCEL;
  auto script = std::move(m_dialogs.front());
  m_dialogs.pop_front();
  return script(dialog);
}

LRESULT CScriptedUiHost::SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  m_messages.push_back({message, wParam, lParam});
  return m_sendResult;
}

void CScriptedUiHost::SetStatusText(const CString& text) { m_statusTexts.push_back(text); }

short CScriptedUiHost::GetKeyState(int virtualKey) {
  return m_heldKeys.count(virtualKey) ? static_cast<short>(0x8000) : 0;
}
