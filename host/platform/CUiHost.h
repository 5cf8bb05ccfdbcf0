// What the layer asks of the window system, behind one interface: message boxes, modal
// dialogs, messages to the main window, the status line, the cursor, key state and timers.
// The editor implements it on screen; tests install CScriptedUiHost.
#pragma once

#include "host/platform/CRect.h"
#include "host/platform/CString.h"
#include "host/platform/WinDefs.h"

class CDialog;

class CUiHost {
public:
  virtual ~CUiHost() = default;

  // Returns IDOK, IDCANCEL, IDYES or IDNO.
  virtual int MessageBox(const CString& text, const CString& caption, UINT type) = 0;
  // Runs a modal dialog and returns its end code (IDOK, IDCANCEL, ...).
  virtual int RunModal(CDialog& dialog) = 0;
  virtual LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual void SetStatusText(const CString& text) = 0;
  // A system cursor id (IDC_ARROW, IDC_SIZEALL, ...) or IDC_NONE.
  virtual void SetCursor(int cursorId) = 0;
  // The high bit (a negative value) means the key is held, as on Windows.
  virtual short GetKeyState(int virtualKey) = 0;
  // The cursor position in the client coordinates of the active render window.
  virtual CPoint GetCursorPos() = 0;
  virtual void SetTimer(UINT id, UINT milliseconds) = 0;
  virtual void KillTimer(UINT id) = 0;
};

// The host in force; a silent one (every box answered IDOK, nothing shown) until one is set.
CUiHost& GetUiHost();
// Installs a host without taking ownership; null restores the silent one.
void SetUiHost(CUiHost* host);

int AfxMessageBox(const CString& text, UINT type = MB_OK);
