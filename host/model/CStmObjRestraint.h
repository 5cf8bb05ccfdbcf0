// A support at a node: which displacements it fixes, turned by the roller angle in the plane.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjRestraint : public CStmObject {
public:
  CStmObjRestraint() : CStmObject(STM_OBJ_RESTRAINT) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) { m_nIdNode = id; }
  const SStmDof& GetDof() const { return m_dof; }
  void SetDof(const SStmDof& dof) { m_dof = dof; }
  // Degrees, about the axis normal to the model plane.
  double GetRollerAngle() const { return m_dRollerAngle; }
  void SetRollerAngle(double degrees) { m_dRollerAngle = degrees; }

private:
  int m_nIdNode = -1;
  SStmDof m_dof;
  double m_dRollerAngle = 0.0;
};
