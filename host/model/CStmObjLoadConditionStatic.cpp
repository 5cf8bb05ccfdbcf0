// Static load condition: its nodal loads.
#include "host/model/CStmObjLoadConditionStatic.h"

#include <cmath>

CStmObjLoadConditionStatic::~CStmObjLoadConditionStatic() { ClearLoadNode(); }

CStmObjLoadNode* CStmObjLoadConditionStatic::GetLoadNode(int id) const {
  auto it = m_loads.find(id);
  return it == m_loads.end() ? nullptr : it->second;
}

CStmObjLoadNode* CStmObjLoadConditionStatic::AddLoadNode(const CString& name, int idNode, const CVector& load,
                                                         int merge) {
  if (merge) {
    for (auto& [id, existing] : m_loads) {
      if (existing->GetIdNode() == idNode) {
        const CVector sum = existing->GetLoad() + load;
        if (!std::isfinite(sum.x) || !std::isfinite(sum.y) || !std::isfinite(sum.z)) return nullptr;
        existing->SetLoad(sum);
        return existing;
      }
    }
  }
  return AddLoadNodeWithId(-1, name, idNode, load);
}

CStmObjLoadNode* CStmObjLoadConditionStatic::AddLoadNodeWithId(int id, const CString& name, int idNode,
                                                               const CVector& load) {
  if (!std::isfinite(load.x) || !std::isfinite(load.y) || !std::isfinite(load.z)) return nullptr;
  if (id < 0) id = m_loads.empty() ? 1 : m_loads.rbegin()->first + 1;
  if (m_loads.count(id)) return nullptr;
  auto* record = new CStmObjLoadNode;
  record->m_nId = id;
  record->SetName(name);
  record->SetIdNode(idNode);
  record->SetLoad(load);
  m_loads[id] = record;
  return record;
}

void CStmObjLoadConditionStatic::ClearLoadNode() {
  for (auto& [id, record] : m_loads) delete record;
  m_loads.clear();
}
