// Element record: links to its nodes through the owning model, results and assignment.
#include "host/model/CStmObjElement.h"

#include <cmath>

#include "host/model/CStmModel.h"

void CStmObjElement::SetIdNodeBegin(int id) { SetIdNodes(id, m_nIdNodeEnd); }

void CStmObjElement::SetIdNodeEnd(int id) { SetIdNodes(m_nIdNodeBegin, id); }

void CStmObjElement::SetIdNodes(int idBegin, int idEnd) {
  if (idBegin == m_nIdNodeBegin && idEnd == m_nIdNodeEnd) return;
  Touch();
  CStmModel* model = GetModel();
  if (model) model->UnlinkElement(*this);
  m_nIdNodeBegin = idBegin;
  m_nIdNodeEnd = idEnd;
  if (model) {
    model->LinkElement(*this);
    model->NameElement(*this);
  }
}

CStmObjNode* CStmObjElement::GetNodeBegin() const { return GetModel() ? GetModel()->GetNode(m_nIdNodeBegin) : nullptr; }

CStmObjNode* CStmObjElement::GetNodeEnd() const { return GetModel() ? GetModel()->GetNode(m_nIdNodeEnd) : nullptr; }

CVector CStmObjElement::GetCoordBegin() const {
  const CStmObjNode* node = GetNodeBegin();
  return node ? node->GetCoord() : CVector();
}

CVector CStmObjElement::GetCoordEnd() const {
  const CStmObjNode* node = GetNodeEnd();
  return node ? node->GetCoord() : CVector();
}

double CStmObjElement::GetLength() const { return (GetCoordEnd() - GetCoordBegin()).Length(); }

double CStmObjElement::GetResultAxialForce(int loadCase) const {
  if (loadCase < 0 || loadCase >= static_cast<int>(m_forces.size())) return 0.0;
  return m_forces[static_cast<size_t>(loadCase)];
}

EStmTypeElement CStmObjElement::GetType(int loadCase) const {
  if (loadCase < 0 || loadCase >= static_cast<int>(m_types.size())) return STM_ELEMENT_NONE;
  return m_types[static_cast<size_t>(loadCase)];
}

void CStmObjElement::SetResultAxialForces(std::vector<double> forces) {
  Touch();
  m_forces = std::move(forces);
  DeriveTypes(GetModel() ? GetModel()->GetStmDataView()->GetFixedPointNumber() : CStmDataView().GetFixedPointNumber());
}

void CStmObjElement::DeriveTypes(int decimals) {
  Touch();
  const double scale = std::pow(10.0, decimals < 0 ? 0 : decimals);
  m_types.resize(m_forces.size());
  for (size_t i = 0; i < m_forces.size(); ++i) {
    const double rounded = std::round(m_forces[i] * scale);
    if (rounded == 0.0 || !std::isfinite(rounded)) {
      m_types[i] = STM_ELEMENT_NONE;
    } else {
      m_types[i] = rounded < 0.0 ? STM_ELEMENT_STRUT : STM_ELEMENT_TIE;
    }
  }
}

std::vector<CDPoint> CStmObjElement::GetCoordEffectiveZones(int loadCase) const {
  if (loadCase < 0 || loadCase >= static_cast<int>(m_effectiveZones.size())) return {};
  return m_effectiveZones[static_cast<size_t>(loadCase)];
}

void CStmObjElement::CopyProperties(const CStmObjElement& other) {
  if (this == &other) return;
  Touch();
  m_prop = other.m_prop;
  m_nIndexStrut = other.m_nIndexStrut;
  m_nIndexTie = other.m_nIndexTie;
  m_bStable = other.m_bStable;
  m_dThicknessScale = other.m_dThicknessScale;
  CopyAttributes(other);
}

CStmObjElement& CStmObjElement::operator=(const CStmObjElement& other) {
  CopyProperties(other);
  return *this;
}
