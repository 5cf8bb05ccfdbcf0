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
#include <cmath>
#include <iterator>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/index/rtree.hpp>

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

CStmRegions::Polygon FromBg(const BgPolygon& polygon) {
  CStmRegions::Polygon out;
  const auto& ring = polygon.outer();
  // Rings come closed; the records hold them open.
  for (size_t i = 0; i + 1 < ring.size(); ++i) out.emplace_back(ring[i].x(), ring[i].y());
  return out;
}

}  // namespace

struct CStmRegions::SImpl {
  BgMulti concrete;
  double dDiagonal = 0.0;
};

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
  if (!m_p->concrete.empty()) {
    bg::model::box<Point> box;
    bg::envelope(m_p->concrete, box);
    m_p->dDiagonal = bg::distance(box.min_corner(), box.max_corner());
  }
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
  if (a.size() < 3 || b.size() < 3) return false;
  const BgPolygon pa = ToBg(a), pb = ToBg(b);
  if (bg::disjoint(pa, pb)) return false;
  BgMulti common;
  bg::intersection(pa, pb, common);
  return bg::area(common) > kSliver * std::min(bg::area(pa), bg::area(pb));
}

std::vector<std::pair<size_t, size_t>> CStmRegions::OverlappingPairs(const std::vector<Polygon>& polygons,
                                                                      const std::function<bool(size_t, size_t)>& skip) {
  using Box = bg::model::box<Point>;
  using Entry = std::pair<Box, size_t>;
  std::vector<Entry> entries;
  for (size_t i = 0; i < polygons.size(); ++i) {
    if (polygons[i].size() < 3) continue;
    Box box;
    bg::envelope(ToBg(polygons[i]), box);
    entries.emplace_back(box, i);
  }
  const bg::index::rtree<Entry, bg::index::rstar<16>> tree(entries.begin(), entries.end());
  std::vector<std::pair<size_t, size_t>> pairs;
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
  const BgPolygon p = ToBg(polygon);
  if (bg::covered_by(p, m_p->concrete)) return false;
  BgMulti outside;
  bg::difference(p, m_p->concrete, outside);
  return bg::area(outside) > kSliver * bg::area(p);
}

CStmRegions::Polygon CStmRegions::CheckedBand(const CDPoint& a, const CDPoint& b, double width) const {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  if (!(length > 0.0)) return {};
  const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
  // Never so far in that the two ends cross.
  const double inset = std::min(width / 2.0, 0.45 * length);
  const auto onEdge = [this](const CDPoint& p) { return !bg::within(Point(p.x, p.y), m_p->concrete); };
  const CDPoint from = onEdge(a) ? CDPoint(a.x + ux * inset, a.y + uy * inset) : a;
  const CDPoint to = onEdge(b) ? CDPoint(b.x - ux * inset, b.y - uy * inset) : b;
  return Band(from, to, width);
}

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

bool CStmRegions::BandLeaves(const CDPoint& a, const CDPoint& b, double width) const {
  return Leaves(CheckedBand(a, b, width));
}

double CStmRegions::MaxWidth(const CDPoint& a, const CDPoint& b) const {
  if (!HasConcrete()) return 0.0;
  const auto fits = [&](double width) { return bg::covered_by(ToBg(CheckedBand(a, b, width)), m_p->concrete); };
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
