// Polygon work of the checks on Boost.Geometry: clockwise closed rings of doubles, corrected
// after they are built, so that the orientation the caller gives never matters.
// Boost 1.74 geometry still includes headers that Boost itself has since deprecated, and GCC's
// optimiser sees its box states as maybe uninitialised where they are set on every path.
#define BOOST_ALLOW_DEPRECATED_HEADERS
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "analysis/StmRegions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/index/rtree.hpp>

#include "analysis/StmBoxGrid.h"

namespace bg = boost::geometry;

namespace {

using Point = bg::model::d2::point_xy<double>;
using BgPolygon = bg::model::polygon<Point>;
using BgMulti = bg::model::multi_polygon<BgPolygon>;

// Less than this share of a polygon's area counts as touching, not overlapping or leaving:
// bands of members that meet at a node share their corners only by rounding.
constexpr double kSliver = 1e-6;

BgPolygon ToBg(const CStmRegions::Polygon& polygon) {
  BgPolygon out;
  for (const CDPoint& p : polygon) out.outer().emplace_back(p.x, p.y);
  bg::correct(out);
  return out;
}

// True when some side's normal of either polygon parts the two (touching counts as parted): the
// shadows on that line do not overlap, so neither do the polygons, whatever their shape.
bool Parted(const CStmRegions::Polygon& a, const CStmRegions::Polygon& b) {
  const auto partedBySides = [](const CStmRegions::Polygon& sides, const CStmRegions::Polygon& other) {
    for (size_t i = 0; i < sides.size(); ++i) {
      const CDPoint &p = sides[i], &q = sides[(i + 1) % sides.size()];
      const double nx = q.y - p.y, ny = p.x - q.x;
      double lowA = HUGE_VAL, highA = -HUGE_VAL, lowB = HUGE_VAL, highB = -HUGE_VAL;
      for (const CDPoint& v : sides) {
        const double d = nx * v.x + ny * v.y;
        lowA = std::min(lowA, d), highA = std::max(highA, d);
      }
      for (const CDPoint& v : other) {
        const double d = nx * v.x + ny * v.y;
        lowB = std::min(lowB, d), highB = std::max(highB, d);
      }
      if (highA <= lowB || highB <= lowA) return true;
    }
    return false;
  };
  return partedBySides(a, b) || partedBySides(b, a);
}

// Twice the signed area when the polygon is convex (counter-clockwise positive), else 0.
double ConvexTwiceArea(const CStmRegions::Polygon& p) {
  const size_t n = p.size();
  double twice = 0.0, lowTurn = 0.0, highTurn = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const CDPoint &a = p[i], &b = p[(i + 1) % n], &c = p[(i + 2) % n];
    twice += a.x * b.y - b.x * a.y;
    const double turn = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
    lowTurn = std::min(lowTurn, turn), highTurn = std::max(highTurn, turn);
  }
  return lowTurn < 0.0 && highTurn > 0.0 ? 0.0 : twice;
}

// The area two convex polygons share: one clipped by each side of the other in turn
// (Sutherland-Hodgman, exact for convex clippers), on the stack, since overlaps test many pairs
// and most of them are small. Negative when a piece has more corners than the stack holds.
double ConvexCommonArea(const CStmRegions::Polygon& a, double twiceA, const CStmRegions::Polygon& b) {
  constexpr size_t kMax = 72;
  if (a.size() + b.size() + 2 > kMax) return -1.0;
  CDPoint buffers[2][kMax];
  size_t count = b.size();
  std::copy(b.begin(), b.end(), buffers[0]);
  const double turn = twiceA > 0.0 ? 1.0 : -1.0;
  int from = 0;
  for (size_t i = 0; i < a.size() && count > 0; ++i) {
    const CDPoint &p = a[i], &q = a[(i + 1) % a.size()];
    // Positive inside the side.
    const auto side = [&](const CDPoint& v) { return turn * ((q.x - p.x) * (v.y - p.y) - (q.y - p.y) * (v.x - p.x)); };
    const CDPoint* in = buffers[from];
    CDPoint* out = buffers[1 - from];
    size_t kept = 0;
    for (size_t k = 0; k < count; ++k) {
      const CDPoint &u = in[k], &v = in[(k + 1) % count];
      const double su = side(u), sv = side(v);
      if (su >= 0.0) out[kept++] = u;
      if ((su >= 0.0) != (sv >= 0.0)) {
        const double t = su / (su - sv);
        out[kept++] = CDPoint(u.x + t * (v.x - u.x), u.y + t * (v.y - u.y));
      }
      if (kept + 2 > kMax) return -1.0;
    }
    count = kept;
    from = 1 - from;
  }
  double twice = 0.0;
  for (size_t k = 0; k < count; ++k) {
    const CDPoint &u = buffers[from][k], &v = buffers[from][(k + 1) % count];
    twice += u.x * v.y - v.x * u.y;
  }
  return std::fabs(twice) / 2.0;
}

// What FromBg(ToBg(polygon)) gives, without the round trip: the ring clockwise, as the corrected
// polygon type keeps it, from the same first corner.
CStmRegions::Polygon Clockwise(const CStmRegions::Polygon& polygon) {
  const size_t n = polygon.size() > 1 && polygon.front() == polygon.back() ? polygon.size() - 1 : polygon.size();
  double twice = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const CDPoint &p = polygon[i], &q = polygon[(i + 1) % n];
    twice += p.x * q.y - q.x * p.y;
  }
  CStmRegions::Polygon out(polygon.begin(), polygon.begin() + static_cast<long>(n));
  if (twice > 0.0 && n > 1) std::reverse(out.begin() + 1, out.end());
  return out;
}

CStmRegions::Polygon FromBg(const BgPolygon& polygon) {
  CStmRegions::Polygon out;
  const auto& ring = polygon.outer();
  // Rings come closed; the records hold them open.
  for (size_t i = 0; i + 1 < ring.size(); ++i) out.emplace_back(ring[i].x(), ring[i].y());
  return out;
}

}  // namespace

struct CStmRegions::SImpl {
  using Box = bg::model::box<Point>;
  using Edge = std::pair<Box, std::pair<CDPoint, CDPoint>>;

  BgMulti concrete;
  double dDiagonal = 0.0;
  // The concrete's edges by their boxes, and a margin well above rounding and well below any
  // size that matters: a convex polygon that no edge comes within the margin of lies wholly
  // inside or wholly outside, which one point tells, and one that an edge runs through well
  // inside is not covered; neither needs a boolean operation.
  bg::index::rtree<Edge, bg::index::rstar<16>> edges;
  double dMargin = 0.0;

  enum EPlace { kInside, kOutside, kCrossing, kNearEdge };
  EPlace Place(const Polygon& polygon) const;
  // Place, with a polygon near the edge found covered (inside) or not (crossing): one question
  // to the boolean operations, which Clip, Leaves and Covers then share.
  EPlace Settle(const Polygon& polygon) const;
  // MaxWidth between two ends inside the concrete.
  double ClearWidth(const CDPoint& a, const CDPoint& b) const;
};

CStmRegions::SImpl::EPlace CStmRegions::SImpl::Place(const Polygon& polygon) const {
  const size_t n = polygon.size();
  constexpr size_t kMaxSides = 64;
  if (n < 3 || n > kMaxSides) return kNearEdge;
  double twiceArea = 0.0;
  double minX = polygon[0].x, maxX = minX, minY = polygon[0].y, maxY = minY;
  for (size_t i = 0; i < n; ++i) {
    const CDPoint &p = polygon[i], &q = polygon[(i + 1) % n];
    twiceArea += p.x * q.y - q.x * p.y;
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  const double margin = std::max(dMargin, 1e-9 * std::hypot(maxX - minX, maxY - minY));
  // A polygon without area, or one whose corners turn both ways, is left to the exact test.
  if (!(std::fabs(twiceArea) > margin * margin)) return kNearEdge;
  const double turn = twiceArea > 0.0 ? 1.0 : -1.0;
  // Each side as an outward unit normal and its offset.
  double normal[kMaxSides][3];
  for (size_t i = 0; i < n; ++i) {
    const CDPoint &p = polygon[i], &q = polygon[(i + 1) % n], &r = polygon[(i + 2) % n];
    if (turn * ((q.x - p.x) * (r.y - q.y) - (q.y - p.y) * (r.x - q.x)) < 0.0) return kNearEdge;
    const double length = std::hypot(q.x - p.x, q.y - p.y);
    if (!(length > 0.0)) return kNearEdge;
    const double nx = turn * (q.y - p.y) / length, ny = -turn * (q.x - p.x) / length;
    normal[i][0] = nx;
    normal[i][1] = ny;
    normal[i][2] = nx * p.x + ny * p.y;
  }
  // Whether some of the segment lies inside every side moved out by the offset (Cyrus-Beck).
  const auto meets = [&](const CDPoint& a, const CDPoint& b, double offset) {
    double t0 = 0.0, t1 = 1.0;
    for (size_t i = 0; i < n && t0 <= t1; ++i) {
      const double along = normal[i][0] * (b.x - a.x) + normal[i][1] * (b.y - a.y);
      const double room = normal[i][2] + offset - (normal[i][0] * a.x + normal[i][1] * a.y);
      if (along == 0.0) {
        if (room < 0.0) return false;
      } else if (along > 0.0) {
        t1 = std::min(t1, room / along);
      } else {
        t0 = std::max(t0, room / along);
      }
    }
    return t0 <= t1;
  };
  EPlace place = kInside;
  const Box box(Point(minX - margin, minY - margin), Point(maxX + margin, maxY + margin));
  for (auto it = edges.qbegin(bg::index::intersects(box)); it != edges.qend(); ++it) {
    const CDPoint &a = it->second.first, &b = it->second.second;
    if (meets(a, b, -margin)) return kCrossing;
    if (meets(a, b, margin)) place = kNearEdge;
  }
  if (place == kNearEdge) return kNearEdge;
  double cx = 0.0, cy = 0.0;
  for (const CDPoint& p : polygon) cx += p.x, cy += p.y;
  return bg::within(Point(cx / static_cast<double>(n), cy / static_cast<double>(n)), concrete) ? kInside : kOutside;
}

CStmRegions::SImpl::EPlace CStmRegions::SImpl::Settle(const Polygon& polygon) const {
  const EPlace place = Place(polygon);
  if (place != kNearEdge) return place;
  return bg::covered_by(ToBg(polygon), concrete) ? kInside : kCrossing;
}

CStmRegions::CStmRegions() : m_p(std::make_unique<SImpl>()) {}
CStmRegions::~CStmRegions() = default;

void CStmRegions::SetConcrete(const std::vector<Polygon>& outers, const std::vector<Polygon>& openings) {
  BgMulti concrete;
  for (const Polygon& outer : outers) {
    if (outer.size() < 3) continue;
    BgMulti merged;
    bg::union_(concrete, ToBg(outer), merged);
    concrete = std::move(merged);
  }
  for (const Polygon& opening : openings) {
    if (opening.size() < 3) continue;
    BgMulti cut;
    bg::difference(concrete, ToBg(opening), cut);
    concrete = std::move(cut);
  }
  m_p->concrete = std::move(concrete);
  m_p->dDiagonal = 0.0;
  std::vector<SImpl::Edge> edges;
  if (!m_p->concrete.empty()) {
    bg::model::box<Point> box;
    bg::envelope(m_p->concrete, box);
    m_p->dDiagonal = bg::distance(box.min_corner(), box.max_corner());
    const auto addRing = [&edges](const BgPolygon::ring_type& ring) {
      for (size_t i = 0; i + 1 < ring.size(); ++i) {
        const Point &a = ring[i], &b = ring[i + 1];
        edges.emplace_back(SImpl::Box(Point(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                                      Point(std::max(a.x(), b.x()), std::max(a.y(), b.y()))),
                           std::make_pair(CDPoint(a.x(), a.y()), CDPoint(b.x(), b.y())));
      }
    };
    for (const BgPolygon& polygon : m_p->concrete) {
      addRing(polygon.outer());
      for (const auto& inner : polygon.inners()) addRing(inner);
    }
  }
  m_p->edges = decltype(m_p->edges)(edges.begin(), edges.end());
  m_p->dMargin = 1e-9 * m_p->dDiagonal;
}

bool CStmRegions::HasConcrete() const { return !m_p->concrete.empty(); }

CStmRegions::Polygon CStmRegions::Band(const CDPoint& a, const CDPoint& b, double width) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (!(width > 0.0) || !(length > 0.0)) return {};
  const double nx = -dy / length * width / 2.0, ny = dx / length * width / 2.0;
  return {CDPoint(a.x - nx, a.y - ny), CDPoint(b.x - nx, b.y - ny), CDPoint(b.x + nx, b.y + ny),
          CDPoint(a.x + nx, a.y + ny)};
}

CStmRegions::Polygon CStmRegions::Hull(const std::vector<CDPoint>& points) {
  bg::model::multi_point<Point> cloud;
  for (const CDPoint& p : points) cloud.emplace_back(p.x, p.y);
  BgPolygon hull;
  bg::convex_hull(cloud, hull);
  Polygon out = FromBg(hull);
  // Counter-clockwise, as the drawing plane's polygons are given.
  std::reverse(out.begin(), out.end());
  return out;
}

double CStmRegions::Area(const Polygon& polygon) { return polygon.size() < 3 ? 0.0 : bg::area(ToBg(polygon)); }

bool CStmRegions::Overlap(const Polygon& a, const Polygon& b) {
  if (a.size() < 3 || b.size() < 3 || Parted(a, b)) return false;
  // Bands and zones that are still the rectangles and hulls they were built as are convex.
  const double twiceA = ConvexTwiceArea(a), twiceB = ConvexTwiceArea(b);
  if (twiceA != 0.0 && twiceB != 0.0) {
    const double common = ConvexCommonArea(a, twiceA, b);
    if (common >= 0.0) return common > kSliver * std::min(std::fabs(twiceA), std::fabs(twiceB)) / 2.0;
  }
  const BgPolygon pa = ToBg(a), pb = ToBg(b);
  if (bg::disjoint(pa, pb)) return false;
  BgMulti common;
  bg::intersection(pa, pb, common);
  return bg::area(common) > kSliver * std::min(bg::area(pa), bg::area(pb));
}

std::vector<std::pair<size_t, size_t>> CStmRegions::OverlappingPairs(const std::vector<Polygon>& polygons,
                                                                      const std::function<bool(size_t, size_t)>& skip) {
  std::vector<std::pair<size_t, size_t>> pairs;
  std::vector<size_t> shaped;
  shaped.reserve(polygons.size());
  for (size_t i = 0; i < polygons.size(); ++i) {
    if (polygons[i].size() >= 3) shaped.push_back(i);
  }
  const auto boxOf = [&](size_t k) {
    std::array<double, 4> box{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const CDPoint& p : polygons[shaped[k]]) {
      box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y);
      box[2] = std::max(box[2], p.x), box[3] = std::max(box[3], p.y);
    }
    return box;
  };
  const auto meet = [&](size_t k, size_t l) {
    const size_t i = shaped[k], j = shaped[l];
    return !(skip && skip(i, j)) && Overlap(polygons[i], polygons[j]);
  };
  std::vector<std::pair<size_t, size_t>> found;
  if (StmBoxPairs(shaped.size(), boxOf, meet, found)) {
    for (const auto& [k, l] : found) pairs.emplace_back(shaped[k], shaped[l]);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
  }
  // Boxes too unlike for one grid.
  using Box = bg::model::box<Point>;
  using Entry = std::pair<Box, size_t>;
  std::vector<Entry> entries;
  entries.reserve(polygons.size());
  for (size_t i = 0; i < polygons.size(); ++i) {
    if (polygons[i].size() < 3) continue;
    Box box(Point(HUGE_VAL, HUGE_VAL), Point(-HUGE_VAL, -HUGE_VAL));
    for (const CDPoint& p : polygons[i]) bg::expand(box, Point(p.x, p.y));
    entries.emplace_back(box, i);
  }
  const bg::index::rtree<Entry, bg::index::rstar<16>> tree(entries.begin(), entries.end());
  std::vector<Entry> near;
  for (const Entry& entry : entries) {
    near.clear();
    tree.query(bg::index::intersects(entry.first), std::back_inserter(near));
    for (const Entry& other : near) {
      if (other.second <= entry.second || (skip && skip(entry.second, other.second))) continue;
      if (Overlap(polygons[entry.second], polygons[other.second])) pairs.emplace_back(entry.second, other.second);
    }
  }
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

CStmRegions::Polygon CStmRegions::Clip(const Polygon& polygon) const {
  if (!HasConcrete() || polygon.size() < 3) return polygon;
  return Clip(polygon, m_p->Settle(polygon));
}

CStmRegions::Polygon CStmRegions::Clip(const Polygon& polygon, bool& leaves) const {
  if (!HasConcrete() || polygon.size() < 3) {
    leaves = false;
    return polygon;
  }
  const int place = m_p->Settle(polygon);
  leaves = Leaves(polygon, place);
  return Clip(polygon, place);
}

CStmRegions::Polygon CStmRegions::Clip(const Polygon& polygon, int place) const {
  switch (place) {
    // As the intersection gives it: the polygon's own ring, corrected.
    case SImpl::kInside: return Clockwise(polygon);
    case SImpl::kOutside: return {};
    default: break;
  }
  BgMulti pieces;
  bg::intersection(ToBg(polygon), m_p->concrete, pieces);
  const BgPolygon* largest = nullptr;
  double largestArea = 0.0;
  for (const BgPolygon& piece : pieces) {
    const double area = bg::area(piece);
    if (area > largestArea) {
      largestArea = area;
      largest = &piece;
    }
  }
  return largest ? FromBg(*largest) : Polygon();
}

bool CStmRegions::Leaves(const Polygon& polygon) const {
  if (!HasConcrete() || polygon.size() < 3) return false;
  return Leaves(polygon, m_p->Settle(polygon));
}

bool CStmRegions::Leaves(const Polygon& polygon, int place) const {
  if (place == SImpl::kInside) return false;
  if (place == SImpl::kOutside) return true;
  const BgPolygon p = ToBg(polygon);
  BgMulti outside;
  bg::difference(p, m_p->concrete, outside);
  return bg::area(outside) > kSliver * bg::area(p);
}

bool CStmRegions::OnEdge(const CDPoint& p) const { return !bg::within(Point(p.x, p.y), m_p->concrete); }

CStmRegions::Polygon CStmRegions::CheckedBand(const CDPoint& a, const CDPoint& b, double width, bool aOnEdge,
                                              bool bOnEdge) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  if (!(length > 0.0)) return {};
  const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
  // Never so far in that the two ends cross.
  const double inset = std::min(width / 2.0, 0.45 * length);
  const CDPoint from = aOnEdge ? CDPoint(a.x + ux * inset, a.y + uy * inset) : a;
  const CDPoint to = bOnEdge ? CDPoint(b.x - ux * inset, b.y - uy * inset) : b;
  return Band(from, to, width);
}

bool CStmRegions::Covers(const Polygon& polygon) const { return m_p->Settle(polygon) == SImpl::kInside; }

double CStmRegions::Reach(const CDPoint& from, const CDPoint& dir, double length) const {
  const auto inside = [&](double t) {
    return bg::covered_by(Point(from.x + dir.x * t, from.y + dir.y * t), m_p->concrete);
  };
  if (!HasConcrete() || inside(length)) return length;
  double low = 0.0, high = length;
  for (int i = 0; i < 40; ++i) {
    const double mid = 0.5 * (low + high);
    (inside(mid) ? low : high) = mid;
  }
  return low;
}

CStmRegions::Polygon CStmRegions::ClipBand(const CDPoint& a, const CDPoint& b, double width, bool aOnEdge,
                                           bool bOnEdge, double covered, bool& leaves) const {
  const Polygon band = Band(a, b, width);
  leaves = false;
  if (!HasConcrete() || band.size() < 3) return band;
  // The widest band touches the concrete's edge, where placing it would take the boolean operation.
  if (!aOnEdge && !bOnEdge && width <= covered) return Clockwise(band);
  if (aOnEdge || bOnEdge) {
    leaves = Leaves(CheckedBand(a, b, width, aOnEdge, bOnEdge));
    return Clip(band);
  }
  return Clip(band, leaves);
}

// Between two ends inside the concrete a band is covered exactly while no point of the concrete's
// edge lies inside it, so the widest is twice the least distance from the axis of the edge's
// points beside the segment, found edge by edge instead of by bisection. Edges are looked for
// in a box about the segment that grows until it holds the answer: no nearer point can lie
// outside it.
double CStmRegions::SImpl::ClearWidth(const CDPoint& a, const CDPoint& b) const {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
  double half = dDiagonal / 2.0;
  for (double reach = std::min(half, std::max(length, 1e-3 * dDiagonal));; reach = std::min(half, 4.0 * reach)) {
    const Box box(Point(std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach),
                  Point(std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach));
    for (auto it = edges.qbegin(bg::index::intersects(box)); it != edges.qend(); ++it) {
      // The edge in the segment's frame: s along it, t across.
      const CDPoint &p = it->second.first, &q = it->second.second;
      const double sp = (p.x - a.x) * ux + (p.y - a.y) * uy, sq = (q.x - a.x) * ux + (q.y - a.y) * uy;
      const double tp = (p.x - a.x) * uy - (p.y - a.y) * ux, tq = (q.x - a.x) * uy - (q.y - a.y) * ux;
      // The part of the edge beside the segment (0 < s < length); points at s = 0 or length
      // only touch the band's ends.
      double from = 0.0, to = 1.0;
      if (sp == sq) {
        if (!(sp > 0.0 && sp < length)) continue;
      } else {
        const double at0 = (0.0 - sp) / (sq - sp), atL = (length - sp) / (sq - sp);
        from = std::max(0.0, std::min(at0, atL));
        to = std::min(1.0, std::max(at0, atL));
        if (!(to > from)) continue;
      }
      const double t0 = tp + from * (tq - tp), t1 = tp + to * (tq - tp);
      // An edge that meets the axis leaves no band at all.
      if ((t0 <= 0.0 && t1 >= 0.0) || (t0 >= 0.0 && t1 <= 0.0)) return 0.0;
      half = std::min(half, std::min(std::fabs(t0), std::fabs(t1)));
    }
    if (half <= reach || reach >= dDiagonal / 2.0) break;
  }
  return 2.0 * half;
}

double CStmRegions::MaxWidth(const CDPoint& a, const CDPoint& b, bool aOnEdge, bool bOnEdge) const {
  if (!HasConcrete()) return 0.0;
  if (!aOnEdge && !bOnEdge && std::hypot(b.x - a.x, b.y - a.y) > 0.0) return m_p->ClearWidth(a, b);
  const auto fits = [&](double width) { return Covers(CheckedBand(a, b, width, aOnEdge, bOnEdge)); };
  // Only widths that fit raise the answer: an axis outside the concrete keeps 0. A hair of width
  // is no test of that, since at a node on a corner it meets the corner by rounding alone.
  double low = 0.0, high = m_p->dDiagonal;
  if (!(high > 0.0)) return 0.0;
  if (fits(high)) return high;
  const double resolution = 1e-6 * high;
  while (high - low > resolution) {
    const double mid = 0.5 * (low + high);
    (fits(mid) ? low : high) = mid;
  }
  return low;
}
