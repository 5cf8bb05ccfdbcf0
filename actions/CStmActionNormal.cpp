// The default selection and grip-dragging action.
#include "actions/CStmActionNormal.h"

#include <cstdlib>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "entities/CStmEntityObject.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CUiHost.h"
#include "manager/CStmUbManager.h"

namespace {

CStmUbManager* StmManager(CUbRenderWnd* wnd) { return wnd ? dynamic_cast<CStmUbManager*>(wnd->GetManage()) : nullptr; }

}  // namespace

CStmActionNormal::CStmActionNormal() {
  // The release picks with this action's own rules (Ctrl+click toggles, the selection is
  // remembered), not with the framework's plain band selection.
  SetSelectMode(0);
}

void CStmActionNormal::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbActionNormal::OnLButtonDown(wnd, flags, pt);
  CStmUbManager* manager = StmManager(wnd);
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return;
  // With Ctrl the press is about the selection, so that Ctrl+click on a selected node (which
  // always has a grip under it) can take it out instead of starting a drag.
  const bool ctrl = (flags & MK_CONTROL) != 0 && !GetSnapPointManage().IsDragging();
  if (manager->IsGripEdit() && !model->IsLock() && !ctrl && OnGripPress(wnd, *manager, flags, pt)) return;
  if (!IsPressPending()) {
    SetPressPending(1);
    SetActionNone(wnd, pt);
  }
}

bool CStmActionNormal::OnGripPress(CUbRenderWnd* wnd, CStmUbManager& manager, UINT flags, const CPoint& pt) {
  CUbHistoryBracket bracket(manager);
  std::vector<CStmObjNode*> nodes;
  manager.GetSelectedNodeObjects(nodes);
  bool allMove = true;
  for (const CStmObjNode* node : nodes) {
    if (!node->IsMoveable()) allMove = false;
  }
  CSnapPointManage& grips = GetSnapPointManage();
  grips.EnableHistory(allMove ? 1 : 0);
  const bool wasDragging = grips.IsDragging() != 0;
  if (grips.OnLButtonDown(wnd, flags, pt) != 0) return false;
  if (wasDragging && !grips.IsDragging()) {
    if (allMove) ApplyGripMoves(manager);
    // A merge may have taken a selected node away, so the grips are made again.
    grips.OnChangeSelectedMember(wnd);
    manager.InvalidateAllWnd();
  } else if (!wasDragging && grips.IsDragging()) {
    m_arInvolvedElement.clear();
    const std::vector<CString>& names = grips.GetGripEntityNames();
    auto* first = names.empty() ? nullptr : dynamic_cast<CStmEntityNode*>(manager.GetEtt(names.front()));
    if (first) {
      std::vector<CStmEntityElement*> elements;
      manager.GetEntityInvolvedElements(first->GetCoord(), 0, elements);
      for (const CStmEntityElement* element : elements) m_arInvolvedElement.push_back(element->GetName());
    }
  }
  return true;
}

void CStmActionNormal::ApplyGripMoves(CStmUbManager& manager) {
  // Resolved by key: a merge during an earlier grip entity's fix-up may remove a later one.
  const std::vector<CString> names = GetSnapPointManage().GetGripEntityNames();
  for (const CString& name : names) {
    CUbEntityObj* entity = manager.GetEtt(name);
    if (auto* node = dynamic_cast<CStmEntityNode*>(entity)) {
      std::vector<CStmEntityElement*> involved;
      for (const CString& key : m_arInvolvedElement) {
        if (auto* element = dynamic_cast<CStmEntityElement*>(manager.GetEtt(key))) involved.push_back(element);
      }
      manager.StretchElementMovedNode(node, involved);
    } else if (auto* element = dynamic_cast<CStmEntityElement*>(entity)) {
      manager.AddNodeMovedElement(element);
      // Ends that travelled with the element may now sit on nodes that were already there.
      manager.DeleteNodeDuplication(element->GetIdStm());
    }
  }
}

void CStmActionNormal::OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CStmUbManager* manager = StmManager(wnd);
  if (!manager) return;
  CSnapPointManage& grips = GetSnapPointManage();
  if (manager->IsGripEdit() && grips.IsDragging()) return;
  if (!IsPressPending()) return;
  SetActionCmd(0, CString());
  m_nStep = kIdle;
  if (IsSelectMode()) {
    SelectEttOnLButtonUp(wnd, flags, pt);
  } else {
    SelectAtRelease(wnd, *manager, flags, pt);
  }
  wnd->SetRubberBand(wnd->GetRubberBandPress(), pt, false);
  if (manager->IsGripEdit()) grips.OnChangeSelectedMember(wnd);
  SetPressPending(0);
}

void CStmActionNormal::SelectAtRelease(CUbRenderWnd* wnd, CStmUbManager& manager, UINT flags, const CPoint& pt) {
  const CPoint press = wnd->GetRubberBandPress();
  const int width = std::abs(pt.x - press.x);
  const int height = std::abs(pt.y - press.y);
  const int ctrl = static_cast<int>(flags & MK_CONTROL);
  CMapStringToPtr& selection = manager.GetSelectMap();
  constexpr long kMode = 2;
  if (width < 3 || height < 3 || pt == press) {
    const CSize box(manager.GetSelectSize().cx * 2, manager.GetSelectSize().cy * 2);
    if (ctrl) {
      // Ctrl+click on something already selected takes it out of the selection.
      CMapStringToPtr under;
      wnd->SelectionPoint(pt, box, 1, 0, &under, CUbRenderWnd::kSelectQuery);
      void* value = nullptr;
      for (const auto& entry : under) {
        if (selection.Lookup(entry.first, value)) {
          manager.SelectEtt(static_cast<CUbEntityObj*>(entry.second), 0);
          manager.InvalidateAllWnd();
          return;
        }
      }
    }
    wnd->SelectionPoint(pt, box, 1, ctrl, &selection, kMode);
  } else if (pt.x < press.x) {
    const CPoint centre((press.x + pt.x) / 2, (press.y + pt.y) / 2);
    wnd->SelectionPoint(centre, CSize(width <= 5 ? 5 : width, height <= 5 ? 5 : height), -1, ctrl, &selection, kMode);
  } else {
    wnd->SelectionRect(press, pt, 1, ctrl, &selection, kMode);
  }
  if (selection.GetCount() > 0) manager.SetPreviousSelection();
}

void CStmActionNormal::OnTimer(CUbRenderWnd* wnd) {
  CStmUbManager* manager = StmManager(wnd);
  if (!manager) return;
  if (manager->IsGripEdit() && GetSnapPointManage().IsDragging()) {
    GetUiHost().KillTimer(kHoverTimerId);
    if (manager->IsSnapWhileDrag()) {
      HoverPick(wnd);
      manager->CheckOsnapSub(wnd, 3);
    }
    return;
  }
  // While a band is drawn the hover highlight would only flicker under it.
  if (m_nStep == kBand) {
    GetUiHost().KillTimer(kHoverTimerId);
    return;
  }
  CUbActionBase::OnTimer(wnd);
}

int CStmActionNormal::OnSetCursor(CUbRenderWnd*) {
  GetUiHost().SetCursor(IDC_ARROW);
  return 1;
}
