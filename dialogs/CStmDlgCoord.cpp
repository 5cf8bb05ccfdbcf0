// The coordinate dialog's controls, keys and the hand-over of a typed point.
#include "dialogs/CStmDlgCoord.h"

#include "host/framework/CUbActionBase.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {
// Tells the main window that the user typed a point.
constexpr UINT kMsgTypedPoint = WM_USER + 500;
}  // namespace

CStmDlgCoord::CStmDlgCoord(CStmUbRenderer* wnd)
    : CDialog(IDD, wnd ? wnd->GetWnd() : nullptr), m_pWnd(wnd), m_pManager(wnd ? wnd->GetUbManager() : nullptr) {
  AddControl(IDC_STATIC_COORD, EDlgControlKind::kStatic, CRect(7, 9, 62, 21));
  AddControl(IDC_EDIT_FIRST, EDlgControlKind::kEdit, CRect(64, 7, 124, 21));
  AddControl(IDC_EDIT_SECOND, EDlgControlKind::kEdit, CRect(128, 7, 188, 21));
  // Tab starts a coordinate wherever the keyboard is (PreTranslateMessage), never the next field.
  GetControl(IDC_EDIT_FIRST)->m_bTabStop = false;
  GetControl(IDC_EDIT_SECOND)->m_bTabStop = false;
  MoveWindow(CRect(CPoint(0, 0), GetTemplateSize()));
}

int CStmDlgCoord::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strCaption = StmText("Edit Coordination");
  if (SDlgControl* label = GetControl(IDC_STATIC_COORD)) label->m_strCaption = StmText("Coordination :");
  // The manager enables them while a tool that takes points shows the dialog.
  EnableControl(IDC_EDIT_FIRST, false);
  EnableControl(IDC_EDIT_SECOND, false);
  return 1;
}

void CStmDlgCoord::DoDataExchange(CDataExchange* pDX) {
  // Only what the model file can hold: what a tool makes of it must open again.
  DDX_Text(pDX, IDC_EDIT_FIRST, m_dFirst, -StmLimits::kMaxCoord, StmLimits::kMaxCoord);
  DDX_Text(pDX, IDC_EDIT_SECOND, m_dSecond, -StmLimits::kMaxCoord, StmLimits::kMaxCoord);
}

void CStmDlgCoord::StartTyping() {
  m_bTyped = 0;
  SetFocus();
  SetFocusId(IDC_EDIT_FIRST);
  SetSel(IDC_EDIT_FIRST, 0, -1);
}

int CStmDlgCoord::PreTranslateMessage(MSG* msg) {
  if (!msg) return 0;
  // Every character typed passes here, whether the host's edit or the dialog itself takes it.
  if (msg->message == WM_CHAR) m_bTyped = 1;
  if (msg->message == WM_CHAR && msg->wParam == ',') {
    // A comma ends the first coordinate. In the second field it has nothing to end; dropping it
    // quietly would run the digits on both sides of it into one number.
    if (GetFocusId() == IDC_EDIT_FIRST) {
      SetFocusId(IDC_EDIT_SECOND);
      SetSel(IDC_EDIT_SECOND, 0, -1);
    } else {
      GetUiHost().SetStatusText(
          StmText("The comma is refused: the second coordinate is being typed (Tab starts again at the first)"));
    }
    return 1;
  }
  if (msg->message != WM_KEYDOWN) return CDialog::PreTranslateMessage(msg);
  switch (static_cast<int>(msg->wParam)) {
    case VK_TAB:
      StartTyping();
      return 1;
    case VK_RETURN:
      Confirm();
      return 1;
    case VK_ESCAPE:
      Cancel();
      return 1;
    case VK_F8:
      if (m_pWnd) m_pWnd->OnKeyDown(VK_F8, 1, 1);
      return 1;
    default:
      return CDialog::PreTranslateMessage(msg);
  }
}

void CStmDlgCoord::OnControlChanged(int id) {
  if (id == IDC_EDIT_FIRST || id == IDC_EDIT_SECOND) m_bTyped = 1;
}

void CStmDlgCoord::OnMouseWheel(UINT flags, short delta, const CPoint& pt) {
  if (m_pWnd) m_pWnd->OnMouseWheel(flags, delta, pt);
}

void CStmDlgCoord::Confirm() {
  // A value that is not a number has been refused with a message; the tool gets nothing.
  if (!UpdateData(1) || !m_pWnd || !m_pManager) return;
  m_pWnd->GetWnd()->SetFocus();
  CPoint pt;
  if (m_pWnd->OpenGLRenderStart()) {
    pt = m_pWnd->ExtToClient(m_pManager->GetCoordPlane(CDPoint(m_dFirst, m_dSecond)));
    m_pWnd->OpenGLRenderEnd();
  }
  m_bPending = 1;
  // A click without the button flag is how typed input reaches the tool, which takes the value
  // during the click; a tool that took none leaves nothing behind for a later click.
  m_pWnd->OnLButtonDown(0, pt);
  m_bPending = 0;
  m_bTyped = 0;
  GetUiHost().SendToMainWindow(kMsgTypedPoint, static_cast<WPARAM>(-1), 0);
}

void CStmDlgCoord::Cancel() {
  if (m_pWnd) m_pWnd->CancelCommand();
}

int CStmDlgCoord::GetTypedCoord(CVector& out) {
  if (!IsWindow() || !IsWindowVisible() || m_bPending != 1) return 0;
  m_bPending = 0;
  UpdateData(0);
  // The manager's plane mapping also places a y-z pair on the y-z plane.
  if (m_pManager) out = m_pManager->GetCoordPlane(CDPoint(m_dFirst, m_dSecond));
  else out = CVector(m_dFirst, 0.0, m_dSecond);
  return 1;
}
