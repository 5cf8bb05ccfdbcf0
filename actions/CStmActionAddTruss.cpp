// The truss template.
#include "actions/CStmActionAddTruss.h"

#include "entities/CStmEntityElement.h"
#include "geometry/StmGeometry.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {

bool Same(const CVector& a, const CVector& b) { return CompareVectorTolerance(a, b, "==", kStmPointTolerance) != 0; }

}  // namespace

CString CStmActionAddTruss::GetPrompt(int index) const {
  if (index == 0) return StmText("Truss: pick the start of the bottom chord");
  if (index == 1) return StmText("Truss: pick the end of the bottom chord");
  return m_eType == STM_TRUSS_POINT_CORNER ? StmText("Truss: pick the corner of the top chord")
                                           : StmText("Truss: pick a point at the height of the top chord");
}

int CStmActionAddTruss::IsValid(const std::vector<CVector>& points) const { return IsValidThreePoints(points); }

void CStmActionAddTruss::InsertEntity(CUbRenderWnd* wnd) {
  CStmUbManager* manager = StmManager(wnd);
  if (!manager) return;
  if (!IsValid(GetPickedPoints())) {
    Refuse(wnd, StmText("A truss needs three different points that do not lie on one line"));
    return;
  }
  int closedEnds = 1, side = 0;
  std::vector<CVector> positions;
  CalcPosition(wnd, GetPickedPoints(), positions, closedEnds, side);
  if (positions.empty()) {
    Refuse(wnd, m_nBay < 1 ? StmText("A truss needs at least one bay")
                           : StmText("No truss fits these points: the top chord has no height or lies beside the bottom chord"));
    return;
  }
  CreateElement(*manager, positions, closedEnds, side);
  manager->InvalidateAllWnd();
}

void CStmActionAddTruss::CalcPosition(CUbRenderWnd* wnd, const std::vector<CVector>& points,
                                      std::vector<CVector>& positions, int& closedEnds, int& side) const {
  positions.clear();
  if (!IsValid(points) || m_nBay < 1) return;
  const CVector& p0 = points[0];
  const CVector& p1 = points[1];
  const CVector& p2 = points[2];
  const int bays = m_nBay;
  const CVector d = (p1 - p0).Unit();
  const CVector n = TurnInPlane(wnd, d, 1);
  // Above the second point at the height of the third.
  const CVector f = GetFootOnLine(p2, p1, n);
  if (Same(f, p1)) return;
  side = (p0 - f).Length() > (p0 - p2).Length() ? 1 : 0;
  const auto chords = [&](const CVector& bottom, const CVector& top, double step) {
    for (int i = 0; i <= bays; ++i) positions.push_back(bottom + d * (i * step));
    if (!closedEnds && !side) positions.push_back(p2);
    for (int i = 0; i <= bays; ++i) positions.push_back(top - d * (i * step));
  };

  if (m_eType != STM_TRUSS_POINT_CORNER) {
    closedEnds = 1;
    chords(p0, f, (p1 - p0).Length() / bays);
    return;
  }
  if (side == 0) {
    // The top chord runs from above the second point back as far as the bottom chord is long;
    // triangles close the ends that stand beyond the panels.
    const CVector q = p2 - d * (p1 - p0).Length();
    const CVector a = GetFootOnLine(q, p0, d);
    if (GetDistPointToSegment(f, p2, q) > kStmPointTolerance || Same(a, p1)) return;
    closedEnds = f == p2 && a == p0 ? 1 : 0;
    if (!closedEnds) positions.push_back(p0);
    chords(a, f, (p1 - a).Length() / bays);
    return;
  }
  // The top chord ends above a point of the bottom chord: the panels stand from the first point
  // to there, and a triangle joins them to the second point. The outline returns to the first
  // point at the end, so that the web follows the same rule as on the other side.
  const CVector b = GetFootOnLine(p2, p0, d);
  if (GetDistPointToSegment(b, p0, p1) > kStmPointTolerance || Same(b, p0)) return;
  closedEnds = 0;
  const double step = (b - p0).Length() / bays;
  for (int i = 0; i <= bays; ++i) positions.push_back(p0 + d * (i * step));
  positions.push_back(p1);
  for (int i = 0; i <= bays; ++i) positions.push_back(p2 - d * (i * step));
  positions.push_back(p0);
}

int CStmActionAddTruss::IsVaildPosition(const std::vector<CVector>& positions, int closedEnds) const {
  return m_nBay >= 1 && static_cast<int>(positions.size()) == 2 + 2 * m_nBay + (closedEnds ? 0 : 2) ? 1 : 0;
}

void CStmActionAddTruss::CreateElement(CStmUbManager& manager, const std::vector<CVector>& positions, int closedEnds,
                                       int side) {
  CStmModel* model = manager.GetStmModel();
  if (!model || !IsVaildPosition(positions, closedEnds)) return;
  const size_t count = positions.size();
  for (size_t i = 0; i < count; ++i) MakeStrut(*model, Join(manager, positions[i], positions[(i + 1) % count]));
  CreateElementInnerStrut(manager, *model, positions, closedEnds, side);
}

void CStmActionAddTruss::CreateElementInnerStrut(CStmUbManager& manager, CStmModel& model,
                                                 const std::vector<CVector>& positions, int closedEnds, int side) {
  const int count = static_cast<int>(positions.size());
  const int bays = m_nBay;
  const auto web = [&](int from, int to, int members) {
    for (int k = 0; k < members; ++k) MakeStrut(model, Join(manager, positions[from + k], positions[to - k]));
  };
  // Bottom node index, top node index: each pair stands one above the other, or one panel apart.
  if (closedEnds) {
    web(1, count - 2, bays - 1);
  } else {
    web(side ? 0 : 1, side ? count - 2 : count - 1, bays + 1);
  }
  if (m_eDirection == STM_TRUSS_DIAGONAL_TO_P0 || m_eDirection == STM_TRUSS_DIAGONAL_BOTH) {
    const int from = closedEnds || side ? 1 : 2;
    web(from, !closedEnds && side ? count - 2 : count - 1, bays);
  }
  if (m_eDirection == STM_TRUSS_DIAGONAL_TO_P1 || m_eDirection == STM_TRUSS_DIAGONAL_BOTH) {
    const int from = !closedEnds && !side ? 1 : 0;
    const int to = closedEnds ? count - 2 : side ? count - 3 : count - 2;
    web(from, to, bays);
  }
}
