// The arch template.
#include "actions/CStmActionAddArch.h"

#include "entities/CStmEntityElement.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

CString CStmActionAddArch::GetPrompt(int index) const {
  if (index == 0) return StmText("Arch: pick the apex of the fan");
  if (index == 1) return StmText("Arch: pick one end of the base line");
  return StmText("Arch: pick the other end of the base line");
}

int CStmActionAddArch::IsValid(const std::vector<CVector>& points) const { return IsValidThreePoints(points); }

void CStmActionAddArch::InsertEntity(CUbRenderWnd* wnd) {
  CStmUbManager* manager = StmManager(wnd);
  if (!manager) return;
  if (!IsValid(GetPickedPoints())) {
    Refuse(wnd, StmText("An arch needs an apex off the base line and a base line of some length"));
    return;
  }
  std::vector<CVector> positions;
  CalcPosition(GetPickedPoints(), positions);
  CreateElement(*manager, positions);
  manager->InvalidateAllWnd();
}

void CStmActionAddArch::CalcPosition(const std::vector<CVector>& points, std::vector<CVector>& positions) const {
  positions.clear();
  if (!IsValid(points) || m_nBay < 1) return;
  const CVector& p1 = points[1];
  const CVector& p2 = points[2];
  const CVector u = (p2 - p1).Unit();
  const double step = (p1 - p2).Length() / m_nBay;
  positions.push_back(points[0]);
  for (int i = 0; i < m_nBay; ++i) positions.push_back(p1 + u * (i * step));
  positions.push_back(p2);
}

int CStmActionAddArch::IsVaildPosition(const std::vector<CVector>& positions) const {
  return m_nBay >= 1 && static_cast<int>(positions.size()) == m_nBay + 2 ? 1 : 0;
}

void CStmActionAddArch::CreateElement(CStmUbManager& manager, const std::vector<CVector>& positions) {
  CStmModel* model = manager.GetStmModel();
  if (!model || !IsVaildPosition(positions)) return;
  const size_t count = positions.size();
  for (size_t i = 0; i < count; ++i) {
    MakeStrut(*model, Join(manager, positions[i], positions[(i + 1) % count]));
    if (i > 1 && i + 1 < count) MakeStrut(*model, Join(manager, positions[0], positions[i]));
  }
}
