// The test segment: straight-line geometry in the x-y plane, drawn as a GL line.
#include "TestSegmentEntity.h"

#include <GL/gl.h>

#include <cmath>

#include "host/framework/CUbEttManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CArchive.h"

IMPLEMENT_DYNCREATE(CTestSegmentEntity, CUbEntityObj)

int CTestSegmentEntity::s_nAlive = 0;

CTestSegmentEntity::CTestSegmentEntity() {
  m_nTypeEntity = kKind;
  ++s_nAlive;
}

CTestSegmentEntity::CTestSegmentEntity(CUbEttManage* manage, const CVector& begin, const CVector& end)
    : CUbEntityObj(manage), m_vBegin(begin), m_vEnd(end) {
  m_nTypeEntity = kKind;
  ++s_nAlive;
}

CTestSegmentEntity::~CTestSegmentEntity() { --s_nAlive; }

void CTestSegmentEntity::Serialize(CArchive& ar) {
  CUbEntityObj::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_vBegin << m_vEnd;
  } else {
    ar >> m_vBegin >> m_vEnd;
    UpdateEttIndex();
  }
}

void CTestSegmentEntity::GetRange(CCubeRange& range) {
  range.Apply(m_vBegin);
  range.Apply(m_vEnd);
}

void CTestSegmentEntity::Move(const CVector& d) {
  m_vBegin = MoveAPoint(m_vBegin, d);
  m_vEnd = MoveAPoint(m_vEnd, d);
  UpdateEttIndex();
  CUbEntityObj::Move(d);
}

int CTestSegmentEntity::Take(const CVector& candidate, const CVector& pt, CVector& out, int& first) const {
  int taken = 0;
  if (first) {
    out = candidate;
    first = 0;
    taken = 1;
  }
  if ((candidate - pt).Length() < (out - pt).Length()) {
    out = candidate;
    taken = 1;
  }
  return taken;
}

int CTestSegmentEntity::GetOsnapEndPoint(CVector pt, CVector& out, int& first) {
  const int a = Take(m_vBegin, pt, out, first);
  const int b = Take(m_vEnd, pt, out, first);
  return a | b;
}

int CTestSegmentEntity::GetOsnapMidPoint(CVector pt, CVector& out, int& first, long) {
  return Take((m_vBegin + m_vEnd) * 0.5, pt, out, first);
}

int CTestSegmentEntity::GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND, long, long, long) {
  const CVector dir = m_vEnd - m_vBegin;
  if (dir.IsZero()) return 0;
  const CVector foot = m_vBegin + dir * ((base - m_vBegin).Dot(dir) / dir.Dot(dir));
  return Take(foot, pt, out, first);
}

int CTestSegmentEntity::GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND) {
  const CVector dir = m_vEnd - m_vBegin;
  if (dir.IsZero() || !m_pEttManage || !m_pEttManage->GetRenderWnd()) return 0;
  const double t = std::fmin(1.0, std::fmax(0.0, (pt - m_vBegin).Dot(dir) / dir.Dot(dir)));
  const CVector c = m_vBegin + dir * t;
  if ((c - pt).Length() / m_pEttManage->GetRenderWnd()->GetViewScale() > 5.0) return 0;
  return Take(c, pt, out, first);
}

int CTestSegmentEntity::GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first) {
  auto* seg = other && other->IsKindOf(RUNTIME_CLASS(CTestSegmentEntity)) ? static_cast<CTestSegmentEntity*>(other) : nullptr;
  if (!seg || seg == this) return 0;
  const CVector r = m_vEnd - m_vBegin, s = seg->m_vEnd - seg->m_vBegin;
  const double denom = r.x * s.y - r.y * s.x;
  if (denom == 0.0) return 0;
  const CVector q = seg->m_vBegin - m_vBegin;
  const double t = (q.x * s.y - q.y * s.x) / denom;
  const double u = (q.x * r.y - q.y * r.x) / denom;
  if (t < 0.0 || t > 1.0 || u < 0.0 || u > 1.0) return 0;
  return Take(m_vBegin + r * t, pt, out, first);
}

void CTestSegmentEntity::GetSnapMovePointArray(CVectorArray& points) {
  points.Add(m_vBegin);
  points.Add(m_vEnd);
}

void CTestSegmentEntity::GetSnapMoveAllPointArray(CVectorArray& points) { points.Add((m_vBegin + m_vEnd) * 0.5); }

void CTestSegmentEntity::MoveOnePoint(CVector, CVector& to, int atBegin) {
  (atBegin ? m_vBegin : m_vEnd) = to;
  UpdateEttIndex();
  RecreateCallList(-1);
}

int CTestSegmentEntity::ExcuteCallList(CALL_LIST_TYPE type, unsigned int, long index) {
  if (type != CALL_LIST_DRAW) return 1;
  SCallListRecord* record = GetCallListRecord(index);
  bool compiling = false;
  if (m_pEttManage && !m_pEttManage->IsDirectDraw() && record) {
    if (record->m_nList != -1) {
      glCallList(static_cast<GLuint>(record->m_nList));
      return 1;
    }
    record->m_nList = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(record->m_nList), GL_COMPILE_AND_EXECUTE);
    compiling = true;
  }
  glColor3d(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z);
  glBegin(GL_LINES);
  glVertex3d(m_vBegin.x, m_vBegin.y, m_vBegin.z);
  glVertex3d(m_vEnd.x, m_vEnd.y, m_vEnd.z);
  glEnd();
  if (compiling) glEndList();
  return 1;
}
