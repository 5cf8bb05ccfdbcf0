// An elastic support at a node: translational stiffnesses U and rotational stiffnesses R.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjSpring : public CStmObject {
public:
  CStmObjSpring() : CStmObject(STM_OBJ_SPRING) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) { m_nIdNode = id; }
  const CVector& GetU() const { return m_vU; }
  const CVector& GetR() const { return m_vR; }
  void SetU(const CVector& u) { m_vU = u; }
  void SetR(const CVector& r) { m_vR = r; }

private:
  int m_nIdNode = -1;
  CVector m_vU;
  CVector m_vR;
};
