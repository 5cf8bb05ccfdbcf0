// Element entity: drawing, snaps, tooltip, archive, and transforms that carry free end nodes.
#include "entities/CStmEntityElement.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbGlState.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/model/StmOutlineElements.h"
#include "host/platform/CArchive.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityElement, CStmEntityObject, 1)

namespace {
constexpr std::int32_t kArchiveVersion = 1;
constexpr int kColorBoundary = 2;
constexpr int kColorElementText = 8;
constexpr int kColorElement = 9;
const CVector kColorOuter(1.0, 0.0, 1.0);
// Over capacity: orange, apart from the force colours and readable on both backgrounds.
const CVector kColorOverCapacity(1.0, 0.55, 0.0);
const CVector kColorInner(1.0, 0.5, 0.8);
const CVector kColorBeginning(0.7, 0.7, 0.0);
}  // namespace

CStmEntityElement::CStmEntityElement() { Init(); }

CStmEntityElement::CStmEntityElement(CUbEttManage* manage) : CStmEntityObject(manage) { Init(); }

CStmEntityElement::CStmEntityElement(CUbEttManage* manage, const CVector& begin, const CVector& end)
    : CStmEntityObject(manage) {
  Init();
  m_vBegin = m_vBeforeMoveBegin = begin;
  m_vEnd = m_vBeforeMoveEnd = end;
}

void CStmEntityElement::Init() {
  m_nTypeEntity = kKindElement;
  m_nSubType = -1;
  m_dThickness = 2.0;
  m_vDrawColor = CVector(0.0, 1.0, 0.0);
  m_vTextColor = CVector(1.0, 1.0, 1.0);
  m_nTypeElement = kTypeOrdinary;
}

CStmEntityNode* CStmEntityElement::GetInvolvedNode(const CVector& p) const {
  CStmUbManager* manager = GetManager();
  return manager ? manager->GetEntNode(p, nullptr) : nullptr;
}

void CStmEntityElement::UpdateInvolvedNode() {
  CStmUbManager* manager = GetManager();
  // A replayed step puts its nodes back from the model's records, not by position.
  if (!manager || manager->IsReplayingHistory()) return;
  CStmEntityNode* nodeBegin = GetInvolvedNode(m_vBeforeMoveBegin);
  CStmEntityNode* nodeEnd = GetInvolvedNode(m_vBeforeMoveEnd);
  if (!nodeBegin && !nodeEnd) return;
  // This element has left both old positions, so whatever still touches them is another element.
  std::vector<CStmEntityElement*> others;
  manager->GetEntityInvolvedElements(m_vBeforeMoveBegin, 0, others);
  const size_t countBegin = others.size();
  others.clear();
  manager->GetEntityInvolvedElements(m_vBeforeMoveEnd, 0, others);
  const size_t countEnd = others.size();
  if (nodeBegin && countBegin == 0) nodeBegin->SetCoord(m_vBegin);
  if (nodeEnd && countEnd == 0) nodeEnd->SetCoord(m_vEnd);
}

void CStmEntityElement::GetRange(CCubeRange& range) {
  range.Apply(m_vBegin);
  range.Apply(m_vEnd);
}

void CStmEntityElement::Move(const CVector& d) {
  if (!GetManager()) return;
  m_vBeforeMoveBegin = m_vBegin;
  m_vBeforeMoveEnd = m_vEnd;
  // As a moved node lands: on the point picked, not a bit beside it.
  m_vBegin = StmCleanPoint(m_vBegin + d);
  m_vEnd = StmCleanPoint(m_vEnd + d);
  UpdateEttIndex();
  UpdateInvolvedNode();
  SetStmModifiedFlag(1);
  CUbEntityObj::Move(d);
}

void CStmEntityElement::Mirror(const CVector& p1, const CVector& p2) {
  m_vBeforeMoveBegin = m_vBegin;
  m_vBeforeMoveEnd = m_vEnd;
  m_vBegin = StmCleanPoint(GetMirrorPos(p1, p2, m_vBegin));
  m_vEnd = StmCleanPoint(GetMirrorPos(p1, p2, m_vEnd));
  UpdateEttIndex();
  UpdateInvolvedNode();
  SetStmModifiedFlag(1);
  CUbEntityObj::Mirror(p1, p2);
}

void CStmEntityElement::Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs) {
  m_vBeforeMoveBegin = m_vBegin;
  m_vBeforeMoveEnd = m_vEnd;
  m_vBegin = StmCleanPoint(GetRotatedPoint(m_vBegin, origin, axis, cs));
  m_vEnd = StmCleanPoint(GetRotatedPoint(m_vEnd, origin, axis, cs));
  m_vNormal = GetRotatedPoint(m_vNormal, origin, axis, cs);
  UpdateEttIndex();
  UpdateInvolvedNode();
  SetStmModifiedFlag(1);
}

void CStmEntityElement::MoveOnePoint(CVector, CVector& to, int atBegin) {
  if (atBegin) {
    m_vBegin = to;
  } else {
    m_vEnd = to;
  }
  UpdateEttIndex();
  RecreateCallList(-1);
  SetStmModifiedFlag(1);
}

int CStmEntityElement::IsInRect(CRect rect) {
  const CVector centre = GetCentre();
  return rect.PtInRect(ProjectView(m_vBegin - centre)) && rect.PtInRect(ProjectView(m_vEnd - centre)) ? 1 : 0;
}

void CStmEntityElement::GetBoundLineArray(SegmentArray& out, int) {
  out.emplace_back(m_vBegin, m_vEnd);
  out.emplace_back(m_vEnd, m_vBegin);
}

void CStmEntityElement::GetSnapMoveAllPointArray(CVectorArray& points) {
  points.Add(new CVector((m_vBegin + m_vEnd) / 2.0));
}

int CStmEntityElement::GetOsnapEndPoint(CVector pt, CVector& out, int& first) {
  return CStmEntityObject::GetOsnapEndPoint(pt, out, first, m_vBegin, m_vEnd);
}

int CStmEntityElement::GetOsnapPerPoint(CVector pt, CVector& out, int& first, CVector base, HWND wnd, long x,
                                        long y, long unused) {
  return CStmEntityObject::GetOsnapPerPoint(pt, out, first, base, wnd, x, y, unused, m_vBegin, m_vEnd);
}

int CStmEntityElement::GetOsnapNearPoint(CVector pt, CVector& out, int& first, HWND wnd) {
  return CStmEntityObject::GetOsnapNearPoint(pt, out, first, wnd, m_vBegin, m_vEnd);
}

int CStmEntityElement::GetOsnapMidPoint(CVector pt, CVector& out, int& first, long unused) {
  return CStmEntityObject::GetOsnapMidPoint(pt, out, first, unused, m_vBegin, m_vEnd);
}

int CStmEntityElement::GetOsnapCrossPoint(CUbEntityObj* other, CVector pt, CVector& out, int& first) {
  return CStmEntityObject::GetOsnapCrossPoint(other, pt, out, first, m_vBegin, m_vEnd);
}

CString CStmEntityElement::GetStringEntType() { return StmText("Element"); }

void CStmEntityElement::Render(int pick) {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return;
  const CStmDataView* view = model->GetStmDataView();
  CStmObjElement* element = FindElementRecord(model);
  if (!view || !element || !view->IsShowOption(STM_SHOW_ELEMENTS)) return;

  const SStmColorSet& colors = view->GetColorSet();
  m_vDrawColor = colors[kColorElement];
  m_vTextColor = colors[kColorElementText];
  // An element that only traces the outline is no member of the truss: it looks like the
  // outline it traces, with no force line over it once analysed.
  const bool outlineOnly = StmOnlyFormsOutline(*model, *element);
  if (outlineOnly) {
    m_vDrawColor = colors[kColorBoundary];
  } else if (m_nTypeElement == kTypeOuter) {
    m_vDrawColor = kColorOuter;
  } else if (m_nTypeElement == kTypeInner) {
    m_vDrawColor = kColorInner;
  } else if (manager->IsViewBeginning()) {
    m_vDrawColor = kColorBeginning;
  }

  CUbGlState::Disable(GL_LIGHTING);
  CUbGlState::Disable(GL_DEPTH_TEST);
  const CVector centre = GetCentre();
  const CVector B = m_vBegin - centre, E = m_vEnd - centre;
  if (element->IsStableElement() && !outlineOnly) {
    CUbGlState::Enable(GL_LINE_STIPPLE);
    CUbGlState::LineStipple(3, 0x5555);
  }
  if (pick == 0 && model->IsLock()) {
    // A halo about the line, wider than any force line drawn over it, in a colour that reads on
    // both backgrounds: the element is over capacity in the case shown.
    const SStmCheckCase* checks = model->GetCheckResults().GetCase(manager->GetIndexLoadConditionResult());
    const auto found = checks ? checks->elements.find(element->GetId()) : decltype(checks->elements.end())();
    if (checks && found != checks->elements.end() && (found->second.nFlags & STM_CHECK_OVER_CAPACITY)) {
      CUbGlState::LineWidth(static_cast<GLfloat>(m_dThickness + 8.0));
      CUbGlState::Color(kColorOverCapacity.x, kColorOverCapacity.y, kColorOverCapacity.z);
      CUbGlState::Begin(GL_LINES);
      glVertex3d(B.x, B.y, B.z);
      glVertex3d(E.x, E.y, E.z);
      CUbGlState::End();
    }
  }
  if (pick == 0) {
    CUbGlState::LineWidth(static_cast<GLfloat>(m_dThickness));
    CUbGlState::Color(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z);
  }
  CUbGlState::Begin(GL_LINES);
  glVertex3d(B.x, B.y, B.z);
  glVertex3d(E.x, E.y, E.z);
  CUbGlState::End();
  if (pick == 0) CUbGlState::LineWidth(1.0f);
  CUbGlState::Disable(GL_LINE_STIPPLE);

  if (view->IsShowOption(STM_SHOW_ELEMENT_NAMES)) {
    CUbGlState::LineWidth(1.0f);
    const int side = m_eViewPos == CUbRenderWnd::VIEW_POS_XZ ? 1 : 0;
    CUbRenderAPI::DrawTextDirectionMid(B, E, 0, side, element->GetName(), m_vTextColor, m_dViewScale,
                                       view->GetSizeNumberElement() * m_dViewScale);
  }
  CUbGlState::Disable(GL_LINE_STIPPLE);
  CUbGlState::Enable(GL_DEPTH_TEST);
  CUbGlState::Enable(GL_LIGHTING);
}

CString CStmEntityElement::GetTooltipPropInfoTable() {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return CString();
  CStmObjElement* element = model->GetElement(m_nIdStm);
  const CStmDataView* view = model->GetStmDataView();
  if (!element || !view || !view->IsShowOption(STM_SHOW_ELEMENT_TOOLTIPS)) return CString();
  if (!GetInvolvedNode(m_vBegin) || !GetInvolvedNode(m_vEnd)) return CString();
  const CStmObjNode* nodeBegin = element->GetNodeBegin();
  const CStmObjNode* nodeEnd = element->GetNodeEnd();
  if (!nodeBegin || !nodeEnd) return CString();

  CString title = element->GetName();
  if (model->IsInputModel()) {
    if (m_nTypeElement == kTypeOuter) title += StmText(" - Outer");
    if (m_nTypeElement == kTypeInner) title += StmText(" - Inner");
  } else {
    title += element->IsBoundaryElement() ? StmText(" - Outer") : StmText(" - Inner");
  }

  const CDPoint begin = manager->GetPointPlane(m_vBegin);
  const CDPoint end = manager->GetPointPlane(m_vEnd);
  CString text;
  text.Format(
      "<table border=0><tr><td><b>%s %s</b></td></tr></tr></table><table border=0><tr><td>Node %s</td>"
      "<td align=right>%.4f,</td><td align=right>%.4f</td></tr><tr><td>Node %s</td><td align=right>%.4f,</td>"
      "<td align=right>%.4f</td></tr><tr><td>Length</td><td align=right>%.4f</td></tr><tr><td>Thickness Scale "
      "Factor</td><td align=right>%.4f</td></tr></table>",
      GetStringEntType().c_str(), title.c_str(), nodeBegin->GetName().c_str(), begin.x, begin.y,
      nodeEnd->GetName().c_str(), end.x, end.y, element->GetLength(), element->GetThicknessScale());

  const int loadCase = manager->GetIndexLoadConditionResult();
  const EStmTypeElement type = element->GetType(loadCase);
  if (type == STM_ELEMENT_NONE) {
    text += "<table border=0><tr><td>Unknown Type</td><td align=right>-</td></tr></table>";
  } else if (type == STM_ELEMENT_STRUT) {
    const CString* strut = model->GetStrutType(element);
    text.AppendFormat("<table border=0><tr><td>Strut Type</td><td align=right>%s</td></tr></table>",
                      strut ? strut->c_str() : "-");
  } else {
    const CString* tie = model->GetTieType(element);
    text.AppendFormat("<table border=0><tr><td>Tie Type</td><td align=right>%s</td></tr></table>",
                      tie ? tie->c_str() : "-");
  }

  if (model->IsLock()) {
    const int decimals = view->GetFixedPointNumber();
    double force = element->GetResultAxialForce(loadCase);
    // A force that rounds away at the shown decimals must not print as a negative zero.
    if (std::fabs(force) < 0.5 * GetIntPower(10.0, -decimals)) force = 0.0;
    CString format, value;
    format.Format("%%.%df", decimals);
    value.Format(format.c_str(), force);
    text.AppendFormat("<table border=0><tr><td>Axial Force</td><td align=right>%s</td></tr></table>", value.c_str());
    AppendCheckRows(*model, element->GetId(), loadCase, decimals, text);
  }
  return text;
}

void CStmEntityElement::AppendCheckRows(const CStmModel& model, int idElement, int loadCase, int decimals,
                                        CString& text) {
  const SStmCheckCase* checks = model.GetCheckResults().GetCase(loadCase);
  const auto found = checks ? checks->elements.find(idElement) : std::map<int, SStmCheckElement>::const_iterator();
  if (!checks || found == checks->elements.end()) return;
  const SStmCheckElement& check = found->second;
  const CString& unit = model.GetUnitLength();
  CString format;
  format.Format("<tr><td>%%s</td><td align=right>%%.%df %%s</td></tr>", decimals);
  text += "<table border=0>";
  const bool strut = check.dForce < 0.0;
  text.AppendFormat(format.c_str(), strut ? "Required Width" : "Width", check.dWidthRequired, unit.c_str());
  if (strut) {
    text.AppendFormat(format.c_str(), "Available Width", check.dWidthAvailable, unit.c_str());
  } else {
    const CString area = unit + "²";
    text.AppendFormat(format.c_str(), "Required Steel", check.dSteelRequired, area.c_str());
    text.AppendFormat(format.c_str(), "Provided Steel", check.dSteelProvided, area.c_str());
  }
  if (check.nFlags & STM_CHECK_INCOMPLETE) {
    text += "<tr><td>Utilisation</td><td align=right>-</td></tr>";
  } else {
    text.AppendFormat("<tr><td>Utilisation</td><td align=right>%.3f</td></tr>", check.dUtilisation);
  }
  text.AppendFormat("<tr><td>Clause</td><td align=right>%s</td></tr>", check.strClause.c_str());
  if (check.nFlags & STM_CHECK_OVER_CAPACITY) text += "<tr><td>Over capacity</td></tr>";
  if (check.nFlags & STM_CHECK_OUTSIDE) text += "<tr><td>Leaves the concrete</td></tr>";
  if (check.nFlags & STM_CHECK_OVERLAP) text += "<tr><td>Overlaps another region</td></tr>";
  if (check.nFlags & STM_CHECK_ANGLE) text += "<tr><td>Meets a tie at too small an angle</td></tr>";
  text += "</table>";
}

void CStmEntityElement::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CUbEntityObj::Serialize(ar);
    ar << kArchiveVersion << m_vBegin << m_vEnd << m_dThickness << static_cast<std::int32_t>(m_nTypeElement);
    return;
  }
  SArchivedBase base;
  ReadArchiveBase(ar, base);
  std::int32_t version = 0;
  CVector begin, end;
  double thickness = 0.0;
  ar >> version;
  ar >> begin >> end >> thickness;
  AfxCheckArchiveFinite({begin.x, begin.y, begin.z, end.x, end.y, end.z, thickness});
  // Archives before version 1 had no element type; the entity keeps the one it has.
  std::int32_t type = m_nTypeElement;
  if (version > 0) {
    ar >> type;
    if (type != kTypeOrdinary && type != kTypeOuter && type != kTypeInner)
      AfxThrowArchiveException(CArchiveException::badSchema);
  }
  ApplyArchiveBase(base);
  m_vBegin = begin;
  m_vEnd = end;
  m_dThickness = thickness;
  m_nTypeElement = type;
  UpdateEttIndex();
}

CStmEntityElement& CStmEntityElement::operator=(const CStmEntityObject& other) {
  if (this == &other) return *this;
  CUbEntityObj::operator=(other);
  if (const auto* element = dynamic_cast<const CStmEntityElement*>(&other)) {
    m_vBegin = element->m_vBegin;
    m_vEnd = element->m_vEnd;
    m_dThickness = element->m_dThickness;
    UpdateEttIndex();
  }
  return *this;
}

CStmEntityElement& CStmEntityElement::operator=(const CStmEntityElement& other) {
  return operator=(static_cast<const CStmEntityObject&>(other));
}
