// A bearing plate at a node, which sets the width over which the node takes its force.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjBearingPlate : public CStmObject {
public:
  CStmObjBearingPlate() : CStmObject(STM_OBJ_BEARING_PLATE) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) {
    Touch();
    m_nIdNode = id;
  }
  const SStmPropBearingPlate& GetProperty() const { return m_prop; }
  void SetProperty(const SStmPropBearingPlate& prop) {
    Touch();
    m_prop = prop;
  }

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjBearingPlate&>(image);
    CopyBase(other);
    m_nIdNode = other.m_nIdNode;
    m_prop = other.m_prop;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjBearingPlate*>(&image);
    return other && IsEqualBase(image) && m_nIdNode == other->m_nIdNode && m_prop == other->m_prop;
  }

private:
  int m_nIdNode = -1;
  SStmPropBearingPlate m_prop;
};
