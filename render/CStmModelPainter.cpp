// Draws supports, springs, loads, entered load arrows, marks, the axis triad, boundary reference
// segments and polygons for the render window, straight from the model records.
#include "render/CStmModelPainter.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "geometry/StmGeometry.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {
// Show-option bits of the view settings.

// Colour-set entries.
constexpr int kColorBoundaryRef = 2;
constexpr int kColorRestraint = 10;
constexpr int kColorSpringU = 11;
constexpr int kColorSpringR = 12;
constexpr int kColorLoad = 13;
constexpr int kColorResult = 14;
constexpr int kColorReaction = 14;
constexpr int kColorLoadValue = 19;
constexpr int kColorResultValue = 20;
constexpr int kColorAxis = 22;

// Sizes in pixels, multiplied by the view scale when drawn.
constexpr double kRestraintSize = 15.0;
constexpr double kSpringSize = 25.0;
constexpr double kArrowFull = 160.0;
// Reactions point away from the loads, mostly; shorter, so that both fit a small window.
constexpr double kReactionFull = 70.0;
constexpr double kArrowHead = 1.2;
// A head of size 1.2 is 1.2 * 18 px long; labels keep 0.6 of 30 heads' worth off the tip.
constexpr double kArrowText = 21.6;
// Pixels between an arrow's tail and its value.
constexpr double kValueGap = 4.0;
constexpr double kAxisLength = 90.0;

bool IsZero(double v) { return std::fabs(v) <= kStmPointTolerance; }

void Vertex(const CVector& v) { glVertex3d(v.x, v.y, v.z); }

void LightingDepthOff() {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
}

void LightingDepthOn() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}
}  // namespace

CStmModelPainter::CStmModelPainter(CStmUbManager* manager, CUbRenderWnd* wnd, const SStmColorSet& colours)
    : m_pManager(manager), m_pWnd(wnd), m_colors(colours) {}

CStmModel* CStmModelPainter::GetDrawableModel() const {
  if (!m_pManager || !m_pWnd) return nullptr;
  CStmModel* model = m_pManager->GetStmModel();
  if (!model || !model->GetStmDataView()) return nullptr;
  return model;
}

double CStmModelPainter::GetViewScale() const { return m_pWnd ? m_pWnd->GetViewScale() : 1.0; }

void CStmModelPainter::SetColor(int entry) const {
  const CVector& c = m_colors[entry];
  glColor3d(c.x, c.y, c.z);
}

CVector CStmModelPainter::GetHorizontalAxis() const {
  return m_pWnd && m_pWnd->GetViewPos() == CUbRenderWnd::VIEW_POS_XZ ? CVector(1, 0, 0) : CVector(0, 1, 0);
}

// ---------------------------------------------------------------------------------------------
// Restraints

void CStmModelPainter::RenderRestraint() {
  m_arRestraintVertices.clear();
  CStmModel* model = GetDrawableModel();
  if (!model || !model->GetStmDataView()->IsShowOption(STM_SHOW_RESTRAINTS)) return;
  const double size = kRestraintSize * GetViewScale();
  for (const auto& [id, restraint] : model->GetRestraints()) {
    const CStmObjNode* node = model->GetNode(restraint->GetIdNode());
    if (!node || !node->IsEnable()) continue;
    const SStmDof& dof = restraint->GetDof();
    if (!dof.Ux && !dof.Uy && !dof.Uz && !dof.Rx && !dof.Ry && !dof.Rz) continue;
    DrawRestraint(node->GetCoord(), restraint->GetRollerAngle(), dof, size);
  }
  DrawBearingPlates(*model);
}

void CStmModelPainter::DrawBearingPlates(const CStmModel& model) {
  // A plate is drawn as wide as it is, across the view, centred on its node: the width it bears
  // over is what the checks use. Thin plates keep a few pixels so that they stay visible.
  const CUbRenderWnd::VIEW_POS view = m_pWnd->GetViewPos();
  const CVector across = view == CUbRenderWnd::VIEW_POS_YZ ? CVector(0, 1, 0) : CVector(1, 0, 0);
  const CVector up = view == CUbRenderWnd::VIEW_POS_XY ? CVector(0, 1, 0) : CVector(0, 0, 1);
  LightingDepthOff();
  glLineWidth(2.0f);
  SetColor(kColorRestraint);
  for (const auto& [id, plate] : model.GetBearingPlates()) {
    const CStmObjNode* node = model.GetNode(plate->GetIdNode());
    const SStmPropBearingPlate& prop = plate->GetProperty();
    if (!plate->IsEnable() || !node || !node->IsEnable() || !(prop.dWidth > 0.0)) continue;
    const double half = prop.dWidth / 2.0;
    const double height = std::max(prop.dThickness, 3.0 * GetViewScale()) / 2.0;
    const CVector c = node->GetCoord();
    glBegin(GL_LINE_LOOP);
    Vertex(c - across * half - up * height);
    Vertex(c + across * half - up * height);
    Vertex(c + across * half + up * height);
    Vertex(c - across * half + up * height);
    glEnd();
  }
  glLineWidth(1.0f);
  LightingDepthOn();
}

void CStmModelPainter::DrawRestraint(const CVector& pos, double rollerAngle, const SStmDof& dof, double size) {
  LightingDepthOff();
  glLineWidth(2.0f);
  SetColor(kColorRestraint);
  // The roller angle turns the symbol in the drawing plane, about the axis facing the viewer.
  switch (m_pWnd->GetViewPos()) {
    case CUbRenderWnd::VIEW_POS_XY: m_vRotateAxis = {0, 0, -1}; break;
    case CUbRenderWnd::VIEW_POS_YZ: m_vRotateAxis = {-1, 0, 0}; break;
    case CUbRenderWnd::VIEW_POS_XZ: m_vRotateAxis = {0, -1, 0}; break;
    default: m_vRotateAxis = {0, 0, 0}; break;
  }
  const CDPoint cs = GetCosSinFromDegree(rollerAngle);
  DrawRestraintAxis(pos, CVector(1, 0, 0), dof.Ux, dof.Uz, !dof.Ry || !dof.Rz, cs, size);
  DrawRestraintAxis(pos, CVector(0, 1, 0), dof.Uy, dof.Uz, !dof.Rx || !dof.Rz, cs, size);
  glLineWidth(1.0f);
  LightingDepthOn();
}

void CStmModelPainter::EmitRestraintVertex(const CVector& v) {
  m_arRestraintVertices.push_back(v);
  Vertex(v);
}

void CStmModelPainter::DrawRestraintAxis(const CVector& pos, const CVector& d, int fixedD, int fixedZ, int rotFree,
                                         const CDPoint& cs, double size) {
  const double h = 1.2 * size;
  const double q = 0.6 * size;
  const CVector z(0, 0, 1);
  auto rotated = [&](const CVector& v) { return GetRotatedPoint(v, pos, m_vRotateAxis, cs); };
  auto stroke = [&](const CVector& a, const CVector& b) {
    EmitRestraintVertex(a);
    EmitRestraintVertex(b);
  };
  if (fixedD && !fixedZ) {
    glBegin(GL_LINES);
    for (const CVector& arm : {z * q, d * q, (d + z) * q, (d - z) * q}) stroke(rotated(pos + arm), rotated(pos - arm));
    glEnd();
  } else if (fixedD && fixedZ && rotFree) {
    glBegin(GL_LINE_STRIP);
    EmitRestraintVertex(pos);
    EmitRestraintVertex(rotated(pos + d * q - z * h));
    EmitRestraintVertex(rotated(pos - d * q - z * h));
    EmitRestraintVertex(pos);
    glEnd();
  } else if (fixedD && fixedZ) {
    glBegin(GL_LINES);
    const CVector foot = pos - z * h;
    stroke(pos, rotated(foot));
    stroke(rotated(foot - d * q), rotated(foot + d * q));
    glEnd();
  } else if (fixedZ) {
    // A wheel that touches the node from below, standing on its contact stroke.
    const CVector centre = pos - z * q;
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k <= 24; ++k) {
      const double a = 0.261799 * k;
      EmitRestraintVertex(rotated(centre + d * (q * std::sin(a)) - z * (q * std::cos(a))));
    }
    glEnd();
    glBegin(GL_LINES);
    const CVector ground = pos - z * h;
    stroke(rotated(ground - d * q), rotated(ground + d * q));
    glEnd();
  }
}

// ---------------------------------------------------------------------------------------------
// Springs

void CStmModelPainter::RenderSpring() {
  CStmModel* model = GetDrawableModel();
  if (!model || !model->GetStmDataView()->IsShowOption(STM_SHOW_SPRINGS)) return;
  const double size = kSpringSize * GetViewScale();
  const CVector zero;
  for (const auto& [id, spring] : model->GetSprings()) {
    const CStmObjNode* node = model->GetNode(spring->GetIdNode());
    if (!node) continue;
    if (CompareVectorTolerance(spring->GetU(), zero, "==", kStmPointTolerance) &&
        CompareVectorTolerance(spring->GetR(), zero, "==", kStmPointTolerance))
      continue;
    DrawSpring(node->GetCoord(), spring->GetU(), spring->GetR(), size);
  }
}

void CStmModelPainter::DrawSpring(const CVector& pos, const CVector& u, const CVector& r, double size) {
  const CVector h = GetHorizontalAxis();
  const CVector x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  const CVector& colourU = m_colors[kColorSpringU];
  const CVector& colourR = m_colors[kColorSpringR];
  if (!IsZero(u.x)) DrawSpringUnit(pos, -h, -z, colourU, size);
  if (!IsZero(u.y)) DrawSpringUnit(pos, -y, -z, colourU, size);
  if (!IsZero(u.z)) DrawSpringUnit(pos, -z, -h, colourU, size);
  // Rotational units point the other way from the translational ones so that the two never
  // overlap on one node.
  if (!IsZero(r.x)) DrawSpringUnit(pos, x, z, colourR, size);
  if (!IsZero(r.y)) DrawSpringUnit(pos, y, z, colourR, size);
  if (!IsZero(r.z)) DrawSpringUnit(pos, z, x, colourR, size);
}

void CStmModelPainter::DrawSpringUnit(const CVector& start, const CVector& axis, const CVector& side, CVector colour,
                                      double size) {
  const CVector a = axis * (0.1 * size);
  const CVector b = side * (0.2 * size);
  CVector pts[10];
  pts[0] = start;
  pts[1] = pts[0] + a * 3.0;
  pts[2] = pts[1] + a * 0.5 + b;
  pts[3] = pts[2] + a - b * 2.0;
  pts[4] = pts[3] + a + b * 2.0;
  pts[5] = pts[4] + a - b * 2.0;
  pts[6] = pts[5] + a * 0.5 + b;
  pts[7] = pts[6] + a * 3.0;
  pts[8] = pts[7] - b;
  pts[9] = pts[7] + b;
  LightingDepthOff();
  glLineWidth(1.0f);
  glColor3d(colour.x, colour.y, colour.z);
  glBegin(GL_LINE_STRIP);
  for (const CVector& p : pts) Vertex(p);
  glEnd();
  LightingDepthOn();
}

// ---------------------------------------------------------------------------------------------
// Nodal loads

void CStmModelPainter::RenderLoad(int pick) {
  m_arArrows.clear();
  if (pick) return;
  CStmModel* model = GetDrawableModel();
  if (!model || !model->GetStmDataView()->IsShowOption(STM_SHOW_LOADS)) return;
  WalkLoadCase(0);
}

void CStmModelPainter::WalkLoadCase(int rangeOnly) {
  CStmModel* model = GetDrawableModel();
  if (!model) return;
  const int index = m_pManager->GetIndexLoadConditionLoad();
  const int countStatic = model->GetCountLoadConditionStatic();
  if (index < countStatic) {
    if (CStmObjLoadConditionStatic* condition = model->GetLoadConditionStaticIndex(index))
      RenderLoadStatic(model, condition, rangeOnly);
  } else if (CStmObjLoadConditionCombo* combo = model->GetLoadConditionComboIndex(index - countStatic)) {
    RenderLoadCombo(model, combo, rangeOnly);
  }
}

void CStmModelPainter::RenderLoadCombo(CStmModel* model, CStmObjLoadConditionCombo* combo, int rangeOnly) {
  CStmObjLoadConditionStatic converted;
  m_pManager->GetConvertLoadCondition(combo, converted);
  RenderLoadStatic(model, &converted, rangeOnly);
}

void CStmModelPainter::RenderLoadStatic(CStmModel* model, CStmObjLoadConditionStatic* condition, int rangeOnly) {
  for (const auto& [id, load] : condition->GetLoadNodes()) {
    const CStmObjNode* node = model->GetNode(load->GetIdNode());
    if (!node) continue;
    // Each component is its own arrow, so that a user reads the parts the load was entered as.
    const CVector& v = load->GetLoad();
    for (const CVector& part : {CVector(v.x, 0, 0), CVector(0, v.y, 0), CVector(0, 0, v.z)}) {
      if (CompareVectorTolerance(part, CVector(), "==", kStmPointTolerance)) continue;
      DrawForce(node->GetCoord(), part, 1, rangeOnly);
    }
  }
}

void CStmModelPainter::DrawForce(const CVector& tip, const CVector& force, int load, int rangeOnly) {
  const double s = GetViewScale();
  const double length = force.Length();
  const double maximum = std::fabs(m_pManager->GetMaxForceOfStaticLoad());
  // The largest load of the case is full length and none is longer.
  const double divisor = length <= maximum ? maximum : length;
  if (divisor <= 0.0) return;
  const double drawn = length / divisor * kArrowFull * s;
  const CVector unit = force.Unit();
  const CVector tail = tip - unit * drawn;
  if (rangeOnly) {
    if (m_pRange) m_pRange->Apply(tail);
    return;
  }
  m_arArrows.push_back({tip, tail, 1, 0});
  LightingDepthOff();
  glLineWidth(1.0f);
  SetColor(load ? kColorLoad : kColorResult);
  CUbRenderAPI::DrawArrowHead(tip, -unit, kArrowHead * s);
  CUbRenderAPI::DrawLine(tip, tail);
  CStmModel* model = m_pManager->GetStmModel();
  CStmDataView* view = model->GetStmDataView();
  if (view->IsShowOption(load ? STM_SHOW_LOAD_VALUES : STM_SHOW_RESULT_VALUES)) {
    CString text;
    text.Format("%.*f %s", std::clamp(view->GetFixedPointNumber(), 0, 15), length, model->GetUnitForce().c_str());
    const double height = (load ? view->GetSizeValueLoad() : view->GetSizeValueResult()) * s;
    DrawValueAtTail(tail, unit, text, m_colors[load ? kColorLoadValue : kColorResultValue], height);
  }
  LightingDepthOn();
}

void CStmModelPainter::LayOutReactions(const CStmModel& model, std::vector<SArrow>& out,
                                       std::vector<double>& values) const {
  const size_t shown = static_cast<size_t>(std::max(0, m_pManager->GetIndexLoadConditionResult()));
  // A component the values shown round to zero is no arrow.
  const double least = 0.5 * std::pow(10.0, -std::clamp(model.GetStmDataView()->GetFixedPointNumber(), 0, 15));
  std::vector<std::pair<CVector, CVector>> parts;
  double largest = 0.0;
  for (const auto& [id, reactions] : model.GetResultReactions()) {
    const CStmObjNode* node = model.GetNode(id);
    if (!node || !node->IsEnable() || shown >= reactions.size()) continue;
    const CVector& v = reactions[shown];
    for (const CVector& part : {CVector(v.x, 0, 0), CVector(0, v.y, 0), CVector(0, 0, v.z)}) {
      if (part.Length() < least) continue;
      parts.emplace_back(node->GetCoord(), part);
      largest = std::max(largest, part.Length());
    }
  }
  const double full = kReactionFull * GetViewScale();
  for (const auto& [tip, force] : parts) {
    // Each arrow pushes on its node from the support's side, as the support pushes.
    out.push_back({tip, tip - force.Unit() * (force.Length() / largest * full), 1, 0});
    values.push_back(force.Length());
  }
}

void CStmModelPainter::RenderReaction(int pick) {
  m_arReactions.clear();
  CStmModel* model = GetDrawableModel();
  if (pick || !model || !model->IsLock() || !model->GetStmDataView()->IsShowOption(STM_SHOW_REACTIONS)) return;
  CStmDataView* view = model->GetStmDataView();
  std::vector<double> values;
  LayOutReactions(*model, m_arReactions, values);
  const double s = GetViewScale();
  LightingDepthOff();
  glLineWidth(2.0f);
  for (size_t i = 0; i < m_arReactions.size(); ++i) {
    const SArrow& arrow = m_arReactions[i];
    const CVector unit = (arrow.vTip - arrow.vTail).Unit();
    SetColor(kColorReaction);
    CUbRenderAPI::DrawArrowHead(arrow.vTip, -unit, kArrowHead * s);
    CUbRenderAPI::DrawLine(arrow.vTip, arrow.vTail);
    if (view->IsShowOption(STM_SHOW_RESULT_VALUES)) {
      CString text;
      text.Format("%.*f %s", std::clamp(view->GetFixedPointNumber(), 0, 15), values[i], model->GetUnitForce().c_str());
      DrawValueAtTail(arrow.vTail, unit, text, m_colors[kColorReaction], view->GetSizeValueResult() * s);
    }
  }
  glLineWidth(1.0f);
  LightingDepthOn();
}

void CStmModelPainter::GetScreenAxes(CVector& right, CVector& up) const {
  switch (m_pWnd ? m_pWnd->GetViewPos() : CUbRenderWnd::VIEW_POS_XZ) {
    case CUbRenderWnd::VIEW_POS_XY: right = {1, 0, 0}; up = {0, 1, 0}; break;
    case CUbRenderWnd::VIEW_POS_YZ: right = {0, 1, 0}; up = {0, 0, 1}; break;
    default: right = {1, 0, 0}; up = {0, 0, 1}; break;
  }
}

void CStmModelPainter::DrawValueAtTail(const CVector& tail, const CVector& unit, const CString& text,
                                       const CVector& colour, double height) {
  // Upright and past the tail, away from the node, so that the value never covers the node's
  // name: beside a steep arrow, above or below a flat one.
  CVector right, up;
  GetScreenAxes(right, up);
  const double gap = kValueGap * GetViewScale();
  const CVector outward = -unit;
  const bool steep = std::fabs(outward.Dot(right)) < std::fabs(outward.Dot(up));
  struct SPlace {
    CVector at;
    int alignH, alignV;
  };
  // Where the first place is taken (a neighbour's value), the other side still reads well.
  // Beside a steep arrow the value first tries the side away from the middle of the window,
  // where neighbouring arrows are fewer.
  const bool leftFirst = m_pWnd && 2 * m_pWnd->ExtToClient(tail).x < m_pWnd->GetWidth();
  const SPlace toRight{tail + right * gap, CUbRenderAPI::TEXT_ALIGN_LEFT, CUbRenderAPI::TEXT_VALIGN_MIDDLE};
  const SPlace toLeft{tail - right * gap, CUbRenderAPI::TEXT_ALIGN_RIGHT, CUbRenderAPI::TEXT_VALIGN_MIDDLE};
  const std::array<SPlace, 2> places =
      steep ? (leftFirst ? std::array<SPlace, 2>{toLeft, toRight} : std::array<SPlace, 2>{toRight, toLeft})
            : std::array<SPlace, 2>{SPlace{tail + up * gap,
                                           outward.Dot(right) > 0.0 ? CUbRenderAPI::TEXT_ALIGN_RIGHT
                                                                    : CUbRenderAPI::TEXT_ALIGN_LEFT,
                                           CUbRenderAPI::TEXT_VALIGN_BASELINE},
                                    SPlace{tail - up * gap,
                                           outward.Dot(right) > 0.0 ? CUbRenderAPI::TEXT_ALIGN_RIGHT
                                                                    : CUbRenderAPI::TEXT_ALIGN_LEFT,
                                           CUbRenderAPI::TEXT_VALIGN_TOP}};
  CUbRenderAPI::BeginLabelAlternatives();
  for (const SPlace& place : places) {
    CUbRenderAPI::OutVectorText(place.at, right, up, text, height, 1.0, place.alignH, place.alignV, 0.0, 0, colour,
                                1);
  }
  CUbRenderAPI::EndLabelAlternatives();
}

// ---------------------------------------------------------------------------------------------
// Entered load arrows

void CStmModelPainter::RenderLoadUserInput() {
  m_arArrows.clear();
  CStmModel* model = GetDrawableModel();
  if (!model) return;
  if (!m_pManager->IsViewBeginning() && !m_pManager->IsviewBackgroundLoadStatic()) return;
  glLineWidth(1.0f);
  LightingDepthOff();
  for (SStmLoadArrowSet* set : m_pManager->GetLoadArrowSet()) DrawLoadArrowSet(set);
  LightingDepthOn();
}

void CStmModelPainter::LayOutLoadArrowSet(const SStmLoadArrowSet& set, std::vector<SArrow>& out) const {
  const double s = GetViewScale();
  const double full = kArrowFull * s;
  const double t = kArrowText * s;
  const double reference = std::fabs(m_pManager->GetMaxForceOfArrowSet());
  // Index into out of the previous arrow of the set; -1 before the first.
  long previous = -1;
  for (const SStmLoadArrow* source : set.arrows) {
    const SStmLoadArrow& arrow = *source;
    const double length = reference > 0.0 ? arrow.dValue / reference * full : 0.0;
    const CVector unit = arrow.vDir.Unit();
    const SArrow drawn{arrow.vPos, arrow.vPos - unit * length, IsZero(arrow.dValue) ? 0 : 1, 0};
    if (set.bConnect && previous >= 0 &&
        !CompareVectorTolerance(arrow.vPos, out[previous].vTip, "==", kStmPointTolerance)) {
      const SArrow before = out[previous];
      const int n = static_cast<int>((arrow.vPos - before.vTip).Length() / (2.0 * t));
      for (int k = 1; k < n; ++k) {
        const double f = static_cast<double>(k) / n;
        const CVector tip = before.vTip + (arrow.vPos - before.vTip) * f;
        const CVector tail = before.vTail + (drawn.vTail - before.vTail) * f;
        out.push_back({tip, tail, (tail - tip).Length() >= t ? 1 : 0, 1});
      }
    }
    previous = static_cast<long>(out.size());
    out.push_back(drawn);
  }
}

void CStmModelPainter::DrawLoadArrowSet(SStmLoadArrowSet* set) {
  if (!set) return;
  std::vector<SArrow> arrows;
  LayOutLoadArrowSet(*set, arrows);
  const double s = GetViewScale();
  const double t = kArrowText * s;
  CStmDataView* view = m_pManager->GetStmModel()->GetStmDataView();
  SetColor(kColorLoadValue);
  const SArrow* previous = nullptr;
  size_t next = 0;
  for (const SArrow& arrow : arrows) {
    if (arrow.bHead) CUbRenderAPI::DrawArrowHead(arrow.vTip, arrow.vTail - arrow.vTip, kArrowHead * s);
    CUbRenderAPI::DrawLine(arrow.vTip, arrow.vTail);
    m_arArrows.push_back(arrow);
    if (arrow.bIntermediate) continue;
    // The line along the tails shows the shape of a distributed load.
    if (set->bConnect && previous && !CompareVectorTolerance(arrow.vTip, previous->vTip, "==", kStmPointTolerance))
      CUbRenderAPI::DrawLine(previous->vTail, arrow.vTail);
    const SStmLoadArrow& source = *set->arrows[next++];
    if (view->IsShowOption(STM_SHOW_LOAD_VALUES) && !IsZero(source.dValue)) {
      const CVector unit = (arrow.vTail - arrow.vTip).Unit();
      const bool shortArrow = (arrow.vTail - arrow.vTip).Length() < t;
      const CVector at = shortArrow ? arrow.vTip : arrow.vTip + unit * t;
      CString text;
      text.Format("%.*f", view->GetFixedPointNumber(), std::fabs(source.dValue));
      CUbRenderAPI::OutVectorText(at, GetHorizontalAxis(), CVector(0, 0, 1), text, view->GetSizeValueLoad() * s, 1.0,
                                  CUbRenderAPI::TEXT_ALIGN_CENTER, CUbRenderAPI::TEXT_VALIGN_MIDDLE, 0.0, 0,
                                  m_colors[kColorLoadValue], 1);
    }
    previous = &arrow;
  }
}

// ---------------------------------------------------------------------------------------------
// Marks, boundary references, axis triad, polygons

void CStmModelPainter::RenderMark() {
  if (!m_pManager || !m_pWnd) return;
  const std::vector<CVector>& marks = m_pManager->GetMarkPosArray();
  if (marks.empty()) return;
  const EStmTypeRenderMark type = m_pManager->GetTypeRenderMark();
  const double size = m_pManager->GetSizeRenderMark();
  LightingDepthOff();
  glColor4d(1.0, 0.0, 0.0, 0.5);
  if (type == STM_MARK_POINT) {
    glPointSize(static_cast<float>(10.0 * size));
    glBegin(GL_POINTS);
    for (const CVector& p : marks) Vertex(p);
    glEnd();
    glPointSize(1.0f);
  } else if (type == STM_MARK_SQUARE) {
    const double d = 5.0 * GetViewScale() * size;
    glLineWidth(1.0f);
    for (const CVector& p : marks) {
      glBegin(GL_LINE_LOOP);
      Vertex(p + CVector(-d, 0, -d));
      Vertex(p + CVector(d, 0, -d));
      Vertex(p + CVector(d, 0, d));
      Vertex(p + CVector(-d, 0, d));
      glEnd();
    }
  }
  LightingDepthOn();
}

void CStmModelPainter::DrawBoundarySegment() {
  CStmModel* model = GetDrawableModel();
  if (!model) return;
  LightingDepthOff();
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(3, 0x5555);
  SetColor(kColorBoundaryRef);
  glBegin(GL_LINES);
  for (const SStmSegment& segment : model->GetBoundaryRefs()) {
    Vertex(segment.a);
    Vertex(segment.b);
  }
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  LightingDepthOn();
  glFinish();
}

void CStmModelPainter::DrawCoordinate() {
  CStmModel* model = GetDrawableModel();
  if (!model || !model->GetStmDataView()->IsShowOption(STM_SHOW_AXIS) || !m_pManager->IsActiveStmModel()) return;
  const bool xz = m_pWnd->GetViewPos() == CUbRenderWnd::VIEW_POS_XZ;
  const CVector h = m_pWnd->ChangeUCSApplyPosition(GetHorizontalAxis());
  const CVector z = m_pWnd->ChangeUCSApplyPosition(CVector(0, 0, 1));
  const CVector o;
  const double length = kAxisLength * GetViewScale();
  const double a = 0.1 * length;
  const double b = 0.04 * length;
  // Lines are drawn unsmoothed in every frame: smoothing doubles what llvmpipe spends on a
  // frame of many lines. The triad gives back what it found rather than deciding for the frames
  // after it.
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LINE_SMOOTH);
  glLineWidth(1.0f);
  SetColor(kColorAxis);
  const CVector endH = o + h * length;
  const CVector endZ = o + z * length;
  glBegin(GL_LINES);
  for (const CVector& p : {o, endH, o, endZ, endH - h * a + z * (0.5 * a), endH, endH - h * a - z * (0.5 * a), endH,
                           endZ - z * a + h * (0.5 * a), endZ, endZ - z * a - h * (0.5 * a), endZ})
    Vertex(p);
  glEnd();
  const CVector labelH = o + h * (length + b) - z * b;
  glRasterPos3d(labelH.x, labelH.y, labelH.z);
  CUbRenderAPI::FontPutsW(xz ? StmText("X") : StmText("Y"), 1);
  const CVector labelZ = o + z * (length + b) - h * b;
  glRasterPos3d(labelZ.x, labelZ.y, labelZ.z);
  CUbRenderAPI::FontPutsW(StmText("Z"), 1);
  glBegin(GL_LINE_LOOP);
  Vertex(o - h * (0.5 * b) - z * (0.5 * b));
  Vertex(o + h * (0.5 * b) - z * (0.5 * b));
  Vertex(o + h * (0.5 * b) + z * (0.5 * b));
  Vertex(o - h * (0.5 * b) + z * (0.5 * b));
  glEnd();
  glPopAttrib();
}

void CStmModelPainter::DrawPolygon(const std::vector<CVector>& pts, int fill) {
  LightingDepthOff();
  glBegin(fill ? GL_POLYGON : GL_LINE_STRIP);
  for (const CVector& p : pts) Vertex(p);
  if (!fill && !pts.empty()) Vertex(pts.front());
  glEnd();
  LightingDepthOn();
}

void CStmModelPainter::DrawPolygon(const std::vector<CDPoint>& pts, int fill) {
  if (!m_pManager || !m_pManager->GetStmModel()) return;
  std::vector<CVector> points;
  points.reserve(pts.size());
  for (const CDPoint& p : pts) points.push_back(m_pManager->GetCoordPlane(p));
  DrawPolygon(points, fill);
}

// ---------------------------------------------------------------------------------------------
// View range

void CStmModelPainter::ExtendViewRange(CCubeRange& range) {
  CStmModel* model = GetDrawableModel();
  if (!model) return;
  const double s = GetViewScale();
  const CStmDataView* view = model->GetStmDataView();
  m_pRange = &range;
  if (view->IsShowOption(STM_SHOW_LOADS)) WalkLoadCase(1);
  m_pRange = nullptr;
  if (model->IsLock() && view->IsShowOption(STM_SHOW_REACTIONS)) {
    std::vector<SArrow> reactions;
    std::vector<double> values;
    LayOutReactions(*model, reactions, values);
    for (const SArrow& arrow : reactions) range.Apply(arrow.vTail);
  }
  if (m_pManager->IsViewBeginning() || m_pManager->IsviewBackgroundLoadStatic()) {
    for (const SStmLoadArrowSet* set : m_pManager->GetLoadArrowSet()) {
      std::vector<SArrow> arrows;
      LayOutLoadArrowSet(*set, arrows);
      for (const SArrow& arrow : arrows) range.Apply(arrow.vTail);
    }
  }
  // A turned support reaches at most 1.35 of its size from the node; a spring one size.
  const CVector h = GetHorizontalAxis();
  const CVector z(0, 0, 1);
  auto around = [&](const CVector& p, double reach) {
    for (const CVector& corner : {p + (h + z) * reach, p - (h + z) * reach}) range.Apply(corner);
  };
  if (view->IsShowOption(STM_SHOW_RESTRAINTS)) {
    for (const auto& [id, restraint] : model->GetRestraints()) {
      const CStmObjNode* node = model->GetNode(restraint->GetIdNode());
      if (node && node->IsEnable()) around(node->GetCoord(), 1.4 * kRestraintSize * s);
    }
  }
  if (view->IsShowOption(STM_SHOW_SPRINGS)) {
    for (const auto& [id, spring] : model->GetSprings()) {
      if (const CStmObjNode* node = model->GetNode(spring->GetIdNode())) around(node->GetCoord(), kSpringSize * s);
    }
  }
}
