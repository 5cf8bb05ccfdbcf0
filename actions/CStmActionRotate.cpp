// The rotate tool.
#include "actions/CStmActionRotate.h"

#include "actions/CStmActionAddNode.h"
#include "dialogs/CStmDlgAngle.h"
#include "geometry/StmGeometry.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr long kAnySnap = 0xffff;
}  // namespace

CStmActionRotate::CStmActionRotate() { SetElementMode(0); }

CString CStmActionRotate::StartPrompt() const { return StmText("Rotate: pick the centre of rotation"); }

CVector CStmActionRotate::GetAxis(int plane) {
  switch (plane) {
    case STM_PLANE_XZ: return {0.0, -1.0, 0.0};
    case STM_PLANE_YZ: return {1.0, 0.0, 0.0};
    default: return {0.0, 0.0, 1.0};
  }
}

CDPoint CStmActionRotate::GetPlaneDirection(int plane, const CVector& v) {
  switch (plane) {
    case STM_PLANE_XZ: return {v.x, v.z};
    case STM_PLANE_YZ: return {v.y, v.z};
    default: return {v.x, v.y};
  }
}

CVector CStmActionRotate::PreviewPoint(const CVector& p, const CVector& start, const CVector& end) const {
  const CVector r = (end - start).Unit();
  return GetRotatedPoint(p, start, GetAxis(m_nPlane), GetPlaneDirection(m_nPlane, r));
}

void CStmActionRotate::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager) return;
  if (m_nStep == kPickStart) {
    if (!GetSnapPoint(wnd, manager->GetStartPoint(), pt, 0, flags, kAnySnap)) {
      CStmActionAddNode::SayNoPoint(*this);
      return;
    }
    manager->GetRotateCenter() = manager->GetStartPoint();
    if (const CStmModel* model = manager->GetStmModel()) m_nPlane = model->GetPlane();
    manager->ShowDlgCoord(0);
    manager->ShowDlgAngle(1);
    m_nStep = kPickEnd;
    OnStatusMessage(StmText("Rotate: Tab, type the angle in degrees and press Enter; or click the direction to turn to"));
    return;
  }
  // The angle dialog put the point of the typed angle in the manager before it clicked; a click
  // in the view gives the direction by where it falls.
  CStmDlgAngle* dlg = manager->GetDlgAngle();
  if (dlg && dlg->IsPending()) {
    dlg->ClearPending();
    manager->GetEndPoint() = manager->GetCursorPoint();
  } else if (!GetSnapPoint(wnd, manager->GetEndPoint(), pt, 1, flags, kAnySnap)) {
    manager->GetEndPoint() = wnd->ClientToExt(pt, 0.0);
  }
  manager->ShowDlgAngle(0);
  m_nStep = kPickStart;
  ClearVectorLine();
  OnLineCompleted(wnd);
}

void CStmActionRotate::OnLineCompleted(CUbRenderWnd* wnd) {
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager || !dynamic_cast<CStmUbRenderer*>(wnd) || !CheckEditable(*manager)) return;
  const CVector centre = manager->GetStartPoint();
  const CVector r = (manager->GetEndPoint() - centre).Unit();
  const CDPoint cs = GetPlaneDirection(m_nPlane, r);
  const CVector axis = GetAxis(m_nPlane);
  if (RefuseBeyondLimits(wnd, *manager, centre, manager->GetEndPoint())) return;
  int count = 0;
  if (!cs.IsZero() && !(cs.x == 1.0 && cs.y == 0.0)) {
    CUbHistoryBracket bracket(*manager, StmText("Rotate"));
    count = TransformSelection(
        *manager, GetSelection(*manager),
        [&](CUbEntityObj& entity) {
          entity.Rotate(centre, axis, cs);
          manager->AddHistory_ActionRotate(entity.GetName(), centre, axis, cs);
          return true;
        },
        false);
  }
  Finish(wnd, true);
  CString text;
  text.Format(StmTextN("Rotated %d object", "Rotated %d objects", count).c_str(), count);
  OnStatusMessage(text);
}
