// The entity container: owns the scene's entities, keys them in creation order, keeps the
// selection and hover maps, the render windows, and the undo history of edits.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"
#include "host/framework/CCubeRange.h"
#include "host/framework/CUbEntityObj.h"
#include "host/framework/CUbSpatialIndex.h"
#include "host/platform/CMapStringToPtr.h"
#include "host/platform/CRect.h"
#include "host/platform/CString.h"
#include "host/platform/WinDefs.h"

class CUbRenderWnd;

// What an undo step changes besides the entities (the document behind the scene); it is given
// back after the step's entity records have been replayed.
class CUbHistoryPayload {
public:
  virtual ~CUbHistoryPayload() = default;
  virtual void Undo() = 0;
  virtual void Redo() = 0;
};

// A named set of entity keys; while its filter flag is set, entities that honour groups draw
// only when their key is in it.
struct SUbDisplayGroup {
  CString m_strName;
  int m_bFilter = 0;
  std::set<CString> m_setKeys;
};

class CUbEttManage {
public:
  using EttMap = std::map<CString, CUbEntityObj*>;

  CUbEttManage();
  virtual ~CUbEttManage();
  CUbEttManage(const CUbEttManage&) = delete;
  CUbEttManage& operator=(const CUbEttManage&) = delete;

  // Slots the layer's manager overrides, in slot order.
  // Takes ownership and returns 1; returns 0 (ownership stays with the caller) for null or an
  // entity already registered. `record` non-zero records the creation when a history bracket
  // is open; `redraw` non-zero repaints the windows.
  virtual int AddEtt(CUbEntityObj* entity, int record, int redraw);
  // Takes the entity out of the registry and the selection. Returns 0 when it is not
  // registered. Recorded (record non-zero inside a bracket), it then belongs to the history;
  // otherwise it is destroyed unless `keep` is non-zero, in which case the caller owns it.
  // `redraw` non-zero repaints the windows.
  virtual int DeleteEtt(CUbEntityObj* entity, int keep, int record, int redraw);
  // Empties the current selection (clearing the marks) and, with `hover`, the hover map.
  virtual void ResetSelection(int selection, int hover);
  virtual void SelectRemoveAll();
  virtual void AddHistory_ActionCreate(CUbEntityObj* entity);
  virtual void AddHistory_ActionDelete(CUbEntityObj* entity);

  // Registry.
  CUbEntityObj* GetEtt(const CString& key) const;
  CUbEntityObj* GetEttByHandle(std::uint32_t handle) const;
  // Entities of one kind (TYPE_ENTITY_ALL: all), ordered by key, that is in creation order.
  int GetCount(CUbEntityObj::TYPE_ENTITY_OBJ kind) const;
  const EttMap& GetEttMap() const { return m_mapEtt; }
  const EttMap& GetEttMap(CUbEntityObj::TYPE_ENTITY_OBJ kind) const;
  // The same entities in the same order as a plain list, kept until one of the kind comes or
  // goes: a frame walks every kind, and a list walks far faster than a tree.
  const std::vector<CUbEntityObj*>& GetEttList(CUbEntityObj::TYPE_ENTITY_OBJ kind) const;
  // Takes an entity out of the registry and the selection without history or hooks and hands
  // it back to the caller; used when the scene is cleared wholesale.
  CUbEntityObj* DetachEtt(CUbEntityObj* entity);

  // Finding entities by position, without a window: every registered entity is indexed at its
  // range, and entities report geometry changes through CUbEntityObj::UpdateEttIndex.
  // Re-reads where a registered entity lies; nothing for one that is not registered.
  void UpdateEttIndex(CUbEntityObj* entity);
  // The entities of one kind (TYPE_ENTITY_ALL: all) whose range meets [min, max], inclusive,
  // in registry order. A caller that wants a tolerance widens the box by it.
  void GetEttInBox(const CVector& min, const CVector& max, CUbEntityObj::TYPE_ENTITY_OBJ kind,
                   std::vector<CUbEntityObj*>& out) const;
  // 1 when the index holds exactly the registered entities, each where its range is now;
  // otherwise 0 and, with `why`, what is wrong.
  int CheckEttIndex(CString* why) const;
  const CUbSpatialIndex& GetEttIndex() const { return m_index; }

  // Selection: the current selection, the hover map and the previous selection, all by key.
  CMapStringToPtr& GetSelectMap() { return m_mapSelect; }
  CMapStringToPtr& GetHoverMap() { return m_mapHover; }
  std::vector<CString>& GetPreviousSelection() { return m_arPrevSelect; }
  // Adds (select non-zero) or removes one entity, keeping its mark in step with the map.
  void SelectEtt(CUbEntityObj* entity, int select);

  // Display groups; there is always at least one, the unfiltered default.
  std::vector<SUbDisplayGroup>& GetDisplayGroups() { return m_arDisplayGroup; }
  SUbDisplayGroup& GetCurDisplayGroup() { return m_arDisplayGroup[static_cast<size_t>(m_nCurDisplayGroup)]; }
  int GetCurDisplayGroupIndex() const { return m_nCurDisplayGroup; }
  // Ignores an index outside the list.
  void SetCurDisplayGroupIndex(int index);

  // The list-compiling switch: 1 (the default) draws entities directly every frame, 0 compiles
  // each entity's drawing into a display list once.
  int IsDirectDraw() const { return m_bDirectDraw; }
  void SetDirectDraw(int direct) { m_bDirectDraw = direct ? 1 : 0; }

  // Render windows. A window registers itself; indices of the others do not move.
  int AddRenderWnd(CUbRenderWnd* wnd);
  void RemoveRenderWnd(CUbRenderWnd* wnd);
  // -1 asks for the current window; null when there is none at that index.
  CUbRenderWnd* GetRenderWnd(long index = -1) const;
  int GetRenderWndIndex(const CUbRenderWnd* wnd) const;
  int GetCurRenderWndIndex() const { return m_nCurWnd; }
  void SetCurRenderWndIndex(int index);
  // The extent that the window with this index fits by zoom-all; null for no window.
  CCubeRange* GetViewRange(long index = -1);
  // Repaints every window of the container.
  void InvalidateAllWnd();
  int OpenGLRenderStart(long index, int);
  void OpenGLRenderEnd(long index, int);

  // Coordinates. Every entity draws at its model coordinates, so the centre is the origin.
  CVector GetcbCenterVector(long index = -1) const;
  // The direction towards the viewer of the window given by its handle (any other handle,
  // null included: the current window); (0, 0, 1) without a window.
  CVector GetNormalByDepth(HWND wnd, long, long, long index = -1) const;
  // Model point to the client pixel of a window, and a client pixel back to the model point at
  // its centre whose out-of-plane coordinate is `depth`. Without a window: (0, 0) and depth.
  CPoint ExtToClient(const CVector& p, long index = -1) const;
  CVector ClientToExt(const CPoint& pt, double depth, long index = -1) const;

  // Undo history. Brackets nest; one step is what happens between the outermost start and end.
  // Records are taken only inside a bracket and never while a step is being replayed.
  void SetHistoryStart();
  void SetHistoryEnd();
  int GetHistoryDepth() const { return m_nHistoryDepth; }
  // Names the open step for a history list. The outermost bracket names it first and keeps it:
  // a gesture reads as what the user did, not as the helper it called.
  void SetHistoryCaption(const CString& caption);
  void AddHistory_ActionOneNode(const CString& key, const CVector& from, const CVector& to, int atBegin);
  void AddHistory_ActionMoveAllPoint(const CString& key, const CVector& d);
  void AddHistory_ActionRotate(const CString& key, const CVector& origin, const CVector& axis, const CDPoint& cs);
  void AddHistory_ActionMirror(const CString& key, const CVector& p1, const CVector& p2);
  int CanUndo() const;
  int CanRedo() const;
  // Each returns 1 when a step was replayed.
  int Undo();
  int Redo();
  void ClearHistory();
  int GetUndoCount() const { return static_cast<int>(m_arUndo.size()); }
  int GetRedoCount() const { return static_cast<int>(m_arRedo.size()); }
  // The caption of undo step `index` (0 the oldest) and of redo step `index` (0 the next one to
  // redo); a step nobody named reads by what its records did.
  CString GetUndoCaption(int index) const;
  CString GetRedoCaption(int index) const;
  // True while Undo or Redo replays a step: the registry hooks see entities come and go, but
  // the step itself puts back everything else.
  bool IsReplayingHistory() const { return m_bReplaying; }

protected:
  // A step opens when the outermost bracket starts and closes when it ends; what the closing
  // hook returns is kept with the step. A step that changed nothing is dropped (see
  // SetHistoryEnd), and the dropped hook then lets the owner take back what the step's edit
  // marked; the redo history stays.
  virtual void OnHistoryStepOpen() {}
  virtual std::unique_ptr<CUbHistoryPayload> OnHistoryStepClose() { return nullptr; }
  virtual void OnHistoryStepDropped() {}
  // True for an entity that only mirrors the document behind the scene: when a step leaves the
  // document as it was (no payload), such an entity is as it was too, whatever its records say.
  virtual bool IsEttOfDocument(const CUbEntityObj& /*entity*/) const { return false; }

private:
  enum class EHistory { kCreate, kDelete, kOneNode, kMoveAllPoint, kRotate, kMirror };
  struct SRecord {
    EHistory m_eKind;
    CString m_strKey;
    CVector m_v1, m_v2;
    CDPoint m_cs;
    int m_nFlag = 0;
  };
  struct Step {
    std::vector<SRecord> m_arRecord;
    std::unique_ptr<CUbHistoryPayload> m_pPayload;
    CString m_strCaption;
  };
  static CString CaptionOf(const Step& step);

  bool IsRecording() const { return m_nHistoryDepth > 0 && !m_bReplaying; }
  void AddRecord(SRecord record);
  void Replay(const SRecord& record, bool forward);
  // The entity of a record: registered, or held by the history.
  CUbEntityObj* FindForHistory(const CString& key) const;
  // Drops the records of a step without a payload that together change nothing.
  void DropCancelledRecords(std::vector<SRecord>& records) const;
  // Reference counts of keys by the records of kept steps; an entity the history holds goes
  // when no record refers to it any more.
  void Reference(const std::vector<SRecord>& records);
  void Unreference(const std::vector<SRecord>& records);
  void ForgetIfUnreferenced(const CString& key);
  void Unregister(CUbEntityObj* entity);

  struct SWndSlot {
    CUbRenderWnd* m_pWnd = nullptr;
    CCubeRange m_range;
  };

  EttMap m_mapEtt;
  std::map<int, EttMap> m_mapEttByType;
  mutable std::map<int, std::vector<CUbEntityObj*>> m_mapEttList;
  std::unordered_map<std::uint32_t, CUbEntityObj*> m_mapHandle;
  std::uint32_t m_nLastHandle = 0;
  CUbSpatialIndex m_index;

  CMapStringToPtr m_mapSelect;
  CMapStringToPtr m_mapHover;
  std::vector<CString> m_arPrevSelect;
  std::vector<SUbDisplayGroup> m_arDisplayGroup;
  int m_nCurDisplayGroup = 0;
  int m_bDirectDraw = 1;

  std::vector<SWndSlot> m_arWnd;
  int m_nCurWnd = -1;

  int m_nHistoryDepth = 0;
  bool m_bReplaying = false;
  std::vector<SRecord> m_arOpen;
  CString m_strOpenCaption;
  std::vector<Step> m_arUndo;
  std::vector<Step> m_arRedo;
  std::map<CString, std::unique_ptr<CUbEntityObj>> m_mapHeld;
  std::map<CString, int> m_mapKeyRefs;
};

// A history bracket around a scope: the step closes on every way out of it, early returns
// included.
class CUbHistoryBracket {
public:
  explicit CUbHistoryBracket(CUbEttManage& manage) : m_manage(manage) { m_manage.SetHistoryStart(); }
  CUbHistoryBracket(CUbEttManage& manage, const CString& caption) : m_manage(manage) {
    m_manage.SetHistoryStart();
    m_manage.SetHistoryCaption(caption);
  }
  ~CUbHistoryBracket() { m_manage.SetHistoryEnd(); }
  CUbHistoryBracket(const CUbHistoryBracket&) = delete;
  CUbHistoryBracket& operator=(const CUbHistoryBracket&) = delete;

private:
  CUbEttManage& m_manage;
};
