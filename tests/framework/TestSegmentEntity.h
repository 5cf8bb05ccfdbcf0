// A segment entity for the framework tests: the smallest kind that exercises the slots the
// container, its index, snapping, grips and the history use.
#pragma once

#include "host/framework/CUbEntityObj.h"

class CTestSegmentEntity : public CUbEntityObj {
  DECLARE_DYNCREATE(CTestSegmentEntity)

public:
  static constexpr int kKind = 7;

  CTestSegmentEntity();
  CTestSegmentEntity(CUbEttManage* manage, const CVector& begin, const CVector& end);
  ~CTestSegmentEntity() override;

  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  void Move(const CVector& d) override;
  int GetOsnapEndPoint(CVector pt, CVector& out, int& first) override;
  int GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x, long y,
                       long unused) override;
  int GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd) override;
  int GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused) override;
  int GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first) override;
  void GetSnapMovePointArray(CVectorArray& points) override;
  void GetSnapMoveAllPointArray(CVectorArray& points) override;
  void MoveOnePoint(CVector from, CVector& to, int atBegin) override;

  const CVector& Begin() const { return m_vBegin; }
  const CVector& End() const { return m_vEnd; }

  // Live instances, so that tests see who destroyed what.
  static int s_nAlive;

protected:
  int ExcuteCallList(CALL_LIST_TYPE type, unsigned int unused, long index) override;

private:
  int Take(const CVector& candidate, const CVector& pt, CVector& out, int& first) const;

  CVector m_vBegin, m_vEnd;
};
