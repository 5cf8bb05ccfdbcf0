// A dotted construction line that only the scene knows; its segment snaps let nodes and
// elements be placed on it.
#pragma once

#include "entities/CStmEntityObject.h"

class CStmEntityGuideline : public CStmEntityObject {
  DECLARE_SERIAL(CStmEntityGuideline)

public:
  // Horizontal lines sit at a fixed u, vertical ones at a fixed v; dynamic ones are drawn freely.
  enum { kTypeHorizontal = 0, kTypeVertical = 1, kTypeDynamic = 2 };

  CStmEntityGuideline();
  explicit CStmEntityGuideline(CUbEttManage* manage);
  CStmEntityGuideline(CUbEttManage* manage, int type, const CVector& point1, const CVector& point2);

  int GetTypeGuideline() const { return m_nTypeGuideline; }
  void SetTypeGuideline(int type) { m_nTypeGuideline = type; }
  const CVector& GetPoint1() const { return m_vPoint1; }
  const CVector& GetPoint2() const { return m_vPoint2; }
  void SetPoints(const CVector& point1, const CVector& point2) {
    m_vPoint1 = point1;
    m_vPoint2 = point2;
    UpdateEttIndex();
  }

  // Only the container's part and a version are archived; the manager rebuilds guidelines.
  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  CString GetStringEntType() override;
  CString GetTooltipPropInfoTable() override;
  int GetOsnapEndPoint(CVector pt, CVector& out, int& first) override;
  int GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x, long y,
                       long unused) override;
  int GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd) override;
  int GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused) override;
  int GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first) override;

  CStmEntityGuideline& operator=(const CStmEntityObject& other) override;
  CStmEntityGuideline& operator=(const CStmEntityGuideline& other);

protected:
  using CStmEntityObject::GetOsnapCrossPoint;
  using CStmEntityObject::GetOsnapEndPoint;
  using CStmEntityObject::GetOsnapMidPoint;
  using CStmEntityObject::GetOsnapNearPoint;
  using CStmEntityObject::GetOsnapPerPoint;
  void Render(int pick) override;

private:
  void Init();

  int m_nTypeGuideline = kTypeHorizontal;
  CVector m_vPoint1, m_vPoint2;
};
