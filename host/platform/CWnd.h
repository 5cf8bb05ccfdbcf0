// The little of a window that the layer touches: a handle, visibility, enabling and focus.
#pragma once

#include "host/platform/WinDefs.h"

class CWnd {
public:
  CWnd() = default;
  virtual ~CWnd() { if (s_pFocus == this) s_pFocus = nullptr; }
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The handle is the object's address: unique while the window lives, never dereferenced.
  HWND GetSafeHwnd() const { return const_cast<CWnd*>(this); }
  bool IsWindow() const { return m_bCreated; }
  void SetCreated(bool created) { m_bCreated = created; }
  void ShowWindow(int command) { m_bVisible = command != SW_HIDE; }
  bool IsWindowVisible() const { return m_bCreated && m_bVisible; }
  void EnableWindow(bool enable) { m_bEnabled = enable; }
  bool IsWindowEnabled() const { return m_bEnabled; }
  // One window of the process has the keyboard focus.
  void SetFocus() { s_pFocus = this; }
  static CWnd* GetFocus() { return s_pFocus; }

private:
  static inline CWnd* s_pFocus = nullptr;
  bool m_bCreated = true;
  bool m_bVisible = true;
  bool m_bEnabled = true;
};
