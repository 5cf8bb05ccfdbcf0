// A property area: a polygon, made from a closed chain of elements, inside which the member has
// its own thickness.
#pragma once

#include "host/model/CStmObjBoundary.h"

class CStmObjArea : public CStmObjBoundary {
public:
  CStmObjArea() : CStmObjBoundary(STM_OBJ_AREA) {}

  // Member thickness inside the area; 0 keeps the member's own thickness.
  double GetThickness() const { return m_dThickness; }
  void SetThickness(double thickness) {
    Touch();
    m_dThickness = thickness;
  }

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjArea&>(image);
    CStmObjBoundary::Restore(other);
    m_dThickness = other.m_dThickness;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjArea*>(&image);
    return other && CStmObjBoundary::IsEqual(image) && m_dThickness == other->m_dThickness;
  }

private:
  double m_dThickness = 0.0;
};
