// Pairs of boxes that overlap among many of about one size, through a uniform grid, so that the
// cost follows the neighbours and not the square of the count.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

// Pairs i < j of n boxes (low x, low y, high x, high y) that overlap and that meet(i, j) accepts,
// found through a uniform grid of about four cells per box, each pair tested once (in the first
// cell both boxes cover). False when the boxes are too unlike for a grid (a few long ones across
// many small), leaving the caller to its own way.
template <class BoxOf, class Meet>
bool StmBoxPairs(size_t n, const BoxOf& boxOf, const Meet& meet, std::vector<std::pair<size_t, size_t>>& out) {
  if (n < 2) return true;
  std::vector<std::array<double, 4>> boxes(n);
  double low[2] = {HUGE_VAL, HUGE_VAL}, high[2] = {-HUGE_VAL, -HUGE_VAL}, extent = 0.0;
  for (size_t i = 0; i < n; ++i) {
    boxes[i] = boxOf(i);
    for (int d = 0; d < 2; ++d) {
      low[d] = std::min(low[d], boxes[i][d]);
      high[d] = std::max(high[d], boxes[i][d + 2]);
    }
    extent += std::max(boxes[i][2] - boxes[i][0], boxes[i][3] - boxes[i][1]);
  }
  const double area = (high[0] - low[0]) * (high[1] - low[1]);
  const double cell = std::max(extent / static_cast<double>(n), std::sqrt(area / (4.0 * static_cast<double>(n))));
  if (!(cell > 0.0) || !std::isfinite(cell)) return false;
  const auto column = [&](double v, int d) {
    return static_cast<size_t>(std::min(std::floor((v - low[d]) / cell), 4.0 * static_cast<double>(n)));
  };
  const size_t columns = column(high[0], 0) + 1, rows = column(high[1], 1) + 1;
  if (columns * rows > 16 * n) return false;
  // Cell lists, compressed: the boxes of cell c are members[first[c] .. first[c + 1]).
  std::vector<size_t> first(columns * rows + 1, 0), members;
  size_t covered = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < n; ++i) {
      const size_t c0 = column(boxes[i][0], 0), c1 = column(boxes[i][2], 0);
      const size_t r0 = column(boxes[i][1], 1), r1 = column(boxes[i][3], 1);
      for (size_t r = r0; r <= r1; ++r) {
        for (size_t c = c0; c <= c1; ++c) {
          if (pass == 0) {
            ++first[r * columns + c + 1];
            ++covered;
          } else {
            members[first[r * columns + c]++] = i;
          }
        }
      }
    }
    if (pass == 0) {
      if (covered > 16 * n) return false;
      for (size_t c = 0; c < columns * rows; ++c) first[c + 1] += first[c];
      members.resize(covered);
    }
  }
  // The fill moved each start to the next cell's; put them back.
  for (size_t c = columns * rows; c > 0; --c) first[c] = first[c - 1];
  first[0] = 0;
  for (size_t r = 0; r < rows; ++r) {
    for (size_t c = 0; c < columns; ++c) {
      const size_t from = first[r * columns + c], to = first[r * columns + c + 1];
      for (size_t x = from; x < to; ++x) {
        for (size_t y = x + 1; y < to; ++y) {
          const size_t i = std::min(members[x], members[y]), j = std::max(members[x], members[y]);
          const auto& a = boxes[i];
          const auto& b = boxes[j];
          if (a[0] > b[2] || b[0] > a[2] || a[1] > b[3] || b[1] > a[3]) continue;
          // Only in the first cell both cover.
          if (std::max(column(a[0], 0), column(b[0], 0)) != c || std::max(column(a[1], 1), column(b[1], 1)) != r)
            continue;
          if (meet(i, j)) out.emplace_back(i, j);
        }
      }
    }
  }
  return true;
}
