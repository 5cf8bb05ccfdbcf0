// The base of every scene entity: identity in its container, colours, selection and visibility
// marks, display-list records, and the virtual slots through which the container, the window,
// snapping and the undo history work on an entity without knowing its kind.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"
#include "geometry/CVectorArray.h"
#include "host/framework/CCubeRange.h"
#include "host/platform/CObject.h"
#include "host/platform/CRect.h"
#include "host/platform/CString.h"
#include "host/platform/WinDefs.h"

class CArchive;
class CUbEttManage;

// The framework keeps no behaviour in these two levels; they exist so that the class chain
// reads as the layer expects it.
using CUbEntityItem = CObject;
using CUbLtEntityItem = CUbEntityItem;

class CUbEntityObj : public CUbLtEntityItem {
  DECLARE_SERIAL(CUbEntityObj)

public:
  // The entity kind. The framework gives no kind a meaning; the layer uses its own values
  // (cast to this type), and the container keeps one map per value.
  enum TYPE_ENTITY_OBJ : int { TYPE_ENTITY_NONE = 0, TYPE_ENTITY_ALL = -1 };
  // Which drawing a display list holds; only the plain drawing is compiled.
  enum CALL_LIST_TYPE : int { CALL_LIST_DRAW = 0, CALL_LIST_PICK = 1 };

  // One display-list record per window index; the list name is -1 until compiled.
  struct SCallListRecord {
    int m_nList = -1;
  };
  static constexpr int kCallListSlots = 8;
  using SegmentArray = std::vector<std::pair<CVector, CVector>>;

  CUbEntityObj();
  explicit CUbEntityObj(CUbEttManage* manage);
  ~CUbEntityObj() override;
  CUbEntityObj(const CUbEntityObj&) = delete;
  // Copies what describes the entity (kind, second field, colours, normal, visibility), never
  // its identity in a container (key, handle, container, selection) nor its display lists.
  CUbEntityObj& operator=(const CUbEntityObj& other);

  // Framework slots that the layer's entities override, in slot order.
  void Serialize(CArchive& ar) override;
  virtual void GetRange(CCubeRange& range);
  virtual void CopyEntity(CUbEntityObj* source);
  virtual CString GetStringEntType();
  virtual CString GetTooltipPropInfoTable();
  virtual void Translate(double factor);
  virtual void Mirror(const CVector& p1, const CVector& p2);
  virtual void Move(const CVector& d);
  virtual void Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs);
  virtual int IsInRect(CRect rect);
  virtual int GetOsnapEndPoint(CVector pt, CVector& out, int& first);
  virtual int GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x,
                               long y, long unused);
  virtual int GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd);
  virtual int GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused);
  virtual int GetOsnapNodePoint(CVector pt, CVector& out, int& first);
  virtual int GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first);
  // Grips that move one vertex each (dragging one moves that vertex with MoveOnePoint).
  virtual void GetSnapMovePointArray(CVectorArray& points);
  // Grips that move the whole entity (dragging one moves the entity with Move).
  virtual void GetSnapMoveAllPointArray(CVectorArray& points);
  virtual void GetBoundLineArray(SegmentArray& out, int unused);
  virtual void MoveOnePoint(CVector from, CVector& to, int atBegin);
  // Moves the entity so that `from` lands on `to`.
  virtual void MoveAllPoint(const CVector& from, const CVector& to);

  // Draws the entity for the window with this index, through its display list when the
  // container compiles lists.
  int DrawEntity(long wndIndex) { return ExcuteCallList(CALL_LIST_DRAW, 0, wndIndex); }

  // Discards the compiled lists (index -1: all) so that the next draw builds them again.
  void RecreateCallList(long index);
  void DeleteCallList(long index);
  SCallListRecord* GetCallListRecord(long index);

  static CVector MoveAPoint(const CVector& p, const CVector& d) { return p + d; }
  // p mirrored about the line through p1 and p2; p itself when p1 and p2 coincide.
  static CVector GetMirrorPos(const CVector& p1, const CVector& p2, const CVector& p);

  TYPE_ENTITY_OBJ GetTypeEntity() const { return static_cast<TYPE_ENTITY_OBJ>(m_nTypeEntity); }
  void SetTypeEntity(int kind) { m_nTypeEntity = kind; }
  int GetSubType() const { return m_nSubType; }
  void SetSubType(int value) { m_nSubType = value; }
  const CVector& GetDrawColor() const { return m_vDrawColor; }
  void SetDrawColor(const CVector& rgb) { m_vDrawColor = rgb; }
  const CVector& GetDrawTextColor() const { return m_vTextColor; }
  void SetDrawTextColor(const CVector& rgb) { m_vTextColor = rgb; }
  const CVector& GetNormal() const { return m_vNormal; }
  void SetNormal(const CVector& n) { m_vNormal = n; }

  // The key string: given by the container when the entity first enters it, sorts in creation
  // order, and stays through undo and redo. Empty before that.
  const CString& GetName() const { return m_strName; }
  // The 32-bit handle that is the entity's GL selection name; 0 before it enters a container.
  std::uint32_t GetHandle() const { return m_nHandle; }
  CUbEttManage* GetEttManage() const { return m_pEttManage; }
  void SetEttManage(CUbEttManage* manage) { m_pEttManage = manage; }

  void SetSelection(int selected) { m_bSelected = selected != 0; }
  int IsSelection() const { return m_bSelected ? 1 : 0; }
  void SetVisible(int visible) { m_bVisible = visible != 0; }
  int IsVisible() const { return m_bVisible ? 1 : 0; }
  void SetPickable(int pickable) { m_bPickable = pickable != 0; }
  int IsPickable() const { return m_bPickable ? 1 : 0; }
  // Non-zero when the entity is hidden in the window with this index.
  int IsDrawVerify(long wndIndex) const;
  void SetDrawVerify(long wndIndex, int hidden);

protected:
  // The container's part of an archive. Loaders read the whole archive before they change
  // anything, so that a refused archive leaves the entity as it was.
  struct SArchivedBase {
    int m_nKind = TYPE_ENTITY_NONE;
    int m_nSubType = -1;
    CVector m_vDrawColor, m_vTextColor, m_vNormal;
  };
  // Throws badClass for an archive of another kind than this entity's (an entity of no kind
  // yet takes any), so that the container's maps by kind stay true.
  void ReadArchiveBase(CArchive& ar, SArchivedBase& out) const;
  void ApplyArchiveBase(const SArchivedBase& base);

  // Every change of what GetRange returns ends with this, so that the container's index of
  // positions follows the entity (undo and redo replay through the same transforms).
  void UpdateEttIndex();
  // Draws (or compiles and replays) the entity; the base has nothing to draw and returns 0.
  virtual int ExcuteCallList(CALL_LIST_TYPE type, unsigned int unused, long index);

  int m_nTypeEntity = TYPE_ENTITY_NONE;
  int m_nSubType = -1;
  CVector m_vDrawColor{1.0, 1.0, 1.0};
  CVector m_vTextColor{1.0, 1.0, 1.0};
  CVector m_vNormal;
  CUbEttManage* m_pEttManage = nullptr;
  std::array<SCallListRecord, kCallListSlots> m_arCallList{};

private:
  friend class CUbEttManage;

  CString m_strName;
  std::uint32_t m_nHandle = 0;
  std::uint32_t m_nHiddenWnds = 0;  // bit i: hidden in window i
  bool m_bSelected = false;
  bool m_bVisible = true;
  bool m_bPickable = true;
};
