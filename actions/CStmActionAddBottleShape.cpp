// The bottle-shape template.
#include "actions/CStmActionAddBottleShape.h"

#include "entities/CStmEntityElement.h"
#include "geometry/StmGeometry.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

CString CStmActionAddBottleShape::GetPrompt(int index) const {
  return index == 0 ? StmText("Bottle shape: pick one end of the bottle")
                    : StmText("Bottle shape: pick the other end of the bottle");
}

int CStmActionAddBottleShape::IsValid(const std::vector<CVector>& points) const {
  return points.size() == 2 && !CompareVectorTolerance(points[0], points[1], "==", kStmPointTolerance) ? 1 : 0;
}

void CStmActionAddBottleShape::InsertEntity(CUbRenderWnd* wnd) {
  CStmUbManager* manager = StmManager(wnd);
  if (!manager) return;
  if (!IsValid(GetPickedPoints())) {
    Refuse(wnd, StmText("A bottle shape needs two different points"));
    return;
  }
  std::vector<CVector> positions;
  CalcPosition(wnd, GetPickedPoints(), positions);
  CreateElement(*manager, positions);
  manager->InvalidateAllWnd();
}

void CStmActionAddBottleShape::CalcPosition(CUbRenderWnd* wnd, const std::vector<CVector>& points,
                                            std::vector<CVector>& positions) const {
  positions.clear();
  if (!IsValid(points) || (m_nTie != 1 && m_nTie != 2)) return;
  const CVector& p0 = points[0];
  const CVector& p1 = points[1];
  const double length = (p1 - p0).Length();
  const CVector d = (p1 - p0).Unit();
  const CVector e = TurnInPlane(wnd, d, 1);
  const CVector f = TurnInPlane(wnd, d, 3);
  const double half = length / (m_dRatio * (m_nTie + 1));
  positions.push_back(p0);
  if (m_nTie == 1) {
    positions.push_back(p0 + d * (length / 2) + e * half);
    positions.push_back(p1);
    positions.push_back(p0 + d * (length / 2) + f * half);
  } else {
    positions.push_back(p0 + d * (length / 3) + e * half);
    positions.push_back(p0 + d * (2 * length / 3) + e * half);
    positions.push_back(p1);
    positions.push_back(p0 + d * (2 * length / 3) + f * half);
    positions.push_back(p0 + d * (length / 3) + f * half);
  }
}

int CStmActionAddBottleShape::IsVaildPosition(const std::vector<CVector>& positions, int tie) const {
  return (tie == 1 && positions.size() == 4) || (tie == 2 && positions.size() == 6) ? 1 : 0;
}

void CStmActionAddBottleShape::CreateElement(CStmUbManager& manager, const std::vector<CVector>& positions) {
  CStmModel* model = manager.GetStmModel();
  if (!model || !IsVaildPosition(positions, m_nTie)) return;
  if (m_nTie == 1) CreateElementTie1(manager, *model, positions);
  else CreateElementTie2(manager, *model, positions);
}

void CStmActionAddBottleShape::CreateElementTie1(CStmUbManager& manager, CStmModel& model,
                                                 const std::vector<CVector>& positions) {
  for (size_t i = 0; i < 4; ++i) MakeStrut(model, Join(manager, positions[i], positions[(i + 1) % 4]));
  MakeTie(model, Join(manager, positions[1], positions[3]));
}

void CStmActionAddBottleShape::CreateElementTie2(CStmUbManager& manager, CStmModel& model,
                                                 const std::vector<CVector>& positions) {
  for (size_t i = 0; i < 6; ++i) MakeStrut(model, Join(manager, positions[i], positions[(i + 1) % 6]));
  MakeTie(model, Join(manager, positions[1], positions[5]));
  MakeTie(model, Join(manager, positions[2], positions[4]));
  // The diagonal only keeps the hexagon from folding; it carries no design force.
  const CStmEntityElement* brace = Join(manager, positions[2], positions[5]);
  CStmObjElement* record = brace ? model.GetElement(brace->GetIdStm()) : nullptr;
  if (record && !record->IsStableElement()) record->SetStableElement(1);
}
