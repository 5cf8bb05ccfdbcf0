// An axis-aligned box grown point by point: the extent that zoom-all fits into the window.
#pragma once

#include <algorithm>

#include "geometry/CVector.h"

class CCubeRange {
public:
  void Clear() { m_bEmpty = true; m_vMin = m_vMax = CVector(); }
  void Apply(const CVector& p) {
    if (m_bEmpty) {
      m_vMin = m_vMax = p;
      m_bEmpty = false;
      return;
    }
    m_vMin = {std::min(m_vMin.x, p.x), std::min(m_vMin.y, p.y), std::min(m_vMin.z, p.z)};
    m_vMax = {std::max(m_vMax.x, p.x), std::max(m_vMax.y, p.y), std::max(m_vMax.z, p.z)};
  }
  bool IsEmpty() const { return m_bEmpty; }
  // Both corners are (0, 0, 0) while the box is empty.
  const CVector& GetMin() const { return m_vMin; }
  const CVector& GetMax() const { return m_vMax; }
  CVector GetCenter() const { return (m_vMin + m_vMax) * 0.5; }
  CVector GetSize() const { return m_vMax - m_vMin; }

private:
  CVector m_vMin, m_vMax;
  bool m_bEmpty = true;
};
