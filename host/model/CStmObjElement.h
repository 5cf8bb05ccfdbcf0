// An element (strut or tie) of the strut-and-tie model: the two nodes it joins by id, its input
// properties and its results per load case.
#pragma once

#include <memory>
#include <vector>

#include "host/model/CStmObject.h"

class CStmObjNode;

class CStmObjElement : public CStmObject {
public:
  CStmObjElement() : CStmObject(STM_OBJ_ELEMENT) {}

  int GetIdNodeBegin() const { return m_nIdNodeBegin; }
  int GetIdNodeEnd() const { return m_nIdNodeEnd; }
  // Re-links one end; under letter naming the element's name follows its nodes.
  void SetIdNodeBegin(int id);
  void SetIdNodeEnd(int id);
  void SetIdNodes(int idBegin, int idEnd);

  // The end nodes in the owning model, null when missing (disabled nodes are returned).
  CStmObjNode* GetNodeBegin() const;
  CStmObjNode* GetNodeEnd() const;
  // End coordinates from the nodes; (0, 0, 0) for a missing node.
  CVector GetCoordBegin() const;
  CVector GetCoordEnd() const;
  double GetLength() const;

  const SStmPropElement& GetProperty() const { return m_prop; }
  void SetProperty(const SStmPropElement& prop) {
    Touch();
    m_prop = prop;
  }

  // Indices into the strut and tie tables of the definitions; -1 for none.
  int GetIndexStrutType() const { return m_nIndexStrut; }
  void SetIndexStrutType(int index) {
    Touch();
    m_nIndexStrut = index;
  }
  int GetIndexTieType() const { return m_nIndexTie; }
  void SetIndexTieType(int index) {
    Touch();
    m_nIndexTie = index;
  }

  // A stability element only keeps the truss stable; it carries no design force.
  int IsStableElement() const { return m_bStable ? 1 : 0; }
  void SetStableElement(int stable) {
    Touch();
    m_bStable = stable != 0;
  }

  double GetThicknessScale() const { return m_dThicknessScale; }
  void SetThicknessScale(double scale) {
    Touch();
    m_dThicknessScale = scale;
  }

  // Member of the outer boundary (integer attribute 4 is 1).
  int IsBoundaryElement() const { return GetAttributeInt(kAttrBoundary) == 1 ? 1 : 0; }

  // Results per load case; 0 and "not classified" outside the stored cases.
  double GetResultAxialForce(int loadCase) const;
  EStmTypeElement GetType(int loadCase) const;
  const std::vector<double>& GetResultAxialForces() const { return m_forces; }
  // Classifies the new forces at once, at the owning model's decimals.
  void SetResultAxialForces(std::vector<double> forces);
  // Classifies every case from its force as rounded to the given decimals: a force that rounds
  // to zero is not classified, compression (negative) is a strut, tension a tie.
  void DeriveTypes(int decimals);

  std::vector<CDPoint> GetCoordEffectiveZones(int loadCase) const;
  const std::vector<std::vector<CDPoint>>& GetEffectiveZones() const { return m_effectiveZones; }
  void SetEffectiveZones(std::vector<std::vector<CDPoint>> zones) {
    Touch();
    m_effectiveZones = std::move(zones);
  }

  // Effective region as designed and at its maximum width, polygons in model coordinates.
  const std::vector<CVector>& GetEffectiveRegion() const { return m_region; }
  const std::vector<CVector>& GetMaxEffectiveRegion() const { return m_regionMax; }
  void SetEffectiveRegion(std::vector<CVector> region) {
    Touch();
    m_region = std::move(region);
  }
  void SetMaxEffectiveRegion(std::vector<CVector> region) {
    Touch();
    m_regionMax = std::move(region);
  }

  // Copies the input properties of another element (property record, strut and tie types,
  // stability, thickness scale, attributes but boundary membership).
  void CopyProperties(const CStmObjElement& other);
  // The same as CopyProperties: the element keeps its id, name, node links and results.
  CStmObjElement& operator=(const CStmObjElement& other);

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjElement&>(image);
    CopyBase(other);
    m_nIdNodeBegin = other.m_nIdNodeBegin;
    m_nIdNodeEnd = other.m_nIdNodeEnd;
    m_prop = other.m_prop;
    m_nIndexStrut = other.m_nIndexStrut;
    m_nIndexTie = other.m_nIndexTie;
    m_bStable = other.m_bStable;
    m_dThicknessScale = other.m_dThicknessScale;
    m_forces = other.m_forces;
    m_types = other.m_types;
    m_effectiveZones = other.m_effectiveZones;
    m_region = other.m_region;
    m_regionMax = other.m_regionMax;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjElement*>(&image);
    return other && IsEqualBase(image) && m_nIdNodeBegin == other->m_nIdNodeBegin &&
           m_nIdNodeEnd == other->m_nIdNodeEnd && m_prop == other->m_prop && m_nIndexStrut == other->m_nIndexStrut &&
           m_nIndexTie == other->m_nIndexTie && m_bStable == other->m_bStable &&
           m_dThicknessScale == other->m_dThicknessScale && m_forces == other->m_forces && m_types == other->m_types &&
           m_effectiveZones == other->m_effectiveZones && m_region == other->m_region &&
           m_regionMax == other->m_regionMax;
  }

private:
  friend class CStmModel;

  int m_nIdNodeBegin = -1;
  int m_nIdNodeEnd = -1;
  SStmPropElement m_prop;
  int m_nIndexStrut = -1;
  int m_nIndexTie = -1;
  bool m_bStable = false;
  double m_dThicknessScale = 1.0;
  std::vector<double> m_forces;
  std::vector<EStmTypeElement> m_types;
  std::vector<std::vector<CDPoint>> m_effectiveZones;
  std::vector<CVector> m_region;
  std::vector<CVector> m_regionMax;
};
