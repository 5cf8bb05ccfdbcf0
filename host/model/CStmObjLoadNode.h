// A nodal load of a static load condition.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjLoadNode : public CStmObject {
public:
  CStmObjLoadNode() : CStmObject(STM_OBJ_LOAD_NODE) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) {
    Touch();
    m_nIdNode = id;
  }
  const CVector& GetLoad() const { return m_vLoad; }
  void SetLoad(const CVector& load) {
    Touch();
    m_vLoad = load;
  }

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjLoadNode&>(image);
    CopyBase(other);
    m_nIdNode = other.m_nIdNode;
    m_vLoad = other.m_vLoad;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjLoadNode*>(&image);
    return other && IsEqualBase(image) && m_nIdNode == other->m_nIdNode && m_vLoad == other->m_vLoad;
  }

private:
  int m_nIdNode = -1;
  CVector m_vLoad;
};
