// The scene counterpart of a model element: a line between two node positions that answers
// the segment snaps and carries its free end nodes along when it is moved.
#pragma once

#include "entities/CStmEntityObject.h"

class CStmModel;

class CStmEntityNode;

class CStmEntityElement : public CStmEntityObject {
  DECLARE_SERIAL(CStmEntityElement)

public:
  // Boundary membership, copied from the model element's attribute 4.
  enum { kTypeOrdinary = 0, kTypeOuter = 1, kTypeInner = 2 };

  CStmEntityElement();
  explicit CStmEntityElement(CUbEttManage* manage);
  CStmEntityElement(CUbEttManage* manage, const CVector& begin, const CVector& end);

  const CVector& GetCoordBegin() const { return m_vBegin; }
  const CVector& GetCoordEnd() const { return m_vEnd; }
  const CVector& GetCoordBeforeMoveBegin() const { return m_vBeforeMoveBegin; }
  const CVector& GetCoordBeforeMoveEnd() const { return m_vBeforeMoveEnd; }
  double GetThickness() const { return m_dThickness; }
  void SetThickness(double thickness) { m_dThickness = thickness; }
  int GetTypeElement() const { return m_nTypeElement; }
  void SetTypeElement(int type) { m_nTypeElement = type; }
  void GetDirection(CVector& d) const { d = (m_vEnd - m_vBegin).Unit(); }

  // The manager's node entity at p; null without a manager.
  CStmEntityNode* GetInvolvedNode(const CVector& p) const;
  // Moves the end nodes that no other element still holds to the element's new ends.
  void UpdateInvolvedNode();

  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  CString GetStringEntType() override;
  CString GetTooltipPropInfoTable() override;
  void Mirror(const CVector& p1, const CVector& p2) override;
  void Move(const CVector& d) override;
  void Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs) override;
  int IsInRect(CRect rect) override;
  int GetOsnapEndPoint(CVector pt, CVector& out, int& first) override;
  int GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x, long y,
                       long unused) override;
  int GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd) override;
  int GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused) override;
  int GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first) override;
  void GetSnapMoveAllPointArray(CVectorArray& points) override;
  void GetBoundLineArray(SegmentArray& out, int unused) override;
  void MoveOnePoint(CVector from, CVector& to, int atBegin) override;

  CStmEntityElement& operator=(const CStmEntityObject& other) override;
  CStmEntityElement& operator=(const CStmEntityElement& other);

protected:
  using CStmEntityObject::GetOsnapCrossPoint;
  using CStmEntityObject::GetOsnapEndPoint;
  using CStmEntityObject::GetOsnapMidPoint;
  using CStmEntityObject::GetOsnapNearPoint;
  using CStmEntityObject::GetOsnapPerPoint;
  void Render(int pick) override;

private:
  void Init();
  // The design check of the element in the case shown, as tooltip rows: width, steel,
  // utilisation, the governing clause and what was flagged.
  static void AppendCheckRows(const CStmModel& model, int idElement, int loadCase, int decimals, CString& text);

  CVector m_vBegin, m_vEnd;
  CVector m_vBeforeMoveBegin, m_vBeforeMoveEnd;
  double m_dThickness = 2.0;
  int m_nTypeElement = kTypeOrdinary;
};
