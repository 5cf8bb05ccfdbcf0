// The entity container: registry, selection, windows and the undo history.
#include "host/framework/CUbEttManage.h"

#include <algorithm>

#include "host/framework/CUbRenderWnd.h"
#include "host/platform/StmText.h"

namespace {
const CUbEttManage::EttMap kEmptyMap;
}

CUbEttManage::CUbEttManage() { m_arDisplayGroup.push_back(SUbDisplayGroup{}); }

CUbEttManage::~CUbEttManage() {
  ClearHistory();
  for (auto& entry : m_mapEtt) delete entry.second;
  m_mapEtt.clear();
  for (SWndSlot& slot : m_arWnd) {
    if (slot.m_pWnd) slot.m_pWnd->DetachManage();
  }
}

// ---------------------------------------------------------------------------------------------
// Registry

int CUbEttManage::AddEtt(CUbEntityObj* entity, int record, int redraw) {
  if (!entity) return 0;
  const bool known = entity->m_nHandle != 0 && entity->m_pEttManage == this;
  if (known && m_mapEtt.count(entity->m_strName)) return 0;
  if (!known) {
    // The key is the handle written with a fixed width, so key order is creation order.
    entity->m_nHandle = ++m_nLastHandle;
    entity->m_strName.Format("%010u", entity->m_nHandle);
  }
  entity->m_pEttManage = this;
  m_mapEtt[entity->m_strName] = entity;
  m_mapEttByType[entity->m_nTypeEntity][entity->m_strName] = entity;
  m_mapEttList.erase(entity->m_nTypeEntity);
  m_mapHandle[entity->m_nHandle] = entity;
  m_index.Insert(entity);
  if (record && IsRecording()) AddHistory_ActionCreate(entity);
  if (redraw) InvalidateAllWnd();
  return 1;
}

int CUbEttManage::DeleteEtt(CUbEntityObj* entity, int keep, int record, int redraw) {
  if (!entity || GetEtt(entity->m_strName) != entity) return 0;
  Unregister(entity);
  if (m_bReplaying) {
    m_mapHeld[entity->m_strName].reset(entity);
  } else if (record && IsRecording()) {
    AddHistory_ActionDelete(entity);
  } else if (!keep) {
    delete entity;
  }
  if (redraw) InvalidateAllWnd();
  return 1;
}

void CUbEttManage::Unregister(CUbEntityObj* entity) {
  const CString& key = entity->m_strName;
  m_mapEtt.erase(key);
  auto typeIt = m_mapEttByType.find(entity->m_nTypeEntity);
  if (typeIt != m_mapEttByType.end()) typeIt->second.erase(key);
  m_mapEttList.erase(entity->m_nTypeEntity);
  m_mapHandle.erase(entity->m_nHandle);
  m_index.Remove(entity->m_nHandle);
  m_mapSelect.RemoveKey(key);
  m_mapHover.RemoveKey(key);
  entity->SetSelection(0);
}

CUbEntityObj* CUbEttManage::DetachEtt(CUbEntityObj* entity) {
  if (!entity || GetEtt(entity->m_strName) != entity) return nullptr;
  Unregister(entity);
  return entity;
}

void CUbEttManage::UpdateEttIndex(CUbEntityObj* entity) {
  if (entity && GetEttByHandle(entity->m_nHandle) == entity) m_index.Update(entity);
}

void CUbEttManage::GetEttInBox(const CVector& min, const CVector& max, CUbEntityObj::TYPE_ENTITY_OBJ kind,
                               std::vector<CUbEntityObj*>& out) const {
  m_index.Query(min, max, kind == CUbEntityObj::TYPE_ENTITY_ALL ? -1 : static_cast<int>(kind), out);
}

int CUbEttManage::CheckEttIndex(CString* why) const {
  auto fail = [why](const CString& text) {
    if (why) *why = text;
    return 0;
  };
  if (!m_index.CheckCells(why)) return 0;
  CString text;
  if (m_index.GetCount() != m_mapEtt.size()) {
    text.Format("%zu entities indexed, %zu registered", m_index.GetCount(), m_mapEtt.size());
    return fail(text);
  }
  for (const auto& [key, entity] : m_mapEtt) {
    CCubeRange indexed, now;
    int kind = 0;
    if (!m_index.GetIndexedRange(entity->m_nHandle, indexed, &kind)) return fail("entity " + key + " is not indexed");
    entity->GetRange(now);
    const bool same = indexed.IsEmpty() || now.IsEmpty()
                          ? indexed.IsEmpty() == now.IsEmpty()
                          : indexed.GetMin() == now.GetMin() && indexed.GetMax() == now.GetMax();
    if (!same) return fail("entity " + key + " is indexed where it no longer lies");
    if (kind != entity->m_nTypeEntity) return fail("entity " + key + " is indexed under another kind");
  }
  return 1;
}

CUbEntityObj* CUbEttManage::GetEtt(const CString& key) const {
  const auto it = m_mapEtt.find(key);
  return it == m_mapEtt.end() ? nullptr : it->second;
}

CUbEntityObj* CUbEttManage::GetEttByHandle(std::uint32_t handle) const {
  const auto it = m_mapHandle.find(handle);
  return it == m_mapHandle.end() ? nullptr : it->second;
}

int CUbEttManage::GetCount(CUbEntityObj::TYPE_ENTITY_OBJ kind) const {
  if (kind == CUbEntityObj::TYPE_ENTITY_ALL) return static_cast<int>(m_mapEtt.size());
  return static_cast<int>(GetEttMap(kind).size());
}

const std::vector<CUbEntityObj*>& CUbEttManage::GetEttList(CUbEntityObj::TYPE_ENTITY_OBJ kind) const {
  auto it = m_mapEttList.find(kind);
  if (it != m_mapEttList.end()) return it->second;
  std::vector<CUbEntityObj*>& list = m_mapEttList[kind];
  const EttMap& map = GetEttMap(kind);
  list.reserve(map.size());
  for (const auto& entry : map) list.push_back(entry.second);
  return list;
}

const CUbEttManage::EttMap& CUbEttManage::GetEttMap(CUbEntityObj::TYPE_ENTITY_OBJ kind) const {
  if (kind == CUbEntityObj::TYPE_ENTITY_ALL) return m_mapEtt;
  const auto it = m_mapEttByType.find(kind);
  return it == m_mapEttByType.end() ? kEmptyMap : it->second;
}

// ---------------------------------------------------------------------------------------------
// Selection and display groups

void CUbEttManage::ResetSelection(int selection, int hover) {
  if (selection) {
    for (const auto& entry : m_mapSelect) static_cast<CUbEntityObj*>(entry.second)->SetSelection(0);
    m_mapSelect.RemoveAll();
  }
  if (hover) m_mapHover.RemoveAll();
}

void CUbEttManage::SelectRemoveAll() { ResetSelection(1, 0); }

void CUbEttManage::SelectEtt(CUbEntityObj* entity, int select) {
  if (!entity || GetEtt(entity->GetName()) != entity) return;
  if (select) {
    m_mapSelect.SetAt(entity->GetName(), entity);
  } else {
    m_mapSelect.RemoveKey(entity->GetName());
  }
  entity->SetSelection(select);
}

void CUbEttManage::SetCurDisplayGroupIndex(int index) {
  if (index >= 0 && index < static_cast<int>(m_arDisplayGroup.size())) m_nCurDisplayGroup = index;
}

// ---------------------------------------------------------------------------------------------
// Windows and coordinates

int CUbEttManage::AddRenderWnd(CUbRenderWnd* wnd) {
  if (!wnd) return -1;
  const int existing = GetRenderWndIndex(wnd);
  if (existing >= 0) return existing;
  m_arWnd.push_back(SWndSlot{wnd, CCubeRange{}});
  const int index = static_cast<int>(m_arWnd.size()) - 1;
  if (m_nCurWnd < 0) m_nCurWnd = index;
  return index;
}

void CUbEttManage::RemoveRenderWnd(CUbRenderWnd* wnd) {
  const int index = GetRenderWndIndex(wnd);
  if (index < 0) return;
  m_arWnd[static_cast<size_t>(index)].m_pWnd = nullptr;
  if (m_nCurWnd == index) {
    m_nCurWnd = -1;
    for (size_t i = 0; i < m_arWnd.size(); ++i) {
      if (m_arWnd[i].m_pWnd) {
        m_nCurWnd = static_cast<int>(i);
        break;
      }
    }
  }
}

CUbRenderWnd* CUbEttManage::GetRenderWnd(long index) const {
  if (index < 0) index = m_nCurWnd;
  if (index < 0 || index >= static_cast<long>(m_arWnd.size())) return nullptr;
  return m_arWnd[static_cast<size_t>(index)].m_pWnd;
}

int CUbEttManage::GetRenderWndIndex(const CUbRenderWnd* wnd) const {
  for (size_t i = 0; i < m_arWnd.size(); ++i) {
    if (wnd && m_arWnd[i].m_pWnd == wnd) return static_cast<int>(i);
  }
  return -1;
}

void CUbEttManage::SetCurRenderWndIndex(int index) {
  if (GetRenderWnd(index) && index >= 0) m_nCurWnd = index;
}

CCubeRange* CUbEttManage::GetViewRange(long index) {
  if (index < 0) index = m_nCurWnd;
  if (!GetRenderWnd(index)) return nullptr;
  return &m_arWnd[static_cast<size_t>(index)].m_range;
}

void CUbEttManage::InvalidateAllWnd() {
  for (SWndSlot& slot : m_arWnd) {
    if (slot.m_pWnd) slot.m_pWnd->Invalidate();
  }
}

int CUbEttManage::OpenGLRenderStart(long index, int) {
  CUbRenderWnd* wnd = GetRenderWnd(index);
  return wnd ? wnd->OpenGLRenderStart() : 0;
}

void CUbEttManage::OpenGLRenderEnd(long index, int) {
  if (CUbRenderWnd* wnd = GetRenderWnd(index)) wnd->OpenGLRenderEnd();
}

CVector CUbEttManage::GetcbCenterVector(long) const { return CVector(); }

CVector CUbEttManage::GetNormalByDepth(HWND hwnd, long, long, long index) const {
  const CUbRenderWnd* wnd = nullptr;
  for (const SWndSlot& slot : m_arWnd) {
    if (hwnd && slot.m_pWnd && slot.m_pWnd->GetWnd()->GetSafeHwnd() == hwnd) wnd = slot.m_pWnd;
  }
  if (!wnd) wnd = GetRenderWnd(index);
  return wnd ? wnd->GetViewNormal() : CVector(0.0, 0.0, 1.0);
}

CPoint CUbEttManage::ExtToClient(const CVector& p, long index) const {
  const CUbRenderWnd* wnd = GetRenderWnd(index);
  return wnd ? wnd->ExtToClient(p) : CPoint();
}

CVector CUbEttManage::ClientToExt(const CPoint& pt, double depth, long index) const {
  const CUbRenderWnd* wnd = GetRenderWnd(index);
  return wnd ? wnd->ClientToExt(pt, depth) : CVector(0.0, 0.0, depth);
}

// ---------------------------------------------------------------------------------------------
// Undo history

void CUbEttManage::SetHistoryStart() {
  if (m_nHistoryDepth++ > 0 || m_bReplaying) return;
  m_arOpen.clear();
  m_strOpenCaption.Empty();
  OnHistoryStepOpen();
}

void CUbEttManage::SetHistoryCaption(const CString& caption) {
  if (m_nHistoryDepth > 0 && !m_bReplaying && m_strOpenCaption.IsEmpty()) m_strOpenCaption = caption;
}

void CUbEttManage::SetHistoryEnd() {
  if (m_nHistoryDepth == 0) return;  // an unbalanced end must not close someone else's step
  if (--m_nHistoryDepth > 0 || m_bReplaying) return;
  Step step{std::move(m_arOpen), OnHistoryStepClose(), m_strOpenCaption};
  m_arOpen.clear();
  m_strOpenCaption.Empty();
  std::vector<SRecord> all;
  if (!step.m_pPayload) {
    all = step.m_arRecord;
    DropCancelledRecords(step.m_arRecord);
  }
  if (step.m_arRecord.empty() && !step.m_pPayload) {
    // An empty step is no step: what could be redone stays, and so does the modified state.
    for (const SRecord& record : all) ForgetIfUnreferenced(record.m_strKey);
    OnHistoryStepDropped();
    return;
  }
  Reference(step.m_arRecord);
  for (const SRecord& record : all) ForgetIfUnreferenced(record.m_strKey);
  m_arUndo.push_back(std::move(step));
  for (const Step& undone : m_arRedo) Unreference(undone.m_arRecord);
  m_arRedo.clear();
}

void CUbEttManage::DropCancelledRecords(std::vector<SRecord>& records) const {
  // Each key's records in the order made.
  std::map<CString, std::vector<size_t>> byKey;
  for (size_t i = 0; i < records.size(); ++i) byKey[records[i].m_strKey].push_back(i);
  std::vector<bool> drop(records.size(), false);
  for (const auto& [key, indices] : byKey) {
    const EHistory first = records[indices.front()].m_eKind;
    const EHistory last = records[indices.back()].m_eKind;
    bool comesOrGoes = false;
    for (size_t i : indices) {
      comesOrGoes = comesOrGoes || records[i].m_eKind == EHistory::kCreate || records[i].m_eKind == EHistory::kDelete;
    }
    const CUbEntityObj* entity = FindForHistory(key);
    const bool ofDocument = entity && IsEttOfDocument(*entity);
    // Made and gone again; or, for a mirror of an unchanged document, moved about or gone and
    // back: either way the entity ends as it began.
    const bool cancels = (first == EHistory::kCreate && last == EHistory::kDelete) ||
                         (ofDocument && (!comesOrGoes || (first == EHistory::kDelete && last == EHistory::kCreate)));
    for (size_t i : indices) {
      const SRecord& r = records[i];
      const bool identity = (r.m_eKind == EHistory::kOneNode && r.m_v1 == r.m_v2) ||
                            (r.m_eKind == EHistory::kMoveAllPoint && r.m_v1 == CVector()) ||
                            (r.m_eKind == EHistory::kRotate && r.m_cs == CDPoint(1.0, 0.0)) ||
                            (r.m_eKind == EHistory::kMirror && r.m_v1 == r.m_v2);
      drop[i] = cancels || identity;
    }
  }
  size_t kept = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (drop[i]) continue;
    if (kept != i) records[kept] = std::move(records[i]);
    ++kept;
  }
  records.resize(kept);
}

void CUbEttManage::Reference(const std::vector<SRecord>& records) {
  for (const SRecord& record : records) ++m_mapKeyRefs[record.m_strKey];
}

void CUbEttManage::Unreference(const std::vector<SRecord>& records) {
  for (const SRecord& record : records) {
    auto it = m_mapKeyRefs.find(record.m_strKey);
    if (it != m_mapKeyRefs.end() && --it->second <= 0) m_mapKeyRefs.erase(it);
    ForgetIfUnreferenced(record.m_strKey);
  }
}

void CUbEttManage::ForgetIfUnreferenced(const CString& key) {
  if (!m_mapKeyRefs.count(key)) m_mapHeld.erase(key);
}

void CUbEttManage::AddRecord(SRecord record) {
  if (IsRecording()) m_arOpen.push_back(std::move(record));
}

void CUbEttManage::AddHistory_ActionCreate(CUbEntityObj* entity) {
  if (!entity || !IsRecording()) return;
  AddRecord({EHistory::kCreate, entity->GetName(), {}, {}, {}, 0});
}

void CUbEttManage::AddHistory_ActionDelete(CUbEntityObj* entity) {
  if (!entity || !IsRecording() || entity->GetName().IsEmpty()) return;
  AddRecord({EHistory::kDelete, entity->GetName(), {}, {}, {}, 0});
  // Only an entity already out of the registry is taken over; a registered one stays put.
  if (GetEtt(entity->GetName()) != entity) m_mapHeld[entity->GetName()].reset(entity);
}

void CUbEttManage::AddHistory_ActionOneNode(const CString& key, const CVector& from, const CVector& to,
                                            int atBegin) {
  AddRecord({EHistory::kOneNode, key, from, to, {}, atBegin});
}

void CUbEttManage::AddHistory_ActionMoveAllPoint(const CString& key, const CVector& d) {
  AddRecord({EHistory::kMoveAllPoint, key, d, {}, {}, 0});
}

void CUbEttManage::AddHistory_ActionRotate(const CString& key, const CVector& origin, const CVector& axis,
                                           const CDPoint& cs) {
  AddRecord({EHistory::kRotate, key, origin, axis, cs, 0});
}

void CUbEttManage::AddHistory_ActionMirror(const CString& key, const CVector& p1, const CVector& p2) {
  AddRecord({EHistory::kMirror, key, p1, p2, {}, 0});
}

int CUbEttManage::CanUndo() const { return m_nHistoryDepth == 0 && !m_arUndo.empty() ? 1 : 0; }
int CUbEttManage::CanRedo() const { return m_nHistoryDepth == 0 && !m_arRedo.empty() ? 1 : 0; }

int CUbEttManage::Undo() {
  if (!CanUndo()) return 0;
  Step step = std::move(m_arUndo.back());
  m_arUndo.pop_back();
  m_bReplaying = true;
  for (auto it = step.m_arRecord.rbegin(); it != step.m_arRecord.rend(); ++it) Replay(*it, false);
  if (step.m_pPayload) step.m_pPayload->Undo();
  m_bReplaying = false;
  m_arRedo.push_back(std::move(step));
  InvalidateAllWnd();
  return 1;
}

int CUbEttManage::Redo() {
  if (!CanRedo()) return 0;
  Step step = std::move(m_arRedo.back());
  m_arRedo.pop_back();
  m_bReplaying = true;
  for (const SRecord& record : step.m_arRecord) Replay(record, true);
  if (step.m_pPayload) step.m_pPayload->Redo();
  m_bReplaying = false;
  m_arUndo.push_back(std::move(step));
  InvalidateAllWnd();
  return 1;
}

CString CUbEttManage::CaptionOf(const Step& step) {
  if (!step.m_strCaption.IsEmpty()) return step.m_strCaption;
  bool created = false, deleted = false, moved = false;
  for (const SRecord& record : step.m_arRecord) {
    created |= record.m_eKind == EHistory::kCreate;
    deleted |= record.m_eKind == EHistory::kDelete;
    moved |= record.m_eKind != EHistory::kCreate && record.m_eKind != EHistory::kDelete;
  }
  if (created && !deleted && !moved) return StmText("Add");
  if (deleted && !created && !moved) return StmText("Delete");
  if (moved && !created && !deleted) return StmText("Move");
  return StmText("Edit");
}

CString CUbEttManage::GetUndoCaption(int index) const {
  return index >= 0 && index < GetUndoCount() ? CaptionOf(m_arUndo[index]) : CString();
}

CString CUbEttManage::GetRedoCaption(int index) const {
  const int count = GetRedoCount();
  return index >= 0 && index < count ? CaptionOf(m_arRedo[count - 1 - index]) : CString();
}

void CUbEttManage::ClearHistory() {
  m_arOpen.clear();
  m_arUndo.clear();
  m_arRedo.clear();
  m_mapHeld.clear();
  m_mapKeyRefs.clear();
}

CUbEntityObj* CUbEttManage::FindForHistory(const CString& key) const {
  if (CUbEntityObj* entity = GetEtt(key)) return entity;
  const auto it = m_mapHeld.find(key);
  return it == m_mapHeld.end() ? nullptr : it->second.get();
}

// Both directions go through the virtuals the layer overrides, so the model follows the scene.
void CUbEttManage::Replay(const SRecord& record, bool forward) {
  const bool bringBack = (record.m_eKind == EHistory::kCreate) == forward;
  if (record.m_eKind == EHistory::kCreate || record.m_eKind == EHistory::kDelete) {
    if (bringBack) {
      auto it = m_mapHeld.find(record.m_strKey);
      if (it == m_mapHeld.end()) return;
      CUbEntityObj* entity = it->second.release();
      m_mapHeld.erase(it);
      if (!AddEtt(entity, 0, 0)) m_mapHeld[record.m_strKey].reset(entity);
    } else if (CUbEntityObj* entity = GetEtt(record.m_strKey)) {
      DeleteEtt(entity, 0, 0, 0);
    }
    return;
  }
  CUbEntityObj* entity = FindForHistory(record.m_strKey);
  if (!entity) return;
  switch (record.m_eKind) {
    case EHistory::kOneNode: {
      CVector to = forward ? record.m_v2 : record.m_v1;
      entity->MoveOnePoint(forward ? record.m_v1 : record.m_v2, to, record.m_nFlag);
      break;
    }
    case EHistory::kMoveAllPoint:
      entity->Move(forward ? record.m_v1 : -record.m_v1);
      break;
    case EHistory::kRotate:
      entity->Rotate(record.m_v1, record.m_v2, forward ? record.m_cs : record.m_cs.Conjugate());
      break;
    case EHistory::kMirror:
      entity->Mirror(record.m_v1, record.m_v2);
      break;
    default:
      break;
  }
}
