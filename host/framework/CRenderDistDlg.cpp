// The distance prompt's controls and data exchange.
#include "host/framework/CRenderDistDlg.h"

#include "host/platform/StmText.h"

CRenderDistDlg::CRenderDistDlg(CWnd* parent) : CDialog(IDD, parent) {
  m_strCaption = StmText("Distance");
  const auto add = [this](int id, EDlgControlKind kind, const CString& caption, const CRect& rect) {
    AddControl(id, kind, rect, caption);
  };
  add(IDC_DIST_LABEL, EDlgControlKind::kStatic, StmText("Length :"), CRect(7, 7, 60, 21));
  add(IDC_DIST_EDIT, EDlgControlKind::kEdit, CString(), CRect(64, 7, 160, 21));
  add(IDOK, EDlgControlKind::kButton, StmText("OK"), CRect(40, 28, 95, 42));
  add(IDCANCEL, EDlgControlKind::kButton, StmText("Cancel"), CRect(105, 28, 160, 42));
  SetFocusId(IDC_DIST_EDIT);
}

void CRenderDistDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_DIST_EDIT, m_strDist); }
