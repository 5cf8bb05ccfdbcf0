// Attribute access of the model record base.
#include "host/model/CStmObject.h"

int CStmObject::GetAttributeInt(int index) const {
  if (index < 0 || index >= kAttrCount) return -1;
  return m_attributes[static_cast<size_t>(index)];
}

void CStmObject::SetAttributeInt(int index, int value) {
  if (index < 0 || index >= kAttrCount) return;
  m_attributes[static_cast<size_t>(index)] = value;
}

void CStmObject::CopyAttributes(const CStmObject& other) {
  for (int i = 0; i < kAttrCount; ++i) {
    if (i != kAttrBoundary) m_attributes[static_cast<size_t>(i)] = other.m_attributes[static_cast<size_t>(i)];
  }
  m_strAttribute = other.m_strAttribute;
}
