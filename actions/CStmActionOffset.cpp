// The offset tool.
#include "actions/CStmActionOffset.h"

#include <cmath>

#include "dialogs/CStmDlgOffset.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

void CStmActionOffset::InitAction(CUbRenderWnd* wnd) {
  CUbActionBase::InitAction(wnd);
  OnStatusMessage(StmText("Type the distance and the number of copies, then click on the side for the copies"));
}

int CStmActionOffset::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_ARROW);
  return 1;
}

void CStmActionOffset::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  auto* renderer = dynamic_cast<CStmUbRenderer*>(wnd);
  CStmDlgOffset* dlg = manager ? manager->GetDlgOffset() : nullptr;
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!renderer || !dlg || !model) return;
  if (model->IsLock()) {
    OnStatusMessage(StmLockedModelText());
    return;
  }
  std::vector<CStmObjElement*> elements;
  manager->GetSelectedElementObjects(elements);
  if (elements.empty()) {
    OnStatusMessage(StmText("Select the element to offset first; Esc returns to selection"));
    return;
  }
  // A refused entry has been named in a message box; the click then makes nothing.
  if (!dlg->UpdateData(1)) return;
  const double distance = dlg->GetDistance();
  const int count = dlg->GetIterations();
  if (!(distance > 0.0) || !std::isfinite(distance)) {
    AfxMessageBox(StmText("The offset distance must be a number greater than zero."), MB_OK | MB_ICONWARNING);
    return;
  }
  if (count < 1 || count > kMaxIterations) {
    CString text;
    text.Format(StmText("The number of copies must be between 1 and %d.").c_str(), kMaxIterations);
    AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    return;
  }
  const CStmObjElement& source = *elements.front();
  const CDPoint click = manager->GetPointPlane(renderer->ClientToExt(pt, 0.0));
  // OffsetSegment2D moves to the right of begin->end; the copies go where the user clicked.
  const bool left = IsLeftOfLine2D(click, manager->GetPointPlane(source.GetCoordBegin()),
                                   manager->GetPointPlane(source.GetCoordEnd())) != 0;
  // The last copy lies farthest out; the dialog stays for another distance or count.
  CDPoint a = manager->GetPointPlane(source.GetCoordBegin());
  CDPoint b = manager->GetPointPlane(source.GetCoordEnd());
  OffsetSegment2D(a, b, (left ? -distance : distance) * count);
  if (manager->RefuseBeyondLimits({manager->GetCoordPlane(a), manager->GetCoordPlane(b)})) return;
  MakeCopies(*manager, source, left ? -distance : distance, count);
  renderer->InvalidateAllWnd();
  renderer->ClearSelection();
  CancelCmd(wnd);
  renderer->SetAction(CStmUbManager::kActionNormal, -1, 1);
}

void CStmActionOffset::MakeCopies(CStmUbManager& manager, const CStmObjElement& source, double distance, int count) {
  CStmModel* model = manager.GetStmModel();
  const CStmObjNode* sourceBegin = model->GetNode(source.GetIdNodeBegin());
  const CStmObjNode* sourceEnd = model->GetNode(source.GetIdNodeEnd());
  CDPoint a = manager.GetPointPlane(source.GetCoordBegin());
  CDPoint b = manager.GetPointPlane(source.GetCoordEnd());
  CUbHistoryBracket bracket(manager, StmText("Offset"));
  for (int i = 0; i < count; ++i) {
    // Each copy from the one before, so that the copies lie at d, 2d, ..., n d.
    OffsetSegment2D(a, b, distance);
    const CVector p = StmCleanPoint(manager.GetCoordPlane(a));
    const CVector q = StmCleanPoint(manager.GetCoordPlane(b));
    if (CompareVectorTolerance(p, q, "==", kStmPointTolerance) || manager.GetEntElement(p, q, nullptr)) continue;
    // Only the nodes this copy brings take the source's node data; nodes already there keep theirs.
    const bool newBegin = manager.GetEntNode(p, nullptr) == nullptr;
    const bool newEnd = manager.GetEntNode(q, nullptr) == nullptr;
    CStmEntityElement* copy = manager.AddElement(p, q, 1, 1, 1, nullptr);
    if (!copy) continue;
    if (CStmObjElement* record = model->GetElement(copy->GetIdStm())) *record = source;
    const auto takeNode = [&](const CVector& at, const CStmObjNode* from) {
      CStmEntityNode* node = manager.GetEntNode(at, nullptr);
      CStmObjNode* record = node ? model->GetNode(node->GetIdStm()) : nullptr;
      if (record && from) *record = *from;
    };
    if (newBegin) takeNode(p, sourceBegin);
    if (newEnd) takeNode(q, sourceEnd);
  }
}
