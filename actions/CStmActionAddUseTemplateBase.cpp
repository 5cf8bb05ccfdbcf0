// Point picking, the rubber band and the one-step insertion that every template shares.
#include "actions/CStmActionAddUseTemplateBase.h"

#include <GL/gl.h>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"

CStmUbManager* CStmActionAddUseTemplateBase::StmManager(CUbRenderWnd* wnd) {
  return wnd ? dynamic_cast<CStmUbManager*>(wnd->GetManage()) : nullptr;
}

int CStmActionAddUseTemplateBase::IsValidThreePoints(const std::vector<CVector>& points) {
  if (points.size() != 3) return 0;
  const CVector& p0 = points[0];
  const CVector& p1 = points[1];
  const CVector& p2 = points[2];
  if ((p1 - p0).Length() == 0.0 || (p2 - p0).Length() == 0.0 || (p2 - p1).Length() == 0.0) return 0;
  const CVector u1 = (p1 - p0).Unit();
  const CVector u2 = (p2 - p0).Unit();
  return u1 == u2 || u1 == -u2 ? 0 : 1;
}

void CStmActionAddUseTemplateBase::RenderPost(CUbRenderWnd* wnd, int) {
  CUbActionBase::RenderPost(wnd, 1);
  if (!wnd || m_arPoint.size() < 2) return;
  // The legs already picked stay on screen, so the user sees the outline taking shape.
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  glColor3d(1.0, 1.0, 1.0);
  for (size_t i = 1; i < m_arPoint.size(); ++i) CUbRenderAPI::DrawLine(m_arPoint[i - 1], m_arPoint[i]);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

void CStmActionAddUseTemplateBase::InitAction(CUbRenderWnd* wnd) {
  CUbActionBase::InitAction(wnd);
  m_nStep = kPickFirst;
  m_arPoint.clear();
  if (CStmUbManager* manager = StmManager(wnd)) {
    manager->SetTemplatePick(0);
    manager->ResetSelection(1, 1);
  }
  PromptNext();
}

void CStmActionAddUseTemplateBase::CancelCmd(CUbRenderWnd* wnd) {
  CUbActionBase::CancelCmd(wnd);
  m_arPoint.clear();
  if (CStmUbManager* manager = StmManager(wnd)) manager->SetTemplatePick(0);
}

void CStmActionAddUseTemplateBase::OnRButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnRButtonUp(wnd, flags, pt);
  // The tool stays; Esc, which leaves it, says nothing of a next point.
  PromptNext();
}

void CStmActionAddUseTemplateBase::PromptNext() {
  const int index = static_cast<int>(m_arPoint.size());
  if (index < m_nRequiredPoints) OnStatusMessage(GetPrompt(index));
}

void CStmActionAddUseTemplateBase::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionBase::OnLButtonDown(wnd, flags, pt);
  CStmUbManager* manager = StmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return;
  if (model->IsLock()) {
    OnStatusMessage(
        StmLockedModelText());
    return;
  }
  const bool first = m_arPoint.empty();
  CVector& target = first ? manager->GetStartPoint() : manager->GetEndPoint();
  if (!GetSnapPoint(wnd, target, pt, first ? 0 : 1, flags, 0xffff)) return;
  m_arPoint.push_back(target);
  if (first) {
    m_nStep = kPickMore;
  } else {
    // The band goes on from the point just picked.
    manager->GetStartPoint() = manager->GetEndPoint();
    manager->SetTemplatePick(1);
  }
  if (static_cast<int>(m_arPoint.size()) < m_nRequiredPoints) {
    RenderVectorLine(wnd, manager->GetStartPoint(), wnd->ClientToExt(pt, 0.0));
    PromptNext();
    return;
  }

  // The scene holds one entity per enabled record and counts them without a walk.
  const auto count = [manager](int kind) {
    return manager->GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind));
  };
  const int nodesBefore = count(CStmEntityObject::kKindNode);
  const int elementsBefore = count(CStmEntityObject::kKindElement);
  m_bRefused = false;
  {
    CUbHistoryBracket bracket(*manager, StmText("Insert template"));
    InsertEntity(wnd);
  }
  m_arPoint.clear();
  manager->SetTemplatePick(0);
  m_nStep = kPickFirst;
  ClearVectorLine();
  wnd->Invalidate();
  if (m_bRefused) return;
  const int nodes = count(CStmEntityObject::kKindNode) - nodesBefore;
  const int elements = count(CStmEntityObject::kKindElement) - elementsBefore;
  CString text;
  if (nodes == 0 && elements == 0) {
    text = StmText("Nothing added: every node and element of it is there already");
  } else {
    CString nodeCount, elementCount;
    nodeCount.Format(StmTextN("%d node", "%d nodes", nodes).c_str(), nodes);
    elementCount.Format(StmTextN("%d element", "%d elements", elements).c_str(), elements);
    text.Format(StmText("Added %s and %s").c_str(), nodeCount.c_str(), elementCount.c_str());
  }
  text += "; ";
  text += GetPrompt(0);
  OnStatusMessage(text);
}

void CStmActionAddUseTemplateBase::OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  OnMouseMoveSub(wnd, flags, pt);
  OnMouseMovePre(wnd, flags, pt);
  CStmUbManager* manager = StmManager(wnd);
  if (manager && !m_arPoint.empty()) RenderVectorLine(wnd, manager->GetStartPoint(), wnd->ClientToExt(pt, 0.0));
  CUbActionBase::OnMouseMove(wnd, flags, pt);
}

void CStmActionAddUseTemplateBase::OnTimer(CUbRenderWnd* wnd) {
  if (CStmUbManager* manager = StmManager(wnd)) manager->CheckOsnapSub(wnd, 3);
  CUbActionBase::OnTimer(wnd);
}

// The window draws its own cross-hair.
int CStmActionAddUseTemplateBase::OnSetCursor(CUbRenderWnd*) { return 0; }

void CStmActionAddUseTemplateBase::Refuse(CUbRenderWnd* wnd, const CString& reason) {
  m_bRefused = true;
  OnStatusMessage(reason);
  AfxMessageBox(StmText("Input Failure"));
  if (CStmUbManager* manager = StmManager(wnd)) manager->InvalidateAllWnd();
}

CStmEntityElement* CStmActionAddUseTemplateBase::Join(CStmUbManager& manager, const CVector& pa, const CVector& pb) {
  // Every point of a template is computed from the picked ones: it enters the model clean.
  const CVector a = StmCleanPoint(pa);
  const CVector b = StmCleanPoint(pb);
  if (CompareVectorTolerance(a, b, "==", kStmPointTolerance)) return nullptr;
  if (CStmEntityElement* existing = manager.GetEntElement(a, b, nullptr)) return existing;
  CUbHistoryBracket bracket(manager);
  for (const CVector& end : {a, b}) {
    if (!manager.GetEntNode(end, nullptr)) manager.AddNode(end, 1, 1, 1, 1, nullptr);
  }
  // A new end node may have cut an element into exactly this one; reuse finds it then.
  return manager.AddElement(a, b, 1, 1, 1, nullptr);
}

void CStmActionAddUseTemplateBase::MakeStrut(CStmModel& model, const CStmEntityElement* element) {
  CStmObjElement* record = element ? model.GetElement(element->GetIdStm()) : nullptr;
  if (record && model.GetStmDataDefine()->GetCountStrut() > 0 && record->GetIndexStrutType() != 0)
    record->SetIndexStrutType(0);
}

void CStmActionAddUseTemplateBase::MakeTie(CStmModel& model, const CStmEntityElement* element) {
  CStmObjElement* record = element ? model.GetElement(element->GetIdStm()) : nullptr;
  if (record && model.GetStmDataDefine()->GetCountTie() > 0 && record->GetIndexTieType() != 0)
    record->SetIndexTieType(0);
}

void CStmActionAddUseTemplateBase::GetPlaneAxes(const CUbRenderWnd* wnd, int& across, int& up, int& normal) {
  switch (wnd ? wnd->GetViewPos() : CUbRenderWnd::VIEW_POS_XZ) {
    case CUbRenderWnd::VIEW_POS_XY: across = 0, up = 1, normal = 2; break;
    case CUbRenderWnd::VIEW_POS_YZ: across = 1, up = 2, normal = 0; break;
    default: across = 0, up = 2, normal = 1; break;
  }
}

CVector CStmActionAddUseTemplateBase::TurnInPlane(const CUbRenderWnd* wnd, const CVector& v, int quarterTurns) {
  int across = 0, up = 0, normal = 0;
  GetPlaneAxes(wnd, across, up, normal);
  double c[3] = {v.x, v.y, v.z};
  // The axis that follows the normal's in x, y, z order turns into the one after it.
  const int first = (normal + 1) % 3, second = (normal + 2) % 3;
  for (int i = 0; i < ((quarterTurns % 4) + 4) % 4; ++i) {
    const double a = c[first];
    c[first] = -c[second];
    c[second] = a;
  }
  return CVector(c[0], c[1], c[2]);
}
