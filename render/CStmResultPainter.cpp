// Draws the analysis results of a model for the render window, straight from the model records.
#include "render/CStmResultPainter.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/CVectorArray.h"
#include "host/framework/CUbGlState.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/model/CStmModel.h"
#include "host/model/StmOutlineElements.h"
#include "manager/CStmUbManager.h"
#include "render/StmDrawingLayer.h"

namespace {
// Show-option bits of the view settings.

constexpr int kColorResultValue = 20;

// The contour's levels run 0..99, so that t = level / 99 reaches both ends of a ramp.
constexpr int kContourTop = 99;
constexpr int kFlowLevels = 10;
constexpr int kLegendBands = 10;
// Where a legend's bar begins, in hundredths of the window's width.
constexpr double kLegendLeft = 2.0;
constexpr double kLegendBesideContour = 14.0;
constexpr int kLegendMaxDecimals = 6;

const CVector kOutlineDesigned(0.7, 0.7, 0.7), kFillDesigned(0.7, 0.7, 0.7);
const CVector kOutlineCalc(1, 1, 0), kFillCalc(1, 1, 0);
const CVector kOutlineZoneMax(0.2, 0.5, 0.2), kFillZoneMax(0.2, 1, 0.2);
const CVector kOutlineZone(1, 0.2, 0.2), kFillZone(1, 0.2, 0.2);
constexpr double kFillAlpha = 0.4;

void LightingDepthOff() {
  CUbGlState::Disable(GL_LIGHTING);
  CUbGlState::Disable(GL_DEPTH_TEST);
}

void LightingDepthOn() {
  CUbGlState::Enable(GL_DEPTH_TEST);
  CUbGlState::Enable(GL_LIGHTING);
}

void Vertex(const CVector& v) { glVertex3d(v.x, v.y, v.z); }

void ColorOf(const CVector& c, double alpha = 1.0) { CUbGlState::Color(c.x, c.y, c.z, alpha); }

void RampColor(int contour, int level, int top) {
  int r = 255, g = 255, b = 255;
  CUbRenderAPI::GetContourColor(contour, r, g, b, level, top);
  CUbGlState::Color(r / 255.0, g / 255.0, b / 255.0);
}

bool AnyCells(const CStmModel& model) {
  const int step = model.GetCurrentStepEso();
  return step >= 0 && step < model.GetCountStepEso() && !model.GetEsoSteps()[static_cast<size_t>(step)].cells.empty();
}

const SStmResultNodalZone* CurrentZone(const CStmModel& model) {
  const int index = model.GetCurrentNodalZone();
  const auto& zones = model.GetResultNodalZones();
  return index >= 0 && index < static_cast<int>(zones.size()) ? &zones[static_cast<size_t>(index)] : nullptr;
}
}  // namespace

CStmResultPainter::CStmResultPainter(CStmUbManager* manager, CUbRenderWnd* wnd, const SStmColorSet& colours)
    : m_pManager(manager), m_pWnd(wnd), m_colors(colours) {}

bool CStmResultPainter::GetScene(CStmModel*& model, CStmDataView*& view) const {
  model = m_pManager && m_pWnd ? m_pManager->GetStmModel() : nullptr;
  view = model ? model->GetStmDataView() : nullptr;
  return view != nullptr;
}

double CStmResultPainter::GetViewScale() const { return m_pWnd ? m_pWnd->GetViewScale() : 1.0; }

CString CStmResultPainter::FormatForce(double force, int decimals, const CString& unit) {
  return CUbRenderAPI::FormatNumber(force, decimals, unit);
}

bool CStmResultPainter::HasResultContent(const CStmModel& model, unsigned option, int resultCase) {
  switch (option) {
    case STM_SHOW_RESULTS:
    case STM_SHOW_RESULT_VALUES:
      if (!model.IsLock()) return false;
      for (const auto& [id, element] : model.GetElements()) {
        if (element->IsEnable() && static_cast<int>(element->GetResultAxialForces().size()) > resultCase) return true;
      }
      return false;
    case STM_SHOW_REACTIONS:
      return model.IsLock() && !model.GetResultReactions().empty();
    case STM_SHOW_STRESS_FLOW:
      return AnyCells(model) || !model.GetStressFlow().empty() || CurrentZone(model) != nullptr;
    case STM_SHOW_ARROW_HEADS:
      return !model.GetStressFlow().empty() || (CurrentZone(model) && !CurrentZone(model)->flows.empty());
    case STM_SHOW_LEGEND:
      return AnyCells(model) || !model.GetStressFlow().empty();
    case STM_SHOW_MESH:
      return model.GetTypeMesh() == 0 ? !model.GetMeshPlane().quads.empty() : !model.GetMeshSpace().quads.empty();
    case STM_SHOW_WIDTHS_DESIGNED: {
      std::vector<CVector> region;
      for (const auto& [id, element] : model.GetElements()) {
        const bool found = model.GetStmDataConfig()->GetTypeEffectiveRegion() == 0
                               ? model.GetEffectiveRegion(id, region)
                               : model.GetMaxEffectiveRegion(id, region);
        if (found && !region.empty()) return true;
      }
      return false;
    }
    case STM_SHOW_WIDTHS:
      for (const auto& [id, element] : model.GetElements()) {
        if (!element->GetCoordEffectiveZones(resultCase).empty()) return true;
      }
      return false;
    case STM_SHOW_NODAL_ZONES_MAX:
    case STM_SHOW_NODAL_ZONES:
      for (const auto& [id, node] : model.GetNodes()) {
        if (!(option == STM_SHOW_NODAL_ZONES ? node->GetCoordNodalZones(resultCase)
                                             : node->GetCoordMaxWidthZones(resultCase))
                 .empty())
          return true;
      }
      return false;
    default:
      return true;
  }
}

// ---------------------------------------------------------------------------------------------
// Axial forces

void CStmResultPainter::RenderResult(int pick) {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (pick || !GetScene(model, view) || !model->IsLock() || !view->IsShowOption(STM_SHOW_RESULTS)) return;
  if (view->GetTypeResult() == STM_RESULT_AXIAL_FORCE)
    RenderResultAxialForce(model, m_pManager->GetIndexLoadConditionResult());
}

template <class F>
void CStmResultPainter::ForEachForce(CStmModel* model, int resultCase, F draw) {
  for (const auto& [id, element] : model->GetElements()) {
    // An element the analysis gave no force for this case, or left out as outline, has no result
    // to show.
    if (!element->IsEnable() || static_cast<int>(element->GetResultAxialForces().size()) <= resultCase ||
        StmOnlyFormsOutline(*model, *element))
      continue;
    const CStmObjNode* begin = element->GetNodeBegin();
    const CStmObjNode* end = element->GetNodeEnd();
    if (!begin || !end) continue;
    // A stability element is meant to stay idle; one that carries force shows it in the force's
    // colour like any member, so that it does not pass for idle.
    const EStmTypeElement type = element->GetType(resultCase);
    draw(begin->GetCoord(), end->GetCoord(), element->GetResultAxialForce(resultCase), type);
  }
}

void CStmResultPainter::RenderResultAxialForce(CStmModel* model, int resultCase) {
  CStmDataView* view = model->GetStmDataView();
  // Struts and unclassified elements are dashed, ties solid. Each kind is drawn in one run, the
  // dashed first and the solid over them, instead of switching the dash on and off per element:
  // every switch makes the driver draw what it holds so far, and a truss alternates its kinds.
  LightingDepthOff();
  GLint factor = 1;
  GLushort pattern = 0xFFFF;
  CUbGlState::GetLineStipple(factor, pattern);
  CUbGlState::LineWidth(3.0f);
  for (const bool dashed : {true, false}) {
    if (dashed) {
      CUbGlState::Enable(GL_LINE_STIPPLE);
      CUbGlState::LineStipple(10, 0xAAAA);
    } else {
      CUbGlState::Disable(GL_LINE_STIPPLE);
      CUbGlState::LineStipple(factor, pattern);
    }
    ForEachForce(model, resultCase, [&](const CVector& begin, const CVector& end, double, EStmTypeElement type) {
      if ((type == STM_ELEMENT_NONE || type == STM_ELEMENT_STRUT) != dashed) return;
      switch (type) {
        case STM_ELEMENT_NONE: ColorOf(CVector(0.5, 0.5, 0.5)); break;
        case STM_ELEMENT_STRUT: ColorOf(CVector(1, 0, 0)); break;
        case STM_ELEMENT_TIE: ColorOf(CVector(0, 0, 1)); break;
        default: ColorOf(CVector(0, 0, 0)); break;
      }
      CUbGlState::Begin(GL_LINES);
      Vertex(begin);
      Vertex(end);
      CUbGlState::End();
    });
  }
  CUbGlState::LineWidth(1.0f);
  if (view->IsShowOption(STM_SHOW_RESULT_VALUES)) {
    // In the elements' order, whatever the order of the lines, since the first label offered
    // for a place is the one that gets it. The text of a value is made only once its label has
    // a chance of a place.
    const double s = GetViewScale();
    const int decimals = view->GetFixedPointNumber();
    const CString& unit = model->GetUnitForce();
    ForEachForce(model, resultCase, [&](const CVector& begin, const CVector& end, double force, EStmTypeElement) {
      CUbRenderAPI::DrawTextDirectionMid(begin, end, force, decimals, CUbRenderAPI::TEXT_SIDE_ABOVE,
                                         m_colors[kColorResultValue], s, view->GetSizeValueResult() * s, unit);
    });
  }
  LightingDepthOn();
}

// ---------------------------------------------------------------------------------------------
// ESO contour and legend

void CStmResultPainter::RenderESO() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_STRESS_FLOW) || !AnyCells(*model)) return;
  const int step = model->GetCurrentStepEso();
  const int contour = view->GetTypeContour();
  double min = model->GetMinResultEso(0, step);
  double max = model->GetMaxResultEso(0, step);
  // Ramps that meet in white or switch colour in their middle put that middle at zero.
  if (contour == STM_CONTOUR_RED_WHITE_BLUE || contour == STM_CONTOUR_RED_BLUE) {
    const double m = std::max(std::fabs(min), std::fabs(max));
    min = -m;
    max = m;
  }
  LightingDepthOff();
  CUbGlState::Enable(GL_POLYGON_SMOOTH);
  for (const SStmEsoCell& cell : model->GetEsoSteps()[static_cast<size_t>(step)].cells)
    DrawContourEso(contour, min, max, cell.dValue, cell.corners.data());
  if (view->IsShowOption(STM_SHOW_LEGEND))
    DrawLegend(view->GetTypeColor(), contour, min, max, view->GetFixedPointNumber());
  CUbGlState::Disable(GL_POLYGON_SMOOTH);
  LightingDepthOn();
}

void CStmResultPainter::DrawContourEso(int contour, double min, double max, double value, const CVector* corners) {
  const int level = max == min ? 50 : static_cast<int>((value - min) * kContourTop / (max - min));
  RampColor(contour, std::clamp(level, 0, kContourTop), kContourTop);
  CUbGlState::Begin(GL_POLYGON);
  for (int k = 0; k < 4; ++k) Vertex(corners[k]);
  CUbGlState::End();
}

void CStmResultPainter::DrawLegend(EStmTypeColor style, int contour, double min, double max, int decimals) {
  // The text stands against the window's background: white on the dark style, black on the light.
  const CVector text = style == STM_COLOR_LIGHT ? CVector(0, 0, 0) : CVector(1, 1, 1);
  const int n = min == max ? 1 : kLegendBands;
  const bool flat = contour == STM_CONTOUR_RED_BLUE;
  LightingDepthOff();
  StmMarkDrawingLayer(STM_LAYER_LEGEND);
  CUbGlState::Apply();
  glShadeModel(flat ? GL_FLAT : GL_SMOOTH);
  // Window proportions, so that the legend keeps its place and size at any zoom.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, 100.0, 0.0, n + 3.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const double ox = m_dLegendLeft, oy = 2.0;
  // In flat shading a strip's triangle takes the colour of its last vertex, which is on the
  // band's upper edge, so that edge carries the band's own colour.
  CUbGlState::Begin(GL_TRIANGLE_STRIP);
  for (int i = 0; i <= n; ++i) {
    if (flat) {
      RampColor(contour, std::max(i - 1, 0), n - 1);
    } else {
      RampColor(contour, i, n);
    }
    glVertex2d(ox + 1.0, oy + i);
    glVertex2d(ox + 2.0, oy + i);
  }
  CUbGlState::End();
  ColorOf(text);
  CUbGlState::Begin(GL_LINES);
  const double outline[] = {1, 0, 2, 0, 2, 0, 2, static_cast<double>(n), 2, static_cast<double>(n),
                            1, static_cast<double>(n), 1, static_cast<double>(n), 1, 0};
  for (int k = 0; k < 16; k += 2) glVertex2d(ox + outline[k], oy + outline[k + 1]);
  for (int i = 0; i <= n; ++i) {
    glVertex2d(ox + 2.0, oy + i);
    glVertex2d(ox + 2.4, oy + i);
  }
  CUbGlState::End();
  CUbGlState::Apply();
  // Stresses in kN/mm² are hundredths: at the model's decimals every label would read 0.00. The
  // labels take as many more decimals as two significant digits of a band need.
  const double step = n > 1 ? (max - min) / n : std::max(std::fabs(min), std::fabs(max));
  if (step > 0.0 && std::isfinite(step))
    decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(step))), decimals, kLegendMaxDecimals);
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  m_dLegendRight = ox + 2.5;
  for (int i = 0; i <= n; ++i) {
    glRasterPos3d(ox + 2.5, oy + i - 0.04, 0.0);
    CUbRenderAPI::FontPutsW(CUbRenderAPI::FormatNumber(min + (max - min) * i / n, decimals), 1);
    // The raster position has moved past the label: where a second legend may start.
    GLdouble after[4] = {0, 0, 0, 0};
    glGetDoublev(GL_CURRENT_RASTER_POSITION, after);
    if (viewport[2] > 0) m_dLegendRight = std::max(m_dLegendRight, (after[0] - viewport[0]) * 100.0 / viewport[2]);
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glShadeModel(GL_SMOOTH);
  LightingDepthOn();
  // Legends are drawn only by the contour passes.
  StmMarkDrawingLayer(STM_LAYER_CONTOUR);
}

// ---------------------------------------------------------------------------------------------
// Stress flow, result nodal zones, mesh

void CStmResultPainter::DrawFlowVectors(const std::vector<SStmStressFlow>& flows, int contour, bool heads) {
  if (flows.empty()) return;
  double shortest = (flows.front().end - flows.front().start).Length(), longest = shortest;
  for (const SStmStressFlow& f : flows) {
    const double length = (f.end - f.start).Length();
    shortest = std::min(shortest, length);
    longest = std::max(longest, length);
  }
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view)) return;
  const double s = GetViewScale();
  const double smallest = view->GetLengthMinArrowHead() * s * 0.1;
  const double largest = view->GetLengthMaxArrowHead() * s * 0.1;
  for (const SStmStressFlow& f : flows) {
    const double length = (f.end - f.start).Length();
    const int level = CUbRenderAPI::GiveIndexFromValue_Lin(shortest, longest, kFlowLevels, length);
    RampColor(contour, level, kFlowLevels - 1);
    if (heads) {
      // Vectors of one length all get the smallest head rather than a division by zero.
      const double size =
          longest > shortest ? (length - shortest) / (longest - shortest) * (largest - smallest) + smallest : smallest;
      // A head's size here is its length; the framework's heads are kArrowLength long per unit.
      const double unit = size / CUbRenderAPI::kArrowLength;
      if (f.bTension) {
        CUbRenderAPI::DrawArrowHead(f.end, f.start - f.end, unit);
        CUbRenderAPI::DrawArrowHead(f.start, f.end - f.start, unit);
      } else if (length > 0.0) {
        // A push: the heads sit on the ends and point at the middle, as a stress cross shows it.
        const CVector in = (f.start - f.end) * (std::min(size, 0.5 * length) / length);
        CUbRenderAPI::DrawArrowHead(f.end + in, f.end - f.start, unit);
        CUbRenderAPI::DrawArrowHead(f.start - in, f.start - f.end, unit);
      }
    }
    CUbGlState::Begin(GL_LINES);
    Vertex(f.start);
    Vertex(f.end);
    CUbGlState::End();
  }
}

void CStmResultPainter::RenderStressFlow() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_STRESS_FLOW)) return;
  const std::vector<SStmStressFlow>& flows = model->GetStressFlow();
  if (flows.empty()) return;
  LightingDepthOff();
  CUbGlState::LineWidth(1.5f);
  DrawFlowVectors(flows, view->GetTypeContour(), view->IsShowOption(STM_SHOW_ARROW_HEADS));
  if (view->IsShowOption(STM_SHOW_LEGEND)) {
    double shortest = (flows.front().end - flows.front().start).Length(), longest = shortest;
    for (const SStmStressFlow& f : flows) {
      shortest = std::min(shortest, (f.end - f.start).Length());
      longest = std::max(longest, (f.end - f.start).Length());
    }
    // Beside the contour's legend when that one shows too: two scales in one place read as
    // neither.
    if (AnyCells(*model)) m_dLegendLeft = std::max(kLegendBesideContour, m_dLegendRight + 1.0);
    DrawLegend(view->GetTypeColor(), view->GetTypeContour(), shortest, longest, view->GetFixedPointNumber());
    m_dLegendLeft = kLegendLeft;
  }
  CUbGlState::LineWidth(1.0f);
  LightingDepthOn();
}

CVector CStmResultPainter::MeshPoint(const CDPoint& p, int plane) const {
  // A model drawn in x-y keeps its mesh in x-y too, rather than standing it up across the model.
  if (plane == STM_PLANE_XY) return CVector(p.x, p.y, 0.0);
  return plane == STM_PLANE_XZ ? CVector(p.x, 0.0, p.y) : CVector(0.0, p.x, p.y);
}

void CStmResultPainter::RenderResultNodalZone() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_STRESS_FLOW)) return;
  const SStmResultNodalZone* entry = CurrentZone(*model);
  if (!entry) return;
  const std::vector<CDPoint>& coords = model->GetMeshPlane().coords;
  const int plane = model->GetPlane();
  LightingDepthOff();
  CUbGlState::LineWidth(1.5f);
  CUbGlState::Apply();
  glShadeModel(GL_SMOOTH);
  const CVector background = view->GetTypeColor() == STM_COLOR_LIGHT ? CVector(1, 1, 1) : CVector(0, 0, 0);
  for (const SStmNodalZone& zone : entry->zones) {
    ColorOf(zone.bCompression ? CVector(1, 0, 0) : zone.bTension ? CVector(0, 0, 1) : background);
    CUbGlState::Begin(GL_POLYGON);
    for (int corner : zone.corners) {
      if (corner >= 0 && corner < static_cast<int>(coords.size()))
        Vertex(MeshPoint(coords[static_cast<size_t>(corner)], plane));
    }
    CUbGlState::End();
  }
  DrawFlowVectors(entry->flows, view->GetTypeContour(), view->IsShowOption(STM_SHOW_ARROW_HEADS));
  CUbGlState::LineWidth(1.0f);
  LightingDepthOn();
}

void CStmResultPainter::RenderMesh() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_MESH)) return;
  const bool planeStore = model->GetTypeMesh() == 0;
  const std::vector<SStmQuad>& quads = planeStore ? model->GetMeshPlane().quads : model->GetMeshSpace().quads;
  if (quads.empty()) return;
  const int plane = model->GetPlane();
  const size_t count = planeStore ? model->GetMeshPlane().coords.size() : model->GetMeshSpace().coords.size();
  auto point = [&](int i) {
    return planeStore ? MeshPoint(model->GetMeshPlane().coords[static_cast<size_t>(i)], plane)
                      : model->GetMeshSpace().coords[static_cast<size_t>(i)];
  };
  LightingDepthOff();
  CUbGlState::LineWidth(1.0f);
  ColorOf(CVector(0.7, 0.7, 0.7));
  CUbGlState::Begin(GL_LINES);
  for (const SStmQuad& q : quads) {
    for (int k = 0; k < 4; ++k) {
      const int a = q[static_cast<size_t>(k)], b = q[static_cast<size_t>((k + 1) % 4)];
      // A negative corner marks a triangle; an index past the coordinates is a broken record.
      if (a < 0 || b < 0 || static_cast<size_t>(a) >= count || static_cast<size_t>(b) >= count) continue;
      Vertex(point(a));
      Vertex(point(b));
    }
  }
  CUbGlState::End();
  LightingDepthOn();
}

// ---------------------------------------------------------------------------------------------
// Effective widths and nodal zones

void CStmResultPainter::BeginRegions() {
  LightingDepthOff();
  // Blending stays on for the outlines too: drawn opaque they come out the same, and one switch
  // a layer instead of two a region keeps the driver from drawing region by region.
  CUbGlState::Enable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  CUbRenderAPI::CreateTessObj();
}

void CStmResultPainter::EndRegions() {
  CUbRenderAPI::DeleteTessObj();
  CUbGlState::Disable(GL_BLEND);
  LightingDepthOn();
}

namespace {
// Whether the outline turns one way only and once round, so that a fan from its first corner
// covers it exactly as the tessellator would.
bool IsConvex(const std::vector<CVector>& polygon) {
  const size_t n = polygon.size();
  CVector normal;
  for (size_t i = 0; i < n; ++i) normal = normal + polygon[i].Cross(polygon[(i + 1) % n]);
  if (normal.Length() <= 0.0) return false;
  normal = normal.Unit();
  double turned = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const CVector a = polygon[(i + 1) % n] - polygon[i];
    const CVector b = polygon[(i + 2) % n] - polygon[(i + 1) % n];
    const double turn = std::atan2(a.Cross(b).Dot(normal), a.Dot(b));
    if (turn < 0.0) return false;
    turned += turn;
  }
  return std::fabs(turned - 2.0 * M_PI) < 1e-6;
}
}  // namespace

void CStmResultPainter::DrawRegion(const std::vector<CVector>& polygon, const CVector& outline, const CVector& fill) {
  if (polygon.empty()) return;
  ColorOf(outline);
  CUbGlState::Begin(GL_LINE_STRIP);
  for (const CVector& p : polygon) Vertex(p);
  Vertex(polygon.front());
  CUbGlState::End();
  // Translucent, so that the model and the other regions stay visible through it.
  ColorOf(fill, kFillAlpha);
  if (polygon.size() >= 3 && IsConvex(polygon)) {
    CUbGlState::Begin(GL_TRIANGLE_FAN);
    for (const CVector& p : polygon) Vertex(p);
    CUbGlState::End();
    return;
  }
  CVectorArray area;
  for (const CVector& p : polygon) area.Add(new CVector(p));
  CUbRenderAPI::Entity_Tess(area, 0.0);
}

void CStmResultPainter::DrawRegion(const std::vector<CDPoint>& polygon, const CVector& outline, const CVector& fill) {
  if (polygon.empty()) return;
  m_arPoints.clear();
  for (const CDPoint& p : polygon) m_arPoints.push_back(m_pManager->GetCoordPlane(p));
  DrawRegion(m_arPoints, outline, fill);
}

void CStmResultPainter::RenderEffectiveWidthMax() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_WIDTHS_DESIGNED)) return;
  DrawEffectiveWidthSetting();
}

void CStmResultPainter::DrawEffectiveWidthSetting() {
  CStmModel* model = m_pManager->GetStmModel();
  BeginRegions();
  const bool designed = model->GetStmDataConfig()->GetTypeEffectiveRegion() == 0;
  std::vector<CVector> region;
  for (const auto& [id, element] : model->GetElements()) {
    if (!element->IsEnable()) continue;
    region.clear();
    if (designed ? model->GetEffectiveRegion(id, region) : model->GetMaxEffectiveRegion(id, region))
      DrawRegion(region, kOutlineDesigned, kFillDesigned);
  }
  EndRegions();
}

namespace {
// A record's polygon of the case, or none.
const std::vector<CDPoint>* OfCase(const std::vector<std::vector<CDPoint>>& perCase, int resultCase) {
  return resultCase >= 0 && resultCase < static_cast<int>(perCase.size()) ? &perCase[static_cast<size_t>(resultCase)]
                                                                          : nullptr;
}
}  // namespace

void CStmResultPainter::RenderEffectiveWidth() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_WIDTHS)) return;
  DrawEffectiveWidthCalc();
}

void CStmResultPainter::DrawEffectiveWidthCalc() {
  CStmModel* model = m_pManager->GetStmModel();
  // The zones of the case whose forces are on screen, so that widths and forces agree.
  const int resultCase = m_pManager->GetIndexLoadConditionResult();
  BeginRegions();
  for (const auto& [id, element] : model->GetElements()) {
    const std::vector<CDPoint>* zone = OfCase(element->GetEffectiveZones(), resultCase);
    if (element->IsEnable() && zone) DrawRegion(*zone, kOutlineCalc, kFillCalc);
  }
  EndRegions();
}

void CStmResultPainter::RenderNodalZoneMax() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_NODAL_ZONES_MAX)) return;
  const int resultCase = m_pManager->GetIndexLoadConditionResult();
  BeginRegions();
  for (const auto& [id, node] : model->GetNodes()) {
    const std::vector<CDPoint>* zone = OfCase(node->GetMaxWidthZones(), resultCase);
    if (node->IsEnable() && zone) DrawRegion(*zone, kOutlineZoneMax, kFillZoneMax);
  }
  EndRegions();
}

void CStmResultPainter::RenderNodalZone() {
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(model, view) || !view->IsShowOption(STM_SHOW_NODAL_ZONES)) return;
  const int resultCase = m_pManager->GetIndexLoadConditionResult();
  BeginRegions();
  for (const auto& [id, node] : model->GetNodes()) {
    const std::vector<CDPoint>* zone = OfCase(node->GetNodalZones(), resultCase);
    if (node->IsEnable() && zone) DrawRegion(*zone, kOutlineZone, kFillZone);
  }
  EndRegions();
}
