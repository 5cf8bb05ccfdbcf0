// Scene manager: binding, registry hooks, rebuild, lookups, selection and display state.
#include "manager/CStmUbManager.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <unordered_map>

#include "actions/CStmActionAddArch.h"
#include "actions/CStmActionAddBottleShape.h"
#include "actions/CStmActionAddCombinedMechanism.h"
#include "actions/CStmActionAddTruss.h"
#include "actions/CStmActionAddArea.h"
#include "actions/CStmActionAddBoundary.h"
#include "actions/CStmActionAddElement.h"
#include "actions/CStmActionAddGuideline.h"
#include "actions/CStmActionAddNode.h"
#include "actions/CStmActionMirror.h"
#include "actions/CStmActionMove.h"
#include "actions/CStmActionNormal.h"
#include "actions/CStmActionOffset.h"
#include "actions/CStmActionPan.h"
#include "actions/CStmActionPaste.h"
#include "actions/CStmActionRotate.h"
#include "actions/CStmActionStretch.h"
#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgViewControl.h"
#include "dialogs/CStmDlgOffset.h"
#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbActionNormal.h"
#include "host/platform/StmText.h"
#include "manager/StmEttAtPoint.h"
#include "render/CStmUbRenderer.h"

namespace {
constexpr long kActionSelect = 48;

template <class T>
T* EntityOf(CUbEntityObj* entity, int kind) {
  return entity && entity->GetTypeEntity() == kind ? dynamic_cast<T*>(entity) : nullptr;
}

CUbEntityObj::TYPE_ENTITY_OBJ KindOf(int kind) { return static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind); }

bool SamePoint(const CVector& a, const CVector& b) {
  return CompareVectorTolerance(a, b, "==", kStmPointTolerance) != 0;
}

// The model's side of one undo step. The records come back first; then the entities that
// mirror them follow, since an entity's own replay may have found its way by position.
class CStmModelStep : public CUbHistoryPayload {
public:
  CStmModelStep(CStmUbManager* manager, CStmModel* model, std::unique_ptr<CStmModelChange> change)
      : m_pManager(manager), m_pModel(model), m_pChange(std::move(change)) {}
  void Undo() override { Apply(true); }
  void Redo() override { Apply(false); }

private:
  void Apply(bool undo) {
    if (m_pManager->GetStmModel() != m_pModel) {
      undo ? m_pModel->UndoChange(*m_pChange) : m_pModel->RedoChange(*m_pChange);
      return;
    }
    m_pManager->KeepIndexLoadConditionAcross(
        [&] { undo ? m_pModel->UndoChange(*m_pChange) : m_pModel->RedoChange(*m_pChange); });
    m_pManager->SyncSceneWithRecords(*m_pChange);
  }

  CStmUbManager* m_pManager;
  CStmModel* m_pModel;
  std::unique_ptr<CStmModelChange> m_pChange;
};
}  // namespace

CStmUbManager::CStmUbManager() : CUbManage(0, 0) {
  SetOSnapMode(kSnapModeDefault);
  SetOSnapMode2(0);
  SetSelectSize(CSize(7, 7));
  SetDirectDraw(1);
  CreateActions();
}

void CStmUbManager::CreateActions() {
  AddAction(kActionNormal, new CStmActionNormal);
  AddAction(kActionCombinedMechanism, new CStmActionAddCombinedMechanism);
  AddAction(kActionBottleShape, new CStmActionAddBottleShape);
  AddAction(kActionTruss, new CStmActionAddTruss);
  AddAction(kActionArch, new CStmActionAddArch);
  AddAction(kActionAddNode, new CStmActionAddNode);
  AddAction(kActionAddElement, new CStmActionAddElement);
  AddAction(kActionAddGuideline, new CStmActionAddGuideline);
  AddAction(kActionPaste, new CStmActionPaste);
  AddAction(kActionMove, new CStmActionMove);
  AddAction(kActionStretch, new CStmActionStretch);
  AddAction(kActionPan, new CStmActionPan);
  auto* inner = new CStmActionAddBoundary;
  inner->SetType(STM_BOUNDARY_INNER);
  AddAction(CStmActionAddBoundary::kActionOuter, new CStmActionAddBoundary);
  AddAction(CStmActionAddBoundary::kActionInner, inner);
  AddAction(CStmActionAddBoundary::kActionArea, new CStmActionAddArea);
  AddAction(kActionOffset, new CStmActionOffset);
  AddAction(kActionMirror, new CStmActionMirror);
  AddAction(kActionRotate, new CStmActionRotate);
}

CStmUbManager::~CStmUbManager() { ClearLoadArrowSet(); }

// ---------------------------------------------------------------------------------------------
// Binding and view state

void CStmUbManager::SetViewBeginning(int view) {
  m_bViewBeginning = view;
  m_bEnableBoundarySelection = view;
  m_eViewMode = view == 0 ? STM_VIEW_WORKING : STM_VIEW_BEGINNING;
}

void CStmUbManager::SetViewBackgroundLoadStatic(int view) {
  m_bViewBackgroundLoadStatic = view;
  m_eViewMode = m_bViewBeginning == 0 ? STM_VIEW_WORKING : STM_VIEW_BEGINNING;
}

void CStmUbManager::SetViewPos(CUbRenderWnd::VIEW_POS pos) {
  m_eViewPos = pos;
  CStmModel* model = GetStmModel();
  if (!model) return;
  switch (pos) {
    case CUbRenderWnd::VIEW_POS_XY: model->SetPlane(STM_PLANE_XY); break;
    case CUbRenderWnd::VIEW_POS_YZ: model->SetPlane(STM_PLANE_YZ); break;
    case CUbRenderWnd::VIEW_POS_XZ: model->SetPlane(STM_PLANE_XZ); break;
    default: model->SetPlane(static_cast<int>(pos)); break;
  }
}

CVector CStmUbManager::GetCoordPlane(const CDPoint& p) const {
  switch (m_eViewPos) {
    case CUbRenderWnd::VIEW_POS_XY: return {p.x, p.y, 0.0};
    case CUbRenderWnd::VIEW_POS_YZ: return {0.0, p.x, p.y};
    default: return {p.x, 0.0, p.y};
  }
}

CDPoint CStmUbManager::GetPointPlane(const CVector& v) const {
  switch (m_eViewPos) {
    case CUbRenderWnd::VIEW_POS_XY: return {v.x, v.y};
    case CUbRenderWnd::VIEW_POS_YZ: return {v.y, v.z};
    default: return {v.x, v.z};
  }
}

void CStmUbManager::Vpt2VectorArray(const std::vector<CDPoint>& pts, CVectorArray& out) const {
  for (const CDPoint& p : pts) out.Add(GetCoordPlane(p));
}

// ---------------------------------------------------------------------------------------------
// Factory and registry hooks

CUbEntityObj* CStmUbManager::CreateEntityObj(CString className) {
  if (CUbEntityObj* entity = CUbManage::CreateEntityObj(className)) return entity;
  if (className == StmText("CStmEntityBoundary")) {
    auto* e = new CStmEntityBoundary(this);
    e->SetTypeEntity(CStmEntityObject::kKindBoundary);
    return e;
  }
  if (className == StmText("CStmEntityNode")) {
    auto* e = new CStmEntityNode(this);
    e->SetTypeEntity(CStmEntityObject::kKindNode);
    return e;
  }
  if (className == StmText("CStmEntityElement")) {
    auto* e = new CStmEntityElement(this);
    e->SetTypeEntity(CStmEntityObject::kKindElement);
    return e;
  }
  if (className == StmText("CStmEntityGridPoint")) {
    auto* e = new CStmEntityGridPoint(this);
    e->SetTypeEntity(CStmEntityObject::kKindGridPoint);
    return e;
  }
  if (className == StmText("CStmEntityGuideline")) {
    auto* e = new CStmEntityGuideline(this);
    e->SetTypeEntity(CStmEntityObject::kKindGuideline);
    return e;
  }
  if (className == StmText("CStmEntityArea")) {
    auto* e = new CStmEntityArea(this);
    e->SetTypeEntity(CStmEntityObject::kKindArea);
    return e;
  }
  return nullptr;
}

// While a step is replayed the model is not touched here: the step gives its records back
// exactly once the entities are in place.
int CStmUbManager::AddEtt(CUbEntityObj* entity, int record, int flag) {
  if (!entity) return 0;
  const int added = CUbEttManage::AddEtt(entity, record, flag);
  if (added) MapRecordKey(entity, -1, true);
  if (IsReplayingHistory()) return added;
  EnableObject(entity, 1);
  // A node without a model id yet is being created; the split that follows links it.
  auto* node = EntityOf<CStmEntityNode>(entity, CStmEntityObject::kKindNode);
  if (node && node->GetIdStm() >= 0) CorrectElementLinkAdd(node);
  return added;
}

int CStmUbManager::DeleteEtt(CUbEntityObj* entity, int keep, int record, int redraw) {
  if (entity && GetEtt(entity->GetName()) == entity) MapRecordKey(entity, -1, false);
  if (IsReplayingHistory()) return CUbEttManage::DeleteEtt(entity, keep, record, redraw);
  // A recorded removal changes the model in the same step as the scene, even when the caller
  // opened none.
  std::optional<CUbHistoryBracket> bracket;
  if (record) bracket.emplace(*this);
  EnableObject(entity, 0);
  if (auto* node = EntityOf<CStmEntityNode>(entity, CStmEntityObject::kKindNode)) CorrectElementLinkDelete(node);
  return CUbEttManage::DeleteEtt(entity, keep, record, redraw);
}

void CStmUbManager::OnHistoryStepOpen() {
  m_pChangeModel = GetStmModel();
  if (!m_pChangeModel) return;
  m_bModifiedAtStepOpen = m_pChangeModel->GetStmModifiedFlag();
  m_pChangeModel->BeginChange();
}

std::unique_ptr<CUbHistoryPayload> CStmUbManager::OnHistoryStepClose() {
  CStmModel* model = m_pChangeModel;
  m_pChangeModel = nullptr;
  m_pClosedModel = model;
  std::unique_ptr<CStmModelChange> change = model ? model->EndChange() : nullptr;
  if (!change) return nullptr;
  return std::make_unique<CStmModelStep>(this, model, std::move(change));
}

void CStmUbManager::OnHistoryStepDropped() {
  if (m_pClosedModel) m_pClosedModel->SetStmModifiedFlag(m_bModifiedAtStepOpen);
}

bool CStmUbManager::IsEttOfDocument(const CUbEntityObj& entity) const {
  const auto* stm = dynamic_cast<const CStmEntityObject*>(&entity);
  if (!stm || stm->GetIdStm() < 0 || !GetStmModel()) return false;
  switch (static_cast<int>(entity.GetTypeEntity())) {
    case CStmEntityObject::kKindNode:
    case CStmEntityObject::kKindElement:
    case CStmEntityObject::kKindBoundary:
    case CStmEntityObject::kKindArea:
      return true;
    default:
      return false;
  }
}

void CStmUbManager::MapRecordKey(const CUbEntityObj* entity, int id, bool add) {
  const auto* stm = dynamic_cast<const CStmEntityObject*>(entity);
  if (!stm) return;
  if (id < 0) id = stm->GetIdStm();
  if (id < 0) return;
  const std::pair<int, int> at(static_cast<int>(entity->GetTypeEntity()), id);
  if (add) {
    m_mapRecordKey[at] = entity->GetName();
    return;
  }
  const auto it = m_mapRecordKey.find(at);
  if (it != m_mapRecordKey.end() && it->second == entity->GetName()) m_mapRecordKey.erase(it);
}

void CStmUbManager::OnEttIdStmChanged(CStmEntityObject& entity, int oldId) {
  if (GetEtt(entity.GetName()) != &entity) return;
  MapRecordKey(&entity, oldId, false);
  MapRecordKey(&entity, -1, true);
}

CStmEntityObject* CStmUbManager::GetEntityOfRecord(int kind, int id) {
  auto find = [&]() -> CStmEntityObject* {
    const auto it = m_mapRecordKey.find({kind, id});
    if (it == m_mapRecordKey.end()) return nullptr;
    auto* entity = dynamic_cast<CStmEntityObject*>(GetEtt(it->second));
    return entity && entity->GetTypeEntity() == kind && entity->GetIdStm() == id ? entity : nullptr;
  };
  if (CStmEntityObject* entity = find()) return entity;
  // The map follows the registry and the ids, so a miss means the scene has no such entity;
  // two entities of one record would leave it short, so a sync looks once more the long way.
  if (m_bRecordKeyRebuilt) return nullptr;
  m_bRecordKeyRebuilt = true;
  m_mapRecordKey.clear();
  for (const auto& [key, each] : GetEttMap()) MapRecordKey(each, -1, true);
  return find();
}

void CStmUbManager::SyncSceneWithRecords(const CStmModelChange& change) {
  CStmModel* model = GetStmModel();
  if (!model) return;
  m_bRecordKeyRebuilt = false;
  // Loads that came back or went change the length every arrow is drawn at.
  if (!change.GetTouchedIds(CStmModelChange::kLoadStatics).empty() ||
      !change.GetTouchedIds(CStmModelChange::kLoadCombos).empty())
    SetIndexLoadConditionLoad(m_nIndexLoadCondition, m_nIndexLoadConditionSub);
  std::set<int> elements;
  for (const int id : change.GetTouchedIds(CStmModelChange::kNodes)) {
    const CStmObjNode* record = model->GetNode(id);
    // A record that is gone or disabled has no entity to follow it.
    auto* node = record && record->IsEnable()
                     ? dynamic_cast<CStmEntityNode*>(GetEntityOfRecord(CStmEntityObject::kKindNode, id))
                     : nullptr;
    if (node && !(node->GetCoord() == record->GetCoord())) node->SetCoord(record->GetCoord());
    // A node that moved moves the ends of every element linked to it.
    for (const CStmObjElement* element : model->GetInvolvedElements(id)) elements.insert(element->GetId());
  }
  for (const int id : change.GetTouchedIds(CStmModelChange::kElements)) elements.insert(id);
  for (const int id : elements) {
    const CStmObjElement* record = model->GetElement(id);
    if (!record || !record->IsEnable() || !record->GetNodeBegin() || !record->GetNodeEnd()) continue;
    auto* element = dynamic_cast<CStmEntityElement*>(GetEntityOfRecord(CStmEntityObject::kKindElement, id));
    if (!element) continue;
    const int membership = record->GetAttributeInt(CStmObject::kAttrBoundary);
    element->SetTypeElement(membership >= 0 ? membership : 0);
    CVector begin = record->GetCoordBegin();
    CVector end = record->GetCoordEnd();
    if (!(element->GetCoordBegin() == begin)) element->MoveOnePoint(element->GetCoordBegin(), begin, 1);
    if (!(element->GetCoordEnd() == end)) element->MoveOnePoint(element->GetCoordEnd(), end, 0);
  }
}

void CStmUbManager::EnableObject(CUbEntityObj* entity, int enable) {
  CStmModel* model = GetStmModel();
  auto* stm = dynamic_cast<CStmEntityObject*>(entity);
  if (!model || !stm || stm->GetIdStm() < 0) return;
  const int id = stm->GetIdStm();
  switch (static_cast<int>(entity->GetTypeEntity())) {
    case CStmEntityObject::kKindNode:
      model->SetEnableNode(id, enable);
      if (!enable) {
        // Nothing may hang on a node that is gone; undo brings it back with the node.
        const CStmModel::SRemovedOfNode removed = model->RemoveNodeDependants(id);
        m_removedOfNode.nLoads += removed.nLoads;
        m_removedOfNode.nSupports += removed.nSupports;
      }
      break;
    case CStmEntityObject::kKindElement: model->SetEnableElement(id, enable); break;
    case CStmEntityObject::kKindArea: model->SetEnablePropertyArea(id, enable); break;
    case CStmEntityObject::kKindBoundary: {
      auto* boundary = dynamic_cast<CStmEntityBoundary*>(entity);
      if (!boundary) break;
      const EStmTypeBoundary type = boundary->GetType();
      if (CStmObjBoundary* record = model->GetBoundaryObj(type, id, 0)) {
        record->SetEnable(enable);
        // The outer boundary decides which elements count as boundary elements everywhere.
        if (type == STM_BOUNDARY_OUTER) {
          for (const auto& entry : GetEttMap(KindOf(CStmEntityObject::kKindBoundary))) {
            auto* other = dynamic_cast<CStmEntityBoundary*>(entry.second);
            if (other && other != boundary) SetElementEntityPropertyBoundaryGroup(other);
          }
        }
      }
      SetElementEntityPropertyBoundaryGroup(boundary);
      break;
    }
    default: break;
  }
}

void CStmUbManager::CorrectElementLinkAdd(CStmEntityNode* node) {
  CStmModel* model = GetStmModel();
  if (!model || !node) return;
  std::vector<CUbEntityObj*> near;
  GetStmEttAtPoint(*this, node->GetCoord(), CStmEntityObject::kKindElement, near);
  for (CUbEntityObj* entity : near) {
    auto* element = dynamic_cast<CStmEntityElement*>(entity);
    if (!element || !IsPointInsideSegment(node->GetCoord(), element->GetCoordBegin(), element->GetCoordEnd()))
      continue;
    if (CStmObjElement* record = model->GetElement(element->GetIdStm())) record->SetIdNodeEnd(node->GetIdStm());
  }
}

void CStmUbManager::CorrectElementLinkDelete(CStmEntityNode* node) {
  CStmModel* model = GetStmModel();
  if (!model || !node || node->GetIdStm() < 0) return;
  const int id = node->GetIdStm();
  const CVector& at = node->GetCoord();
  // Only an element linked to this node can have lost an end now, and its entity touches the
  // node's place (at an end, or through it when an earlier link ran through the node).
  std::vector<CUbEntityObj*> near;
  GetStmEttAtPoint(*this, at, CStmEntityObject::kKindElement, near);
  for (CUbEntityObj* entity : near) {
    auto* element = dynamic_cast<CStmEntityElement*>(entity);
    CStmObjElement* record = element ? model->GetElement(element->GetIdStm()) : nullptr;
    if (!record || (record->GetIdNodeBegin() != id && record->GetIdNodeEnd() != id)) continue;
    if (!SamePoint(element->GetCoordBegin(), at) && !SamePoint(element->GetCoordEnd(), at) &&
        !IsPointInsideSegment(at, element->GetCoordBegin(), element->GetCoordEnd()))
      continue;
    for (const bool begin : {true, false}) {
      const CStmObjNode* linked = begin ? record->GetNodeBegin() : record->GetNodeEnd();
      if (linked && linked->IsEnable()) continue;
      const CStmEntityNode* other = GetEntNode(begin ? element->GetCoordBegin() : element->GetCoordEnd(), nullptr);
      const CStmObjNode* found = other && other != node ? model->GetNode(other->GetIdStm()) : nullptr;
      if (!found || !found->IsEnable()) continue;
      if (begin) {
        record->SetIdNodeBegin(found->GetId());
      } else {
        record->SetIdNodeEnd(found->GetId());
      }
    }
  }
}

void CStmUbManager::SetElementEntityPropertyBoundaryGroup(CStmEntityBoundary* boundary) {
  CStmModel* model = GetStmModel();
  if (!model || !boundary) return;
  const CStmObjBoundary* record = model->GetBoundaryObj(boundary->GetType(), boundary->GetIdStm(), 0);
  if (!record) return;
  const std::vector<int>& ids = record->GetIdElements();
  for (const auto& entry : GetEttMap(KindOf(CStmEntityObject::kKindElement))) {
    auto* element = dynamic_cast<CStmEntityElement*>(entry.second);
    if (!element || std::find(ids.begin(), ids.end(), element->GetIdStm()) == ids.end()) continue;
    const CStmObjElement* modelElement = model->GetElement(element->GetIdStm());
    const int membership = modelElement ? modelElement->GetAttributeInt(CStmObject::kAttrBoundary) : -1;
    element->SetTypeElement(membership >= 0 ? membership : 0);
  }
}

// ---------------------------------------------------------------------------------------------
// Rebuild

void CStmUbManager::RemoveAllStm() {
  ResetSelection(1, 1);
  std::vector<CUbEntityObj*> doomed;
  for (const auto& entry : GetEttMap()) {
    const int kind = entry.second->GetTypeEntity();
    if (kind != CStmEntityObject::kKindGridPoint && kind != CStmEntityObject::kKindGuideline)
      doomed.push_back(entry.second);
  }
  // Straight out of the registry: the model must not see these go.
  for (CUbEntityObj* entity : doomed) {
    MapRecordKey(entity, -1, false);
    delete DetachEtt(entity);
  }
  if (CCubeRange* range = GetViewRange(-1)) range->Clear();
}

void CStmUbManager::UpdateStmRenderer() {
  CStmModel* model = GetStmModel();
  if (!model) return;
  RemoveAllStm();
  ClearHistory();
  // Through the window, so that the tools' dialogs go with the tool that was running.
  if (CStmUbRenderer* wnd = GetCurrentRenderer()) wnd->SetAction(kActionSelect, -1, 1);

  // Ids are set after AddEtt, so the hooks see -1 and the model stays as it is.
  for (const EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
    for (const auto& [id, boundary] : model->GetBoundarys(type)) {
      if (!boundary->IsEnable()) continue;
      auto* entity = new CStmEntityBoundary(this, type, boundary->GetBoundaryPos());
      AddEtt(entity, 0, 1);
      entity->SetIdStm(id);
    }
  }
  for (const auto& [id, area] : model->GetPropertyAreas()) {
    if (!area->IsEnable()) continue;
    auto* entity = new CStmEntityArea(this, area->GetBoundaryPos());
    AddEtt(entity, 0, 1);
    entity->SetIdStm(id);
  }
  for (const auto& [id, node] : model->GetNodes()) {
    if (!node->IsEnable()) continue;
    auto* entity = new CStmEntityNode(this, node->GetCoord());
    {
      CUbHistoryBracket bracket(*this);
      AddEtt(entity, 0, 1);
    }
    entity->SetIdStm(id);
  }
  for (const auto& [id, element] : model->GetElements()) {
    if (!element->IsEnable()) continue;
    const CStmObjNode* begin = model->GetNode(element->GetIdNodeBegin());
    const CStmObjNode* end = model->GetNode(element->GetIdNodeEnd());
    if (!begin || !end) continue;
    auto* entity = new CStmEntityElement(this, begin->GetCoord(), end->GetCoord());
    entity->SetNormal(CVector(0.0, 0.0, 1.0));
    {
      CUbHistoryBracket bracket(*this);
      AddEtt(entity, 0, 1);
    }
    const int membership = element->GetAttributeInt(CStmObject::kAttrBoundary);
    if (membership >= 0) entity->SetTypeElement(membership);
    entity->SetIdStm(id);
  }
}

// ---------------------------------------------------------------------------------------------
// Lookups

CStmUbRenderer* CStmUbManager::GetCurrentRenderer() const {
  return dynamic_cast<CStmUbRenderer*>(GetRenderWnd(GetCurRenderWndIndex()));
}

void CStmUbManager::GetNearEnt(CStmUbRenderer& wnd, const CVector& pos, const CSize& box, int kind,
                               std::vector<CUbEntityObj*>& out) {
  out.clear();
  const long current = GetCurRenderWndIndex();
  OpenGLRenderStart(current, 0);
  const CPoint pt = wnd.ExtToClient(pos);
  CMapStringToPtr found;
  wnd.SelectionPoint(pt, box, -1, 0, &found, CUbRenderWnd::kSelectQuery | CUbRenderWnd::kSelectRaw);
  OpenGLRenderEnd(current, 0);
  for (const auto& entry : found) {
    auto* entity = static_cast<CUbEntityObj*>(entry.second);
    if (entity && (kind == -1 || entity->GetTypeEntity() == kind)) out.push_back(entity);
  }
}

// The index answers what lies at a position whatever is drawn, shown or inside the window.
CStmEntityNode* CStmUbManager::GetEntNode(const CVector& pos, const std::vector<CUbEntityObj*>* candidates) {
  std::vector<CUbEntityObj*> near;
  if (!candidates) {
    GetStmEttAtPoint(*this, pos, CStmEntityObject::kKindNode, near);
    candidates = &near;
  }
  for (CUbEntityObj* entity : *candidates) {
    auto* node = EntityOf<CStmEntityNode>(entity, CStmEntityObject::kKindNode);
    if (node && SamePoint(node->GetCoord(), pos)) return node;
  }
  return nullptr;
}

CStmEntityNode* CStmUbManager::GetEntNode(int id) {
  CStmModel* model = GetStmModel();
  const CStmObjNode* node = model ? model->GetNode(id) : nullptr;
  return node ? GetEntNode(node->GetCoord(), nullptr) : nullptr;
}

CStmEntityElement* CStmUbManager::GetEntElement(const CVector& a, const CVector& b,
                                                const std::vector<CUbEntityObj*>* candidates) {
  std::vector<CUbEntityObj*> near;
  if (!candidates) {
    GetStmEttAtPoint(*this, a, CStmEntityObject::kKindElement, near);
    candidates = &near;
  }
  for (CUbEntityObj* entity : *candidates) {
    auto* element = EntityOf<CStmEntityElement>(entity, CStmEntityObject::kKindElement);
    if (!element) continue;
    const CVector& p = element->GetCoordBegin();
    const CVector& q = element->GetCoordEnd();
    if ((SamePoint(p, a) && SamePoint(q, b)) || (SamePoint(p, b) && SamePoint(q, a))) return element;
  }
  return nullptr;
}

CStmEntityElement* CStmUbManager::GetEntElement(int id) {
  CStmModel* model = GetStmModel();
  const CStmObjElement* element = model ? model->GetElement(id) : nullptr;
  return element ? GetEntElement(element->GetCoordBegin(), element->GetCoordEnd(), nullptr) : nullptr;
}

CStmEntityGuideline* CStmUbManager::GetEntGuideline(const CVector& a, const CVector& b) const {
  for (const auto& entry : GetEttMap(KindOf(CStmEntityObject::kKindGuideline))) {
    auto* guideline = dynamic_cast<CStmEntityGuideline*>(entry.second);
    if (guideline && SamePoint(guideline->GetPoint1(), a) && SamePoint(guideline->GetPoint2(), b)) return guideline;
  }
  return nullptr;
}

void CStmUbManager::GetEntityInvolvedElements(const CVector& pos, int previous,
                                              std::vector<CStmEntityElement*>& out) const {
  // Where the elements were before their last move is not indexed; where they are now is.
  std::vector<CUbEntityObj*> elements;
  if (previous) {
    for (const auto& entry : GetEttMap(KindOf(CStmEntityObject::kKindElement))) elements.push_back(entry.second);
  } else {
    GetStmEttAtPoint(*this, pos, CStmEntityObject::kKindElement, elements);
  }
  for (CUbEntityObj* entity : elements) {
    auto* element = dynamic_cast<CStmEntityElement*>(entity);
    if (!element) continue;
    const CVector& begin = previous ? element->GetCoordBeforeMoveBegin() : element->GetCoordBegin();
    const CVector& end = previous ? element->GetCoordBeforeMoveEnd() : element->GetCoordEnd();
    if (SamePoint(begin, pos) || SamePoint(end, pos)) out.push_back(element);
  }
}

int CStmUbManager::GetCountEntityInvolvedElement(const CVector& pos, int previous) const {
  std::vector<CStmEntityElement*> found;
  GetEntityInvolvedElements(pos, previous, found);
  return static_cast<int>(found.size());
}

// ---------------------------------------------------------------------------------------------
// Selection

void CStmUbManager::SelectRemoveAll() {
  SetPreviousSelection();
  CUbEttManage::SelectRemoveAll();
}

void CStmUbManager::SetPreviousSelection() {
  std::vector<CString>& previous = GetPreviousSelection();
  previous.clear();
  for (const auto& entry : GetSelectMap()) previous.push_back(entry.first);
}

void CStmUbManager::SelectByIds(int kind, const std::set<int>& ids) {
  for (const auto& entry : GetEttMap(KindOf(kind))) {
    auto* stm = dynamic_cast<CStmEntityObject*>(entry.second);
    if (stm && ids.count(stm->GetIdStm())) SelectEtt(stm, 1);
  }
}

void CStmUbManager::SelectNode(const std::set<int>& ids) { SelectByIds(CStmEntityObject::kKindNode, ids); }

void CStmUbManager::SelectElement(const std::set<int>& ids) { SelectByIds(CStmEntityObject::kKindElement, ids); }

void CStmUbManager::SelectNew(const std::set<int>* nodeIds, const std::set<int>* elementIds) {
  CStmUbRenderer* wnd = GetCurrentRenderer();
  if (!wnd) return;
  SelectRemoveAll();
  if (nodeIds) SelectNode(*nodeIds);
  if (elementIds) SelectElement(*elementIds);
  if (auto* normal = dynamic_cast<CUbActionNormal*>(GetActionCurrent()))
    normal->GetSnapPointManage().OnChangeSelectedMember(wnd);
  InvalidateAllWnd();
}

void CStmUbManager::SelectNewNode(const std::set<int>& ids) { SelectNew(&ids, nullptr); }

void CStmUbManager::SelectNewElement(const std::set<int>& ids) { SelectNew(nullptr, &ids); }

void CStmUbManager::SelectObject(const std::set<int>& nodeIds, const std::set<int>& elementIds) {
  SelectNew(&nodeIds, &elementIds);
}

void CStmUbManager::GetSelectedNodeObjects(std::vector<CStmObjNode*>& out) {
  CStmModel* model = GetStmModel();
  if (!model) return;
  for (const auto& entry : GetSelectMap()) {
    auto* node = EntityOf<CStmEntityNode>(static_cast<CUbEntityObj*>(entry.second), CStmEntityObject::kKindNode);
    if (!node) continue;
    if (CStmObjNode* record = model->GetNode(node->GetIdStm())) out.push_back(record);
  }
}

void CStmUbManager::GetSelectedElementObjects(std::vector<CStmObjElement*>& out) {
  CStmModel* model = GetStmModel();
  if (!model) return;
  for (const auto& entry : GetSelectMap()) {
    auto* element =
        EntityOf<CStmEntityElement>(static_cast<CUbEntityObj*>(entry.second), CStmEntityObject::kKindElement);
    if (!element) continue;
    if (CStmObjElement* record = model->GetElement(element->GetIdStm())) out.push_back(record);
  }
}

void CStmUbManager::GetSelectedStrutTieObjects(EStmTypeElement type, std::vector<CStmObjElement*>& out) {
  if (!m_pStmModel) return;
  for (const auto& entry : GetSelectMap()) {
    auto* element =
        EntityOf<CStmEntityElement>(static_cast<CUbEntityObj*>(entry.second), CStmEntityObject::kKindElement);
    CStmObjElement* record = element ? m_pStmModel->GetElement(element->GetIdStm()) : nullptr;
    if (record && record->GetType(m_nIndexLoadConditionResult) == type) out.push_back(record);
  }
}

// ---------------------------------------------------------------------------------------------
// Load and result state

double CStmUbManager::GetMaxNodalLoad(const CStmObjLoadConditionStatic& condition, int subIndex) {
  double maximum = 0.0;
  int position = 0;
  for (const auto& [id, load] : condition.GetLoadNodes()) {
    if (subIndex == -1 || position == subIndex) {
      const CVector& v = load->GetLoad();
      maximum = std::max({maximum, std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    }
    ++position;
  }
  return maximum;
}

void CStmUbManager::SetMaxForceOfStaticLoad(const CStmObjLoadConditionStatic* extra) {
  m_dMaxForceStaticLoad = extra ? GetMaxNodalLoad(*extra, -1) : 0.0;
  CStmModel* model = GetStmModel();
  if (!model) return;
  const int count = model->GetCountLoadConditionStatic();
  if (m_nIndexLoadCondition >= count) return;
  for (int i = 0; i < count; ++i) {
    if (m_nIndexLoadCondition != -1 && i != m_nIndexLoadCondition) continue;
    if (const CStmObjLoadConditionStatic* condition = model->GetLoadConditionStaticIndex(i))
      m_dMaxForceStaticLoad = std::max(m_dMaxForceStaticLoad, GetMaxNodalLoad(*condition, m_nIndexLoadConditionSub));
  }
}

void CStmUbManager::SetIndexLoadConditionLoad(int index, int subIndex) {
  m_nIndexLoadCondition = index;
  m_nIndexLoadConditionSub = subIndex;
  CStmModel* model = GetStmModel();
  if (!model) return;
  const int count = model->GetCountLoadConditionStatic();
  const CStmObjLoadConditionCombo* combo =
      index >= count ? model->GetLoadConditionComboIndex(index - count) : nullptr;
  if (combo) {
    CStmObjLoadConditionStatic converted;
    GetConvertLoadCondition(combo, converted);
    SetMaxForceOfStaticLoad(&converted);
  } else {
    SetMaxForceOfStaticLoad(nullptr);
  }
}

void CStmUbManager::KeepIndexLoadConditionAcross(const std::function<void()>& edit) {
  CStmModel* model = GetStmModel();
  if (!model) return edit();
  const int statics = model->GetCountLoadConditionStatic();
  const int index = m_nIndexLoadCondition;
  const bool wasStatic = index < statics;
  const CStmObject* shown = wasStatic ? static_cast<const CStmObject*>(model->GetLoadConditionStaticIndex(index))
                                      : model->GetLoadConditionComboIndex(index - statics);
  const int id = shown ? shown->GetId() : -1;
  edit();
  if (!shown) return;
  int position = 0;
  for (const auto& entry : model->GetLoadConditionStatics()) {
    if (wasStatic && entry.first == id) return SetIndexLoadConditionLoad(position, m_nIndexLoadConditionSub);
    ++position;
  }
  for (const auto& entry : model->GetLoadConditionCombos()) {
    if (!wasStatic && entry.first == id) return SetIndexLoadConditionLoad(position, m_nIndexLoadConditionSub);
    ++position;
  }
  SetIndexLoadConditionLoad(0, -1);
}

double CStmUbManager::GetMaxForceOfStaticLoad() {
  if (std::fabs(m_dMaxForceStaticLoad) <= kStmPointTolerance) SetMaxForceOfStaticLoad(nullptr);
  return m_dMaxForceStaticLoad;
}

void CStmUbManager::GetConvertLoadCondition(const CStmObjLoadConditionCombo* combo,
                                            CStmObjLoadConditionStatic& out) const {
  out.ClearLoadNode();
  CStmModel* model = GetStmModel();
  if (!model || !combo) return;
  // One load per node, as a merging AddLoadNode gives, without its scan of every load so far.
  std::unordered_map<int, CStmObjLoadNode*> byNode;
  for (const auto& [condition, weight] : model->GetComboWeights(*combo)) {
    for (const auto& [idLoad, load] : condition->GetLoadNodes()) {
      const CVector scaled = load->GetLoad() * weight;
      auto it = byNode.find(load->GetIdNode());
      if (it == byNode.end()) {
        if (CStmObjLoadNode* added = out.AddLoadNodeWithId(-1, load->GetName(), load->GetIdNode(), scaled))
          byNode.emplace(load->GetIdNode(), added);
        continue;
      }
      const CVector sum = it->second->GetLoad() + scaled;
      if (std::isfinite(sum.x) && std::isfinite(sum.y) && std::isfinite(sum.z)) it->second->SetLoad(sum);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Marks and load arrows

void CStmUbManager::SetRenderMarkPos(std::vector<CVector> positions, EStmTypeRenderMark type, double size) {
  m_arMarkPos = std::move(positions);
  m_eTypeRenderMark = type;
  m_dSizeRenderMark = size;
}

void CStmUbManager::AddLoadArrowSet(const SStmLoadArrowSet& set) {
  if (set.arrows.empty()) return;
  auto* copy = new SStmLoadArrowSet(set);
  m_arLoadArrowSet.push_back(copy);
  for (const SStmLoadArrow* arrow : copy->arrows) {
    if (std::fabs(arrow->dValue) > std::fabs(m_dMaxForceArrowSet)) m_dMaxForceArrowSet = arrow->dValue;
  }
}

void CStmUbManager::ClearLoadArrowSet() {
  for (SStmLoadArrowSet* set : m_arLoadArrowSet) delete set;
  m_arLoadArrowSet.clear();
  m_dMaxForceArrowSet = 0.0;
}
