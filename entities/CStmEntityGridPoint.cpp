// Grid point entity: a dot of the grid colour and the node snap onto it.
#include "entities/CStmEntityGridPoint.h"

#include <GL/gl.h>

#include "host/framework/CUbGlState.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityGridPoint, CStmEntityObject, 1)

namespace {
constexpr int kColorGridPoint = 16;
constexpr float kGridPointSize = 1.5f;
}  // namespace

CStmEntityGridPoint::CStmEntityGridPoint() { Init(); }

CStmEntityGridPoint::CStmEntityGridPoint(CUbEttManage* manage) : CStmEntityObject(manage) { Init(); }

CStmEntityGridPoint::CStmEntityGridPoint(CUbEttManage* manage, const CVector& coord) : CStmEntityObject(manage) {
  Init();
  m_vCoord = coord;
}

void CStmEntityGridPoint::Init() {
  m_nTypeEntity = kKindGridPoint;
  m_nSubType = -1;
  m_vDrawColor = CVector(1.0, 1.0, 1.0);
}

void CStmEntityGridPoint::Serialize(CArchive& ar) { SerializeViewAid(ar); }

void CStmEntityGridPoint::GetRange(CCubeRange& range) { range.Apply(m_vCoord); }

CString CStmEntityGridPoint::GetStringEntType() { return StmText("Grid Point"); }

int CStmEntityGridPoint::GetOsnapNodePoint(CVector pt, CVector& out, int& first) {
  return GetOsnapPoint(m_vCoord, pt, out, first);
}

void CStmEntityGridPoint::Render(int) {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmDataView* view = model ? model->GetStmDataView() : nullptr;
  if (!view) return;
  CUbGlState::Disable(GL_LIGHTING);
  m_vDrawColor = view->GetColorSet()[kColorGridPoint];
  CUbGlState::PointSize(kGridPointSize);
  CUbGlState::Color(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z);
  const CVector p = m_vCoord - GetCentre();
  CUbGlState::Begin(GL_POINTS);
  glVertex3d(p.x, p.y, p.z);
  CUbGlState::End();
  CUbGlState::Enable(GL_LIGHTING);
}

CString CStmEntityGridPoint::GetTooltipPropInfoTable() {
  CStmUbManager* manager = GetManager();
  const bool upIsZ = manager && manager->GetViewPos() != CUbRenderWnd::VIEW_POS_XY;
  CString text;
  text.Format(
      "<table border=0><tr><td><b>%s</b></td></tr></table><table border=0>\n<tr><td align=right>%.4f,</td>"
      "<td align=right>%.4f</td></tr></table>",
      GetStringEntType().c_str(), m_vCoord.x, upIsZ ? m_vCoord.z : m_vCoord.y);
  return text;
}
