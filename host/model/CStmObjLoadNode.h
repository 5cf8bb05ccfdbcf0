// A nodal load of a static load condition.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjLoadNode : public CStmObject {
public:
  CStmObjLoadNode() : CStmObject(STM_OBJ_LOAD_NODE) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) { m_nIdNode = id; }
  const CVector& GetLoad() const { return m_vLoad; }
  void SetLoad(const CVector& load) { m_vLoad = load; }

private:
  int m_nIdNode = -1;
  CVector m_vLoad;
};
