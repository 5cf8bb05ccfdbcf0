// Strut and tie type tables.
#include "host/model/CStmDataDefine.h"

const SStmStrutType* CStmDataDefine::GetStrutType(int index) const {
  if (index < 0 || index >= GetCountStrut()) return nullptr;
  return &m_struts[static_cast<size_t>(index)];
}

const SStmTieType* CStmDataDefine::GetTieType(int index) const {
  if (index < 0 || index >= GetCountTie()) return nullptr;
  return &m_ties[static_cast<size_t>(index)];
}

int CStmDataDefine::AddStrutType(const SStmStrutType& type) {
  m_struts.push_back(type);
  return GetCountStrut() - 1;
}

int CStmDataDefine::AddTieType(const SStmTieType& type) {
  m_ties.push_back(type);
  return GetCountTie() - 1;
}

void CStmDataDefine::RemoveAll() {
  m_struts.clear();
  m_ties.clear();
}
