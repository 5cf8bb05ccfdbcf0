// Boundary entity: line loop drawing, vertex transforms, tooltip and archive.
#include "entities/CStmEntityBoundary.h"

#include <GL/gl.h>

#include "host/framework/CUbGlState.h"
#include "geometry/StmGeometry.h"
#include "host/platform/CArchive.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityBoundary, CStmEntityObject, 1)

namespace {
constexpr std::int32_t kArchiveVersion = 0;
constexpr int kColorBoundary = 2;
}  // namespace

CStmEntityBoundary::CStmEntityBoundary() { Init(); }

CStmEntityBoundary::CStmEntityBoundary(CUbEttManage* manage) : CStmEntityObject(manage) { Init(); }

CStmEntityBoundary::CStmEntityBoundary(CUbEttManage* manage, EStmTypeBoundary type, const std::vector<CVector>& points)
    : CStmEntityObject(manage) {
  Init();
  m_eType = type;
  m_arBoundary = points;
}

void CStmEntityBoundary::Init() {
  m_nTypeEntity = kKindBoundary;
  m_nSubType = -1;
  m_vDrawColor = CVector(0.8, 0.8, 0.8);
  m_dThickness = 2.0;
}

void CStmEntityBoundary::GetRange(CCubeRange& range) {
  for (const CVector& p : m_arBoundary) range.Apply(p);
}

void CStmEntityBoundary::Move(const CVector& d) {
  for (CVector& p : m_arBoundary) p += d;
  UpdateEttIndex();
  CUbEntityObj::Move(d);
}

void CStmEntityBoundary::Mirror(const CVector& p1, const CVector& p2) {
  for (CVector& p : m_arBoundary) p = StmCleanPoint(GetMirrorPos(p1, p2, p));
  UpdateEttIndex();
  CUbEntityObj::Mirror(p1, p2);
}

void CStmEntityBoundary::Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs) {
  for (CVector& p : m_arBoundary) p = StmCleanPoint(GetRotatedPoint(p, origin, axis, cs));
  UpdateEttIndex();
  CUbEntityObj::Rotate(origin, axis, cs);
}

void CStmEntityBoundary::MoveOnePoint(CVector from, CVector& to, int) {
  for (CVector& p : m_arBoundary) {
    if (CompareVectorTolerance(p, from, "==", kStmPointTolerance)) p = to;
  }
  UpdateEttIndex();
  RecreateCallList(-1);
}

int CStmEntityBoundary::IsInRect(CRect rect) {
  const CVector centre = GetCentre();
  for (const CVector& p : m_arBoundary) {
    if (!rect.PtInRect(ProjectView(p - centre))) return 0;
  }
  return 1;
}

void CStmEntityBoundary::GetSnapMovePointArray(CVectorArray& points) {
  for (const CVector& p : m_arBoundary) points.Add(new CVector(p));
}

CString CStmEntityBoundary::GetStringEntType() { return StmText("Boundary"); }

void CStmEntityBoundary::Render(int pick) {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return;
  const CStmObjBoundary* record = model->GetBoundaryObj(m_eType, m_nIdStm, 0);
  const CStmDataView* view = model->GetStmDataView();
  if (!record || !record->IsEnable() || !view || !view->IsShowOption(STM_SHOW_BOUNDARIES)) return;

  CUbGlState::Disable(GL_DEPTH_TEST);
  CUbGlState::Disable(GL_LIGHTING);
  m_vDrawColor = view->GetColorSet()[kColorBoundary];
  if (pick == 0) {
    CUbGlState::LineWidth(static_cast<GLfloat>(m_dThickness));
    CUbGlState::Color(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z);
  }
  // The centre of this view is the origin, so model coordinates are drawn and picked alike.
  CUbGlState::Begin(GL_LINE_LOOP);
  for (const CVector& p : m_arBoundary) glVertex3d(p.x, p.y, p.z);
  CUbGlState::End();
  if (pick == 0) CUbGlState::LineWidth(1.0f);
  CUbGlState::Enable(GL_LIGHTING);
  CUbGlState::Enable(GL_DEPTH_TEST);
}

CString CStmEntityBoundary::GetTooltipPropInfoTable() {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmDataView* view = model ? model->GetStmDataView() : nullptr;
  if (!view || !view->IsShowOption(STM_SHOW_BOUNDARY_TOOLTIPS)) return CString();
  CString rows;
  int index = 1;
  for (const CVector& p : m_arBoundary) {
    const CDPoint plane = manager->GetPointPlane(p);
    rows.AppendFormat("<tr><td>%d </td><td align=right>%.4f,</td><td align=right>%.4f</td></tr>\n", index++, plane.x,
                      plane.y);
  }
  const CString kind = m_eType == STM_BOUNDARY_OUTER ? StmText("Outer") : StmText("Inner");
  CString text;
  text.Format("<table border=0><tr><td><b>%s %s</b></td></tr></table><table border=0>\n%s</table>", kind.c_str(),
              GetStringEntType().c_str(), rows.c_str());
  return text;
}

void CStmEntityBoundary::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CUbEntityObj::Serialize(ar);
    ar << kArchiveVersion << static_cast<std::int32_t>(m_eType) << m_arBoundary << m_dThickness;
  } else {
    SArchivedBase base;
    ReadArchiveBase(ar, base);
    std::int32_t version = 0, type = 0;
    std::vector<CVector> points;
    double thickness = 0.0;
    ar >> version;
    ar >> type >> points >> thickness;
    if (type != STM_BOUNDARY_OUTER && type != STM_BOUNDARY_INNER) AfxThrowArchiveException(CArchiveException::badSchema);
    for (const CVector& p : points) AfxCheckArchiveFinite({p.x, p.y, p.z});
    AfxCheckArchiveFinite({thickness});
    ApplyArchiveBase(base);
    m_eType = static_cast<EStmTypeBoundary>(type);
    m_arBoundary = std::move(points);
    m_dThickness = thickness;
    UpdateEttIndex();
  }
}

CStmEntityBoundary& CStmEntityBoundary::operator=(const CStmEntityObject& other) {
  if (this == &other) return *this;
  CUbEntityObj::operator=(other);
  if (const auto* boundary = dynamic_cast<const CStmEntityBoundary*>(&other)) {
    m_arBoundary = boundary->m_arBoundary;
    m_dThickness = boundary->m_dThickness;
    UpdateEttIndex();
  }
  return *this;
}

CStmEntityBoundary& CStmEntityBoundary::operator=(const CStmEntityBoundary& other) {
  return operator=(static_cast<const CStmEntityObject&>(other));
}
