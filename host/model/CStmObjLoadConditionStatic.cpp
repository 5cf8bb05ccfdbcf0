// Static load condition: its nodal loads.
#include "host/model/CStmObjLoadConditionStatic.h"

#include <cmath>

CStmObjLoadConditionStatic::~CStmObjLoadConditionStatic() { FreeLoads(); }

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
  Touch();
  auto* record = new CStmObjLoadNode;
  record->m_nId = id;
  record->SetName(name);
  record->SetIdNode(idNode);
  record->SetLoad(load);
  record->SetParent(this);
  m_loads[id] = record;
  return record;
}

void CStmObjLoadConditionStatic::ClearLoadNode() {
  if (m_loads.empty()) return;
  Touch();
  FreeLoads();
}

void CStmObjLoadConditionStatic::FreeLoads() {
  for (auto& [id, record] : m_loads) delete record;
  m_loads.clear();
}

int CStmObjLoadConditionStatic::RemoveLoadNodes(int idNode) {
  int removed = 0;
  for (auto it = m_loads.begin(); it != m_loads.end();) {
    if (it->second->GetIdNode() != idNode) {
      ++it;
      continue;
    }
    if (removed++ == 0) Touch();
    delete it->second;
    it = m_loads.erase(it);
  }
  return removed;
}

std::unique_ptr<CStmObject> CStmObjLoadConditionStatic::Clone() const { return CloneOf(*this); }

void CStmObjLoadConditionStatic::Restore(const CStmObject& image) {
  const auto& other = static_cast<const CStmObjLoadConditionStatic&>(image);
  CopyBase(other);
  FreeLoads();
  CopyChildren(other.m_loads, m_loads);
}

bool CStmObjLoadConditionStatic::IsEqual(const CStmObject& image) const {
  const auto* other = dynamic_cast<const CStmObjLoadConditionStatic*>(&image);
  return other && IsEqualBase(image) && IsEqualChildren(m_loads, other->m_loads);
}
