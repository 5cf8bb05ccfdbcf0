// Area entity: tessellated translucent fill, tooltip and archive.
#include "entities/CStmEntityArea.h"

#include <GL/gl.h>

#include "host/framework/CUbGlState.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/platform/CArchive.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityArea, CStmEntityObject, 1)

namespace {
constexpr std::int32_t kArchiveVersion = 1;
constexpr int kColorArea = 4;
constexpr float kAreaAlpha = 0.3f;
}  // namespace

CStmEntityArea::CStmEntityArea() { Init(); }

CStmEntityArea::CStmEntityArea(CUbEttManage* manage) : CStmEntityObject(manage) { Init(); }

CStmEntityArea::CStmEntityArea(CUbEttManage* manage, const std::vector<CVector>& points) : CStmEntityObject(manage) {
  Init();
  m_arAreaPos = points;
}

void CStmEntityArea::Init() {
  m_nTypeEntity = kKindArea;
  m_nSubType = -1;
  m_vDrawColor = CVector(0.5, 0.5, 0.5);
  m_dWidth = 2.0;
}

void CStmEntityArea::GetSnapMovePointArray(CVectorArray& points) {
  for (const CVector& p : m_arAreaPos) points.Add(new CVector(p));
}

void CStmEntityArea::GetRange(CCubeRange& range) {
  for (const CVector& p : m_arAreaPos) range.Apply(p);
}

CString CStmEntityArea::GetStringEntType() { return StmText("Area"); }

void CStmEntityArea::Render(int pick) {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmDataView* view = model ? model->GetStmDataView() : nullptr;
  if (!view || !view->IsShowOption(STM_SHOW_AREAS)) return;
  m_vDrawColor = view->GetColorSet()[kColorArea];
  if (pick == 0) {
    CUbGlState::Color(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z, kAreaAlpha);
  }
  // Without depth test the fill never hides the elements drawn over it; blended, it tints what
  // lies under it instead of covering it.
  CUbGlState::Disable(GL_DEPTH_TEST);
  CUbGlState::Enable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  CUbRenderAPI::CreateTessObj();
  CVectorArray outline;
  for (const CVector& p : m_arAreaPos) outline.Add(p);
  CUbRenderAPI::Entity_Tess(outline, 0.0);
  CUbGlState::Disable(GL_BLEND);
  CUbGlState::Enable(GL_DEPTH_TEST);
}

CString CStmEntityArea::GetTooltipPropInfoTable() {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmDataView* view = model ? model->GetStmDataView() : nullptr;
  if (!view || !view->IsShowOption(STM_SHOW_AREA_TOOLTIPS)) return CString();
  CString rows;
  int index = 1;
  for (const CVector& p : m_arAreaPos) {
    const CDPoint plane = manager->GetPointPlane(p);
    rows.AppendFormat("<tr><td>%d </td><td align=right>%.4f,</td><td align=right>%.4f</td></tr>\n", index++, plane.x,
                      plane.y);
  }
  CString text;
  text.Format("<table border=0><tr><td><b>%s %s</b></td></tr></table><table border=0>\n%s</table>",
              StmText("PropertyArea").c_str(), GetStringEntType().c_str(), rows.c_str());
  return text;
}

void CStmEntityArea::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CUbEntityObj::Serialize(ar);
    ar << kArchiveVersion << m_arAreaPos << m_dWidth;
  } else {
    SArchivedBase base;
    ReadArchiveBase(ar, base);
    std::int32_t version = 0;
    std::vector<CVector> points;
    double width = 0.0;
    ar >> version;
    ar >> points >> width;
    for (const CVector& p : points) AfxCheckArchiveFinite({p.x, p.y, p.z});
    AfxCheckArchiveFinite({width});
    ApplyArchiveBase(base);
    m_arAreaPos = std::move(points);
    m_dWidth = width;
    UpdateEttIndex();
  }
}

CStmEntityArea& CStmEntityArea::operator=(const CStmEntityObject& other) {
  if (this == &other) return *this;
  CUbEntityObj::operator=(other);
  if (const auto* area = dynamic_cast<const CStmEntityArea*>(&other)) {
    m_arAreaPos = area->m_arAreaPos;
    m_dWidth = area->m_dWidth;
    UpdateEttIndex();
  }
  return *this;
}

CStmEntityArea& CStmEntityArea::operator=(const CStmEntityArea& other) {
  return operator=(static_cast<const CStmEntityObject&>(other));
}
