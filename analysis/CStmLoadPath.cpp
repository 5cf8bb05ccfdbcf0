// The load path: plane-stress finite elements on a Gmsh mesh of the member, then evolutionary
// structural optimisation (ESO) with soft-killed cells, then the records the result layers draw.
#include "analysis/CStmLoadPath.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "analysis/CStmPlaneStress.h"
#include "analysis/StmLoadPathMesh.h"
#include "geometry/StmGeometry.h"
#include "geometry/StmPointInPolygon.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"

namespace {

using Point2 = std::array<double, 2>;
using Polygon2 = std::vector<Point2>;

// A removed cell keeps this share of its stiffness, so that the stiffness keeps its pattern
// (the ordering and symbolic factorisation found once serve every iteration) and stays positive
// definite however the kept cells part; a millionth of E changes no kept cell's stress visibly.
constexpr double kSoftKill = 1e-6;
// Without a size given, the longer side of the outline takes this many cells.
constexpr double kCellsAlongLongerSide = 40.0;
// A step is kept when the area left has fallen by this much since the last step kept.
constexpr double kStepArea = 0.05;
// Rounds of removal and ratio raises before giving up reaching the target.
constexpr int kMaxIterations = 2000;
// Flow vectors under this share of the largest principal stress are left out.
constexpr double kFlowShare = 0.01;
constexpr double kFlowLength = 0.9;
// A principal stress counts as tension above this share of the step's largest principal stress.
constexpr double kTensionShare = 1e-3;
// Zone discs without a radius given reach this many cell sizes.
constexpr double kZoneCells = 3.0;

double Component(const CVector& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

void AxesOf(int plane, int axes[2], CVector& normal) {
  switch (plane) {
    case STM_PLANE_XY: axes[0] = 0, axes[1] = 1, normal = CVector(0, 0, -1); break;
    case STM_PLANE_YZ: axes[0] = 1, axes[1] = 2, normal = CVector(-1, 0, 0); break;
    default: axes[0] = 0, axes[1] = 2, normal = CVector(0, -1, 0); break;
  }
}

const char* AxisName(int axis) { return axis == 0 ? "x" : axis == 1 ? "y" : "z"; }

double Cross(const Point2& a, const Point2& b, const Point2& p) {
  return (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0]);
}

bool OnOutline(const Polygon2& polygon, const Point2& p, double tolerance) {
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const Point2& a = polygon[j];
    const Point2& b = polygon[i];
    const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
    const double t = length > 0.0 ? ((p[0] - a[0]) * (b[0] - a[0]) + (p[1] - a[1]) * (b[1] - a[1])) / length : 0.0;
    const double off = length > 0.0 ? std::fabs(Cross(a, b, p)) / length : std::hypot(p[0] - a[0], p[1] - a[1]);
    if (off <= tolerance && t >= -tolerance && t <= length + tolerance) return true;
  }
  return false;
}

bool Inside(const Polygon2& polygon, const Point2& p) {
  return StmInsidePolygon(
      p[0], p[1], polygon.size(), [&](size_t i) { return polygon[i][0]; }, [&](size_t i) { return polygon[i][1]; });
}

double Area(const Polygon2& polygon) {
  double twice = 0.0;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
    twice += polygon[j][0] * polygon[i][1] - polygon[i][0] * polygon[j][1];
  return 0.5 * twice;
}

// Drops a repeated closing point and points on one spot; what is left must close an area.
Polygon2 CleanLoop(const std::vector<CVector>& points, const int axes[2]) {
  Polygon2 out;
  for (const CVector& v : points) {
    const Point2 p{Component(v, axes[0]), Component(v, axes[1])};
    if (!out.empty() && std::hypot(p[0] - out.back()[0], p[1] - out.back()[1]) <= kStmPointTolerance) continue;
    out.push_back(p);
  }
  while (out.size() > 1 &&
         std::hypot(out.front()[0] - out.back()[0], out.front()[1] - out.back()[1]) <= kStmPointTolerance)
    out.pop_back();
  return out;
}

bool CrossesItself(const Polygon2& polygon) {
  const size_t n = polygon.size();
  for (size_t i = 0; i < n; ++i) {
    const Point2& a = polygon[i];
    const Point2& b = polygon[(i + 1) % n];
    for (size_t j = i + 1; j < n; ++j) {
      if (j == i + 1 || (i == 0 && j == n - 1)) continue;
      const Point2& c = polygon[j];
      const Point2& d = polygon[(j + 1) % n];
      const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
      if (((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0) return true;
    }
  }
  return false;
}

CString Say(const CString& format, const std::string& a) {
  CString out;
  out.Format(format.c_str(), a.c_str());
  return out;
}

}  // namespace

bool CStmLoadPath::Prepare(const CStmModel& model, int loadCase) {
  *this = CStmLoadPath();
  m_eStatus = kFailed;
  m_nPlane = model.GetPlane();
  CVector normal;
  AxesOf(m_nPlane, m_nAxis, normal);
  const int across = 3 - m_nAxis[0] - m_nAxis[1];
  const auto toPlane = [this](const CVector& v) { return Point2{Component(v, m_nAxis[0]), Component(v, m_nAxis[1])}; };

  const CStmObjBoundary* outer = model.GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0);
  if (!outer || outer->GetBoundaryPos().empty()) {
    m_strError = StmText("The member has no outer outline: the load path needs the concrete's outline");
    return false;
  }
  m_dLevel = Component(outer->GetBoundaryPos().front(), across);
  m_outer = CleanLoop(outer->GetBoundaryPos(), m_nAxis);
  if (m_outer.size() < 3 || std::fabs(Area(m_outer)) <= kStmPointTolerance * kStmPointTolerance) {
    m_strError = Say(StmText("The outline %s does not close around an area"), outer->GetName().c_str());
    return false;
  }
  if (CrossesItself(m_outer)) {
    m_strError = Say(StmText("The outline %s crosses itself"), outer->GetName().c_str());
    return false;
  }
  for (const auto& [id, hole] : model.GetBoundarys(STM_BOUNDARY_INNER)) {
    if (!hole->IsEnable()) continue;
    Polygon2 loop = CleanLoop(hole->GetBoundaryPos(), m_nAxis);
    if (loop.size() < 3 || CrossesItself(loop)) {
      m_strError = Say(StmText("The opening %s does not close around an area"), hole->GetName().c_str());
      return false;
    }
    for (const Point2& p : loop) {
      if (!Inside(m_outer, p) && !OnOutline(m_outer, p, kStmPointTolerance)) {
        m_strError = Say(StmText("The opening %s reaches outside the outline"), hole->GetName().c_str());
        return false;
      }
    }
    m_holes.push_back(std::move(loop));
  }
  for (const auto& [id, area] : model.GetPropertyAreas()) {
    if (!area->IsEnable() || !(area->GetThickness() > 0.0)) continue;
    SArea a{CleanLoop(area->GetBoundaryPos(), m_nAxis), area->GetThickness()};
    if (a.polygon.size() >= 3) m_areas.push_back(std::move(a));
  }

  const SStmMaterials& materials = model.GetMaterials();
  m_dModulus = materials.dConcreteModulus;
  m_dPoisson = materials.dPoisson;
  m_dThickness = materials.dThickness;
  m_settings = materials.loadPath;
  std::string missing;
  if (!(m_dModulus > 0.0)) missing = StmText("the concrete's modulus of elasticity").c_str();
  if (!(m_dThickness > 0.0) && m_areas.empty()) {
    missing += missing.empty() ? "" : StmText(" and ").c_str();
    missing += StmText("the member's thickness").c_str();
  }
  if (!missing.empty()) {
    m_strError = Say(StmText("The load path needs %s (Properties, Model)"), missing);
    return false;
  }

  // The loads of the case: a combination sums its static cases with their factors.
  const int statics = model.GetCountLoadConditionStatic();
  std::vector<std::pair<const CStmObjLoadConditionStatic*, double>> terms;
  if (loadCase >= 0 && loadCase < statics) {
    terms.emplace_back(model.GetLoadConditionStaticIndex(loadCase), 1.0);
  } else if (loadCase >= statics && loadCase < statics + model.GetCountLoadConditionCombo()) {
    terms = model.GetComboWeights(*model.GetLoadConditionComboIndex(loadCase - statics));
  } else {
    m_strError = StmText("The model has no load case to find the load path for");
    return false;
  }
  std::map<int, size_t> pinOf;
  const auto pinFor = [&](const CStmObjNode& node) -> SPin& {
    auto [it, added] = pinOf.emplace(node.GetId(), m_pins.size());
    if (added) {
      SPin pin;
      pin.idNode = node.GetId();
      pin.name = node.GetName().c_str();
      pin.p = toPlane(node.GetCoord());
      m_pins.push_back(pin);
    }
    return m_pins[it->second];
  };
  for (const auto& [condition, weight] : terms) {
    for (const auto& [id, load] : condition->GetLoadNodes()) {
      const CStmObjNode* node = model.GetNode(load->GetIdNode());
      if (!load->IsEnable() || !node || !node->IsEnable()) continue;
      const double fu = weight * Component(load->GetLoad(), m_nAxis[0]);
      const double fv = weight * Component(load->GetLoad(), m_nAxis[1]);
      if (fu == 0.0 && fv == 0.0) continue;
      SPin& pin = pinFor(*node);
      pin.load[0] += fu;
      pin.load[1] += fv;
    }
  }
  if (std::none_of(m_pins.begin(), m_pins.end(), [](const SPin& p) { return p.load[0] != 0.0 || p.load[1] != 0.0; })) {
    m_strError = StmText("The load case has no load in the model's plane: nothing to find a path for");
    return false;
  }
  for (const auto& [id, restraint] : model.GetRestraints()) {
    const CStmObjNode* node = model.GetNode(restraint->GetIdNode());
    if (!restraint->IsEnable() || !node || !node->IsEnable()) continue;
    const SStmDof& dof = restraint->GetDof();
    const auto held = [&dof](int axis) { return (axis == 0 ? dof.Ux : axis == 1 ? dof.Uy : dof.Uz) != 0; };
    if (!held(m_nAxis[0]) && !held(m_nAxis[1])) continue;
    SPin& pin = pinFor(*node);
    pin.fixed[0] = held(m_nAxis[0]);
    pin.fixed[1] = held(m_nAxis[1]);
    // The node's axes turn by the roller angle the way the support symbol and the truss turn them.
    const CVector first(m_nAxis[0] == 0 ? 1 : 0, m_nAxis[0] == 1 ? 1 : 0, m_nAxis[0] == 2 ? 1 : 0);
    const CVector turned = GetRotatedPoint(first, CVector(), normal, GetCosSinFromDegree(restraint->GetRollerAngle()));
    pin.angle = std::atan2(Component(turned, m_nAxis[1]), Component(turned, m_nAxis[0]));
  }
  for (const auto& [id, spring] : model.GetSprings()) {
    const CStmObjNode* node = model.GetNode(spring->GetIdNode());
    if (!spring->IsEnable() || !node || !node->IsEnable()) continue;
    const double ku = std::max(0.0, Component(spring->GetU(), m_nAxis[0]));
    const double kv = std::max(0.0, Component(spring->GetU(), m_nAxis[1]));
    if (ku == 0.0 && kv == 0.0) continue;
    SPin& pin = pinFor(*node);
    pin.spring[0] = ku;
    pin.spring[1] = kv;
  }
  std::vector<const SPin*> supports;
  for (const SPin& pin : m_pins) {
    if (pin.fixed[0] || pin.fixed[1] || pin.spring[0] > 0.0 || pin.spring[1] > 0.0) supports.push_back(&pin);
  }
  if (supports.empty()) {
    m_strError = StmText("The member has no supports: the load path needs a restraint or a spring in the plane");
    return false;
  }
  for (const SPin& pin : m_pins) {
    bool inside = Inside(m_outer, pin.p) || OnOutline(m_outer, pin.p, kStmPointTolerance);
    for (const Polygon2& hole : m_holes) {
      if (Inside(hole, pin.p) && !OnOutline(hole, pin.p, kStmPointTolerance)) inside = false;
    }
    if (!inside) {
      const bool loaded = pin.load[0] != 0.0 || pin.load[1] != 0.0;
      m_strError = Say(loaded ? StmText("The load on node %s lies outside the concrete")
                              : StmText("The support of node %s lies outside the concrete"),
                       pin.name);
      return false;
    }
  }
  const std::string motion = NameMotion(supports);
  if (!motion.empty()) {
    m_strError = Say(StmText("The member can move: %s; its supports do not hold it"), motion);
    return false;
  }

  // Every node a member reaches gets a nodal zone.
  for (const auto& [id, node] : model.GetNodes()) {
    if (!node->IsEnable() || model.GetInvolvedElements(id).empty()) continue;
    SZoneNode zone;
    zone.p = toPlane(node->GetCoord());
    for (const CDPoint& q : node->GetCoordNodalZones(loadCase)) zone.polygon.push_back({q.x, q.y});
    if (zone.polygon.size() < 3) zone.polygon.clear();
    m_zoneNodes.push_back(std::move(zone));
  }
  m_strError.Empty();
  m_eStatus = kNotRun;
  return true;
}

std::string CStmLoadPath::NameMotion(const std::vector<const SPin*>& supports) const {
  if (supports.empty()) return StmText("nothing holds it").c_str();
  // Rigid motions of the plane: (a, b) and a turn theta about the supports' centre.
  Point2 centre{0.0, 0.0};
  double reach = 0.0;
  for (const SPin* s : supports)
    centre = {centre[0] + s->p[0] / supports.size(), centre[1] + s->p[1] / supports.size()};
  for (const SPin* s : supports) reach = std::max(reach, std::hypot(s->p[0] - centre[0], s->p[1] - centre[1]));
  const double scale = reach > 0.0 ? reach : 1.0;
  std::vector<std::array<double, 3>> rows;
  for (const SPin* s : supports) {
    const double du = (s->p[0] - centre[0]) / scale, dv = (s->p[1] - centre[1]) / scale;
    const double c = std::cos(s->angle), sn = std::sin(s->angle);
    const double axes[2][2] = {{c, sn}, {-sn, c}};
    for (int i = 0; i < 2; ++i) {
      if (s->fixed[i]) rows.push_back({axes[i][0], axes[i][1], -axes[i][0] * dv + axes[i][1] * du});
    }
    if (s->spring[0] > 0.0) rows.push_back({1.0, 0.0, -dv});
    if (s->spring[1] > 0.0) rows.push_back({0.0, 1.0, du});
  }
  Eigen::MatrixXd a(static_cast<Eigen::Index>(rows.size()), 3);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (int k = 0; k < 3; ++k) a(static_cast<Eigen::Index>(r), k) = rows[r][static_cast<size_t>(k)];
  }
  Eigen::JacobiSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeFullV);
  const Eigen::VectorXd sv = svd.singularValues();
  int rank = 0;
  for (Eigen::Index i = 0; i < sv.size(); ++i) rank += sv(i) > 1e-9 * std::max(1.0, sv(0)) ? 1 : 0;
  if (rank >= 3) return {};
  const Eigen::Vector3d free = svd.matrixV().col(2);
  CString text;
  if (std::fabs(free(2)) < 1e-9 * std::hypot(free(0), free(1))) {
    const double angle = std::atan2(free(1), free(0));
    const double along = std::fabs(std::cos(angle)), up = std::fabs(std::sin(angle));
    if (up < 1e-9) {
      text.Format(StmText("it slides along %s").c_str(), AxisName(m_nAxis[0]));
    } else if (along < 1e-9) {
      text.Format(StmText("it slides along %s").c_str(), AxisName(m_nAxis[1]));
    } else {
      text.Format(StmText("it slides at %.1f degrees to %s").c_str(), angle * 180.0 / std::acos(-1.0),
                  AxisName(m_nAxis[0]));
    }
    return text.c_str();
  }
  // The point that stays: where a + turn x (p - centre) vanishes.
  const Point2 pivot{centre[0] - free(1) / free(2) * scale, centre[1] + free(0) / free(2) * scale};
  for (const SPin* s : supports) {
    if (std::hypot(s->p[0] - pivot[0], s->p[1] - pivot[1]) <= 1e-6 * scale + kStmPointTolerance) {
      text.Format(StmText("it turns about node %s").c_str(), s->name.c_str());
      return text.c_str();
    }
  }
  text.Format(StmText("it turns about the point %s %g, %s %g").c_str(), AxisName(m_nAxis[0]), pivot[0],
              AxisName(m_nAxis[1]), pivot[1]);
  return text.c_str();
}

bool CStmLoadPath::IsCarried(const std::vector<char>& kept) const {
  std::vector<int> part(m_cells.size(), -1);
  std::vector<int> stack;
  int parts = 0;
  for (size_t start = 0; start < m_cells.size(); ++start) {
    if (!kept[start] || part[start] >= 0 || !m_loadedCell[start]) continue;
    // Everything joined to this loaded cell through kept cells sharing sides.
    std::vector<const SPin*> supports;
    part[start] = parts;
    stack.assign(1, static_cast<int>(start));
    while (!stack.empty()) {
      const int c = stack.back();
      stack.pop_back();
      if (m_supportCell[static_cast<size_t>(c)]) {
        for (size_t p = 0; p < m_pins.size(); ++p) {
          const SPin& pin = m_pins[p];
          if (!(pin.fixed[0] || pin.fixed[1] || pin.spring[0] > 0.0 || pin.spring[1] > 0.0)) continue;
          const auto& cell = m_cells[static_cast<size_t>(c)];
          if (std::find(cell.begin(), cell.end(), m_pinPoint[p]) != cell.end() &&
              std::find(supports.begin(), supports.end(), &pin) == supports.end())
            supports.push_back(&pin);
        }
      }
      for (int n : m_neighbours[static_cast<size_t>(c)]) {
        if (kept[static_cast<size_t>(n)] && part[static_cast<size_t>(n)] < 0) {
          part[static_cast<size_t>(n)] = parts;
          stack.push_back(n);
        }
      }
    }
    if (supports.empty() || !NameMotion(supports).empty()) return false;
    ++parts;
  }
  return true;
}

CStmLoadPath::EStatus CStmLoadPath::Solve(SProgress* progress, const std::atomic<bool>* cancel) {
  if (m_pins.empty() || m_outer.empty()) {
    if (m_strError.IsEmpty()) m_strError = StmText("The load path was not prepared");
    return m_eStatus = kFailed;
  }
  const auto cancelled = [cancel] { return cancel && cancel->load(); };
  double lo[2] = {m_outer[0][0], m_outer[0][1]}, hi[2] = {lo[0], lo[1]};
  for (const Point2& p : m_outer) {
    for (int k = 0; k < 2; ++k)
      lo[k] = std::min(lo[k], p[static_cast<size_t>(k)]), hi[k] = std::max(hi[k], p[static_cast<size_t>(k)]);
  }
  const double longer = std::max(hi[0] - lo[0], hi[1] - lo[1]);
  m_dCellSize = m_settings.dElementSize > 0.0 ? m_settings.dElementSize : longer / kCellsAlongLongerSide;

  Polygon2 pins;
  for (const SPin& pin : m_pins) pins.push_back(pin.p);
  SStmQuadMesh mesh;
  std::string why;
  if (!StmMeshRegion(m_outer, m_holes, pins, m_dCellSize, mesh, why)) {
    m_strError = Say(StmText("The mesh of the member failed: %s"), why);
    return m_eStatus = kFailed;
  }
  if (cancelled()) return m_eStatus = kCancelled;
  m_points = std::move(mesh.points);
  m_cells = std::move(mesh.cells);
  m_pinPoint = std::move(mesh.pinned);

  const size_t cells = m_cells.size();
  std::vector<double> thickness(cells, m_dThickness);
  for (size_t c = 0; c < cells; ++c) {
    Point2 m{0.0, 0.0};
    for (int k : m_cells[c])
      m = {m[0] + 0.25 * m_points[static_cast<size_t>(k)][0], m[1] + 0.25 * m_points[static_cast<size_t>(k)][1]};
    for (const SArea& area : m_areas) {
      if (Inside(area.polygon, m)) thickness[c] = area.thickness;
    }
    if (!(thickness[c] > 0.0)) {
      m_strError = StmText("Part of the member has no thickness: give the model's thickness (Properties, Model)");
      return m_eStatus = kFailed;
    }
  }
  CStmPlaneStress fe;
  fe.SetMesh(m_points, m_cells);
  fe.SetMaterial(m_dModulus, m_dPoisson, thickness);
  m_loadedCell.assign(cells, 0);
  m_supportCell.assign(cells, 0);
  std::vector<std::vector<int>> cellsOfPoint(m_points.size());
  for (size_t c = 0; c < cells; ++c) {
    for (int k : m_cells[c]) cellsOfPoint[static_cast<size_t>(k)].push_back(static_cast<int>(c));
  }
  for (size_t p = 0; p < m_pins.size(); ++p) {
    const SPin& pin = m_pins[p];
    const int point = m_pinPoint[p];
    const bool supported = pin.fixed[0] || pin.fixed[1] || pin.spring[0] > 0.0 || pin.spring[1] > 0.0;
    if (pin.fixed[0] || pin.fixed[1]) fe.SetSupport(point, pin.fixed[0], pin.fixed[1], pin.angle);
    if (pin.spring[0] > 0.0 || pin.spring[1] > 0.0) fe.SetSpring(point, pin.spring[0], pin.spring[1]);
    fe.AddLoad(point, pin.load[0], pin.load[1]);
    for (int c : cellsOfPoint[static_cast<size_t>(point)]) {
      if (pin.load[0] != 0.0 || pin.load[1] != 0.0) m_loadedCell[static_cast<size_t>(c)] = 1;
      if (supported) m_supportCell[static_cast<size_t>(c)] = 1;
    }
  }
  // Cells sharing a side: the ways a force passes from cell to cell.
  m_neighbours.assign(cells, {});
  std::map<std::pair<int, int>, int> sides;
  for (size_t c = 0; c < cells; ++c) {
    for (size_t k = 0; k < 4; ++k) {
      const int a = m_cells[c][k], b = m_cells[c][(k + 1) % 4];
      const auto key = std::make_pair(std::min(a, b), std::max(a, b));
      const auto [it, added] = sides.emplace(key, static_cast<int>(c));
      if (!added) {
        m_neighbours[c].push_back(it->second);
        m_neighbours[static_cast<size_t>(it->second)].push_back(static_cast<int>(c));
      }
    }
  }
  if (!fe.Prepare()) {
    m_strError = StmText("The mesh of the member failed: Gmsh gave a folded cell");
    return m_eStatus = kFailed;
  }

  std::vector<char> kept(cells, 1);
  std::vector<double> area(cells);
  double total = 0.0;
  for (size_t c = 0; c < cells; ++c) total += area[c] = fe.GetCellArea(static_cast<int>(c));
  double left = total;
  double ratio = m_settings.dRejectionRatio;
  const double target = std::clamp(m_settings.dTargetFraction, 0.0, 1.0) * total;
  std::vector<std::array<double, 3>> stress(cells);
  std::vector<double> vm(cells);
  double lastKeptArea = 2.0 * total;
  const auto record = [&] {
    SStep step;
    for (size_t c = 0; c < cells; ++c) {
      if (!kept[c]) continue;
      step.cells.push_back(static_cast<int>(c));
      step.values.push_back(vm[c]);
    }
    m_steps.push_back(std::move(step));
    lastKeptArea = left;
  };
  // changed: the kept cells differ from those of the last step looked at; unsolved: from the
  // last solve.
  bool changed = true, unsolved = true;
  double largest = 0.0;
  const auto solve = [&] {
    if (!fe.Solve()) return false;
    ++m_nSolves;
    unsolved = false;
    largest = 0.0;
    for (size_t c = 0; c < cells; ++c) {
      if (!kept[c]) continue;
      stress[c] = fe.GetCellStress(static_cast<int>(c));
      vm[c] = CStmPlaneStress::VonMises(stress[c]);
      largest = std::max(largest, vm[c]);
    }
    return true;
  };
  const CString failed = StmText("The stiffness of the member could not be factorised");
  for (m_nIterations = 0; m_nIterations < kMaxIterations; ++m_nIterations) {
    if (cancelled()) return m_eStatus = kCancelled;
    if (unsolved && !solve()) {
      m_strError = failed;
      return m_eStatus = kFailed;
    }
    if (changed && (m_steps.empty() || lastKeptArea - left >= kStepArea * total)) record();
    m_dAreaLeft = left / total;
    if (progress) {
      progress->nIteration = m_nIterations;
      progress->dAreaLeft = m_dAreaLeft;
      progress->dRatio = ratio;
    }
    if (left <= target * (1.0 + 1e-12) || ratio >= 1.0) break;
    // The cells under the ratio, weakest first, as many as the target leaves room for.
    std::vector<int> weak;
    for (size_t c = 0; c < cells; ++c) {
      if (kept[c] && !m_loadedCell[c] && !m_supportCell[c] && vm[c] < ratio * largest)
        weak.push_back(static_cast<int>(c));
    }
    std::sort(weak.begin(), weak.end(),
              [&vm](int a, int b) { return vm[static_cast<size_t>(a)] < vm[static_cast<size_t>(b)]; });
    double removed = 0.0;
    size_t count = 0;
    while (count < weak.size() && left - removed - area[static_cast<size_t>(weak[count])] >= target * (1.0 - 1e-12)) {
      removed += area[static_cast<size_t>(weak[count])];
      ++count;
    }
    if (count == 0) {
      // A steady state: nothing more goes at this ratio.
      if (!weak.empty()) break;  // the next cell would pass the target
      ratio += m_settings.dEvolutionRate;
      changed = false;
      continue;
    }
    for (size_t i = 0; i < count; ++i) kept[static_cast<size_t>(weak[i])] = 0;
    if (!IsCarried(kept)) {
      for (size_t i = 0; i < count; ++i) kept[static_cast<size_t>(weak[i])] = 1;
      m_strNote.Format(StmText("The removal stopped at %.0f%% of the area: taking more away would leave the load "
                               "without a path to the supports")
                           .c_str(),
                       100.0 * left / total);
      break;
    }
    for (size_t i = 0; i < count; ++i) fe.SetCellFactor(weak[i], kSoftKill);
    left -= removed;
    changed = unsolved = true;
  }
  if (unsolved && !solve()) {
    m_strError = failed;
    return m_eStatus = kFailed;
  }
  if (m_nIterations >= kMaxIterations && m_strNote.IsEmpty()) {
    m_strNote.Format(StmText("The removal stopped after %d rounds at %.0f%% of the area").c_str(), kMaxIterations,
                     100.0 * left / total);
  } else if (ratio >= 1.0 && left > target * (1.0 + 1e-12) && m_strNote.IsEmpty()) {
    m_strNote.Format(StmText("The removal stopped at %.0f%% of the area: every cell left carries the largest stress")
                         .c_str(),
                     100.0 * left / total);
  }
  // The last state is always a step, with the stresses it was solved with.
  if (m_steps.empty() || m_steps.back().cells.size() != static_cast<size_t>(std::count(kept.begin(), kept.end(), 1)))
    record();
  m_dAreaLeft = left / total;
  BuildResults(stress);
  return m_eStatus = kSolved;
}

void CStmLoadPath::BuildResults(const std::vector<std::array<double, 3>>& stresses) {
  m_flow.clear();
  m_zones = SStmResultNodalZone();
  if (m_steps.empty()) return;
  const SStep& last = m_steps.back();
  const int across = 3 - m_nAxis[0] - m_nAxis[1];
  const auto toModel = [&](double u, double v) {
    double xyz[3] = {0.0, 0.0, 0.0};
    xyz[m_nAxis[0]] = u;
    xyz[m_nAxis[1]] = v;
    xyz[across] = m_dLevel;
    return CVector(xyz[0], xyz[1], xyz[2]);
  };
  double largest = 0.0;
  for (int c : last.cells) {
    double s1, s2, angle;
    CStmPlaneStress::Principal(stresses[static_cast<size_t>(c)], s1, s2, angle);
    largest = std::max({largest, std::fabs(s1), std::fabs(s2)});
  }
  std::vector<std::vector<SStmStressFlow>> flowOf(m_cells.size());
  for (int c : last.cells) {
    const auto& cell = m_cells[static_cast<size_t>(c)];
    Point2 m{0.0, 0.0};
    double twice = 0.0;
    for (size_t k = 0; k < 4; ++k) {
      const Point2& a = m_points[static_cast<size_t>(cell[k])];
      const Point2& b = m_points[static_cast<size_t>(cell[(k + 1) % 4])];
      m = {m[0] + 0.25 * a[0], m[1] + 0.25 * a[1]};
      twice += a[0] * b[1] - b[0] * a[1];
    }
    const double size = std::sqrt(std::fabs(0.5 * twice));
    double s[2], angle;
    CStmPlaneStress::Principal(stresses[static_cast<size_t>(c)], s[0], s[1], angle);
    for (int i = 0; i < 2; ++i) {
      if (!(largest > 0.0) || std::fabs(s[i]) < kFlowShare * largest) continue;
      const double a = angle + (i == 0 ? 0.0 : 0.5 * std::acos(-1.0));
      const double half = 0.5 * kFlowLength * size * std::fabs(s[i]) / largest;
      const double du = half * std::cos(a), dv = half * std::sin(a);
      flowOf[static_cast<size_t>(c)].push_back(
          {toModel(m[0] - du, m[1] - dv), toModel(m[0] + du, m[1] + dv), s[i] > 0.0 ? 1 : 0});
    }
    m_flow.insert(m_flow.end(), flowOf[static_cast<size_t>(c)].begin(), flowOf[static_cast<size_t>(c)].end());
  }
  const double radius = m_settings.dZoneRadius > 0.0 ? m_settings.dZoneRadius : kZoneCells * m_dCellSize;
  std::vector<char> taken(m_cells.size(), 0);
  for (const SZoneNode& node : m_zoneNodes) {
    for (int c : last.cells) {
      const auto& cell = m_cells[static_cast<size_t>(c)];
      Point2 m{0.0, 0.0};
      for (int k : cell)
        m = {m[0] + 0.25 * m_points[static_cast<size_t>(k)][0], m[1] + 0.25 * m_points[static_cast<size_t>(k)][1]};
      const bool in = node.polygon.empty() ? std::hypot(m[0] - node.p[0], m[1] - node.p[1]) <= radius
                                           : Inside(node.polygon, m);
      // Zones of nodes close together share cells; each cell is drawn once.
      if (!in || taken[static_cast<size_t>(c)]) continue;
      taken[static_cast<size_t>(c)] = 1;
      double s1, s2, angle;
      CStmPlaneStress::Principal(stresses[static_cast<size_t>(c)], s1, s2, angle);
      SStmNodalZone zone;
      zone.corners.assign(cell.begin(), cell.end());
      const bool tension = s1 > kTensionShare * largest;
      zone.bTension = tension ? 1 : 0;
      zone.bCompression = tension ? 0 : 1;
      m_zones.zones.push_back(std::move(zone));
      m_zones.flows.insert(m_zones.flows.end(), flowOf[static_cast<size_t>(c)].begin(),
                           flowOf[static_cast<size_t>(c)].end());
    }
  }
}

void CStmLoadPath::Apply(CStmModel& model) const {
  if (m_eStatus != kSolved) return;
  std::vector<SStmEsoStep> steps;
  const int across = 3 - m_nAxis[0] - m_nAxis[1];
  const auto toModel = [&](const Point2& p) {
    double xyz[3] = {0.0, 0.0, 0.0};
    xyz[m_nAxis[0]] = p[0];
    xyz[m_nAxis[1]] = p[1];
    xyz[across] = m_dLevel;
    return CVector(xyz[0], xyz[1], xyz[2]);
  };
  std::vector<CVector> points;
  for (const Point2& p : m_points) points.push_back(toModel(p));
  for (const SStep& s : m_steps) {
    SStmEsoStep step;
    step.cells.reserve(s.cells.size());
    for (size_t i = 0; i < s.cells.size(); ++i) {
      SStmEsoCell cell;
      const auto& quad = m_cells[static_cast<size_t>(s.cells[i])];
      for (size_t k = 0; k < 4; ++k) cell.corners[k] = points[static_cast<size_t>(quad[k])];
      cell.dValue = s.values[i];
      step.cells.push_back(cell);
    }
    steps.push_back(std::move(step));
  }
  SStmMeshPlane plane;
  SStmMeshSpace space;
  for (size_t i = 0; i < m_points.size(); ++i) {
    plane.coords.emplace_back(m_points[i][0], m_points[i][1]);
    space.coords.push_back(points[i]);
  }
  for (const auto& q : m_cells) {
    plane.quads.push_back({q[0], q[1], q[2], q[3]});
    space.quads.push_back({q[0], q[1], q[2], q[3]});
  }
  const int count = static_cast<int>(steps.size());
  model.SetEsoSteps(std::move(steps));
  model.SetCurrentStepEso(count - 1);
  model.SetStressFlow(m_flow);
  model.SetMeshPlane(std::move(plane));
  model.SetMeshSpace(std::move(space));
  // The plane store is drawn as (x, z) or (y, z): an x-y model shows its mesh from the space store.
  model.SetTypeMesh(m_nPlane == STM_PLANE_XY ? 1 : 0);
  model.SetResultNodalZones({m_zones});
  model.SetCurrentNodalZone(0);
  model.SetLock(1);
}

CStmLoadPath::EStatus CStmLoadPath::Run(CStmModel& model, int loadCase) {
  if (!Prepare(model, loadCase)) return m_eStatus;
  if (Solve() == kSolved) Apply(model);
  return m_eStatus;
}
