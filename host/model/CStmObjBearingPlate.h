// A bearing plate at a node, which sets the width over which the node takes its force.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjBearingPlate : public CStmObject {
public:
  CStmObjBearingPlate() : CStmObject(STM_OBJ_BEARING_PLATE) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) { m_nIdNode = id; }
  const SStmPropBearingPlate& GetProperty() const { return m_prop; }
  void SetProperty(const SStmPropBearingPlate& prop) { m_prop = prop; }

private:
  int m_nIdNode = -1;
  SStmPropBearingPlate m_prop;
};
