// The angle dialog.
#include "dialogs/CStmDlgAngle.h"

#include <cmath>

#include "geometry/StmGeometry.h"
#include "host/framework/CUbActionBase.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

CStmDlgAngle::CStmDlgAngle(CStmUbRenderer* wnd)
    : CDialog(IDD, wnd ? wnd->GetWnd() : nullptr), m_pRenderWnd(wnd), m_pManager(wnd ? wnd->GetUbManager() : nullptr) {
  AddControl(IDC_ANGLE_LABEL, EDlgControlKind::kStatic, CRect(7, 9, 62, 21));
  AddControl(IDC_ANGLE, EDlgControlKind::kEdit, CRect(64, 7, 124, 21));
  // Tab starts the angle afresh (PreTranslateMessage), as it does in the view.
  GetControl(IDC_ANGLE)->m_bTabStop = false;
  MoveWindow(CRect(CPoint(0, 0), GetTemplateSize()));
}

int CStmDlgAngle::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strCaption = StmText("Edit Rotation Angle");
  if (SDlgControl* label = GetControl(IDC_ANGLE_LABEL)) label->m_strCaption = StmText("Angle(º) :");
  // The manager enables it while the rotate tool waits for the angle.
  EnableControl(IDC_ANGLE, false);
  return 1;
}

int CStmDlgAngle::PreTranslateMessage(MSG* msg) {
  if (msg && msg->message == WM_KEYDOWN && static_cast<int>(msg->wParam) == VK_F8) {
    if (m_pRenderWnd) m_pRenderWnd->OnKeyDown(VK_F8, 1, 1);
    return 1;
  }
  if (msg && msg->message == WM_KEYDOWN && static_cast<int>(msg->wParam) == VK_TAB) {
    SetFocus();
    SetFocusId(IDC_ANGLE);
    SetSel(IDC_ANGLE, 0, -1);
    return 1;
  }
  return CDialog::PreTranslateMessage(msg);
}

void CStmDlgAngle::OnMouseWheel(UINT flags, short delta, const CPoint& pt) {
  if (m_pRenderWnd) m_pRenderWnd->OnMouseWheel(flags, delta, pt);
}

// A turn is given within one revolution either way; more only loses precision.
void CStmDlgAngle::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_ANGLE, m_dAngle, -360.0, 360.0); }

void CStmDlgAngle::SetAngle(double degrees) {
  m_dAngle = degrees;
  UpdateData(0);
}

void CStmDlgAngle::GetDirection(double degrees, double& c, double& s) {
  const double turns = degrees / 90.0;
  if (std::isfinite(turns) && turns == std::floor(turns)) {
    static const double kCos[] = {1.0, 0.0, -1.0, 0.0};
    static const double kSin[] = {0.0, 1.0, 0.0, -1.0};
    const int quarter = static_cast<int>(std::fmod(std::fmod(turns, 4.0) + 4.0, 4.0));
    c = kCos[quarter];
    s = kSin[quarter];
    return;
  }
  const CDPoint cs = GetCosSinFromDegree(degrees);
  c = cs.x;
  s = cs.y;
}

void CStmDlgAngle::OnOK() {
  if (!m_pRenderWnd || !m_pManager) return;
  // A value that is not a number has been refused with a message: nothing is handed over.
  if (!UpdateData(1)) return;
  m_pRenderWnd->GetWnd()->SetFocus();
  if (!m_pRenderWnd->OpenGLRenderStart()) return;
  double c = 0.0, s = 0.0;
  GetDirection(m_dAngle, c, s);
  const CVector direction = m_pRenderWnd->GetViewPos() == CUbRenderWnd::VIEW_POS_XY ? CVector(c, s, 0.0)
                            : m_pRenderWnd->GetViewPos() == CUbRenderWnd::VIEW_POS_YZ ? CVector(0.0, c, s)
                                                                                     : CVector(c, 0.0, s);
  CVector& cursor = m_pManager->GetCursorPoint();
  cursor = m_pManager->GetRotateCenter() + direction * kPointDistance;
  const CPoint pt = m_pRenderWnd->ExtToClient(cursor);
  m_pRenderWnd->OpenGLRenderEnd();
  m_nPending = 1;
  // Without the button flag the click counts as typed input.
  m_pRenderWnd->OnLButtonDown(0, pt);
}

void CStmDlgAngle::OnCancel() {
  if (m_pRenderWnd) m_pRenderWnd->CancelCommand();
}
