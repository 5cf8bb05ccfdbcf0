// The entity base: model link, display lists and the segment snaps.
#include "entities/CStmEntityObject.h"

#include <GL/gl.h>

#include <optional>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGuideline.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbGlState.h"
#include "host/platform/CArchive.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityObject, CUbEntityObj, 1)

namespace {
// The near-point snap takes a point only this close to the cursor ray on screen.
constexpr double kNearPixels = 5.0;

// The two ends of a line-like entity.
bool GetSegmentOf(CUbEntityObj* entity, CVector& a, CVector& b) {
  if (entity->GetTypeEntity() == CStmEntityObject::kKindElement) {
    auto* element = dynamic_cast<CStmEntityElement*>(entity);
    if (!element) return false;
    a = element->GetCoordBegin();
    b = element->GetCoordEnd();
    return true;
  }
  if (entity->GetTypeEntity() == CStmEntityObject::kKindGuideline) {
    auto* guideline = dynamic_cast<CStmEntityGuideline*>(entity);
    if (!guideline) return false;
    a = guideline->GetPoint1();
    b = guideline->GetPoint2();
    return true;
  }
  return false;
}
}  // namespace

CStmEntityObject::CStmEntityObject() = default;

CStmEntityObject::CStmEntityObject(CUbEttManage* manage) : CUbEntityObj(manage) {}

CStmUbManager* CStmEntityObject::GetManager() const { return dynamic_cast<CStmUbManager*>(m_pEttManage); }

void CStmEntityObject::SetIdStm(int id) {
  if (id == m_nIdStm) return;
  const int old = m_nIdStm;
  m_nIdStm = id;
  if (CStmUbManager* manager = GetManager()) manager->OnEttIdStmChanged(*this, old);
}

void CStmEntityObject::CopyEntity(CUbEntityObj* source) {
  if (auto* stm = dynamic_cast<CStmEntityObject*>(source)) {
    operator=(*stm);
  } else if (source) {
    CUbEntityObj::operator=(*source);
  }
}

CStmEntityObject& CStmEntityObject::operator=(const CStmEntityObject& other) {
  if (this != &other) CUbEntityObj::operator=(other);
  return *this;
}

void CStmEntityObject::SetStmModifiedFlag(int flag) {
  CStmUbManager* manager = GetManager();
  if (!manager) return;
  if (CStmModel* model = manager->GetStmModel()) model->SetStmModifiedFlag(flag);
}

int CStmEntityObject::ExcuteCallList(CALL_LIST_TYPE type, unsigned int, long index) {
  CStmUbManager* manager = GetManager();
  if (!manager) return 0;
  if (type != CALL_LIST_DRAW) return 1;
  bool compiling = false;
  // A list records or replays the GL calls themselves, so the state around it must be real.
  std::optional<CUbGlState::CImmediate> immediate;
  if (!manager->IsDirectDraw()) {
    immediate.emplace();
    SCallListRecord* record = GetCallListRecord(index);
    if (!record) return 1;
    if (record->m_nList != -1) {
      glCallList(static_cast<GLuint>(record->m_nList));
      return 1;
    }
    record->m_nList = static_cast<int>(glGenLists(1));
    // Compiled and drawn at once, so that the first frame already shows the entity.
    glNewList(static_cast<GLuint>(record->m_nList), GL_COMPILE_AND_EXECUTE);
    compiling = true;
  }
  Render(0);
  if (compiling) glEndList();
  return 1;
}

void CStmEntityObject::Render(int) {}

template <class T, class F>
T* CStmEntityObject::FindRecord(const CStmModel* model, F find) const {
  if (!model) return nullptr;
  if (model != m_pRecordModel || model->GetRecordGeneration() != m_nRecordGeneration || m_nRecordId != m_nIdStm) {
    m_pRecordModel = model;
    m_nRecordGeneration = model->GetRecordGeneration();
    m_nRecordId = m_nIdStm;
    m_pRecord = find(m_nIdStm);
  }
  return static_cast<T*>(m_pRecord);
}

CStmObjNode* CStmEntityObject::FindNodeRecord(const CStmModel* model) const {
  return FindRecord<CStmObjNode>(model, [model](int id) { return model->GetNode(id); });
}

CStmObjElement* CStmEntityObject::FindElementRecord(const CStmModel* model) const {
  return FindRecord<CStmObjElement>(model, [model](int id) { return model->GetElement(id); });
}

CVector CStmEntityObject::GetCentre() const { return m_pEttManage ? m_pEttManage->GetcbCenterVector(-1) : CVector(); }

CPoint CStmEntityObject::ProjectView(const CVector& p) const {
  return m_pEttManage ? m_pEttManage->ExtToClient(p, -1) : CPoint();
}

CDPoint CStmEntityObject::GetPlanePoint(const CVector& p) const {
  CStmUbManager* manager = GetManager();
  return manager ? manager->GetPointPlane(p) : CDPoint(p.x, p.z);
}

double CStmEntityObject::ScreenDistance(const CVector& p, const CVector& pt) const {
  if (!m_pEttManage) return (p - pt).Length();
  const CVector q = m_pEttManage->ClientToExt(m_pEttManage->ExtToClient(p, -1), 0.0, -1);
  return (q - pt).Length();
}

int CStmEntityObject::TakeCandidate(const CVector& c, const CVector& pt, CVector& out, int& first,
                                    bool screen) const {
  int taken = 0;
  if (first) {
    out = c;
    first = 0;
    taken = 1;
  }
  const double dc = screen ? ScreenDistance(c, pt) : (c - pt).Length();
  const double dOut = screen ? ScreenDistance(out, pt) : (out - pt).Length();
  if (dc < dOut) {
    out = c;
    taken = 1;
  }
  return taken;
}

int CStmEntityObject::GetOsnapPoint(const CVector& coord, CVector pt, CVector& out, int& first) const {
  const CVector c = coord - GetCentre();
  if (first) {
    out = c;
    first = 0;
    return 1;
  }
  if (ScreenDistance(c, pt) < ScreenDistance(out, pt)) {
    out = c;
    return 1;
  }
  return 0;
}

int CStmEntityObject::GetOsnapEndPoint(CVector pt, CVector& out, int& first, const CVector& a, const CVector& b) {
  const CVector centre = GetCentre();
  const int takenA = TakeCandidate(a - centre, pt, out, first, true);
  const int takenB = TakeCandidate(b - centre, pt, out, first, true);
  return takenA || takenB ? 1 : 0;
}

int CStmEntityObject::GetOsnapMidPoint(CVector pt, CVector& out, int& first, long, const CVector& a,
                                       const CVector& b) {
  return TakeCandidate((a + b) / 2.0 - GetCentre(), pt, out, first, true);
}

int CStmEntityObject::GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x,
                                       long y, long, const CVector& a, const CVector& b) {
  const CVector centre = GetCentre();
  const CVector A = a - centre, B = b - centre;
  const CVector U = (B - A).Unit();
  const CVector N = m_pEttManage ? m_pEttManage->GetNormalByDepth(wnd, x, y, -1) : CVector(0.0, 0.0, 1.0);
  const CVector P = GetRotatedPoint(U, CVector(), N, CDPoint(0.0, 1.0));
  CVector onSegmentLine, foot;
  if (!GetClosestPointsOfLines(A, U, base, P, onSegmentLine, foot)) return 0;
  return TakeCandidate(foot, pt, out, first, true);
}

int CStmEntityObject::GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd, const CVector& a,
                                        const CVector& b) {
  const CVector centre = GetCentre();
  const CVector ends[2] = {a, b};
  int taken = 0;
  for (int i = 0; i < 2; ++i) {
    const CVector A = ends[i] - centre, B = ends[(i + 1) % 2] - centre;
    const CVector U = (B - A).Unit();
    const CVector N = m_pEttManage ? m_pEttManage->GetNormalByDepth(wnd, 2, 0, -1) : CVector(0.0, 0.0, 1.0);
    CVector c1, c2;
    if (!GetClosestPointsOfLines(A, U, pt, N, c1, c2)) continue;
    const CPoint p1 = ProjectView(c1), p2 = ProjectView(c2);
    const double pixels = CVector(p1.x - p2.x, p1.y - p2.y, 0.0).Length();
    if (!(pixels < kNearPixels)) continue;
    const double t1 = GetDistPointToSegment(c1, A, B), t2 = GetDistPointToSegment(c2, A, B);
    if (!(t1 < kStmPointTolerance) && !(t2 < kStmPointTolerance)) continue;
    if (TakeCandidate(t1 < t2 ? c1 : c2, pt, out, first, false)) taken = 1;
  }
  return taken;
}

int CStmEntityObject::GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first,
                                         const CVector& a, const CVector& b) {
  if (!other || other == this) return 0;
  CVector c, d;
  if (!GetSegmentOf(other, c, d)) return 0;
  const CVector centre = GetCentre();
  const CVector mine[2][2] = {{a, b}, {b, a}};
  const CVector theirs[2][2] = {{c, d}, {d, c}};
  int taken = 0;
  for (const auto& m : mine) {
    for (const auto& t : theirs) {
      CVector x;
      if (!GetCrossPointOfSegments(m[0], m[1], t[0], t[1], x)) continue;
      if (TakeCandidate(x - centre, pt, out, first, true)) taken = 1;
    }
  }
  return taken;
}

void CStmEntityObject::SerializeViewAid(CArchive& ar) {
  if (ar.IsStoring()) {
    CUbEntityObj::Serialize(ar);
    ar << static_cast<std::int32_t>(0);
    return;
  }
  SArchivedBase base;
  ReadArchiveBase(ar, base);
  std::int32_t version = 0;
  ar >> version;
  ApplyArchiveBase(base);
}
