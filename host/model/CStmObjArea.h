// A property area: a polygon, made from a closed chain of elements, inside which the member has
// its own thickness.
#pragma once

#include "host/model/CStmObjBoundary.h"

class CStmObjArea : public CStmObjBoundary {
public:
  CStmObjArea() : CStmObjBoundary(STM_OBJ_AREA) {}

  // Member thickness inside the area; 0 keeps the member's own thickness.
  double GetThickness() const { return m_dThickness; }
  void SetThickness(double thickness) { m_dThickness = thickness; }

private:
  double m_dThickness = 0.0;
};
