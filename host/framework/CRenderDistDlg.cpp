// The distance prompt's controls and data exchange.
#include "host/framework/CRenderDistDlg.h"

#include "host/platform/StmText.h"

CRenderDistDlg::CRenderDistDlg(CWnd* parent) : CDialog(IDD, parent) {
  m_strCaption = StmText("Distance");
  SDlgControl label;
  label.m_nId = IDC_DIST_LABEL;
  label.m_eKind = EDlgControlKind::kStatic;
  label.m_strCaption = StmText("Length :");
  label.m_rect = CRect(7, 7, 60, 21);
  AddControl(label);
  SDlgControl edit;
  edit.m_nId = IDC_DIST_EDIT;
  edit.m_eKind = EDlgControlKind::kEdit;
  edit.m_rect = CRect(64, 7, 160, 21);
  AddControl(edit);
  SDlgControl ok;
  ok.m_nId = IDOK;
  ok.m_eKind = EDlgControlKind::kButton;
  ok.m_strCaption = StmText("OK");
  ok.m_rect = CRect(40, 28, 95, 42);
  AddControl(ok);
  SDlgControl cancel;
  cancel.m_nId = IDCANCEL;
  cancel.m_eKind = EDlgControlKind::kButton;
  cancel.m_strCaption = StmText("Cancel");
  cancel.m_rect = CRect(105, 28, 160, 42);
  AddControl(cancel);
  SetFocusId(IDC_DIST_EDIT);
}

void CRenderDistDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_DIST_EDIT, m_strDist); }
