// The paste tool.
#include "actions/CStmActionPaste.h"

#include "actions/CStmActionAddNode.h"
#include "actions/StmTransformPreview.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr WPARAM kModelChangedPaste = 111;
}  // namespace

void CStmActionPaste::PromptPosition() {
  // The main window may show it as a tooltip; the status line shows it as well.
  GetUiHost().SendToMainWindow(GetRegMsgStatusToolTip(), 0, 0);
  OnStatusMessage(StmText("Pick Position"));
}

void CStmActionPaste::InitAction(CUbRenderWnd* wnd) {
  CUbActionBase::InitAction(wnd);
  auto* manager = CStmActionAddNode::GetStmManager(wnd);
  if (manager && !manager->IsCopiedData()) {
    OnStatusMessage(StmText("Nothing to paste: copy a selection first (Ctrl+C)"));
    return;
  }
  PromptPosition();
}

int CStmActionPaste::OnSetCursor(CUbRenderWnd*) {
  // The window draws its own cross-hair.
  GetUiHost().SetCursor(IDC_NONE);
  return 1;
}

void CStmActionPaste::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  CStmUbManager* manager = CStmActionAddNode::GetStmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return;
  if (model->IsLock()) {
    OnStatusMessage(StmLockedModelText());
    return;
  }
  if (!manager->IsCopiedData()) {
    OnStatusMessage(StmText("Nothing to paste: copy a selection first (Ctrl+C)"));
    return;
  }
  CVector at;
  if (!CStmActionAddNode::PickPoint(*this, wnd, flags, pt, at)) {
    CStmActionAddNode::SayNoPoint(*this);
    return;
  }
  if (!manager->Paste(at)) return;  // the status line says why
  manager->InvalidateAllWnd();
  PromptPosition();
  GetUiHost().SendToMainWindow(kMsgModelChanged, kModelChangedPaste, 0);
}

void CStmActionPaste::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  OnMouseMoveSub(wnd, flags, pt);
  OnMouseMovePre(wnd, flags, pt);
  if (CUbManage* manage = GetManage(wnd)) manage->CheckOsnapSub(wnd, 3);
  CUbActionBase::OnMouseMove(wnd, flags, pt);
}

void CStmActionPaste::OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) {
  if (wnd) wnd->ResetOsnapCursor();
  CUbActionBase::OnMouseWheel(wnd, flags, delta, pt);
}

void CStmActionPaste::OnTimer(CUbRenderWnd* wnd) {
  GetUiHost().KillTimer(kHoverTimerId);
  HoverPick(wnd);
}

void CStmActionPaste::RenderPost(CUbRenderWnd* wnd, int) {
  CStmUbManager* manager = CStmActionAddNode::GetStmManager(wnd);
  if (!manager) return;
  // The cursor point follows the snap under the cursor, which is where a click drops the content.
  const CVector at = manager->GetCursorPoint();
  wnd->DrawAddCursor(at);
  const CStmModel* clipboard = manager->GetClipboardModel();
  if (!clipboard || !manager->IsCopiedData()) return;
  const CVector offset = at - manager->GetCoordPasteOrigin();
  SStmPreview preview;
  for (const auto& [id, element] : clipboard->GetElements())
    preview.m_arLine.emplace_back(element->GetCoordBegin() + offset, element->GetCoordEnd() + offset);
  for (const auto& [id, node] : clipboard->GetNodes()) preview.m_arNode.push_back(node->GetCoord() + offset);
  StmDrawPreview(wnd, preview);
}
