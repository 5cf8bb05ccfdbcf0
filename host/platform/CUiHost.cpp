// The default host and the global access to the one in force.
#include "host/platform/CUiHost.h"

namespace {
class CSilentUiHost final : public CUiHost {
public:
  int MessageBox(const CString&, const CString&, UINT type) override {
    return (type & 0xF) == MB_YESNO || (type & 0xF) == MB_YESNOCANCEL ? IDNO : IDOK;
  }
  int RunModal(CDialog&) override { return IDCANCEL; }
  LRESULT SendToMainWindow(UINT, WPARAM, LPARAM) override { return 0; }
  void SetStatusText(const CString&) override {}
  void SetCursor(int) override {}
  short GetKeyState(int) override { return 0; }
  CPoint GetCursorPos() override { return {}; }
  void SetTimer(UINT, UINT) override {}
  void KillTimer(UINT) override {}
};

CSilentUiHost g_silentHost;
CUiHost* g_host = &g_silentHost;
}  // namespace

CUiHost& GetUiHost() { return *g_host; }

void SetUiHost(CUiHost* host) { g_host = host ? host : &g_silentHost; }

int AfxMessageBox(const CString& text, UINT type) { return GetUiHost().MessageBox(text, CString(), type); }
