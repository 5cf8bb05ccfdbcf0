// The entity base: neutral answers for every slot, so that an entity kind overrides only what
// it has, and the display-list bookkeeping shared by all kinds.
#include "host/framework/CUbEntityObj.h"

#include <GL/gl.h>

#include "host/framework/CUbEttManage.h"
#include "host/platform/CArchive.h"

IMPLEMENT_SERIAL(CUbEntityObj, CObject, 1)

namespace {
constexpr std::int32_t kArchiveVersion = 0;
}

CUbEntityObj::CUbEntityObj() = default;

CUbEntityObj::CUbEntityObj(CUbEttManage* manage) : m_pEttManage(manage) {}

CUbEntityObj::~CUbEntityObj() { DeleteCallList(-1); }

CUbEntityObj& CUbEntityObj::operator=(const CUbEntityObj& other) {
  if (this == &other) return *this;
  m_nTypeEntity = other.m_nTypeEntity;
  m_nSubType = other.m_nSubType;
  m_vDrawColor = other.m_vDrawColor;
  m_vTextColor = other.m_vTextColor;
  m_vNormal = other.m_vNormal;
  m_bVisible = other.m_bVisible;
  m_bPickable = other.m_bPickable;
  RecreateCallList(-1);
  return *this;
}

void CUbEntityObj::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << kArchiveVersion << static_cast<std::int32_t>(m_nTypeEntity) << static_cast<std::int32_t>(m_nSubType);
    ar << m_vDrawColor << m_vTextColor << m_vNormal;
  } else {
    SArchivedBase base;
    ReadArchiveBase(ar, base);
    ApplyArchiveBase(base);
  }
}

void CUbEntityObj::ReadArchiveBase(CArchive& ar, SArchivedBase& out) const {
  std::int32_t version = 0, kind = 0, sub = 0;
  ar >> version;
  AfxCheckArchiveVersion(version, kArchiveVersion);
  ar >> kind >> sub;
  if (m_nTypeEntity != TYPE_ENTITY_NONE && kind != m_nTypeEntity) AfxThrowArchiveException(CArchiveException::badClass);
  out.m_nKind = kind;
  out.m_nSubType = sub;
  ar >> out.m_vDrawColor >> out.m_vTextColor >> out.m_vNormal;
  for (const CVector* v : {&out.m_vDrawColor, &out.m_vTextColor, &out.m_vNormal}) AfxCheckArchiveFinite({v->x, v->y, v->z});
}

void CUbEntityObj::ApplyArchiveBase(const SArchivedBase& base) {
  m_nTypeEntity = base.m_nKind;
  m_nSubType = base.m_nSubType;
  m_vDrawColor = base.m_vDrawColor;
  m_vTextColor = base.m_vTextColor;
  m_vNormal = base.m_vNormal;
  RecreateCallList(-1);
}

void CUbEntityObj::GetRange(CCubeRange&) {}

void CUbEntityObj::CopyEntity(CUbEntityObj* source) {
  if (source) CUbEntityObj::operator=(*source);
}

CString CUbEntityObj::GetStringEntType() { return CString(); }
CString CUbEntityObj::GetTooltipPropInfoTable() { return CString(); }
void CUbEntityObj::Translate(double) {}

// The base has no geometry of its own: a transform only invalidates what was compiled.
void CUbEntityObj::Mirror(const CVector&, const CVector&) { RecreateCallList(-1); }
void CUbEntityObj::Move(const CVector&) { RecreateCallList(-1); }
void CUbEntityObj::Rotate(const CVector&, const CVector&, const CDPoint&) { RecreateCallList(-1); }

int CUbEntityObj::IsInRect(CRect) { return 0; }
int CUbEntityObj::GetOsnapEndPoint(CVector, CVector&, int&) { return 0; }
int CUbEntityObj::GetOsnapPerPoint(CVector, CVector&, int&, CVector, HWND, long, long, long) { return 0; }
int CUbEntityObj::GetOsnapNearPoint(CVector, CVector&, int&, HWND) { return 0; }
int CUbEntityObj::GetOsnapMidPoint(CVector, CVector&, int&, long) { return 0; }
int CUbEntityObj::GetOsnapNodePoint(CVector, CVector&, int&) { return 0; }
int CUbEntityObj::GetOsnapCrossPoint(CUbEntityObj*, CVector, CVector&, int&) { return 0; }
void CUbEntityObj::GetSnapMovePointArray(CVectorArray&) {}
void CUbEntityObj::GetSnapMoveAllPointArray(CVectorArray&) {}
void CUbEntityObj::GetBoundLineArray(SegmentArray&, int) {}
void CUbEntityObj::MoveOnePoint(CVector, CVector&, int) {}

void CUbEntityObj::MoveAllPoint(const CVector& from, const CVector& to) { Move(to - from); }

void CUbEntityObj::UpdateEttIndex() {
  if (m_pEttManage) m_pEttManage->UpdateEttIndex(this);
}

int CUbEntityObj::ExcuteCallList(CALL_LIST_TYPE, unsigned int, long) { return 0; }

CUbEntityObj::SCallListRecord* CUbEntityObj::GetCallListRecord(long index) {
  if (index < 0 || index >= kCallListSlots) return nullptr;
  return &m_arCallList[static_cast<size_t>(index)];
}

void CUbEntityObj::DeleteCallList(long index) {
  for (long i = 0; i < kCallListSlots; ++i) {
    if (index >= 0 && i != index) continue;
    SCallListRecord& rec = m_arCallList[static_cast<size_t>(i)];
    // A list exists only if it was compiled inside a current context, which drawing requires.
    if (rec.m_nList != -1) glDeleteLists(static_cast<GLuint>(rec.m_nList), 1);
    rec.m_nList = -1;
  }
}

void CUbEntityObj::RecreateCallList(long index) { DeleteCallList(index); }

CVector CUbEntityObj::GetMirrorPos(const CVector& p1, const CVector& p2, const CVector& p) {
  const CVector dir = p2 - p1;
  const double len2 = dir.Dot(dir);
  if (len2 == 0.0) return p;
  const CVector foot = p1 + dir * ((p - p1).Dot(dir) / len2);
  return foot * 2.0 - p;
}

int CUbEntityObj::IsDrawVerify(long wndIndex) const {
  if (wndIndex < 0 || wndIndex >= 32) return 0;
  return (m_nHiddenWnds >> wndIndex) & 1u ? 1 : 0;
}

void CUbEntityObj::SetDrawVerify(long wndIndex, int hidden) {
  if (wndIndex < 0 || wndIndex >= 32) return;
  const std::uint32_t bit = 1u << wndIndex;
  m_nHiddenWnds = hidden ? (m_nHiddenWnds | bit) : (m_nHiddenWnds & ~bit);
}
