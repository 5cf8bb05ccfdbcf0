// Reading a member's outline from DXF through dxflib: entities are gathered as point lists,
// chained into closed loops, sorted into the outer outline and its openings, and checked before
// anything reaches the model.
#include "host/model/StmDxfImport.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "geometry/StmPointInPolygon.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmTextN.h"

namespace {

constexpr double kPi = 3.141592653589793;
// Arcs become chords whose sagitta stays within this share of the radius: areas then come out
// within 0.03 % of the true ones.
constexpr double kSagittaRatio = 2e-4;
// Ends closer than this (in model units) join; the same allowance as chains of outline elements.
constexpr double kJoinTolerance = 1e-3;

using Points = std::vector<CDPoint>;

struct SPiece {
  Points points;
  std::string layer;
  bool closed = false;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The unit of an INSUNITS code; empty for unitless (0), "?" for one we do not take.
std::string InsUnit(int code) {
  switch (code) {
    case 0: return "";
    case 1: return "in";
    case 2: return "ft";
    case 4: return "mm";
    case 5: return "cm";
    case 6: return "m";
    case 14: return "dm";
    default: return "?";
  }
}

int Segments(double sweep) {
  const double step = 2.0 * std::acos(1.0 - kSagittaRatio);
  return std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / step)));
}

// Appends the arc's points after its start (the start itself is the caller's).
void AppendArc(Points& out, const CDPoint& c, double r, double start, double sweep) {
  const int n = Segments(sweep);
  for (int i = 1; i <= n; ++i) {
    const double a = start + sweep * i / n;
    out.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
}

// The arc of a polyline segment from a to b with the given bulge, without a.
void AppendBulge(Points& out, const CDPoint& a, const CDPoint& b, double bulge) {
  const CDPoint d = b - a;
  const double chord = std::hypot(d.x, d.y);
  if (std::fabs(bulge) < 1e-12 || chord == 0.0) {
    out.push_back(b);
    return;
  }
  const double sweep = 4.0 * std::atan(bulge);
  const double offset = chord / 2.0 * (1.0 - bulge * bulge) / (2.0 * bulge);
  const CDPoint centre{(a.x + b.x) / 2.0 - d.y / chord * offset, (a.y + b.y) / 2.0 + d.x / chord * offset};
  const double r = std::hypot(a.x - centre.x, a.y - centre.y);
  AppendArc(out, centre, r, std::atan2(a.y - centre.y, a.x - centre.x), sweep);
  out.back() = b;
}

// Collects the model-space entities as point lists, in drawing units.
class CCollector : public DL_CreationAdapter {
public:
  std::vector<SPiece> pieces;
  std::set<std::string> layers;
  int insUnits = 0;
  int ignored = 0;
  // Model-space entities per layer, and those of them that give nothing.
  std::map<std::string, int> entities, others;

  void setVariableInt(const std::string& key, int value, int) override {
    if (key == "$INSUNITS") insUnits = value;
  }
  void addLayer(const DL_LayerData& data) override { layers.insert(data.name); }
  void addBlock(const DL_BlockData&) override { Flush(); m_bInBlock = true; }
  void endBlock() override { m_bInBlock = false; }
  void addLine(const DL_LineData& d) override {
    if (!Take()) return;
    Add({{d.x1, d.y1}, {d.x2, d.y2}}, false);
  }
  void addArc(const DL_ArcData& d) override {
    if (!Take()) return;
    double start = d.angle1 * kPi / 180.0;
    double sweep = (d.angle2 - d.angle1) * kPi / 180.0;
    while (sweep <= 0.0) sweep += 2.0 * kPi;
    // Seen from behind, the arc runs the other way round.
    if (Mirrored()) {
      start = kPi - start;
      sweep = -sweep;
    }
    const CDPoint c{Mirrored() ? -d.cx : d.cx, d.cy};
    Points points{{c.x + d.radius * std::cos(start), c.y + d.radius * std::sin(start)}};
    AppendArc(points, c, d.radius, start, sweep);
    Add(std::move(points), false);
  }
  void addCircle(const DL_CircleData& d) override {
    if (!Take()) return;
    Points points;
    AppendArc(points, {Mirrored() ? -d.cx : d.cx, d.cy}, d.radius, 0.0, 2.0 * kPi);
    Add(std::move(points), true);
  }
  void addPolyline(const DL_PolylineData& d) override {
    if (!Take()) return;
    // Meshes and polyface meshes are no outlines.
    if (d.flags & (16 | 64)) {
      ++ignored;
      ++others[Layer()];
      return;
    }
    m_pPolyline = std::make_unique<SPiece>();
    m_pPolyline->layer = Layer();
    m_pPolyline->closed = (d.flags & 1) != 0;
    m_bPolylineMirrored = Mirrored();
  }
  void addVertex(const DL_VertexData& d) override {
    if (!m_pPolyline) return;
    if (m_bPolylineMirrored) m_vertices.push_back({-d.x, d.y, -d.bulge});
    else m_vertices.push_back({d.x, d.y, d.bulge});
  }
  void endEntity() override { Flush(); }
  void addText(const DL_TextData&) override { Other(); }
  void addMText(const DL_MTextData&) override { Other(); }
  void addInsert(const DL_InsertData&) override { Other(); }
  void addPoint(const DL_PointData&) override { Other(); }
  void addEllipse(const DL_EllipseData&) override { Other(); }
  void addSpline(const DL_SplineData&) override { Other(); }
  void addHatch(const DL_HatchData&) override { Other(); }
  void addSolid(const DL_SolidData&) override { Other(); }

  // The polyline still open when the file ends.
  void Flush() {
    if (!m_pPolyline) return;
    SPiece piece = std::move(*m_pPolyline);
    m_pPolyline.reset();
    const size_t n = m_vertices.size();
    if (n >= 2) {
      piece.points.push_back({m_vertices[0].x, m_vertices[0].y});
      const size_t last = piece.closed ? n : n - 1;
      for (size_t i = 0; i < last; ++i) {
        const SVertex& a = m_vertices[i];
        const SVertex& b = m_vertices[(i + 1) % n];
        AppendBulge(piece.points, {a.x, a.y}, {b.x, b.y}, a.bulge);
      }
      if (piece.closed) piece.points.pop_back();
      pieces.push_back(std::move(piece));
    } else {
      ++ignored;
    }
    m_vertices.clear();
  }

private:
  struct SVertex {
    double x, y, bulge;
  };
  std::unique_ptr<SPiece> m_pPolyline;
  std::vector<SVertex> m_vertices;
  bool m_bInBlock = false;
  bool m_bPolylineMirrored = false;

  // Arcs, circles and polylines lie in their own coordinate system; one whose normal points down
  // the z axis (as a drawing mirrored in CAD leaves them) has its x turned round.
  bool Mirrored() { return getExtrusion()->getDirection()[2] < 0.0; }

  std::string Layer() { return getAttributes().getLayer(); }
  // A new entity ends any polyline whose end marker the file left out.
  bool Take() {
    Flush();
    if (m_bInBlock) return false;
    layers.insert(Layer());
    ++entities[Layer()];
    return true;
  }
  void Other() {
    Flush();
    if (m_bInBlock) return;
    ++ignored;
    ++entities[Layer()];
    ++others[Layer()];
  }
  void Add(Points points, bool closed) {
    SPiece piece;
    piece.points = std::move(points);
    piece.layer = Layer();
    piece.closed = closed;
    pieces.push_back(std::move(piece));
  }
};

// A DXF in text form begins with group code 0 and SECTION, after any 999 comments.
bool LooksLikeDxf(const std::string& path) {
  std::ifstream in(path);
  std::string code, value;
  auto trim = [](std::string& s) {
    s.erase(0, s.find_first_not_of(" \t\r\n"));
    s.erase(s.find_last_not_of(" \t\r\n") + 1);
  };
  for (int guard = 0; guard < 64 && std::getline(in, code) && std::getline(in, value); ++guard) {
    trim(code);
    trim(value);
    if (code == "999") continue;
    return code == "0" && value == "SECTION";
  }
  return false;
}

double Distance(const CDPoint& a, const CDPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

double SignedArea(const Points& p) {
  double s = 0.0;
  for (size_t i = 0, n = p.size(); i < n; ++i) s += p[i].x * p[(i + 1) % n].y - p[(i + 1) % n].x * p[i].y;
  return s / 2.0;
}

// Drops points within tol of the one before, and a last point that repeats the first.
Points Clean(const Points& in, double tol) {
  Points out;
  for (const CDPoint& p : in)
    if (out.empty() || Distance(out.back(), p) > tol) out.push_back(p);
  while (out.size() > 1 && Distance(out.front(), out.back()) <= tol) out.pop_back();
  return out;
}

// Joins open pieces end to end into closed loops; what does not close is left in open.
void Chain(std::vector<Points> open, double tol, std::vector<Points>& loops, std::vector<Points>& rest) {
  std::vector<bool> used(open.size(), false);
  for (size_t i = 0; i < open.size(); ++i) {
    if (used[i]) continue;
    used[i] = true;
    Points chain = open[i];
    bool grown = true;
    while (grown && Distance(chain.front(), chain.back()) > tol) {
      grown = false;
      for (size_t j = 0; j < open.size(); ++j) {
        if (used[j]) continue;
        const Points& next = open[j];
        if (Distance(chain.back(), next.front()) <= tol) {
          chain.insert(chain.end(), next.begin() + 1, next.end());
        } else if (Distance(chain.back(), next.back()) <= tol) {
          chain.insert(chain.end(), next.rbegin() + 1, next.rend());
        } else {
          continue;
        }
        used[j] = grown = true;
        break;
      }
    }
    if (chain.size() > 3 && Distance(chain.front(), chain.back()) <= tol)
      loops.push_back(std::move(chain));
    else
      rest.push_back(std::move(chain));
  }
}

double Cross(const CDPoint& o, const CDPoint& a, const CDPoint& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Segments a-b and c-d meet (touching counts) beyond the tolerance tol of a length.
bool SegmentsMeet(const CDPoint& a, const CDPoint& b, const CDPoint& c, const CDPoint& d, double tol, CDPoint& x) {
  const double d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
  const double lab = Distance(a, b), lcd = Distance(c, d);
  const double t1 = tol * lcd, t2 = tol * lab;
  if (((d1 > t1 && d2 < -t1) || (d1 < -t1 && d2 > t1)) && ((d3 > t2 && d4 < -t2) || (d3 < -t2 && d4 > t2))) {
    const double s = d1 / (d1 - d2);
    x = a + (b - a) * s;
    return true;
  }
  // An end lying on the other segment.
  auto onSegment = [tol](const CDPoint& p, const CDPoint& s, const CDPoint& e) {
    const double len = Distance(s, e);
    if (len == 0.0) return Distance(p, s) <= tol;
    const double t = ((p.x - s.x) * (e.x - s.x) + (p.y - s.y) * (e.y - s.y)) / (len * len);
    return t >= 0.0 && t <= 1.0 && std::fabs(Cross(s, e, p)) / len <= tol;
  };
  for (const auto& [p, s, e] : {std::tuple{a, c, d}, std::tuple{b, c, d}, std::tuple{c, a, b}, std::tuple{d, a, b}})
    if (onSegment(p, s, e)) {
      x = p;
      return true;
    }
  return false;
}

struct SBox {
  double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
  void Add(const CDPoint& p) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  bool Meets(const SBox& o, double tol) const {
    return x0 <= o.x1 + tol && o.x0 <= x1 + tol && y0 <= o.y1 + tol && o.y0 <= y1 + tol;
  }
};

SBox BoxOf(const Points& p, size_t i, size_t j) {
  SBox box;
  box.Add(p[i]);
  box.Add(p[j]);
  return box;
}

// Where two loops meet, or a loop meets itself between edges that are not neighbours.
bool FindCrossing(const Points& p, const Points& q, bool same, double tol, CDPoint& x) {
  const size_t n = p.size(), m = q.size();
  for (size_t i = 0; i < n; ++i) {
    const SBox bi = BoxOf(p, i, (i + 1) % n);
    for (size_t j = same ? i + 1 : 0; j < m; ++j) {
      if (same && (j == i + 1 || (i == 0 && j == n - 1))) continue;
      if (!bi.Meets(BoxOf(q, j, (j + 1) % m), tol)) continue;
      if (SegmentsMeet(p[i], p[(i + 1) % n], q[j], q[(j + 1) % m], tol, x)) return true;
    }
  }
  return false;
}

bool Inside(const CDPoint& pt, const Points& poly) {
  return StmInsidePolygon(
      pt.x, pt.y, poly.size(), [&](size_t i) { return poly[i].x; }, [&](size_t i) { return poly[i].y; });
}

std::string Point(const CDPoint& p) {
  char text[96];
  std::snprintf(text, sizeof text, "(%g, %g)", p.x, p.y);
  return text;
}

}  // namespace

bool StmReadDxf(const std::string& path, const SStmDxfOptions& options, SStmDxfDrawing& drawing,
                std::string& error) {
  auto fail = [&](const CString& what) {
    error = path + ": " + what.c_str();
    return false;
  };
  CString text;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return fail(StmText("cannot be read"));
  // A device or a pipe would be read for ever.
  if (!std::filesystem::is_regular_file(path, ec)) return fail(StmText("not a regular file"));
  if (!std::ifstream(path)) return fail(StmText("cannot be read"));
  if (!LooksLikeDxf(path)) return fail(StmText("not a DXF drawing (a text DXF begins with a SECTION)"));
  CCollector collector;
  DL_Dxf dxf;
  if (!dxf.in(path, &collector)) return fail(StmText("cannot be read"));
  collector.Flush();

  // Units: the caller's first, then the file's; a unitless drawing is taken in the model's unit.
  std::string unit = options.unit;
  if (unit.empty()) {
    unit = InsUnit(collector.insUnits);
    if (unit == "?") {
      text.Format(StmText("unknown unit (INSUNITS %d); give the unit").c_str(), collector.insUnits);
      return fail(text);
    }
    if (unit.empty()) unit = options.modelUnit;
  }
  const double from = StmDxfMillimetres(unit), to = StmDxfMillimetres(options.modelUnit);
  if (from == 0.0 || to == 0.0) {
    text.Format(StmText("unknown unit \"%s\" (mm, cm, dm, m, in or ft)").c_str(), (from == 0.0 ? unit : options.modelUnit).c_str());
    return fail(text);
  }
  const double scale = from / to;

  SStmDxfDrawing result;
  result.unit = unit;
  result.scale = scale;
  result.layers = collector.layers;
  result.ignored = collector.ignored;
  const std::string guide = Lower(options.guideLayer);
  // A drawing this program wrote (its layers "outline" and "truss" beside each other) keeps the
  // concrete on "outline": the truss, zones and symbols on its other layers are no outlines.
  // Other drawings name their layers as their makers please, openings often on a layer of their own.
  const auto onOutline = [](const SPiece& piece) { return Lower(piece.layer) == "outline"; };
  const bool outlineLayer = collector.layers.count("outline") != 0 && collector.layers.count("truss") != 0;
  for (const auto& [layer, n] : collector.entities) result.uses[layer].entities = n;
  for (const auto& [layer, n] : collector.others) result.uses[layer].ignored += n;
  // Outlines are chained from the pieces' own points: a point tells which layer an outline came from.
  std::map<std::pair<double, double>, std::string> layerAt;
  const auto layerOf = [&](const Points& points) {
    for (const CDPoint& p : points) {
      const auto it = layerAt.find({p.x, p.y});
      if (it != layerAt.end()) return it->second;
    }
    return std::string();
  };
  std::vector<Points> loops, open;
  for (SPiece& piece : collector.pieces) {
    const bool guideline = !guide.empty() && !piece.closed && Lower(piece.layer).find(guide) != std::string::npos;
    if (outlineLayer && !guideline && !onOutline(piece)) {
      ++result.ignored;
      ++result.uses[piece.layer].ignored;
      continue;
    }
    for (CDPoint& p : piece.points) p = p * scale;
    if (!guideline) {
      for (const CDPoint& p : piece.points) layerAt.emplace(std::make_pair(p.x, p.y), piece.layer);
    }
    if (guideline) {
      // Each straight run of a guideline layer's open line gives one guideline when it is level
      // or upright; the model keeps no slanted ones.
      for (size_t i = 0; i + 1 < piece.points.size(); ++i) {
        const CDPoint d = piece.points[i + 1] - piece.points[i];
        SStmDxfDrawing::SLayerUse& use = result.uses[piece.layer];
        if (std::fabs(d.x) <= kJoinTolerance && std::fabs(d.y) > kJoinTolerance) {
          result.guideU.push_back(piece.points[i].x);
          ++use.guidelines;
        } else if (std::fabs(d.y) <= kJoinTolerance && std::fabs(d.x) > kJoinTolerance) {
          result.guideV.push_back(piece.points[i].y);
          ++use.guidelines;
        } else {
          ++result.ignored;
          ++use.ignored;
        }
      }
      continue;
    }
    (piece.closed ? loops : open).push_back(std::move(piece.points));
  }
  std::vector<Points> rest;
  Chain(std::move(open), kJoinTolerance, loops, rest);
  result.ignored += static_cast<int>(rest.size());
  for (const Points& line : rest) ++result.uses[layerOf(line)].ignored;

  std::vector<Points> outlines;
  for (const Points& loop : loops) {
    Points clean = Clean(loop, kJoinTolerance);
    if (clean.size() >= 3 && std::fabs(SignedArea(clean)) > kJoinTolerance * kJoinTolerance) outlines.push_back(clean);
  }
  if (outlines.empty()) {
    if (rest.empty()) return fail(StmText("no closed outline"));
    text.Format(StmText("no closed outline: the lines leave a gap at %s").c_str(),
                Point(rest.front().back() * (1.0 / scale)).c_str());
    return fail(text);
  }
  for (Points& o : outlines)
    if (SignedArea(o) < 0.0) std::reverse(o.begin(), o.end());
  std::sort(outlines.begin(), outlines.end(),
            [](const Points& a, const Points& b) { return SignedArea(a) > SignedArea(b); });

  std::vector<SBox> boxes;
  for (const Points& o : outlines) {
    SBox box;
    for (const CDPoint& p : o) box.Add(p);
    boxes.push_back(box);
  }
  CDPoint at;
  for (size_t i = 0; i < outlines.size(); ++i) {
    for (size_t j = i; j < outlines.size(); ++j) {
      if (!boxes[i].Meets(boxes[j], kJoinTolerance)) continue;
      if (!FindCrossing(outlines[i], outlines[j], i == j, kJoinTolerance, at)) continue;
      text.Format((i == j ? StmText("an outline crosses itself at %s") : StmText("outlines cross or touch at %s")).c_str(),
                  Point(at * (1.0 / scale)).c_str());
      return fail(text);
    }
  }
  for (size_t i = 1; i < outlines.size(); ++i) {
    const CDPoint& probe = outlines[i].front();
    bool inOpening = false;
    for (size_t j = 1; j < outlines.size(); ++j) inOpening = inOpening || (j != i && Inside(probe, outlines[j]));
    if (Inside(probe, outlines[0]) && !inOpening) continue;
    text.Format((inOpening ? StmText("a closed outline near %s lies inside an opening")
                           : StmText("a closed outline near %s lies outside the largest one")).c_str(),
                Point(probe * (1.0 / scale)).c_str());
    return fail(text);
  }
  ++result.uses[layerOf(outlines[0])].outer;
  for (size_t i = 1; i < outlines.size(); ++i) ++result.uses[layerOf(outlines[i])].openings;
  result.outer = std::move(outlines[0]);
  result.openings.assign(std::make_move_iterator(outlines.begin() + 1), std::make_move_iterator(outlines.end()));
  drawing = std::move(result);
  return true;
}

std::vector<CVector> StmDxfModelPolygon(int plane, const std::vector<CDPoint>& points) {
  std::vector<CVector> out;
  for (const CDPoint& p : points) {
    if (plane == STM_PLANE_XY) out.emplace_back(p.x, p.y, 0.0);
    else if (plane == STM_PLANE_YZ) out.emplace_back(0.0, p.x, p.y);
    else out.emplace_back(p.x, 0.0, p.y);
  }
  return out;
}

bool StmApplyDxfDrawing(const SStmDxfDrawing& drawing, CStmModel& model, std::string& error) {
  if (model.GetCountBoundary(STM_BOUNDARY_OUTER, 1) > 0) {
    error = StmText("the model has an outer outline already; delete it before importing one").c_str();
    return false;
  }
  const int plane = model.GetPlane();
  model.SetBoundary(STM_BOUNDARY_OUTER, StmDxfModelPolygon(plane, drawing.outer));
  for (const auto& opening : drawing.openings) model.SetBoundary(STM_BOUNDARY_INNER, StmDxfModelPolygon(plane, opening));
  StmAddDxfGuidelines(drawing, model);
  model.SetStmModifiedFlag(1);
  return true;
}

void StmAddDxfGuidelines(const SStmDxfDrawing& drawing, CStmModel& model) {
  // Positions are kept in thousandths, u along the plane's first axis and v along z.
  CStmDataView& view = *model.GetStmDataView();
  auto add = [&view](int axis, const std::vector<double>& positions) {
    if (positions.empty()) return;
    std::vector<double> list = view.GetGuideline(axis);
    for (double p : positions)
      if (std::find(list.begin(), list.end(), p * 1000.0) == list.end()) list.push_back(p * 1000.0);
    view.SetGuideline(axis, std::move(list));
  };
  add(model.GetPlane() == STM_PLANE_YZ ? 1 : 0, drawing.guideU);
  add(2, drawing.guideV);
}

std::string StmDescribeDxfDrawing(const SStmDxfDrawing& drawing) {
  CString text;
  text.Format(StmText("an outer outline of %s, %s and %s (the drawing in %s)").c_str(),
              StmTextCount("%d point", "%d points", drawing.outer.size()).c_str(),
              StmTextCount("%d opening", "%d openings", drawing.openings.size()).c_str(),
              StmTextCount("%d guideline", "%d guidelines", drawing.guideU.size() + drawing.guideV.size()).c_str(),
              drawing.unit.c_str());
  return text.c_str();
}

std::string StmListDxfLayers(const SStmDxfDrawing& drawing) {
  std::string list;
  for (const auto& [layer, use] : drawing.uses) {
    std::string gives;
    const auto add = [&gives](const std::string& part) { gives += (gives.empty() ? "" : ", ") + part; };
    if (use.outer) add(StmText("the outer outline").c_str());
    if (use.openings) add(StmTextCount("%d opening", "%d openings", use.openings).c_str());
    if (use.guidelines) add(StmTextCount("%d guideline", "%d guidelines", use.guidelines).c_str());
    if (use.ignored) add(StmTextCount("%d left out", "%d left out", use.ignored).c_str());
    if (gives.empty()) gives = StmText("nothing").c_str();
    list += (layer.empty() ? std::string("0") : layer) + ": " +
            StmTextCount("%d entity", "%d entities", use.entities).c_str() + ": " + gives + "\n";
  }
  return list;
}

double StmDxfMillimetres(const std::string& unit) {
  const std::string u = Lower(unit);
  return u == "mm" ? 1.0 : u == "cm" ? 10.0 : u == "dm" ? 100.0 : u == "m" ? 1000.0 : u == "in" ? 25.4
         : u == "ft" ? 304.8 : 0.0;
}
