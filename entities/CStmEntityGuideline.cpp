// Guideline entity: stippled line drawing that restores the stipple state, snaps and tooltip.
#include "entities/CStmEntityGuideline.h"

#include <GL/gl.h>

#include "host/framework/CUbGlState.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityGuideline, CStmEntityObject, 1)

namespace {
constexpr int kColorGuideline = 17;
}  // namespace

CStmEntityGuideline::CStmEntityGuideline() { Init(); }

CStmEntityGuideline::CStmEntityGuideline(CUbEttManage* manage) : CStmEntityObject(manage) { Init(); }

CStmEntityGuideline::CStmEntityGuideline(CUbEttManage* manage, int type, const CVector& point1, const CVector& point2)
    : CStmEntityObject(manage) {
  Init();
  m_nTypeGuideline = type;
  m_vPoint1 = point1;
  m_vPoint2 = point2;
}

void CStmEntityGuideline::Init() {
  m_nTypeEntity = kKindGuideline;
  m_nSubType = -1;
  m_vDrawColor = CVector(0.5, 0.5, 0.0);
  m_vTextColor = CVector(1.0, 1.0, 1.0);
}

void CStmEntityGuideline::Serialize(CArchive& ar) { SerializeViewAid(ar); }

void CStmEntityGuideline::GetRange(CCubeRange& range) {
  range.Apply(m_vPoint1);
  range.Apply(m_vPoint2);
}

CString CStmEntityGuideline::GetStringEntType() { return StmText("Guideline"); }

int CStmEntityGuideline::GetOsnapEndPoint(CVector pt, CVector& out, int& first) {
  return CStmEntityObject::GetOsnapEndPoint(pt, out, first, m_vPoint1, m_vPoint2);
}

int CStmEntityGuideline::GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x,
                                          long y, long unused) {
  return CStmEntityObject::GetOsnapPerPoint(pt, out, first, base, wnd, x, y, unused, m_vPoint1, m_vPoint2);
}

int CStmEntityGuideline::GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd) {
  return CStmEntityObject::GetOsnapNearPoint(pt, out, first, wnd, m_vPoint1, m_vPoint2);
}

int CStmEntityGuideline::GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused) {
  return CStmEntityObject::GetOsnapMidPoint(pt, out, first, unused, m_vPoint1, m_vPoint2);
}

int CStmEntityGuideline::GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first) {
  return CStmEntityObject::GetOsnapCrossPoint(other, pt, out, first, m_vPoint1, m_vPoint2);
}

void CStmEntityGuideline::Render(int) {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmDataView* view = model ? model->GetStmDataView() : nullptr;
  if (!view || !view->IsShowOption(STM_SHOW_GUIDELINES)) return;

  // Frames draw lines unsmoothed, so the dots stay crisp without switching smoothing here.
  CUbGlState::Disable(GL_LIGHTING);
  GLint repeat = 1;
  GLushort pattern = 0xFFFF;
  CUbGlState::GetLineStipple(repeat, pattern);
  CUbGlState::Enable(GL_LINE_STIPPLE);
  CUbGlState::LineStipple(3, 0xAAAA);

  const CVector centre = GetCentre();
  const CVector A = m_vPoint1 - centre, B = m_vPoint2 - centre;
  m_vDrawColor = view->GetColorSet()[kColorGuideline];
  CUbGlState::LineWidth(1.0f);
  CUbGlState::Color(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z);
  CUbGlState::Begin(GL_LINES);
  glVertex3d(A.x, A.y, A.z);
  glVertex3d(B.x, B.y, B.z);
  CUbGlState::End();

  CUbGlState::LineStipple(repeat, pattern);
  CUbGlState::Disable(GL_LINE_STIPPLE);
  CUbGlState::Enable(GL_LIGHTING);
}

CString CStmEntityGuideline::GetTooltipPropInfoTable() {
  CStmUbManager* manager = GetManager();
  if (!manager) return CString();
  CString text;
  if (m_nTypeGuideline == kTypeHorizontal || m_nTypeGuideline == kTypeVertical) {
    const bool horizontal = m_nTypeGuideline == kTypeHorizontal;
    double distance = m_vPoint1.x;
    if (!horizontal) distance = manager->GetViewPos() != CUbRenderWnd::VIEW_POS_XY ? m_vPoint1.z : m_vPoint1.y;
    text.Format(
        "<table border=0><tr><td><b>%s %s</b></td></tr></table><table border=0>\n<tr><td>Distance </td>"
        "<td align=right>%.4f</td></tr></table>",
        (horizontal ? StmText("Horizontal") : StmText("Vertical")).c_str(), GetStringEntType().c_str(), distance);
    return text;
  }
  const CDPoint p1 = manager->GetPointPlane(m_vPoint1);
  const CDPoint p2 = manager->GetPointPlane(m_vPoint2);
  text.Format(
      "<table border=0><tr><td><b>%s %s</b></td></tr></table><table border=0>\n<tr><td>Point1 </td>"
      "<td align=right>%.4f,</td><td align=right>%.4f</td></tr><tr><td>Point2 </td><td align=right>%.4f,</td>"
      "<td align=right>%.4f</td></tr><tr><td>Length </td><td align=right>%.4f</td></tr></table>",
      StmText("Dynamic").c_str(), GetStringEntType().c_str(), p1.x, p1.y, p2.x, p2.y, (m_vPoint2 - m_vPoint1).Length());
  return text;
}

CStmEntityGuideline& CStmEntityGuideline::operator=(const CStmEntityObject& other) {
  if (this == &other) return *this;
  CUbEntityObj::operator=(other);
  if (const auto* guideline = dynamic_cast<const CStmEntityGuideline*>(&other)) {
    m_nTypeGuideline = guideline->m_nTypeGuideline;
    m_vPoint1 = guideline->m_vPoint1;
    m_vPoint2 = guideline->m_vPoint2;
    UpdateEttIndex();
  }
  return *this;
}

CStmEntityGuideline& CStmEntityGuideline::operator=(const CStmEntityGuideline& other) {
  return operator=(static_cast<const CStmEntityObject&>(other));
}
