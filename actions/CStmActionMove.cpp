// The move tool and what the transform tools share.
#include "actions/CStmActionMove.h"

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "entities/CStmEntityObject.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

CStmActionMove::CStmActionMove() : CStmActionAddLine(1) {}

CString CStmActionMove::StartPrompt() const { return StmText("Move: pick the base point"); }

void CStmActionMove::InitAction(CUbRenderWnd* wnd) {
  // Not the line tool's start: that would empty the selection this tool is about to move.
  CUbActionBase::InitAction(wnd);
  m_nStep = kPickStart;
  SetLengthText(CString());
  CStmUbManager* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager) return;
  if (GetSelection(*manager).IsEmpty()) {
    OnStatusMessage(StmText("Nothing is selected: select nodes or elements first; Esc returns to selection"));
  } else {
    OnStatusMessage(StartPrompt());
  }
  if (manager->IsGripEdit()) m_gripManage.OnChangeSelectedMember(wnd);
}

void CStmActionMove::RenderPre(CUbRenderWnd* wnd) {
  CUbManage* manage = GetManage(wnd);
  if (manage && manage->IsGripEdit()) m_gripManage.RenderPre(wnd);
}

void CStmActionMove::RenderPost(CUbRenderWnd* wnd, int flag) {
  CStmActionAddLine::RenderPost(wnd, flag);
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager) return;
  if (manager->IsGripEdit()) m_gripManage.RenderPost(wnd);
  CVector from, to;
  if (m_nStep != kPickEnd || !GetVectorCurLine(wnd, from, to)) return;
  SStmPreview preview;
  GetPreview(*manager, manager->GetStartPoint(), to, preview);
  StmDrawPreview(wnd, preview);
}

CVector CStmActionMove::PreviewPoint(const CVector& p, const CVector& start, const CVector& end) const {
  return p + (end - start);
}

void CStmActionMove::GetPreview(CStmUbManager& manager, const CVector& start, const CVector& end, SStmPreview& out) {
  const SSelection selection = GetSelection(manager);
  for (const CString& key : selection.m_arElement) {
    if (const CStmEntityElement* e = FindElement(manager, key))
      out.m_arLine.emplace_back(PreviewPoint(e->GetCoordBegin(), start, end), PreviewPoint(e->GetCoordEnd(), start, end));
  }
  for (const CString& key : selection.m_arNode) {
    if (const CStmEntityNode* n = FindNode(manager, key)) out.m_arNode.push_back(PreviewPoint(n->GetCoord(), start, end));
  }
}

CStmActionMove::SSelection CStmActionMove::GetSelection(CStmUbManager& manager) {
  SSelection out;
  for (const auto& entry : manager.GetSelectMap()) {
    const auto* entity = static_cast<const CUbEntityObj*>(entry.second);
    if (!entity) continue;
    if (entity->GetTypeEntity() == CStmEntityObject::kKindElement) out.m_arElement.push_back(entity->GetName());
    if (entity->GetTypeEntity() == CStmEntityObject::kKindNode) out.m_arNode.push_back(entity->GetName());
  }
  return out;
}

CStmEntityElement* CStmActionMove::FindElement(CStmUbManager& manager, const CString& key) {
  return dynamic_cast<CStmEntityElement*>(manager.GetEtt(key));
}

CStmEntityNode* CStmActionMove::FindNode(CStmUbManager& manager, const CString& key) {
  return dynamic_cast<CStmEntityNode*>(manager.GetEtt(key));
}

bool CStmActionMove::CheckEditable(CStmUbManager& manager) {
  const CStmModel* model = manager.GetStmModel();
  if (!model) return false;
  if (model->IsLock() == 0) return true;
  OnStatusMessage(StmLockedModelText());
  return false;
}

int CStmActionMove::TransformSelection(CStmUbManager& manager, const SSelection& selection,
                                       const std::function<bool(CUbEntityObj&)>& apply, bool splitByNodes) {
  // A node with an element at its place goes along with the element (or stays with it); which
  // nodes are free is read before anything moves, or an element landing on one would hold it.
  std::vector<CString> freeNodes;
  for (const CString& key : selection.m_arNode) {
    const CStmEntityNode* node = FindNode(manager, key);
    if (node && manager.GetCountEntityInvolvedElement(node->GetCoord(), 0) == 0) freeNodes.push_back(key);
  }
  // Everything moves first; merges and splits follow, so that nothing merges with what is about
  // to leave and the outcome does not depend on the order of the selection.
  int moved = 0;
  std::vector<CString> movedElements, movedNodes;
  for (const CString& key : selection.m_arElement) {
    CStmEntityElement* element = FindElement(manager, key);
    if (!element || !apply(*element)) continue;
    ++moved;
    movedElements.push_back(key);
  }
  for (const CString& key : freeNodes) {
    CStmEntityNode* node = FindNode(manager, key);
    if (!node || !apply(*node)) continue;
    ++moved;
    movedNodes.push_back(key);
  }
  for (const CString& key : movedElements) {
    if (CStmEntityElement* element = FindElement(manager, key)) {
      manager.AddNodeMovedElement(element);
      manager.DeleteNodeDuplication(element->GetIdStm());
    }
  }
  // An element that landed on one already there would be drawn and analysed twice: the one that
  // was there stays.
  std::vector<CStmEntityElement*> landed;
  for (const CString& key : movedElements) {
    if (CStmEntityElement* element = FindElement(manager, key)) landed.push_back(element);
  }
  manager.DeleteElementDuplication(landed);
  if (splitByNodes) {
    for (const CString& key : movedNodes) {
      if (CStmEntityNode* node = FindNode(manager, key)) manager.SplitElement(node, 1, 1);
    }
  }
  for (const CString& key : movedNodes) {
    if (CStmEntityNode* node = FindNode(manager, key)) manager.DeleteNodeDuplication(node);
  }
  return moved;
}

int CStmActionMove::MoveSelection(CStmUbManager& manager, const SSelection& selection, const CVector& d) {
  CUbHistoryBracket bracket(manager, StmText("Move"));
  return TransformSelection(
      manager, selection,
      [&](CUbEntityObj& entity) {
        // A fixed node refuses with a message of its own and stays where it is.
        const CStmEntityNode* node = dynamic_cast<const CStmEntityNode*>(&entity);
        const CVector before = node ? node->GetCoord() : CVector();
        entity.Move(d);
        if (node && node->GetCoord() == before) return false;
        manager.AddHistory_ActionMoveAllPoint(entity.GetName(), d);
        return true;
      },
      true);
}

bool CStmActionMove::RefuseBeyondLimits(CUbRenderWnd* wnd, CStmUbManager& manager, const CVector& start,
                                        const CVector& end) {
  SStmPreview preview;
  GetPreview(manager, start, end, preview);
  std::vector<CVector> points = preview.m_arNode;
  for (const auto& [a, b] : preview.m_arLine) {
    points.push_back(a);
    points.push_back(b);
  }
  const CString text = CStmUbManager::BeyondLimitsText(points);
  if (text.IsEmpty()) return false;
  Finish(wnd, true);
  // Through the tool, so that the line tool keeps this word rather than its next prompt.
  OnStatusMessage(text);
  return true;
}

void CStmActionMove::Finish(CUbRenderWnd* wnd, bool redraw) {
  auto* renderer = dynamic_cast<CStmUbRenderer*>(wnd);
  if (!renderer) return;
  renderer->SetAction(CStmUbManager::kActionNormal, -1, 1);
  renderer->CancelCommand();
  if (redraw) renderer->InvalidateAllWnd();
}

void CStmActionMove::OnLineCompleted(CUbRenderWnd* wnd) {
  auto* manager = dynamic_cast<CStmUbManager*>(GetManage(wnd));
  if (!manager || !dynamic_cast<CStmUbRenderer*>(wnd) || !CheckEditable(*manager)) return;
  const CVector start = manager->GetStartPoint();
  CVector end = manager->GetEndPoint();
  if (!ApplyLengthText(start, end)) return;
  const CVector d = end - start;
  if (RefuseBeyondLimits(wnd, *manager, start, end)) return;
  const SSelection selection = GetSelection(*manager);
  const int moved = d.IsZero() ? 0 : MoveSelection(*manager, selection, d);
  Finish(wnd, true);
  CString text;
  text.Format(StmTextN("Moved %d object", "Moved %d objects", moved).c_str(), moved);
  OnStatusMessage(text);
}
