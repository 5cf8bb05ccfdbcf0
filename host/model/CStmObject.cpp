// Attribute access of the model record base.
#include "host/model/CStmObject.h"

#include <typeinfo>

#include "host/model/CStmModel.h"

int CStmObject::GetAttributeInt(int index) const {
  if (index < 0 || index >= kAttrCount) return -1;
  return m_attributes[static_cast<size_t>(index)];
}

void CStmObject::SetAttributeInt(int index, int value) {
  if (index < 0 || index >= kAttrCount || m_attributes[static_cast<size_t>(index)] == value) return;
  Touch();
  m_attributes[static_cast<size_t>(index)] = value;
}

void CStmObject::CopyAttributes(const CStmObject& other) {
  Touch();
  for (int i = 0; i < kAttrCount; ++i) {
    if (i != kAttrBoundary) m_attributes[static_cast<size_t>(i)] = other.m_attributes[static_cast<size_t>(i)];
  }
  m_strAttribute = other.m_strAttribute;
}

void CStmObject::Touch() {
  if (m_pParent) {
    m_pParent->Touch();
  } else if (m_pModel) {
    m_pModel->TouchRecord(*this);
  }
}

void CStmObject::CopyBase(const CStmObject& other) {
  m_nId = other.m_nId;
  m_strName = other.m_strName;
  m_bEnable = other.m_bEnable;
  m_attributes = other.m_attributes;
  m_strAttribute = other.m_strAttribute;
}

bool CStmObject::IsEqualBase(const CStmObject& other) const {
  return typeid(*this) == typeid(other) && m_eType == other.m_eType && m_nId == other.m_nId &&
         m_strName == other.m_strName && m_bEnable == other.m_bEnable && m_attributes == other.m_attributes &&
         m_strAttribute == other.m_strAttribute;
}
