// The node tool and the point-taking that the single-point tools share.
#include "actions/CStmActionAddNode.h"

#include "entities/CStmEntityNode.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

CStmUbManager* CStmActionAddNode::GetStmManager(CUbRenderWnd* wnd) {
  return wnd ? dynamic_cast<CStmUbManager*>(wnd->GetManage()) : nullptr;
}

void CStmActionAddNode::SayNoPoint(CUbActionBase& action) {
  action.OnStatusMessage(
      StmText("No point here: click a node, a grid point, an element or a guideline, or type a coordinate"));
}

int CStmActionAddNode::PickPoint(CUbActionBase& action, CUbRenderWnd* wnd, UINT flags, const CPoint& pt,
                                 CVector& out) {
  CStmUbManager* manager = GetStmManager(wnd);
  if (!manager) return 0;
  CVector point = wnd->ClientToExt(pt, 0.0);
  if (!action.OnKeboadInput(wnd, flags, pt, point) &&
      !manager->GetOSnapPoint(wnd, manager->GetRectCursor(pt), point, manager->GetOSnapMode(), 3, 1))
    return 0;
  out = point;
  return 1;
}

CStmEntityNode* CStmActionAddNode::CreateNodeAt(CStmUbManager& manager, const CVector& pos, bool* made) {
  CStmEntityNode* existing = manager.GetEntNode(pos, nullptr);
  if (made) *made = existing == nullptr;
  if (existing) return existing;
  CStmEntityNode* node = manager.AddNode(pos, 1, 1, 1, 1, nullptr);
  manager.InvalidateAllWnd();
  return node;
}

CString CStmActionAddNode::GetPrompt() { return StmText("Pick Position"); }

void CStmActionAddNode::Prompt() {
  // The main window may show it as a tooltip; the status line shows it as well.
  GetUiHost().SendToMainWindow(GetRegMsgStatusToolTip(), 0, 0);
  OnStatusMessage(GetPrompt());
}

void CStmActionAddNode::InitAction(CUbRenderWnd*) { Prompt(); }

void CStmActionAddNode::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  CStmUbManager* manager = GetStmManager(wnd);
  if (!manager) return;
  manager->SetTemplatePick(0);
  CStmModel* model = manager->GetStmModel();
  if (model && model->IsLock()) {
    OnStatusMessage(StmLockedModelText());
    return;
  }
  CVector point;
  if (!PickPoint(*this, wnd, flags, pt, point)) {
    SayNoPoint(*this);
    return;
  }
  bool made = false;
  CStmEntityNode* node = CreateNodeAt(*manager, point, &made);
  Prompt();
  if (!made && node) {
    CString text;
    text.Format(StmText("Node %d is already there; pick another position").c_str(), node->GetIdStm());
    OnStatusMessage(text);
  }
}

void CStmActionAddNode::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  OnMouseMoveSub(wnd, flags, pt);
  OnMouseMovePre(wnd, flags, pt);
  if (CUbManage* manage = GetManage(wnd)) manage->CheckOsnapSub(wnd, 3);
  CUbActionBase::OnMouseMove(wnd, flags, pt);
}

void CStmActionAddNode::OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) {
  if (!wnd) return;
  wnd->ResetOsnapCursor();
  CUbActionBase::OnMouseWheel(wnd, flags, delta, pt);
  // The click position follows the start point to where the zoom has put it on screen.
  if (CUbManage* manage = GetManage(wnd)) SetMouseClickPos(wnd->ExtToClient(manage->GetStartPoint()));
  wnd->ResetOsnapCursor();
}

void CStmActionAddNode::RenderPost(CUbRenderWnd* wnd, int) {
  if (!wnd) return;
  if (CUbManage* manage = GetManage(wnd)) wnd->DrawAddCursor(manage->GetCursorPoint());
}

int CStmActionAddNode::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_NONE);
  return 1;
}
