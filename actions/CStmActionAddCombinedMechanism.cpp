// The combined-mechanism template.
#include "actions/CStmActionAddCombinedMechanism.h"

#include <cmath>
#include <utility>

#include "entities/CStmEntityElement.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {

double Axis(const CVector& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

CVector UnitOf(int axis, double sign) {
  CVector v;
  (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = sign;
  return v;
}

}  // namespace

CString CStmActionAddCombinedMechanism::GetPrompt(int index) const {
  return index == 0 ? StmText("Combined mechanism: pick a corner of the panel")
                    : StmText("Combined mechanism: pick the opposite corner of the panel");
}

int CStmActionAddCombinedMechanism::IsValid(const std::vector<CVector>& points) const {
  return points.size() == 2 && Axis(points[0], m_nAcross) != Axis(points[1], m_nAcross) &&
                 Axis(points[0], m_nUp) != Axis(points[1], m_nUp)
             ? 1
             : 0;
}

void CStmActionAddCombinedMechanism::InsertEntity(CUbRenderWnd* wnd) {
  CStmUbManager* manager = StmManager(wnd);
  if (!manager) return;
  int normal = 1;
  GetPlaneAxes(wnd, m_nAcross, m_nUp, normal);
  if (!IsValid(GetPickedPoints())) {
    Refuse(wnd, StmText("A combined mechanism needs two opposite corners, not two points on one horizontal or vertical"));
    return;
  }
  std::vector<CVector> positions;
  CalcPosition(wnd, GetPickedPoints(), m_eType, positions);
  CreateElement(*manager, m_eType, positions);
  manager->InvalidateAllWnd();
}

void CStmActionAddCombinedMechanism::NormalizePosition(CVector& upper, CVector& lower, int up) {
  if (Axis(upper, up) < Axis(lower, up)) std::swap(upper, lower);
}

void CStmActionAddCombinedMechanism::CalcPosition(CUbRenderWnd* wnd, const std::vector<CVector>& points,
                                                  EStmTypeCombinedMechanism type,
                                                  std::vector<CVector>& positions) const {
  positions.clear();
  if (!IsValid(points)) return;
  int across = 0, up = 2, normal = 1;
  GetPlaneAxes(wnd, across, up, normal);
  CVector p0 = points[0];
  CVector p1 = points[1];
  NormalizePosition(p0, p1, up);
  const double width = std::fabs(Axis(p0, across) - Axis(p1, across));
  const double height = std::fabs(Axis(p0, up) - Axis(p1, up));
  const CVector u = UnitOf(across, Axis(p1, across) > Axis(p0, across) ? 1.0 : -1.0);
  const CVector v = UnitOf(up, -1.0);
  switch (type) {
    case STM_COMBINED_TIE_HORIZONTAL:
      positions = {p0, p0 + v * (height / 2), p1, p1 - v * (height / 2)};
      break;
    case STM_COMBINED_TIE_VERTICAL_ONE:
      positions = {p0, p1 - u * (width / 2), p1, p0 + u * (width / 2)};
      break;
    case STM_COMBINED_TIE_VERTICAL_TWO:
      positions = {p0, p1 - u * (2 * width / 3), p1 - u * (width / 3), p1, p0 + u * (2 * width / 3), p0 + u * (width / 3)};
      break;
  }
}

void CStmActionAddCombinedMechanism::CreateElement(CStmUbManager& manager, EStmTypeCombinedMechanism type,
                                                   const std::vector<CVector>& positions) {
  CStmModel* model = manager.GetStmModel();
  if (!model) return;
  switch (type) {
    case STM_COMBINED_TIE_HORIZONTAL: CreateElementHor(manager, *model, positions); break;
    case STM_COMBINED_TIE_VERTICAL_ONE: CreateElementVert1(manager, *model, positions); break;
    case STM_COMBINED_TIE_VERTICAL_TWO: CreateElementVert2(manager, *model, positions); break;
  }
}

void CStmActionAddCombinedMechanism::CreateElementHor(CStmUbManager& manager, CStmModel& model,
                                                      const std::vector<CVector>& p) {
  if (p.size() != 4) return;
  for (size_t i = 0; i < 4; ++i) MakeStrut(model, Join(manager, p[i], p[(i + 1) % 4]));
  MakeStrut(model, Join(manager, p[0], p[2]));
  AssignTieHor(model, Join(manager, p[1], p[3]));
}

void CStmActionAddCombinedMechanism::CreateElementVert1(CStmUbManager& manager, CStmModel& model,
                                                        const std::vector<CVector>& p) {
  if (p.size() != 4) return;
  MakeStrut(model, Join(manager, p[0], p[1]));
  // The half of the bottom towards the lower corner carries tension.
  MakeTie(model, Join(manager, p[1], p[2]));
  MakeStrut(model, Join(manager, p[2], p[3]));
  MakeStrut(model, Join(manager, p[3], p[0]));
  MakeStrut(model, Join(manager, p[0], p[2]));
  MakeTie(model, Join(manager, p[1], p[3]));
}

void CStmActionAddCombinedMechanism::CreateElementVert2(CStmUbManager& manager, CStmModel& model,
                                                        const std::vector<CVector>& p) {
  if (p.size() != 6) return;
  for (size_t i = 0; i < 6; ++i) {
    const CStmEntityElement* element = Join(manager, p[i], p[(i + 1) % 6]);
    // The bottom from the first third point to the lower corner carries tension.
    if (i == 1 || i == 2) MakeTie(model, element);
    else MakeStrut(model, element);
  }
  MakeStrut(model, Join(manager, p[0], p[2]));
  MakeStrut(model, Join(manager, p[2], p[5]));
  MakeStrut(model, Join(manager, p[3], p[5]));
  MakeTie(model, Join(manager, p[1], p[5]));
  MakeTie(model, Join(manager, p[2], p[4]));
}

void CStmActionAddCombinedMechanism::AssignTieHor(CStmModel& model, const CStmEntityElement* element) {
  CStmObjElement* record = element ? model.GetElement(element->GetIdStm()) : nullptr;
  if (!record) return;
  const CStmDataDefine& define = *model.GetStmDataDefine();
  for (int i = 0; i < define.GetCountTie(); ++i) {
    const SStmTieType* type = define.GetTieType(i);
    if (type && type->nHorizontal == 1 && type->nAnchored == 1) {
      if (record->GetIndexTieType() != i) record->SetIndexTieType(i);
      return;
    }
  }
}
