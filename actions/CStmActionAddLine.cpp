// The line tool's two clicks, the rubber line and the distance prompt.
#include "actions/CStmActionAddLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "actions/CStmActionAddNode.h"
#include "host/framework/CRenderDistDlg.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {
// The snap modes a line tool accepts: every one the manager has on.
constexpr long kAnySnap = 0xffff;
}  // namespace

CString CStmActionAddLine::GetPrompt() const {
  return m_nStep == kPickEnd ? StmText("Pick end point") : StmText("Pick start point");
}

void CStmActionAddLine::PromptStart() { OnStatusMessage(StmText("Pick start point")); }
void CStmActionAddLine::PromptEnd() { OnStatusMessage(StmText("Pick end point")); }

void CStmActionAddLine::InitAction(CUbRenderWnd* wnd) {
  CUbActionBase::InitAction(wnd);
  m_nStep = kPickStart;
  m_strLength.Empty();
  if (CUbManage* manage = GetManage(wnd)) manage->ResetSelection(1, 1);
  PromptStart();
}

void CStmActionAddLine::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  CStmUbManager* manager = CStmActionAddNode::GetStmManager(wnd);
  if (!manager) return;
  if (m_nStep == kPickStart) {
    if (!GetSnapPoint(wnd, manager->GetStartPoint(), pt, 0, flags, kAnySnap)) {
      CStmActionAddNode::SayNoPoint(*this);
      return;
    }
    m_nStep = kPickEnd;
    PromptEnd();
    return;
  }
  m_strLength.Empty();
  if (!GetSnapPoint(wnd, manager->GetEndPoint(), pt, 1, flags, kAnySnap)) {
    CStmActionAddNode::SayNoPoint(*this);
    return;
  }
  m_nStep = kPickStart;
  ClearVectorLine();
  wnd->Invalidate();
  if (m_nElementMode && wnd->IsDistPrompt() && !manager->IsNoDistPrompt()) {
    CRenderDistDlg dlg(wnd->GetWnd());
    dlg.m_strDist.Format("%f", (manager->GetEndPoint() - manager->GetStartPoint()).Length());
    if (dlg.DoModal() != IDOK) {
      OnStatusMessage(StmText("Length not given: nothing was drawn. Pick start point"));
      return;
    }
    m_strLength = dlg.m_strDist;
  }
  // A tool that said what the line did (or why it did nothing) keeps its word on the line.
  const int said = m_nSaid;
  OnLineCompleted(wnd);
  if (m_nSaid == said) PromptStart();
}

void CStmActionAddLine::OnStatusMessage(const CString& text) {
  ++m_nSaid;
  CUbActionBase::OnStatusMessage(text);
}

void CStmActionAddLine::OnLineCompleted(CUbRenderWnd*) {}

bool CStmActionAddLine::ApplyLengthText(const CVector& start, CVector& end) {
  CString text = m_strLength;
  text.Trim();
  if (text.IsEmpty()) return true;
  char* rest = nullptr;
  errno = 0;
  const double length = std::strtod(text.c_str(), &rest);
  // Within the coordinate limit, so that the end point stays where a model file can hold it.
  if (*rest != '\0' || errno == ERANGE || !(length > 0.0) || !(length <= StmLimits::kMaxCoord)) {
    CString message;
    message.Format(StmText("The length \"%s\" is not a positive number up to %g; nothing changed").c_str(),
                   text.c_str(), StmLimits::kMaxCoord);
    OnStatusMessage(message);
    return false;
  }
  const CVector target = start + (end - start).Unit() * length;
  if (!StmLimits::IsCoordInLimit(target.x) || !StmLimits::IsCoordInLimit(target.y) ||
      !StmLimits::IsCoordInLimit(target.z)) {
    CString message;
    message.Format(StmText("The length \"%s\" ends the line beyond the coordinate limit of %g; nothing changed").c_str(),
                   text.c_str(), StmLimits::kMaxCoord);
    OnStatusMessage(message);
    return false;
  }
  end = target;
  return true;
}

void CStmActionAddLine::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  OnMouseMoveSub(wnd, flags, pt);
  OnMouseMovePre(wnd, flags, pt);
  CUbManage* manage = GetManage(wnd);
  if (manage && wnd) {
    const int snapped = manage->CheckOsnapSub(wnd, 3);
    if (m_nStep == kPickEnd) {
      // The rubber line ends where a click here would put the end point.
      CVector end = manage->GetCursorPoint();
      if (!snapped && wnd->GetVHDraw()) GetSnapPoint(wnd, end, pt, 1, MK_LBUTTON, kAnySnap);
      RenderVectorLine(wnd, manage->GetStartPoint(), end);
    }
  }
  CUbActionBase::OnMouseMove(wnd, flags, pt);
}

void CStmActionAddLine::RenderPost(CUbRenderWnd* wnd, int) {
  CUbActionBase::RenderPost(wnd, 1);
  if (!wnd) return;
  if (CUbManage* manage = GetManage(wnd)) wnd->DrawAddCursor(manage->GetCursorPoint());
}

int CStmActionAddLine::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_NONE);
  return 1;
}
