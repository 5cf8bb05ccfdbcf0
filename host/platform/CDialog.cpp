// Dialog state, data exchange and the modal run through the UI host.
#include "host/platform/CDialog.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nTemplateId(templateId), m_pParent(parent) {}

int CDialog::DoModal() {
  OnInitDialog();
  m_nResult = GetUiHost().RunModal(*this);
  // As with a real dialog, OK with a refused value keeps the dialog up.
  while (m_nResult == IDOK && !UpdateData(1)) m_nResult = GetUiHost().RunModal(*this);
  return m_nResult;
}

int CDialog::OnInitDialog() {
  UpdateData(0);
  return 1;
}

void CDialog::OnOK() {
  if (UpdateData(1)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

int CDialog::UpdateData(int save) {
  CDataExchange dx(this, save != 0);
  DoDataExchange(&dx);
  return dx.m_bFailed ? 0 : 1;
}

void CDialog::DoDataExchange(CDataExchange*) {}

SDlgControl* CDialog::GetControl(int id) {
  for (SDlgControl& control : m_arControl) {
    if (control.m_nId == id) return &control;
  }
  return nullptr;
}

void CDialog::SetDlgItemText(int id, const CString& text) {
  SDlgControl* control = GetControl(id);
  if (!control) return;
  control->m_strText = text;
  ++control->m_nRevision;
}

void CDialog::SetSel(int id, int start, int end) {
  SDlgControl* control = GetControl(id);
  if (!control) return;
  control->m_nSelStart = start;
  control->m_nSelEnd = end;
  ++control->m_nRevision;
}

void CDialog::EnableControl(int id, bool enable) {
  if (SDlgControl* control = GetControl(id)) control->m_bEnabled = enable;
}

CSize CDialog::GetTemplateSize() const {
  constexpr int kMargin = 7;
  int right = 0, bottom = 0;
  for (const SDlgControl& control : m_arControl) {
    right = std::max(right, control.m_rect.right);
    bottom = std::max(bottom, control.m_rect.bottom);
  }
  return CSize(right + kMargin, bottom + kMargin);
}

int CDialog::PreTranslateMessage(MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN) return 0;
  switch (static_cast<int>(msg->wParam)) {
    case VK_RETURN: OnOK(); return 1;
    case VK_ESCAPE: OnCancel(); return 1;
    default: return 0;
  }
}

void CDialog::OnClicked(int id) {
  if (id == IDOK) OnOK();
  if (id == IDCANCEL) OnCancel();
}

void CDialog::OnControlChanged(int) {}

void CDialog::OnMouseWheel(UINT, short, const CPoint&) {}

int CDialog::SendKey(UINT key) {
  MSG msg;
  msg.hwnd = GetSafeHwnd();
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  return PreTranslateMessage(&msg);
}

int CDialog::SendChar(unsigned int ch) {
  MSG msg;
  msg.hwnd = GetSafeHwnd();
  msg.message = WM_CHAR;
  msg.wParam = ch;
  if (PreTranslateMessage(&msg)) return 1;
  SDlgControl* edit = GetControl(m_nFocusId);
  if (!edit || edit->m_eKind != EDlgControlKind::kEdit || !edit->m_bEnabled) return 0;
  std::string text = edit->m_strText.str();
  const int length = static_cast<int>(text.size());
  int start = std::clamp(edit->m_nSelStart < 0 ? length : edit->m_nSelStart, 0, length);
  int end = std::clamp(edit->m_nSelEnd < 0 ? length : edit->m_nSelEnd, 0, length);
  if (end < start) std::swap(start, end);
  if (ch == static_cast<unsigned int>(VK_BACK)) {
    if (start == end && start > 0) --start;
    text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
  } else if (ch >= 0x20 && ch < 0x7F) {
    text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), 1, static_cast<char>(ch));
    ++start;
  } else {
    return 0;
  }
  edit->m_strText = text;
  edit->m_nSelStart = edit->m_nSelEnd = start;
  ++edit->m_nRevision;
  return 0;
}

CString CDialog::GetDlgItemText(int id) {
  const SDlgControl* control = GetControl(id);
  return control ? control->m_strText : CString();
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  if (pDX->m_bSaveAndValidate) {
    value = pDX->m_pDlgWnd->GetDlgItemText(id);
  } else {
    pDX->m_pDlgWnd->SetDlgItemText(id, value);
  }
}

namespace {
void RefuseNumber(CDataExchange* pDX, int id) {
  pDX->m_bFailed = true;
  pDX->m_pDlgWnd->SetFocusId(id);
  AfxMessageBox(StmText("Please enter a number."), MB_OK | MB_ICONWARNING);
}

// Shows the value with `format`, or reads the control back with `parse`, which answers false for
// text that is not a whole number of the right kind; the value is left alone then.
template <class T, class Parse>
void ExchangeNumber(CDataExchange* pDX, int id, T& value, const char* format, Parse parse) {
  // One refusal at a time: the first field refused keeps the focus and its message.
  if (pDX->m_bSaveAndValidate && pDX->m_bFailed) return;
  if (!pDX->m_bSaveAndValidate) {
    CString text;
    text.Format(format, value);
    pDX->m_pDlgWnd->SetDlgItemText(id, text);
    return;
  }
  CString text = pDX->m_pDlgWnd->GetDlgItemText(id);
  text.Trim();
  char* end = nullptr;
  errno = 0;
  T parsed{};
  if (text.IsEmpty() || !parse(text.c_str(), &end, parsed) || *end != '\0' || errno == ERANGE) {
    RefuseNumber(pDX, id);
    return;
  }
  value = parsed;
}
}  // namespace

void DDX_Text(CDataExchange* pDX, int id, double& value) {
  // "nan" and "inf" parse, but no field means them.
  ExchangeNumber(pDX, id, value, "%.10g", [](const char* text, char** end, double& out) {
    out = std::strtod(text, end);
    return std::isfinite(out);
  });
}

void DDX_Text(CDataExchange* pDX, int id, double& value, double min, double max) {
  if (!pDX->m_bSaveAndValidate) {
    DDX_Text(pDX, id, value);
    return;
  }
  if (pDX->m_bFailed) return;
  CString text = pDX->m_pDlgWnd->GetDlgItemText(id);
  text.Trim();
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  if (!text.IsEmpty() && *end == '\0' && errno != ERANGE && std::isfinite(parsed) && parsed >= min && parsed <= max) {
    value = parsed;
    return;
  }
  pDX->m_bFailed = true;
  pDX->m_pDlgWnd->SetFocusId(id);
  CString message;
  message.Format(StmText("\"%s\" is refused: enter a number from %g to %g.").c_str(), text.c_str(), min, max);
  AfxMessageBox(message, MB_OK | MB_ICONWARNING);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
  ExchangeNumber(pDX, id, value, "%d", [](const char* text, char** end, int& out) {
    const long parsed = std::strtol(text, end, 10);
    out = static_cast<int>(parsed);
    return parsed >= INT32_MIN && parsed <= INT32_MAX;
  });
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  SDlgControl* control = pDX->m_pDlgWnd->GetControl(id);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) value = control->m_nCheck;
  else control->m_nCheck = value;
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
  std::vector<SDlgControl>& controls = pDX->m_pDlgWnd->GetControls();
  size_t first = 0;
  while (first < controls.size() && controls[first].m_nId != firstId) ++first;
  if (pDX->m_bSaveAndValidate) value = -1;
  for (size_t i = first; i < controls.size() && controls[i].m_eKind == EDlgControlKind::kRadio; ++i) {
    const int index = static_cast<int>(i - first);
    if (pDX->m_bSaveAndValidate) {
      if (controls[i].m_nCheck) value = index;
    } else {
      controls[i].m_nCheck = index == value ? 1 : 0;
    }
  }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& value) {
  SDlgControl* control = pDX->m_pDlgWnd->GetControl(id);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) value = control->m_nSel;
  else control->m_nSel = value;
}

void DDX_Slider(CDataExchange* pDX, int id, int& value) {
  SDlgControl* control = pDX->m_pDlgWnd->GetControl(id);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) value = control->m_nSel;
  else control->m_nSel = std::clamp(value, control->m_nMin, control->m_nMax);
}
