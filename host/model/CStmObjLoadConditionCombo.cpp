// Load combination: its terms.
#include "host/model/CStmObjLoadConditionCombo.h"

#include <cmath>

#include "host/model/CStmModel.h"

CStmObjLoadConditionCombo::~CStmObjLoadConditionCombo() { FreeFactors(); }

CStmObjLoadComboFactor* CStmObjLoadConditionCombo::GetComboFactor(int id) const {
  auto it = m_factors.find(id);
  return it == m_factors.end() ? nullptr : it->second;
}

CStmObjLoadComboFactor* CStmObjLoadConditionCombo::AddComboFactor(const CString& nameCondition, int type,
                                                                  double scale, int id) {
  if (type != CStmObjLoadComboFactor::kTypeStatic && type != CStmObjLoadComboFactor::kTypeCombo) return nullptr;
  if (!std::isfinite(scale)) return nullptr;
  if (type == CStmObjLoadComboFactor::kTypeCombo && GetModel() &&
      GetModel()->IsComboReaching(nameCondition, GetName())) {
    return nullptr;
  }
  return RestoreComboFactor(nameCondition, type, scale, id);
}

CStmObjLoadComboFactor* CStmObjLoadConditionCombo::RestoreComboFactor(const CString& nameCondition, int type,
                                                                      double scale, int id) {
  if (type != CStmObjLoadComboFactor::kTypeStatic && type != CStmObjLoadComboFactor::kTypeCombo) return nullptr;
  if (!std::isfinite(scale)) return nullptr;
  if (id < 0) id = m_factors.empty() ? 1 : m_factors.rbegin()->first + 1;
  if (m_factors.count(id)) return nullptr;
  Touch();
  auto* factor = new CStmObjLoadComboFactor;
  factor->m_nId = id;
  factor->SetName(nameCondition);
  factor->SetNameLoadCondition(nameCondition);
  factor->SetTypeLoadCondition(type);
  factor->SetScaleFactor(scale);
  factor->SetParent(this);
  m_factors[id] = factor;
  return factor;
}

void CStmObjLoadConditionCombo::ClearComboFactor() {
  if (m_factors.empty()) return;
  Touch();
  FreeFactors();
}

int CStmObjLoadConditionCombo::RemoveComboFactor(int id) {
  auto it = m_factors.find(id);
  if (it == m_factors.end()) return 0;
  Touch();
  delete it->second;
  m_factors.erase(it);
  return 1;
}

void CStmObjLoadConditionCombo::FreeFactors() {
  for (auto& [id, factor] : m_factors) delete factor;
  m_factors.clear();
}

std::unique_ptr<CStmObject> CStmObjLoadConditionCombo::Clone() const { return CloneOf(*this); }

void CStmObjLoadConditionCombo::Restore(const CStmObject& image) {
  const auto& other = static_cast<const CStmObjLoadConditionCombo&>(image);
  CopyBase(other);
  FreeFactors();
  CopyChildren(other.m_factors, m_factors);
}

bool CStmObjLoadConditionCombo::IsEqual(const CStmObject& image) const {
  const auto* other = dynamic_cast<const CStmObjLoadConditionCombo*>(&image);
  return other && IsEqualBase(image) && IsEqualChildren(m_factors, other->m_factors);
}
