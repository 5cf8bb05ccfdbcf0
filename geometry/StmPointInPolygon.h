// The even-odd point-in-polygon test, for callers that keep their corners each in a type of
// their own (the mesher's arrays, the drawing importer's points).
#pragma once

#include <cstddef>

// Whether (x, y) lies inside the closed polygon of `count` corners; a point on an edge may fall
// either way, so callers that care test the edges first. xOf(i) and yOf(i) give corner i.
template <class X, class Y>
bool StmInsidePolygon(double x, double y, size_t count, X xOf, Y yOf) {
  bool inside = false;
  for (size_t i = 0, j = count - 1; i < count; j = i++) {
    const double xi = xOf(i), yi = yOf(i), xj = xOf(j), yj = yOf(j);
    if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi)) inside = !inside;
  }
  return count > 2 && inside;
}
