// Dialogs as plain state: each control is a record the host draws and tests drive, and data
// moves between members and controls through DDX routines, as the layer's dialogs expect.
#pragma once

#include <vector>

#include "host/platform/CRect.h"
#include "host/platform/CString.h"
#include "host/platform/CWnd.h"

enum class EDlgControlKind { kStatic, kEdit, kButton, kCheck, kCombo, kSlider, kRadio };

struct SDlgControl {
  int m_nId = 0;
  EDlgControlKind m_eKind = EDlgControlKind::kStatic;
  CString m_strCaption;
  CString m_strText;
  // Check boxes and radio buttons: 1 when checked.
  int m_nCheck = 0;
  // The chosen item of a drop list, or the position of a slider.
  int m_nSel = -1;
  int m_nMin = 0, m_nMax = 100;
  bool m_bEnabled = true;
  bool m_bVisible = true;
  CRect m_rect;
  // The entries of a combo box; m_nSel is the chosen one (-1: none), as it is a slider's position.
  std::vector<CString> m_arItems;
  // Tab moves the keyboard on to it (WS_TABSTOP). A dialog whose edits have none takes Tab
  // itself, as a key in PreTranslateMessage.
  bool m_bTabStop = true;
  // The selected characters of an edit, as EM_SETSEL gives them (end -1: to the end of the text).
  int m_nSelStart = 0, m_nSelEnd = 0;
  // Raised whenever the layer sets the text or the selection, so that a host that keeps its own
  // copy while the user types knows when to take the layer's instead.
  int m_nRevision = 0;
};

class CDialog;

class CDataExchange {
public:
  CDataExchange(CDialog* dlg, bool save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  bool m_bFailed = false;
};

class CDialog : public CWnd {
public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);

  UINT GetTemplateId() const { return m_nTemplateId; }
  CWnd* GetParent() const { return m_pParent; }
  const CString& GetCaption() const { return m_strCaption; }

  // Runs the dialog through the UI host; OK ends only once the data could be taken over.
  virtual int DoModal();
  virtual int OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result) { m_nResult = result; }
  int GetResult() const { return m_nResult; }

  // save non-zero: controls to members; zero: members to controls. 0 when a value was refused.
  int UpdateData(int save = 1);

  // Sees key (WM_KEYDOWN) and character (WM_CHAR) messages before the focused control does;
  // non-zero when the message was used up. The base confirms on Enter and cancels on Escape.
  virtual int PreTranslateMessage(MSG* msg);
  // What a host does with a key or a character typed into the dialog: the dialog sees it first,
  // then, unless it took it, an edit with the focus takes a printable character (replacing its
  // selection) or a backspace. Returns non-zero when the dialog itself took the message.
  int SendKey(UINT key);
  int SendChar(unsigned int ch);
  // A button, check box or radio button was clicked (BN_CLICKED), after its check state
  // changed; the base ends the dialog on IDOK (through OnOK) and IDCANCEL.
  virtual void OnClicked(int id);
  // The user changed an edit's text, a combo box's choice or a slider's position.
  virtual void OnControlChanged(int id);
  // The wheel turned over the dialog (WM_MOUSEWHEEL): delta in Windows notches of 120, the
  // pointer in client pixels of the view the dialog belongs to. The base ignores it.
  virtual void OnMouseWheel(UINT flags, short delta, const CPoint& pt);

  std::vector<SDlgControl>& GetControls() { return m_arControl; }
  SDlgControl* GetControl(int id);
  void SetDlgItemText(int id, const CString& text);
  CString GetDlgItemText(int id);
  // The control that has the focus within the dialog; setting it counts as a request that a
  // host showing the dialog moves its own focus there.
  int GetFocusId() const { return m_nFocusId; }
  void SetFocusId(int id) {
    m_nFocusId = id;
    ++m_nFocusRevision;
  }
  int GetFocusRevision() const { return m_nFocusRevision; }
  // Selects characters of an edit (EM_SETSEL): 0 and -1 select the whole text.
  void SetSel(int id, int start, int end);
  void EnableControl(int id, bool enable);

  // Where the dialog stands, in client pixels of the view it belongs to. A host that lays the
  // dialog out at another size keeps it against the same edges of the view: the nearer of left
  // and right, and the nearer of top and bottom.
  const CRect& GetWindowRect() const { return m_rectWindow; }
  void MoveWindow(const CRect& rect) { m_rectWindow = rect; }
  // The size the controls' rectangles ask for, with the usual margin, in pixels.
  CSize GetTemplateSize() const;

protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  void AddControl(const SDlgControl& control) { m_arControl.push_back(control); }
  // The template's usual line: a control with its id, kind, place and caption, the rest default.
  void AddControl(int id, EDlgControlKind kind, const CRect& rect, const CString& caption = CString()) {
    SDlgControl control;
    control.m_nId = id;
    control.m_eKind = kind;
    control.m_rect = rect;
    control.m_strCaption = caption;
    AddControl(control);
  }

  CString m_strCaption;

private:
  UINT m_nTemplateId;
  CWnd* m_pParent;
  std::vector<SDlgControl> m_arControl;
  int m_nFocusId = 0;
  int m_nFocusRevision = 0;
  CRect m_rectWindow;
  int m_nResult = 0;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
// A non-numeric entry is refused with a message and leaves the member unchanged.
void DDX_Text(CDataExchange* pDX, int id, double& value);
// The same for a value that must lie from min to max: anything else, the text not a number,
// "nan" and "inf" included, is refused with a message naming the text and the range.
void DDX_Text(CDataExchange* pDX, int id, double& value, double min, double max);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
// The radio buttons from firstId to the next control that is not one: value is the index of the
// checked one, -1 for none.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& value);
void DDX_Slider(CDataExchange* pDX, int id, int& value);
