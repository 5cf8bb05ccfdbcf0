// The mirror question.
#include "dialogs/CStmDlgMirror.h"

#include "actions/CStmActionMirror.h"
#include "host/platform/StmText.h"

CStmDlgMirror::CStmDlgMirror(CStmActionMirror* action) : CDialog(IDD), m_pAction(action) {
  auto add = [this](int id, const CRect& rect) {
    SDlgControl control;
    control.m_nId = id;
    control.m_eKind = EDlgControlKind::kRadio;
    control.m_rect = rect;
    AddControl(control);
  };
  add(IDC_MOVE, CRect(7, 7, 80, 21));
  add(IDC_COPY, CRect(7, 25, 80, 39));
  MoveWindow(CRect(CPoint(0, 0), GetTemplateSize()));
}

int CStmDlgMirror::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strCaption = StmText("Select Mirror Type");
  if (SDlgControl* move = GetControl(IDC_MOVE)) move->m_strCaption = StmText("Move");
  if (SDlgControl* copy = GetControl(IDC_COPY)) copy->m_strCaption = StmText("Copy");
  return 1;
}

void CStmDlgMirror::OnClicked(int id) {
  if (id == IDC_MOVE) {
    OnClickedMove();
  } else if (id == IDC_COPY) {
    OnClickedCopy();
  } else {
    CDialog::OnClicked(id);
  }
}

void CStmDlgMirror::OnClickedMove() {
  if (m_pAction) m_pAction->SetCopy(0);
  OnOK();
}

void CStmDlgMirror::OnClickedCopy() {
  if (m_pAction) m_pAction->SetCopy(1);
  OnOK();
}
