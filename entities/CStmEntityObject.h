// The common base of the strut-and-tie scene entities: the link to the model record, the view
// state that drawing depends on, display-list building and the segment object snaps.
#pragma once

#include "host/framework/CUbEntityObj.h"
#include "host/framework/CUbRenderWnd.h"

class CStmModel;
class CStmObjElement;
class CStmObjNode;
class CStmObject;
class CStmUbManager;

class CStmEntityObject : public CUbEntityObj {
  DECLARE_SERIAL(CStmEntityObject)

public:
  // Entity kinds of this layer; the registry keeps one map per kind.
  static constexpr int kKindBoundary = 109;
  static constexpr int kKindNode = 110;
  static constexpr int kKindElement = 111;
  static constexpr int kKindGridPoint = 112;
  static constexpr int kKindGuideline = 113;
  static constexpr int kKindArea = 114;

  CStmEntityObject();
  explicit CStmEntityObject(CUbEttManage* manage);

  // Null when the entity does not belong to a strut-and-tie manager.
  CStmUbManager* GetManager() const;

  int GetIdStm() const { return m_nIdStm; }
  // The manager keeps its map from records to entities in step.
  void SetIdStm(int id);
  double GetViewScale() const { return m_dViewScale; }
  void SetViewScale(double scale) { m_dViewScale = scale; }
  CUbRenderWnd::VIEW_POS GetViewPos() const { return m_eViewPos; }
  void SetViewPos(CUbRenderWnd::VIEW_POS pos) { m_eViewPos = pos; }

  // Copies through the most-derived assignment, so each kind copies what it owns.
  void CopyEntity(CUbEntityObj* source) override;
  virtual CStmEntityObject& operator=(const CStmEntityObject& other);

  using CUbEntityObj::GetOsnapCrossPoint;
  using CUbEntityObj::GetOsnapEndPoint;
  using CUbEntityObj::GetOsnapMidPoint;
  using CUbEntityObj::GetOsnapNearPoint;
  using CUbEntityObj::GetOsnapPerPoint;

protected:
  // The render window draws selected entities itself, around their Render.
  friend class CStmUbRenderer;

  void SetStmModifiedFlag(int flag);
  int ExcuteCallList(CALL_LIST_TYPE type, unsigned int unused, long index) override;

  // The segment snaps that line-like entities answer with their own end points a and b.
  virtual int GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x, long y,
                               long unused, const CVector& a, const CVector& b);
  virtual int GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd, const CVector& a,
                                const CVector& b);
  virtual int GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first, const CVector& a,
                                 const CVector& b);
  virtual int GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused, const CVector& a,
                               const CVector& b);
  virtual int GetOsnapEndPoint(CVector pt, CVector& out, int& first, const CVector& a, const CVector& b);
  // pick non-zero: the caller has set colour and size already.
  virtual void Render(int pick);

  // The snap onto one point, shared by nodes and grid points.
  int GetOsnapPoint(const CVector& coord, CVector pt, CVector& out, int& first) const;
  // The archive of entities that the manager rebuilds instead of loading their geometry.
  void SerializeViewAid(CArchive& ar);

  // The model records of this entity, found by id once and again only after the model's records
  // came or went: a frame asks every entity for its record.
  CStmObjNode* FindNodeRecord(const CStmModel* model) const;
  CStmObjElement* FindElementRecord(const CStmModel* model) const;

  CVector GetCentre() const;
  // A view-coordinate point projected to the current window's client pixels.
  CPoint ProjectView(const CVector& p) const;
  // The drawing-plane coordinates of a model point for the manager's view position.
  CDPoint GetPlanePoint(const CVector& p) const;

  int m_nIdStm = -1;
  double m_dViewScale = 0.0;
  CUbRenderWnd::VIEW_POS m_eViewPos = CUbRenderWnd::VIEW_POS_XY;

private:
  mutable const CStmModel* m_pRecordModel = nullptr;
  mutable unsigned long m_nRecordGeneration = 0;
  mutable int m_nRecordId = -1;
  mutable CStmObject* m_pRecord = nullptr;

  template <class T, class F>
  T* FindRecord(const CStmModel* model, F find) const;
  // Candidates compare by the distance of their pixel centres to pt, so that depth never counts.
  double ScreenDistance(const CVector& p, const CVector& pt) const;
  int TakeCandidate(const CVector& c, const CVector& pt, CVector& out, int& first, bool screen) const;
};
