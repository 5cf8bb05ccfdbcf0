// The element tool's finished line.
#include "actions/CStmActionAddElement.h"

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

void CStmActionAddElement::OnLineCompleted(CUbRenderWnd* wnd) {
  auto* manager = wnd ? dynamic_cast<CStmUbManager*>(wnd->GetManage()) : nullptr;
  if (!manager) return;
  CStmModel* model = manager->GetStmModel();
  if (model && model->IsLock()) {
    OnStatusMessage(StmLockedModelText());
    return;
  }
  const CVector start = manager->GetStartPoint();
  CVector end = manager->GetEndPoint();
  if (!ApplyLengthText(start, end)) return;
  if (CompareVectorTolerance(start, end, "==", kStmPointTolerance)) {
    OnStatusMessage(StmText("The end point is the start point: no element. Pick start point"));
    return;
  }
  if (CStmEntityElement* existing = manager->GetEntElement(start, end, nullptr)) {
    CString text;
    text.Format(StmText("Element %d already joins these points: no element. Pick start point").c_str(),
                existing->GetIdStm());
    OnStatusMessage(text);
    return;
  }
  CStmEntityElement* element = manager->AddElement(start, end, 1, 1, 1, nullptr);
  manager->InvalidateAllWnd();
  if (!element) return;
  CString text;
  text.Format(StmText("Element %d drawn. Pick start point").c_str(), element->GetIdStm());
  OnStatusMessage(text);
}
