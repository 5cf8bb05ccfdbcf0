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
  // The items of a drop list.
  std::vector<CString> m_arItems;
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

  std::vector<SDlgControl>& GetControls() { return m_arControl; }
  SDlgControl* GetControl(int id);
  void SetDlgItemText(int id, const CString& text);
  CString GetDlgItemText(int id);
  int GetFocusId() const { return m_nFocusId; }
  void SetFocusId(int id) { m_nFocusId = id; }

protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  void AddControl(const SDlgControl& control) { m_arControl.push_back(control); }

  CString m_strCaption;

private:
  UINT m_nTemplateId;
  CWnd* m_pParent;
  std::vector<SDlgControl> m_arControl;
  int m_nFocusId = 0;
  int m_nResult = 0;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
// A non-numeric entry is refused with a message and leaves the member unchanged.
void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
// The radio buttons from firstId to the next control that is not one: value is the index of the
// checked one, -1 for none.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& value);
void DDX_Slider(CDataExchange* pDX, int id, int& value);
