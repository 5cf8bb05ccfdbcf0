// Bands, zones and the concrete they must stay in, as polygons in the coordinates of the model's
// plane. Clipping and containment go through Boost.Geometry.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "geometry/CDPoint.h"

class CStmRegions {
public:
  using Polygon = std::vector<CDPoint>;

  CStmRegions();
  ~CStmRegions();
  CStmRegions(const CStmRegions&) = delete;
  CStmRegions& operator=(const CStmRegions&) = delete;

  // The concrete: the outer outlines less the openings. Without an outer outline nothing is
  // clipped, nothing leaves the concrete and no band has a maximum.
  void SetConcrete(const std::vector<Polygon>& outers, const std::vector<Polygon>& openings);
  bool HasConcrete() const;

  // The rectangle of the given width about the segment a-b; empty for a zero width or length.
  static Polygon Band(const CDPoint& a, const CDPoint& b, double width);
  // The convex hull, counter-clockwise, not closed.
  static Polygon Hull(const std::vector<CDPoint>& points);
  static double Area(const Polygon& polygon);
  // True when the two share more than a sliver of area (relative to the smaller one).
  static bool Overlap(const Polygon& a, const Polygon& b);
  // Index pairs (i < j) of the polygons that overlap, found through a box index so that the
  // cost follows the neighbours, not the square of the count. Pairs that skip(i, j) names are
  // not tested: the exact overlap is the costly part, and most neighbours meet at a node.
  static std::vector<std::pair<size_t, size_t>> OverlappingPairs(
      const std::vector<Polygon>& polygons, const std::function<bool(size_t, size_t)>& skip = nullptr);

  // The largest piece of the polygon inside the concrete; the polygon itself without concrete.
  Polygon Clip(const Polygon& polygon) const;
  // True when the polygon reaches beyond the concrete by more than a sliver.
  bool Leaves(const Polygon& polygon) const;
  // Clip and Leaves at once, placing the polygon against the concrete's edges once.
  Polygon Clip(const Polygon& polygon, bool& leaves) const;
  // The widest band about a-b that stays in the concrete, exact between ends inside it and found
  // to a relative 1e-6 otherwise; 0 when the axis itself is not inside. At an end on the edge of
  // the concrete (a node on the outline or at an opening's corner) the band starts half its width
  // in, where that node's zone ends, since no band of any width stays inside right at such a
  // node. The ends' OnEdge are given, since the caller keeps them.
  double MaxWidth(const CDPoint& a, const CDPoint& b, bool aOnEdge, bool bOnEdge) const;
  // How far from a point along a unit direction, up to length, stays in the concrete; length
  // without concrete.
  double Reach(const CDPoint& from, const CDPoint& dir, double length) const;
  // Whether a point is on the concrete's edge (or outside it), as MaxWidth and ClipBand take a
  // member's ends; it does not change with the width, so a caller may keep it.
  bool OnEdge(const CDPoint& p) const;
  // The band of that width about a-b clipped to the concrete, and whether the band, taken as
  // MaxWidth takes it, reaches beyond the concrete; placed against the concrete's edges once
  // where neither end is on the edge. Between such ends a band no wider than covered (MaxWidth's
  // answer) is its own clip without being placed.
  Polygon ClipBand(const CDPoint& a, const CDPoint& b, double width, bool aOnEdge, bool bOnEdge, double covered,
                   bool& leaves) const;

private:
  // With the polygon already settled (SImpl::Settle).
  Polygon Clip(const Polygon& polygon, int place) const;
  bool Leaves(const Polygon& polygon, int place) const;
  // Whether an end lies on the concrete's edge does not change with the width.
  static Polygon CheckedBand(const CDPoint& a, const CDPoint& b, double width, bool aOnEdge, bool bOnEdge);
  // Whether the polygon lies in the concrete, touching its edge allowed.
  bool Covers(const Polygon& polygon) const;

  struct SImpl;
  std::unique_ptr<SImpl> m_p;
};
