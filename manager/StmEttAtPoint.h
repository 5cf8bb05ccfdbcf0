// The manager's lookups by position ask the container's index for what lies around a point.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/StmGeometry.h"
#include "host/framework/CUbEttManage.h"

// The entities of one kind whose range meets the tolerance box around pos, in registry order:
// every entity that an exact test against pos can accept, and a few that it will refuse. The
// box is a hair wider than the tolerance, so that rounding of pos ± tolerance never drops a
// point that differs by exactly the tolerance.
inline void GetStmEttAtPoint(const CUbEttManage& manage, const CVector& pos, int kind,
                             std::vector<CUbEntityObj*>& out) {
  const double scale = std::max({std::fabs(pos.x), std::fabs(pos.y), std::fabs(pos.z), 1.0});
  const double t = kStmPointTolerance * 1.001 + scale * 1e-14;
  const CVector margin(t, t, t);
  manage.GetEttInBox(pos - margin, pos + margin, static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind), out);
}
