#include "host/model/StmOutlineElements.h"

#include "host/model/CStmModel.h"

namespace {

bool HeldByTruss(const CStmModel& model, int idNode) {
  for (const CStmObjElement* other : model.GetInvolvedElements(idNode)) {
    if (!StmIsOutlineElement(*other)) return true;
  }
  if (model.GetRestraintNode(idNode) || model.GetSpringNode(idNode)) return true;
  for (const auto& [id, condition] : model.GetLoadConditionStatics()) {
    for (const auto& [idLoad, load] : condition->GetLoadNodes()) {
      if (load->IsEnable() && load->GetIdNode() == idNode) return true;
    }
  }
  return false;
}

}  // namespace

bool StmIsOutlineElement(const CStmObjElement& element) {
  return element.GetAttributeInt(CStmObject::kAttrBoundary) != 0 &&
         element.GetProperty().nTypeMember == STM_ELEMENT_NONE;
}

bool StmOnlyFormsOutline(const CStmModel& model, const CStmObjElement& element) {
  return StmIsOutlineElement(element) &&
         (!HeldByTruss(model, element.GetIdNodeBegin()) || !HeldByTruss(model, element.GetIdNodeEnd()));
}
