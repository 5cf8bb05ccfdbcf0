// The offset dialog.
#include "dialogs/CStmDlgOffset.h"

#include "host/framework/CUbActionBase.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

CStmDlgOffset::CStmDlgOffset(CStmUbRenderer* wnd)
    : CDialog(IDD, wnd ? wnd->GetWnd() : nullptr), m_pRenderWnd(wnd), m_pManager(wnd ? wnd->GetUbManager() : nullptr) {
  AddControl(IDC_DISTANCE_LABEL, EDlgControlKind::kStatic, CRect(7, 9, 72, 21));
  AddControl(IDC_DISTANCE, EDlgControlKind::kEdit, CRect(74, 7, 134, 21));
  AddControl(IDC_ITERATIONS_LABEL, EDlgControlKind::kStatic, CRect(7, 27, 72, 39));
  AddControl(IDC_ITERATIONS, EDlgControlKind::kEdit, CRect(74, 25, 134, 39));
  AddControl(IDC_HINT, EDlgControlKind::kStatic, CRect(7, 45, 134, 57));
  MoveWindow(CRect(CPoint(0, 0), GetTemplateSize()));
}

int CStmDlgOffset::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strCaption = StmText("Edit Offset");
  const auto label = [this](int id, const CString& text) {
    if (SDlgControl* control = GetControl(id)) control->m_strCaption = text;
  };
  label(IDC_DISTANCE_LABEL, StmText("Distance :"));
  label(IDC_ITERATIONS_LABEL, StmText("Iterations :"));
  label(IDC_HINT, StmText("Click view for Direction"));
  return 1;
}

void CStmDlgOffset::DoDataExchange(CDataExchange* pDX) {
  // The copies must stay where a model file can hold them; the tool checks the count and that
  // n copies stay within the limit too.
  DDX_Text(pDX, IDC_DISTANCE, m_dDistance, -StmLimits::kMaxCoord, StmLimits::kMaxCoord);
  DDX_Text(pDX, IDC_ITERATIONS, m_nIterations);
}

void CStmDlgOffset::OnOK() { UpdateData(1); }

void CStmDlgOffset::OnCancel() {
  if (m_pRenderWnd) m_pRenderWnd->CancelCommand();
}
