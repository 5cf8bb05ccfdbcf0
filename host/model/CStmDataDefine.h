// The strut and tie type tables that elements refer to by index.
#pragma once

#include <vector>

#include "host/model/StmModelTypes.h"

class CStmDataDefine {
public:
  int GetCountStrut() const { return static_cast<int>(m_struts.size()); }
  int GetCountTie() const { return static_cast<int>(m_ties.size()); }
  // Null for an index outside the table.
  const SStmStrutType* GetStrutType(int index) const;
  const SStmTieType* GetTieType(int index) const;

  int AddStrutType(const SStmStrutType& type);
  int AddTieType(const SStmTieType& type);
  void RemoveAll();

private:
  std::vector<SStmStrutType> m_struts;
  std::vector<SStmTieType> m_ties;
};
