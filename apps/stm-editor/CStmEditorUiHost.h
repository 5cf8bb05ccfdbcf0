// The editor's UI host: message boxes as modal windows of the overlay, the status line, the
// GLFW cursor and key state, timers and a record of what was sent to the main window.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "CStmEditorDialogView.h"
#include "host/platform/CUiHost.h"

struct GLFWcursor;
struct GLFWwindow;

class CStmEditorUiHost : public CUiHost {
public:
  struct SMessage { UINT message; WPARAM wParam; LPARAM lParam; };

  // runFrame draws one frame with the overlay and returns false once no further frame will
  // come (the frame budget is spent or the window is going away); a box open then takes its
  // safe answer. Installs itself as the host in force for its lifetime.
  CStmEditorUiHost(GLFWwindow* window, std::function<bool()> runFrame);
  ~CStmEditorUiHost() override;
  CStmEditorUiHost(const CStmEditorUiHost&) = delete;
  CStmEditorUiHost& operator=(const CStmEditorUiHost&) = delete;

  // Shows frames until the user answers with one of the box's buttons.
  int MessageBox(const CString& text, const CString& caption, UINT type) override;
  // Shows frames with the dialog in front until it ends; a dialog still open when no further
  // frame comes is cancelled.
  int RunModal(CDialog& dialog) override;
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SetStatusText(const CString& text) override { m_strStatus = text; }
  void SetCursor(int cursorId) override;
  short GetKeyState(int virtualKey) override;
  CPoint GetCursorPos() override { return m_ptCursor; }
  void SetTimer(UINT id, UINT milliseconds) override;
  void KillTimer(UINT id) override { m_timers.erase(id); }

  // Inside an overlay frame: lays out the open message box, if any.
  void DrawMessageBox();
  // Inside an overlay frame: lays out the innermost modal dialog, if any.
  void DrawModalDialog(const CStmEditorDialogView::NoteItemFn& note);
  bool IsDialogOpen() const { return !m_dialogs.empty(); }
  // A key for the modal dialog; false when none is up.
  bool OnDialogKey(int glfwKey) { return !m_dialogs.empty() && m_dialogView.OnKey(glfwKey); }
  // What the modal dialog shows, for the idle report.
  std::string DescribeDialog() const { return m_dialogView.Describe(); }
  bool IsMessageBoxOpen() const { return !m_boxes.empty(); }
  // The text of the innermost open box; empty when none is open.
  CString GetMessageBoxText() const { return m_boxes.empty() ? CString() : m_boxes.back().text; }
  // Answers the open box from the keyboard: Y, N and O for the buttons so named, Enter for
  // the first button, Esc as the window's close box would. False when the key answers nothing.
  bool AnswerByKey(int glfwKey);
  const CString& GetStatusText() const { return m_strStatus; }
  void SetCursorPosition(const CPoint& pt) { m_ptCursor = pt; }
  // The ids of the timers that are due now; each starts its next period.
  std::vector<UINT> TakeDueTimers();
  const std::vector<SMessage>& GetMessages() const { return m_messages; }

private:
  struct SBox { CString text; CString caption; UINT type; int answer; };
  struct STimer { double period; double due; };

  GLFWwindow* m_window;
  std::function<bool()> m_runFrame;
  // Nested boxes stack up; the innermost one is shown.
  std::vector<SBox> m_boxes;
  CString m_strStatus;
  CPoint m_ptCursor;
  std::map<int, GLFWcursor*> m_cursors;
  std::map<UINT, STimer> m_timers;
  std::vector<SMessage> m_messages;
  // Nested modal dialogs stack up like boxes; the innermost one is shown.
  std::vector<CDialog*> m_dialogs;
  CStmEditorDialogView m_dialogView;
};
