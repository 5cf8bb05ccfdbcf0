// Boundary record: element membership and its effect on the elements' boundary attribute.
#include "host/model/CStmObjBoundary.h"

#include <algorithm>

#include "host/model/CStmModel.h"

int CStmObjBoundary::IsIncludeElement(int idElement) const {
  return std::find(m_idElements.begin(), m_idElements.end(), idElement) != m_idElements.end() ? 1 : 0;
}

void CStmObjBoundary::AddElement(int idElement, int update) {
  if (!IsIncludeElement(idElement)) {
    Touch();
    m_idElements.push_back(idElement);
  }
  if (update && GetModel()) GetModel()->UpdateBoundaryMembership();
}

void CStmObjBoundary::SetEnable(int enable) {
  CStmObject::SetEnable(enable);
  if (GetTypeObject() == STM_OBJ_BOUNDARY && GetModel()) GetModel()->UpdateBoundaryMembership();
}
