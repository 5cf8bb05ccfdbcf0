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

void CStmObjLoadConditionCombo::FreeFactors() {
  for (auto& [id, factor] : m_factors) delete factor;
  m_factors.clear();
}

std::unique_ptr<CStmObject> CStmObjLoadConditionCombo::Clone() const {
  auto copy = std::make_unique<CStmObjLoadConditionCombo>();
  copy->Restore(*this);
  return copy;
}

void CStmObjLoadConditionCombo::Restore(const CStmObject& image) {
  const auto& other = static_cast<const CStmObjLoadConditionCombo&>(image);
  CopyBase(other);
  FreeFactors();
  for (const auto& [id, factor] : other.m_factors) {
    std::unique_ptr<CStmObject> copy = factor->Clone();
    auto* record = static_cast<CStmObjLoadComboFactor*>(copy.release());
    record->SetParent(this);
    m_factors[id] = record;
  }
}
