// One load arrow of a set that the host hands over for display.
#pragma once

#include "geometry/CVector.h"

struct SStmLoadArrow {
  CVector vPos;        // the tip, where the load acts
  CVector vDir;        // any length
  double dValue = 0.0;  // the signed load value the arrow stands for
};
