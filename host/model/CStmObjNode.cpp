// Node record: zone look-ups and assignment.
#include "host/model/CStmObjNode.h"

namespace {

std::vector<CDPoint> ZoneOf(const std::vector<std::vector<CDPoint>>& zones, int loadCase) {
  if (loadCase < 0 || loadCase >= static_cast<int>(zones.size())) return {};
  return zones[static_cast<size_t>(loadCase)];
}

}  // namespace

std::vector<CDPoint> CStmObjNode::GetCoordNodalZones(int loadCase) const { return ZoneOf(m_nodalZones, loadCase); }

std::vector<CDPoint> CStmObjNode::GetCoordMaxWidthZones(int loadCase) const {
  return ZoneOf(m_maxWidthZones, loadCase);
}

CStmObjNode& CStmObjNode::operator=(const CStmObjNode& other) {
  if (this == &other) return *this;
  Touch();
  m_bMoveable = other.m_bMoveable;
  m_dThicknessScale = other.m_dThicknessScale;
  CopyAttributes(other);
  return *this;
}
