// Scene manager: topology edits that keep node and element entities and the model's records in step.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "host/platform/WinDefs.h"
#include "manager/CStmUbManager.h"
#include "manager/StmEttAtPoint.h"

namespace {
// Tells the main window that the model's objects changed, so its lists are refreshed.
constexpr UINT kMsgModelObjectsChanged = WM_USER + 500;

bool SamePoint(const CVector& a, const CVector& b) {
  return CompareVectorTolerance(a, b, "==", kStmPointTolerance) != 0;
}

// The entities of one kind at a point (within the tolerance), in registry order.
template <class T>
std::vector<T*> EntitiesAt(const CUbEttManage& manage, const CVector& pos, int kind) {
  std::vector<CUbEntityObj*> near;
  GetStmEttAtPoint(manage, pos, kind, near);
  std::vector<T*> out;
  for (CUbEntityObj* entity : near) {
    if (auto* typed = dynamic_cast<T*>(entity)) out.push_back(typed);
  }
  return out;
}

void AppendOnce(std::vector<CUbEntityObj*>& list, CUbEntityObj* entity) {
  if (std::find(list.begin(), list.end(), entity) == list.end()) list.push_back(entity);
}
}  // namespace

CStmEntityNode* CStmUbManager::AddNode(const CVector& pos, int split, int toModel, int record, int reuse,
                                       const std::vector<CUbEntityObj*>* candidates) {
  if (reuse) {
    if (CStmEntityNode* existing = GetEntNode(pos, candidates)) return existing;
  }
  CUbHistoryBracket bracket(*this, StmText("Add node"));
  auto* node = new CStmEntityNode(this, pos);
  AddEtt(node, record, 1);
  CStmModel* model = GetStmModel();
  if (toModel && model) {
    if (CStmObjNode* added = model->AddNode(pos, -1)) node->SetIdStm(added->GetId());
    model->SetStmModifiedFlag(1);
  }
  if (split) SplitElement(node, toModel, record);
  return node;
}

CStmEntityElement* CStmUbManager::AddElement(const CVector& a, const CVector& b, int toModel, int record, int reuse,
                                             const std::vector<CUbEntityObj*>* candidates) {
  if (reuse) {
    if (SamePoint(a, b)) return nullptr;
    if (CStmEntityElement* existing = GetEntElement(a, b, candidates)) return existing;
  }
  CUbHistoryBracket bracket(*this, StmText("Add element"));
  CStmEntityNode* nodeA = nullptr;
  CStmEntityNode* nodeB = nullptr;
  if (reuse) {
    // A new end node splits whatever element it lands on.
    nodeA = GetEntNode(a, candidates);
    if (!nodeA) nodeA = AddNode(a, 1, toModel, record, reuse, candidates);
    nodeB = GetEntNode(b, candidates);
    if (!nodeB) nodeB = AddNode(b, 1, toModel, record, reuse, candidates);
    // An end node that lands inside an element along a-b cuts out exactly the element asked for.
    if (CStmEntityElement* existing = GetEntElement(a, b, candidates)) return existing;
  }
  auto* element = new CStmEntityElement(this, a, b);
  element->SetNormal(CVector(0.0, 0.0, 1.0));
  AddEtt(element, record, 1);
  CStmModel* model = GetStmModel();
  if (toModel && reuse && model && nodeA && nodeB) {
    if (CStmObjElement* added = model->AddElement(nodeA->GetIdStm(), nodeB->GetIdStm(), SStmPropElement(0, 2, 0.0)))
      element->SetIdStm(added->GetId());
    model->SetStmModifiedFlag(1);
  }
  return element;
}

void CStmUbManager::SplitElement(CStmEntityNode* node, int toModel, int record) {
  CStmModel* model = GetStmModel();
  if (!node || !model) return;
  CUbHistoryBracket bracket(*this);
  const CVector p = node->GetCoord();
  // The halves added below end at p, so they never need splitting themselves. An element that
  // p lies inside has p in its box.
  for (CStmEntityElement* element : EntitiesAt<CStmEntityElement>(*this, p, CStmEntityObject::kKindElement)) {
    const CVector begin = element->GetCoordBegin();
    const CVector end = element->GetCoordEnd();
    CStmObjElement* first = model->GetElement(element->GetIdStm());
    if (!first || !IsPointInsideSegment(p, begin, end)) continue;
    CVector to = p;
    element->MoveOnePoint(end, to, 0);
    AddHistory_ActionOneNode(element->GetName(), end, p, 0);
    first->SetIdNodeEnd(node->GetIdStm());
    CStmEntityElement* second = AddElement(p, end, toModel, record, 1, nullptr);
    if (CStmObjNode* modelNode = model->GetNode(node->GetIdStm())) modelNode->SetAttributeText(first->GetAttributeText());
    CStmObjElement* secondRecord = second ? model->GetElement(second->GetIdStm()) : nullptr;
    if (secondRecord) {
      secondRecord->CopyProperties(*first);
      CheckSplitElementUsedBoundary(element->GetIdStm(), second->GetIdStm());
    }
  }
}

// An outline made of elements must still be made of them after one is cut, in whichever model
// is shown, or saving it would leave the outline with a hole the drawing does not show.
void CStmUbManager::CheckSplitElementUsedBoundary(int idOld, int idNew) {
  CStmModel* model = GetStmModel();
  if (!model) return;
  for (const EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
    for (const auto& [id, boundary] : model->GetBoundarys(type)) {
      if (!boundary->IsIncludeElement(idOld)) continue;
      boundary->AddElement(idNew, 1);
      for (const auto& entry : GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindBoundary))) {
        auto* entity = dynamic_cast<CStmEntityBoundary*>(entry.second);
        if (entity && entity->GetType() == type && entity->GetIdStm() == id) {
          SetElementEntityPropertyBoundaryGroup(entity);
          break;
        }
      }
    }
  }
}

void CStmUbManager::DeleteNodeDuplication(CStmEntityNode* node) {
  CStmModel* model = GetStmModel();
  if (!node || !model) return;
  const CVector p = node->GetCoord();
  const int idOld = node->GetIdStm();
  CStmEntityNode* survivor = nullptr;
  for (CStmEntityNode* other : EntitiesAt<CStmEntityNode>(*this, p, CStmEntityObject::kKindNode)) {
    if (other != node && SamePoint(other->GetCoord(), p)) {
      survivor = other;
      break;
    }
  }
  if (!survivor) return;
  // The re-links and the merge belong to the same undo step as the removal.
  CUbHistoryBracket bracket(*this);
  const int idKeep = survivor->GetIdStm();
  for (CStmObjElement* element : model->GetInvolvedElements(idOld)) {
    if (element->GetIdNodeBegin() == idOld) {
      element->SetIdNodeBegin(idKeep);
    } else if (element->GetIdNodeEnd() == idOld) {
      element->SetIdNodeEnd(idKeep);
    }
  }
  model->MergeNode(idKeep, idOld);
  model->SetEnableNode(idOld, 0);
  DeleteEtt(node, 0, 1, 1);
}

void CStmUbManager::DeleteNodeDuplication(int idElement) {
  CStmModel* model = GetStmModel();
  const CStmObjElement* element = model ? model->GetElement(idElement) : nullptr;
  if (!element) return;
  // Both ends are read first: merging the begin may disable a record the end refers to.
  std::vector<CVector> ends;
  for (const int id : {element->GetIdNodeBegin(), element->GetIdNodeEnd()}) {
    if (const CStmObjNode* node = model->GetNode(id)) ends.push_back(node->GetCoord());
  }
  for (const CVector& pos : ends) {
    if (CStmEntityNode* entity = GetEntNode(pos, nullptr)) DeleteNodeDuplication(entity);
  }
}

void CStmUbManager::DeleteElementDuplication(const std::vector<CStmEntityElement*>& elements) {
  CStmModel* model = GetStmModel();
  if (!model) return;
  // Inside one step the removed entities belong to the history, so the pointers stay valid.
  CUbHistoryBracket bracket(*this);
  std::set<CStmEntityElement*> removed;
  const auto remove = [&](CStmEntityElement* element) {
    model->SetEnableElement(element->GetIdStm(), 0);
    DeleteEtt(element, 0, 1, 1);
    removed.insert(element);
  };
  const std::vector<CStmEntityElement*> list = elements;
  for (CStmEntityElement* element : list) {
    if (element && (element->GetCoordEnd() - element->GetCoordBegin()).Length() <= kStmPointTolerance)
      remove(element);
  }
  for (CStmEntityElement* element : list) {
    if (!element || removed.count(element) || GetEttByHandle(element->GetHandle()) != element) continue;
    const CVector& a = element->GetCoordBegin();
    const CVector& b = element->GetCoordEnd();
    // A repeat in either direction has an end at a.
    for (CStmEntityElement* other : EntitiesAt<CStmEntityElement>(*this, a, CStmEntityObject::kKindElement)) {
      if (other == element) continue;
      const CVector& p = other->GetCoordBegin();
      const CVector& q = other->GetCoordEnd();
      if ((SamePoint(p, a) && SamePoint(q, b)) || (SamePoint(p, b) && SamePoint(q, a))) {
        remove(element);
        break;
      }
    }
  }
}

CStmEntityNode* CStmUbManager::AddModelNodeEntity(const CVector& pos) {
  CUbHistoryBracket bracket(*this);
  auto* node = new CStmEntityNode(this, pos);
  AddEtt(node, 1, 1);
  if (CStmModel* model = GetStmModel()) {
    if (CStmObjNode* added = model->AddNode(pos, -1)) node->SetIdStm(added->GetId());
    model->SetStmModifiedFlag(1);
  }
  return node;
}

void CStmUbManager::AddNodeMovedElement(CStmEntityElement* element) {
  CStmModel* model = GetStmModel();
  CStmObjElement* record = model && element ? model->GetElement(element->GetIdStm()) : nullptr;
  if (!record) return;
  const int countBegin = GetCountEntityInvolvedElement(element->GetCoordBeforeMoveBegin(), 0);
  const int countEnd = GetCountEntityInvolvedElement(element->GetCoordBeforeMoveEnd(), 0);
  // Where nothing else held the old place, the node travelled with the element and stays its own.
  CUbHistoryBracket bracket(*this);
  if (countBegin > 0) {
    CStmEntityNode* node = GetEntNode(element->GetCoordBegin(), nullptr);
    if (!node) node = AddModelNodeEntity(element->GetCoordBegin());
    record->SetIdNodeBegin(node->GetIdStm());
  }
  if (countEnd > 0) {
    CStmEntityNode* node = GetEntNode(element->GetCoordEnd(), nullptr);
    if (!node) node = AddModelNodeEntity(element->GetCoordEnd());
    record->SetIdNodeEnd(node->GetIdStm());
  }
}

void CStmUbManager::StretchElementMovedNode(CStmEntityNode* node, std::vector<CStmEntityElement*> elements) {
  if (!node || !GetStmModel()) return;
  CUbHistoryBracket bracket(*this);
  const CVector from = node->GetCoordBeforeMove();
  const CVector to = node->GetCoord();
  for (CStmEntityElement* element : EntitiesAt<CStmEntityElement>(*this, from, CStmEntityObject::kKindElement)) {
    CVector target = to;
    if (SamePoint(element->GetCoordBegin(), from)) {
      element->MoveOnePoint(from, target, 1);
      AddHistory_ActionOneNode(element->GetName(), from, to, 1);
    } else if (SamePoint(element->GetCoordEnd(), from)) {
      element->MoveOnePoint(from, target, 0);
      AddHistory_ActionOneNode(element->GetName(), from, to, 0);
    }
  }
  SplitElement(node, 1, 1);
  DeleteNodeDuplication(node);  // the node may be gone after this
  DeleteElementDuplication(elements);
}

int CStmUbManager::StretchNodes(const std::vector<CStmEntityNode*>& nodes, const CVector& from, const CVector& to) {
  if (!GetStmModel() || SamePoint(from, to)) return 0;
  CUbHistoryBracket bracket(*this, StmText("Stretch"));
  struct SEnd {
    CStmEntityElement* element;
    int atBegin;
    CVector from, to;
  };
  // Element ends stay where they are until every node has moved, so each node takes along only
  // what ended at its own old place, never what another node is about to leave behind.
  std::vector<SEnd> ends;
  std::vector<CStmEntityElement*> attached;
  std::vector<CStmEntityNode*> moved;
  for (CStmEntityNode* node : nodes) {
    if (!node || std::find(moved.begin(), moved.end(), node) != moved.end()) continue;
    const CVector before = node->GetCoord();
    std::vector<CStmEntityElement*> here;
    GetEntityInvolvedElements(before, 0, here);
    node->MoveAllPoint(from, to);
    if (node->GetCoord() == before) continue;  // a fixed node said why it stays
    AddHistory_ActionMoveAllPoint(node->GetName(), to - from);
    moved.push_back(node);
    for (CStmEntityElement* element : here) {
      const int atBegin = SamePoint(element->GetCoordBegin(), before) ? 1 : 0;
      ends.push_back({element, atBegin, before, node->GetCoord()});
      if (std::find(attached.begin(), attached.end(), element) == attached.end()) attached.push_back(element);
    }
  }
  for (const SEnd& end : ends) {
    CVector target = end.to;
    end.element->MoveOnePoint(end.from, target, end.atBegin);
    AddHistory_ActionOneNode(end.element->GetName(), end.from, end.to, end.atBegin);
  }
  // Only now, with everything in its final place, do nodes cut elements and merge.
  for (CStmEntityNode* node : moved) SplitElement(node, 1, 1);
  for (CStmEntityNode* node : moved) {
    if (GetEttByHandle(node->GetHandle()) == node) DeleteNodeDuplication(node);
  }
  DeleteElementDuplication(attached);
  return static_cast<int>(moved.size());
}

void CStmUbManager::GetDeletingInvolvedNode(CStmEntityElement* element, std::vector<CUbEntityObj*>& out) {
  CStmModel* model = GetStmModel();
  if (!model || !element) return;
  CStmEntityNode* begin = GetEntNode(element->GetCoordBegin(), nullptr);
  CStmEntityNode* end = GetEntNode(element->GetCoordEnd(), nullptr);
  if (!begin || !end) return;
  for (CStmEntityNode* node : {begin, end}) {
    if (model->GetCountInvolvedElements(node->GetIdStm()) != 1) continue;
    model->SetEnableNode(node->GetIdStm(), 0);
    AppendOnce(out, node);
  }
}

void CStmUbManager::DeleteSelectedEntity() {
  CStmModel* model = GetStmModel();
  if (!model || model->IsLock()) return;
  // Nothing selected is nothing done: the model stays unmodified.
  if (GetSelectMap().GetCount() == 0) return;
  // Closed before the status line is written, whichever way the deletion goes.
  std::optional<CUbHistoryBracket> bracket(std::in_place, *this, StmText("Delete"));
  m_removedOfNode = CStmModel::SRemovedOfNode();

  std::vector<CUbEntityObj*> doomed;
  std::vector<CUbEntityObj*> selection;
  for (const auto& entry : GetSelectMap()) selection.push_back(static_cast<CUbEntityObj*>(entry.second));
  for (CUbEntityObj* entity : selection) {
    if (!entity || std::find(doomed.begin(), doomed.end(), entity) != doomed.end()) continue;
    auto* stm = dynamic_cast<CStmEntityObject*>(entity);
    const int id = stm ? stm->GetIdStm() : -1;
    switch (static_cast<int>(entity->GetTypeEntity())) {
      case CStmEntityObject::kKindNode:
        // A node goes only with its last element.
        if (model->GetCountInvolvedElements(id) > 0) continue;
        model->SetEnableNode(id, 0);
        break;
      case CStmEntityObject::kKindElement:
        GetDeletingInvolvedNode(dynamic_cast<CStmEntityElement*>(entity), doomed);
        model->SetEnableElement(id, 0);
        break;
      case CStmEntityObject::kKindBoundary:
        if (auto* boundary = dynamic_cast<CStmEntityBoundary*>(entity)) {
          model->SetEnableBoundary(boundary->GetType(), id, 0);
          SetElementEntityPropertyBoundaryGroup(boundary);
        }
        break;
      default:
        break;
    }
    AppendOnce(doomed, entity);
  }
  int nodes = 0, elements = 0;
  for (CUbEntityObj* entity : doomed) {
    nodes += entity->GetTypeEntity() == CStmEntityObject::kKindNode ? 1 : 0;
    elements += entity->GetTypeEntity() == CStmEntityObject::kKindElement ? 1 : 0;
    DeleteEtt(entity, 0, 1, 1);
  }
  bracket.reset();

  CString status;
  if (doomed.empty()) {
    GetUiHost().SetStatusText(StmText("Nothing was deleted: a node goes only with its last element."));
    return;
  }
  const int others = static_cast<int>(doomed.size()) - nodes - elements;
  if (m_removedOfNode.nLoads + m_removedOfNode.nSupports > 0) {
    status.Format(StmText("Deleted elements: %d, nodes: %d, other objects: %d; with the nodes went nodal loads: %d, "
                          "supports: %d.")
                      .c_str(),
                  elements, nodes, others, m_removedOfNode.nLoads, m_removedOfNode.nSupports);
  } else {
    status.Format(StmText("Deleted elements: %d, nodes: %d, other objects: %d.").c_str(), elements, nodes, others);
  }
  GetUiHost().SetStatusText(status);
  GetUiHost().SendToMainWindow(kMsgModelObjectsChanged, static_cast<WPARAM>(-1), 0);
  model->SetStmModifiedFlag(1);
  InvalidateAllWnd();
}

void CStmUbManager::GetCountNodeAndLinkedElement(const std::vector<CStmObjElement*>& elements,
                                                 std::map<int, int>& counts) const {
  counts.clear();
  for (const CStmObjElement* element : elements) {
    if (!element) continue;
    ++counts[element->GetIdNodeBegin()];
    ++counts[element->GetIdNodeEnd()];
  }
}

CString CStmUbManager::BeyondLimitsText(const std::vector<CVector>& points) {
  CString text;
  for (const CVector& p : points) {
    for (const double v : {p.x, p.y, p.z}) {
      if (StmLimits::IsCoordInLimit(v)) continue;
      // As few digits as give the value back: six would show a value just past the limit as
      // the limit itself.
      int digits = 1;
      char value[32];
      for (; digits < 17; ++digits) {
        std::snprintf(value, sizeof value, "%.*g", digits, v);
        if (std::strtod(value, nullptr) == v || std::isnan(v)) break;
      }
      std::snprintf(value, sizeof value, "%.*g", digits, v);
      text.Format(StmText("A coordinate would become %s, beyond the limit of +/-%g; nothing was changed").c_str(), value,
                  StmLimits::kMaxCoord);
      return text;
    }
  }
  return text;
}

bool CStmUbManager::RefuseBeyondLimits(const std::vector<CVector>& points) {
  const CString text = BeyondLimitsText(points);
  if (text.IsEmpty()) return false;
  GetUiHost().SetStatusText(text);
  return true;
}
