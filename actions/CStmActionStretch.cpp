// The stretch tool.
#include "actions/CStmActionStretch.h"

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

CStmActionStretch::CStmActionStretch() { SetElementMode(0); }

CString CStmActionStretch::StartPrompt() const { return StmText("Stretch: pick the base point"); }

void CStmActionStretch::GetPreview(CStmUbManager& manager, const CVector& start, const CVector& end, SStmPreview& out) {
  const CVector d = end - start;
  std::vector<CVector> moving;
  for (const CString& key : GetSelection(manager).m_arNode) {
    if (const CStmEntityNode* node = FindNode(manager, key)) {
      moving.push_back(node->GetCoord());
      out.m_arNode.push_back(node->GetCoord() + d);
    }
  }
  const auto moved = [&](const CVector& p) {
    for (const CVector& q : moving) {
      if (CompareVectorTolerance(p, q, "==", kStmPointTolerance)) return p + d;
    }
    return p;
  };
  for (const CVector& p : moving) {
    std::vector<CStmEntityElement*> attached;
    manager.GetEntityInvolvedElements(p, 0, attached);
    for (const CStmEntityElement* e : attached) out.m_arLine.emplace_back(moved(e->GetCoordBegin()), moved(e->GetCoordEnd()));
  }
}

void CStmActionStretch::OnLineCompleted(CUbRenderWnd* wnd) {
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager || !dynamic_cast<CStmUbRenderer*>(wnd) || !CheckEditable(*manager)) return;
  const CVector start = manager->GetStartPoint();
  CVector end = manager->GetEndPoint();
  if (!ApplyLengthText(start, end)) return;
  if (RefuseBeyondLimits(wnd, *manager, start, end)) return;
  const CVector d = end - start;
  int moved = 0;
  if (!d.IsZero()) {
    std::vector<CStmEntityNode*> nodes;
    for (const CString& key : GetSelection(*manager).m_arNode) {
      if (CStmEntityNode* node = FindNode(*manager, key)) nodes.push_back(node);
    }
    moved = manager->StretchNodes(nodes, start, end);
  }
  Finish(wnd, true);
  CString text;
  text.Format(StmTextN("Stretched: %d node moved, its elements following", "Stretched: %d nodes moved, their elements following",
                       moved)
                  .c_str(),
              moved);
  OnStatusMessage(text);
}
