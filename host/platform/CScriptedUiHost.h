// A UI host for tests: answers come from queues, and everything the layer asked is recorded.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <vector>

#include "host/platform/CUiHost.h"

class CScriptedUiHost : public CUiHost {
public:
  struct SMessageBox { CString text; CString caption; UINT type; int answer; };
  struct SMessage { UINT message; WPARAM wParam; LPARAM lParam; };

  // Installs itself as the host in force for its lifetime.
  CScriptedUiHost();
  ~CScriptedUiHost() override;

  // Answers for the next message boxes; with the queue empty a box answers IDOK
  // (or IDNO when it asks a yes/no question), so an unscripted question never says yes.
  void QueueAnswer(int answer) { m_answers.push_back(answer); }
  // The next modal dialog runs this script (which may change the dialog) and ends with its result;
  // with the queue empty a dialog ends with IDCANCEL.
  void QueueDialog(std::function<int(CDialog&)> script) { m_dialogs.push_back(std::move(script)); }
  void SetKeyHeld(int virtualKey, bool held);
  void SetCursorPosition(const CPoint& p) { m_cursorPos = p; }
  // The send result for the next messages to the main window.
  void SetSendResult(LRESULT result) { m_sendResult = result; }

  int MessageBox(const CString& text, const CString& caption, UINT type) override;
  int RunModal(CDialog& dialog) override;
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SetStatusText(const CString& text) override;
  void SetCursor(int cursorId) override { m_cursors.push_back(cursorId); }
  short GetKeyState(int virtualKey) override;
  CPoint GetCursorPos() override { return m_cursorPos; }
  void SetTimer(UINT id, UINT) override { m_timers.insert(id); }
  void KillTimer(UINT id) override { m_timers.erase(id); }

  std::vector<SMessageBox> m_boxes;
  std::vector<CDialog*> m_modalDialogs;
  std::vector<SMessage> m_messages;
  std::vector<CString> m_statusTexts;
  std::vector<int> m_cursors;
  std::set<UINT> m_timers;

private:
  std::deque<int> m_answers;
  std::deque<std::function<int(CDialog&)>> m_dialogs;
  std::set<int> m_heldKeys;
  CPoint m_cursorPos;
  LRESULT m_sendResult = 0;
};
