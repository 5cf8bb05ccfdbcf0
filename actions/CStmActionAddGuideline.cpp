// The guideline tool's finished line.
#include "actions/CStmActionAddGuideline.h"

#include "host/framework/CUbRenderWnd.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

void CStmActionAddGuideline::OnLineCompleted(CUbRenderWnd* wnd) {
  auto* manager = wnd ? dynamic_cast<CStmUbManager*>(wnd->GetManage()) : nullptr;
  if (!manager) return;
  if (!manager->AddGuidelines(manager->GetStartPoint(), manager->GetEndPoint(), 1))
    OnStatusMessage(StmText("The end point is the start point: no guideline. Pick start point"));
  manager->InvalidateAllWnd();
}
