// A support at a node: which displacements it fixes, turned by the roller angle in the plane.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjRestraint : public CStmObject {
public:
  CStmObjRestraint() : CStmObject(STM_OBJ_RESTRAINT) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) {
    Touch();
    m_nIdNode = id;
  }
  const SStmDof& GetDof() const { return m_dof; }
  void SetDof(const SStmDof& dof) {
    Touch();
    m_dof = dof;
  }
  // Degrees, about the axis normal to the model plane.
  double GetRollerAngle() const { return m_dRollerAngle; }
  void SetRollerAngle(double degrees) {
    Touch();
    m_dRollerAngle = degrees;
  }

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjRestraint&>(image);
    CopyBase(other);
    m_nIdNode = other.m_nIdNode;
    m_dof = other.m_dof;
    m_dRollerAngle = other.m_dRollerAngle;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjRestraint*>(&image);
    return other && IsEqualBase(image) && m_nIdNode == other->m_nIdNode && m_dof == other->m_dof &&
           m_dRollerAngle == other->m_dRollerAngle;
  }

private:
  int m_nIdNode = -1;
  SStmDof m_dof;
  double m_dRollerAngle = 0.0;
};
