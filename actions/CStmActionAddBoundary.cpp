// The outline tools and the checks that keep outlines simple, closed and apart.
#include "actions/CStmActionAddBoundary.h"

#include <cmath>
#include <set>

#include "geometry/CDPoint.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {

constexpr double kOnOutline = 0.001;
// Ends of the candidate's elements closer than this are one vertex.
constexpr double kSameVertex = 0.01;

enum EWhere { kOutside = 0, kInside = 1, kOnEdge = -1 };

// Where p lies against the closed polygon, in the (x, z) of its points. A point on an edge is
// neither inside nor outside, so that an outline touching another is refused either way.
EWhere LocatePoint(const CVector& p, const std::vector<CVector>& polygon) {
  const size_t n = polygon.size();
  if (n < 3) return kOutside;
  bool inside = false;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const CVector& a = polygon[i];
    const CVector& b = polygon[j];
    const double dx = b.x - a.x, dz = b.z - a.z;
    const double length = std::hypot(dx, dz);
    if (length > 0.0) {
      const double t = ((p.x - a.x) * dx + (p.z - a.z) * dz) / (length * length);
      const double cross = std::fabs((p.x - a.x) * dz - (p.z - a.z) * dx) / length;
      if (t >= -kOnOutline / length && t <= 1.0 + kOnOutline / length && cross <= kOnOutline) return kOnEdge;
    } else if (std::hypot(p.x - a.x, p.z - a.z) <= kOnOutline) {
      return kOnEdge;
    }
    if ((a.z > p.z) != (b.z > p.z) && p.x < (b.x - a.x) * (p.z - a.z) / (b.z - a.z) + a.x) inside = !inside;
  }
  return inside ? kInside : kOutside;
}

// The polygon in plane coordinates, carried as (u, 0, v) so that the tests read x and z.
std::vector<CVector> ToPlan(const CStmUbManager& manager, const std::vector<CVector>& points) {
  std::vector<CVector> out;
  for (const CVector& p : points) {
    const CDPoint q = manager.GetPointPlane(p);
    out.emplace_back(q.x, 0.0, q.y);
  }
  return out;
}

}  // namespace

CStmUbManager* CStmActionAddBoundary::GetStmManager(CUbRenderWnd* wnd) {
  return wnd ? dynamic_cast<CStmUbManager*>(wnd->GetManage()) : nullptr;
}

void CStmActionAddBoundary::InitAction(CUbRenderWnd* wnd) {
  CUbActionNormal::InitAction(wnd);
  CStmUbManager* manager = GetStmManager(wnd);
  if (!manager) return;
  std::vector<CStmObjElement*> elements;
  manager->GetSelectedElementObjects(elements);
  // A chain selected beforehand is used at once.
  if (elements.size() >= 3) {
    RunAcition(wnd);
    return;
  }
  manager->ResetSelection(1, 1);
  OnStatusMessage(StmText("Select Element"));
}

void CStmActionAddBoundary::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionNormal::OnLButtonDown(wnd, flags, pt);
  SetActionNone(wnd, pt);
}

void CStmActionAddBoundary::OnLButtonUp(CUbRenderWnd* wnd, UINT, const CPoint& pt) {
  CStmUbManager* manager = GetStmManager(wnd);
  if (!manager || m_nStep != kBand) return;
  m_nStep = kIdle;
  const CPoint press = wnd->GetRubberBandPress();
  wnd->SetRubberBand(press, pt, false);
  // A chain is gathered one pick at a time, so every pick adds to the selection; a click on
  // something already picked takes it back out.
  const CSize box(manager->GetSelectSize().cx * 2, manager->GetSelectSize().cy * 2);
  const int width = std::abs(pt.x - press.x), height = std::abs(pt.y - press.y);
  CMapStringToPtr& selection = manager->GetSelectMap();
  constexpr long kMode = 2;
  if (width < 3 || height < 3) {
    CMapStringToPtr under;
    wnd->SelectionPoint(pt, box, 1, 0, &under, CUbRenderWnd::kSelectQuery);
    void* value = nullptr;
    for (const auto& entry : under) {
      if (selection.Lookup(entry.first, value)) {
        manager->SelectEtt(static_cast<CUbEntityObj*>(entry.second), 0);
        manager->InvalidateAllWnd();
        return;
      }
    }
    wnd->SelectionPoint(pt, box, 1, MK_CONTROL, &selection, kMode);
  } else if (pt.x < press.x) {
    const CPoint centre((press.x + pt.x) / 2, (press.y + pt.y) / 2);
    wnd->SelectionPoint(centre, CSize(width, height), -1, MK_CONTROL, &selection, kMode);
  } else {
    wnd->SelectionRect(press, pt, 1, MK_CONTROL, &selection, kMode);
  }
}

void CStmActionAddBoundary::OnRButtonUp(CUbRenderWnd* wnd, UINT, const CPoint&) { RunAcition(wnd); }

void CStmActionAddBoundary::OnTimer(CUbRenderWnd* wnd) {
  // While a band is drawn the hover highlight would only flicker under it.
  if (m_nStep == kBand) {
    GetUiHost().KillTimer(kHoverTimerId);
    return;
  }
  CUbActionNormal::OnTimer(wnd);
}

int CStmActionAddBoundary::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_ARROW);
  return 1;
}

int CStmActionAddBoundary::RunAcition(CUbRenderWnd* wnd) { return MakeboundaryBySelectedElement(wnd); }

int CStmActionAddBoundary::CheckSelectedLineClosed(CUbRenderWnd* wnd) {
  CStmUbManager* manager = GetStmManager(wnd);
  if (!manager) return 1;
  std::vector<CStmObjElement*> elements;
  manager->GetSelectedElementObjects(elements);
  if (elements.size() < 3) return 0;
  std::vector<CVector> points;
  const int closed = manager->CheckLineClosed(elements, points);
  if (!closed) manager->SetRenderMarkPos(points, STM_MARK_POINT, 3.0);
  return closed;
}

int CStmActionAddBoundary::CheckCrossOtherBoundary(CUbRenderWnd* wnd) {
  if (m_eType == STM_BOUNDARY_OUTER) return 1;
  CStmUbManager* manager = GetStmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return 0;
  std::vector<CStmObjElement*> elements;
  manager->GetSelectedElementObjects(elements);
  std::set<int> idElements, idNodes;
  for (const CStmObjElement* element : elements) {
    idElements.insert(element->GetId());
    idNodes.insert(element->GetIdNodeBegin());
    idNodes.insert(element->GetIdNodeEnd());
  }
  // The candidate as the chain the elements make, so that its vertices follow the outline
  // whichever way each element was drawn.
  std::vector<CVector> chain;
  manager->GetSelectedElementBoundaryPos(chain);
  std::vector<CVector> candidate;
  for (const CVector& p : ToPlan(*manager, chain)) {
    bool near = false;
    for (const CVector& q : candidate) near = near || std::hypot(p.x - q.x, p.z - q.z) < kSameVertex;
    if (!near) candidate.push_back(p);
  }
  for (const EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
    for (const auto& [id, boundary] : model->GetBoundarys(type)) {
      if (!boundary->IsEnable()) continue;
      // Sharing an element or a node with an outline already there is crossing it.
      for (int idElement : boundary->GetIdElements()) {
        if (idElements.count(idElement)) return 0;
        const CStmObjElement* element = model->GetElement(idElement);
        if (element && (idNodes.count(element->GetIdNodeBegin()) || idNodes.count(element->GetIdNodeEnd()))) return 0;
      }
      const std::vector<CVector> outline = ToPlan(*manager, boundary->GetBoundaryPos());
      const EWhere wanted = type == STM_BOUNDARY_OUTER ? kInside : kOutside;
      for (const CVector& p : candidate) {
        if (LocatePoint(p, outline) != wanted) return 0;
      }
      if (type == STM_BOUNDARY_INNER) {
        for (const CVector& p : outline) {
          if (LocatePoint(p, candidate) != kOutside) return 0;
        }
      }
    }
  }
  return 1;
}

int CStmActionAddBoundary::MakeboundaryBySelectedElement(CUbRenderWnd* wnd) {
  CStmUbManager* manager = GetStmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return 0;
  if (model->IsLock()) {
    AfxMessageBox(StmLockedModelText(),
                  MB_OK | MB_ICONWARNING);
    return 0;
  }
  if (m_eType == STM_BOUNDARY_INNER && model->GetCountBoundary(STM_BOUNDARY_OUTER, 1) == 0) {
    AfxMessageBox(StmText("OutBoudary영역 안에만 InnerBoundary를 추가 할수 있습니다."), MB_OK | MB_ICONWARNING);
    return 0;
  }
  int result = 0;
  if (!CheckSelectedLineClosed(wnd)) {
    AfxMessageBox(StmText("선택한 Line들이 폐합되지않아 영역을 만들수 없습니다."), MB_OK | MB_ICONWARNING);
  } else if (!CheckCrossOtherBoundary(wnd)) {
    AfxMessageBox(StmText("선택한 Line들이 다른 Boundary영역과 교차 됩니다."), MB_OK | MB_ICONWARNING);
  } else {
    std::vector<CStmObjElement*> elements;
    manager->GetSelectedElementObjects(elements);
    std::vector<int> ids;
    for (const CStmObjElement* element : elements) ids.push_back(element->GetId());
    result = manager->AddBoundaryByElement(m_eType, ids, 1, 1) ? 1 : 0;
    if (result) manager->ClearRenderMarkPos();
  }
  CString status;
  status.Format("%s %s.", result ? StmText("Add").c_str() : StmText("Failed Add").c_str(),
                m_eType == STM_BOUNDARY_OUTER ? StmText("OuterBoundary").c_str() : StmText("InnerBoundary").c_str());
  OnStatusMessage(status);
  Finish(wnd, m_eType == STM_BOUNDARY_OUTER ? kActionOuter : kActionInner, result);
  return result;
}

int CStmActionAddBoundary::MakeAreaBySelectedElement(CUbRenderWnd* wnd) {
  CStmUbManager* manager = GetStmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return 0;
  if (model->IsLock()) {
    AfxMessageBox(StmLockedModelText(),
                  MB_OK | MB_ICONWARNING);
    return 0;
  }
  // Run first, so that an open chain is marked even when the limit refuses the area.
  const int closed = CheckSelectedLineClosed(wnd);
  if (model->GetCountPropertyArea(1) >= 10) {
    AfxMessageBox(StmText("Area의 최대 갯수는 10개 입니다.\n 기존 Area를 삭제 하고 추가해주세요"), MB_OK | MB_ICONWARNING);
    return 0;
  }
  int result = 0;
  if (!closed) {
    AfxMessageBox(StmText("선택한 Line들이 폐합되지않아 영역을 만들수 없습니다."), MB_OK | MB_ICONWARNING);
  } else if (!CheckCrossOtherArea(wnd)) {
    AfxMessageBox(StmText("선택한 Area가 다른 Area와 교차 됩니다."), MB_OK | MB_ICONWARNING);
  } else {
    std::vector<CStmObjElement*> elements;
    manager->GetSelectedElementObjects(elements);
    std::vector<int> ids;
    for (const CStmObjElement* element : elements) ids.push_back(element->GetId());
    result = manager->AddAreaByElement(ids, 1, 1) ? 1 : 0;
    if (result) manager->ClearRenderMarkPos();
  }
  Finish(wnd, kActionArea, result);
  return result;
}

int CStmActionAddBoundary::CheckCrossOtherArea(CUbRenderWnd* wnd) {
  CStmUbManager* manager = GetStmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return 0;
  std::vector<CVector> chain;
  manager->GetSelectedElementBoundaryPos(chain);
  const std::vector<CVector> candidate = ToPlan(*manager, chain);
  for (const auto& [id, area] : model->GetPropertyAreas()) {
    if (area->IsEnable() && IsCross(candidate, ToPlan(*manager, area->GetBoundaryPos()))) return 0;
  }
  return 1;
}

int CStmActionAddBoundary::IsCross(std::vector<CVector> a, std::vector<CVector> b) {
  if (a.empty() || b.empty()) return 0;
  for (std::vector<CVector>* polygon : {&a, &b}) {
    if (!(polygon->back() == polygon->front())) polygon->push_back(polygon->front());
  }
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<CVector>& outline = pass == 0 ? a : b;
    const std::vector<CVector>& other = pass == 0 ? b : a;
    for (const CVector& p : other) {
      const EWhere where = LocatePoint(p, outline);
      if (where == kOnEdge) break;
      if (where != kOutside) return 1;
    }
  }
  return 0;
}

void CStmActionAddBoundary::Finish(CUbRenderWnd* wnd, long actionId, int result) {
  CStmUbManager* manager = GetStmManager(wnd);
  manager->SelectRemoveAll();
  wnd->SetAction(48, -1, 1);
  manager->InvalidateAllWnd();
  GetUiHost().SendToMainWindow(kMsgAdded, static_cast<WPARAM>(actionId), static_cast<LPARAM>(result));
}
