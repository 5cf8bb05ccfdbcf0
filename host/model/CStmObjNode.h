// A node of the strut-and-tie model: its position, whether the user may move it, and the
// nodal zones the design found for it.
#pragma once

#include <vector>

#include "host/model/CStmObject.h"

class CStmObjNode : public CStmObject {
public:
  CStmObjNode() : CStmObject(STM_OBJ_NODE) {}

  const CVector& GetCoord() const { return m_vCoord; }
  void SetCoord(const CVector& coord) {
    Touch();
    m_vCoord = coord;
  }

  int IsMoveable() const { return m_bMoveable ? 1 : 0; }
  void SetMoveable(int moveable) {
    Touch();
    m_bMoveable = moveable != 0;
  }

  double GetThicknessScale() const { return m_dThicknessScale; }
  void SetThicknessScale(double scale) {
    Touch();
    m_dThicknessScale = scale;
  }

  // Zone polygons per load case, in plane coordinates; empty for a case without one.
  std::vector<CDPoint> GetCoordNodalZones(int loadCase) const;
  std::vector<CDPoint> GetCoordMaxWidthZones(int loadCase) const;
  const std::vector<std::vector<CDPoint>>& GetNodalZones() const { return m_nodalZones; }
  const std::vector<std::vector<CDPoint>>& GetMaxWidthZones() const { return m_maxWidthZones; }
  void SetNodalZones(std::vector<std::vector<CDPoint>> zones) {
    Touch();
    m_nodalZones = std::move(zones);
  }
  void SetMaxWidthZones(std::vector<std::vector<CDPoint>> zones) {
    Touch();
    m_maxWidthZones = std::move(zones);
  }

  // Takes the other node's input data (movability, thickness scale, attributes); keeps its own
  // id, name, position, enabled flag and results, as pasting relies on.
  CStmObjNode& operator=(const CStmObjNode& other);

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjNode&>(image);
    CopyBase(other);
    m_vCoord = other.m_vCoord;
    m_bMoveable = other.m_bMoveable;
    m_dThicknessScale = other.m_dThicknessScale;
    m_nodalZones = other.m_nodalZones;
    m_maxWidthZones = other.m_maxWidthZones;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjNode*>(&image);
    return other && IsEqualBase(image) && m_vCoord == other->m_vCoord && m_bMoveable == other->m_bMoveable &&
           m_dThicknessScale == other->m_dThicknessScale && m_nodalZones == other->m_nodalZones &&
           m_maxWidthZones == other->m_maxWidthZones;
  }

private:
  CVector m_vCoord;
  bool m_bMoveable = true;
  double m_dThicknessScale = 1.0;
  std::vector<std::vector<CDPoint>> m_nodalZones;
  std::vector<std::vector<CDPoint>> m_maxWidthZones;
};
