// Scene manager: the floating dialogs it owns and where they stand, and the guidelines that the
// user draws.
#include <vector>

#include "dialogs/CStmDlgCoord.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityObject.h"
#include "geometry/StmGeometry.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr int kDialogGap = 5;
}  // namespace

void CStmUbManager::ShowDlgCoord(int show) {
  if (!m_pDlgCoord) {
    if (!show) return;
    m_pDlgCoord = std::make_unique<CStmDlgCoord>(GetCurrentRenderer());
    m_pDlgCoord->OnInitDialog();
  }
  CStmDlgCoord* dlg = m_pDlgCoord.get();
  if (!show) {
    dlg->EnableControl(CStmDlgCoord::IDC_EDIT_FIRST, false);
    dlg->EnableControl(CStmDlgCoord::IDC_EDIT_SECOND, false);
    dlg->ShowWindow(SW_HIDE);
    return;
  }
  dlg->EnableControl(CStmDlgCoord::IDC_EDIT_FIRST, true);
  dlg->EnableControl(CStmDlgCoord::IDC_EDIT_SECOND, true);
  dlg->SetFocus();
  dlg->SetFocusId(CStmDlgCoord::IDC_EDIT_FIRST);
  dlg->SetSel(CStmDlgCoord::IDC_EDIT_FIRST, 0, -1);
  ShowDlgBottomLeft(dlg->GetRenderer(), dlg);
}

void CStmUbManager::ShowDlgBottomLeft(CUbRenderWnd* wnd, CDialog* dlg) {
  if (!dlg) return;
  dlg->ShowWindow(SW_SHOW);
  if (!wnd) return;
  const CSize size = dlg->GetWindowRect().Size();
  const int bottom = wnd->GetHeight() - kDialogGap;
  dlg->MoveWindow(CRect(kDialogGap, bottom - size.cy, kDialogGap + size.cx, bottom));
  wnd->Invalidate();
}

CStmEntityGuideline* CStmUbManager::AddGuidelines(const CVector& a, const CVector& b, int) {
  if (CompareVectorTolerance(a, b, "==", kStmPointTolerance)) return nullptr;
  if (CStmEntityGuideline* existing = GetEntGuideline(a, b)) return existing;
  auto* guideline = new CStmEntityGuideline(this, CStmEntityGuideline::kTypeDynamic, a, b);
  AddEtt(guideline, 0, 1);
  return guideline;
}

void CStmUbManager::DeleteDynamicGuidelines() {
  std::vector<CUbEntityObj*> dynamic;
  for (const auto& entry : GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindGuideline))) {
    auto* guideline = dynamic_cast<CStmEntityGuideline*>(entry.second);
    if (guideline && guideline->GetTypeGuideline() == CStmEntityGuideline::kTypeDynamic) dynamic.push_back(guideline);
  }
  for (CUbEntityObj* guideline : dynamic) DeleteEtt(guideline, 0, 1, 1);
  InvalidateAllWnd();
}

int CStmUbManager::GetCountDynamicGuidelines() const {
  int count = 0;
  for (const auto& entry : GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindGuideline))) {
    auto* guideline = dynamic_cast<CStmEntityGuideline*>(entry.second);
    if (guideline && guideline->GetTypeGuideline() == CStmEntityGuideline::kTypeDynamic) ++count;
  }
  return count;
}
