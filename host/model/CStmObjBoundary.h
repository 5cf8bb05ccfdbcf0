// An outline of the concrete member (outer boundary or an opening), as a polygon and, when it
// was made from elements, the ids of those elements.
#pragma once

#include <vector>

#include "host/model/CStmObject.h"

class CStmObjBoundary : public CStmObject {
public:
  CStmObjBoundary() : CStmObject(STM_OBJ_BOUNDARY) {}

  EStmTypeBoundary GetTypeBoundary() const { return m_eType; }

  // Vertices in order; the polygon closes implicitly.
  const std::vector<CVector>& GetBoundaryPos() const { return m_points; }
  void SetBoundaryPos(std::vector<CVector> points) {
    Touch();
    m_points = std::move(points);
  }

  const std::vector<int>& GetIdElements() const { return m_idElements; }
  int IsIncludeElement(int idElement) const;
  // Adds an element id once; with update set the elements' boundary membership is re-derived.
  void AddElement(int idElement, int update);

  // Enabling or disabling a boundary changes which elements lie on a boundary.
  void SetEnable(int enable) override;

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjBoundary&>(image);
    CopyBase(other);
    m_eType = other.m_eType;
    m_points = other.m_points;
    m_idElements = other.m_idElements;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjBoundary*>(&image);
    return other && IsEqualBase(image) && m_eType == other->m_eType && m_points == other->m_points &&
           m_idElements == other->m_idElements;
  }

protected:
  explicit CStmObjBoundary(EStmTypeObject type) : CStmObject(type) {}

private:
  friend class CStmModel;

  EStmTypeBoundary m_eType = STM_BOUNDARY_OUTER;
  std::vector<CVector> m_points;
  std::vector<int> m_idElements;
};
