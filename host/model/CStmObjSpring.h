// An elastic support at a node: translational stiffnesses U and rotational stiffnesses R.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjSpring : public CStmObject {
public:
  CStmObjSpring() : CStmObject(STM_OBJ_SPRING) {}

  int GetIdNode() const { return m_nIdNode; }
  void SetIdNode(int id) {
    Touch();
    m_nIdNode = id;
  }
  const CVector& GetU() const { return m_vU; }
  const CVector& GetR() const { return m_vR; }
  void SetU(const CVector& u) {
    Touch();
    m_vU = u;
  }
  void SetR(const CVector& r) {
    Touch();
    m_vR = r;
  }

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjSpring&>(image);
    CopyBase(other);
    m_nIdNode = other.m_nIdNode;
    m_vU = other.m_vU;
    m_vR = other.m_vR;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjSpring*>(&image);
    return other && IsEqualBase(image) && m_nIdNode == other->m_nIdNode && m_vU == other->m_vU && m_vR == other->m_vR;
  }

private:
  int m_nIdNode = -1;
  CVector m_vU;
  CVector m_vR;
};
