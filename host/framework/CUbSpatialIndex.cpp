// The hash grid of entity boxes: placement, the adaptive cell size and box queries.
#include "host/framework/CUbSpatialIndex.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "host/framework/CUbEntityObj.h"

namespace {
// Cell coordinates stay far inside int64, whatever the model's numbers.
constexpr double kCellLimit = 1099511627776.0;  // 2^40
// A box counts at most this many cells towards the typical size, so that a few outlines do
// not decide the grid of thousands of elements.
constexpr double kSizeClipCells = 16.0;

bool IsFinite(const CVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

double MaxExtent(const CCubeRange& range) {
  const CVector s = range.GetSize();
  return std::max({s.x, s.y, s.z});
}

bool Meets(const CCubeRange& range, const CVector& min, const CVector& max) {
  if (range.IsEmpty()) return true;
  const CVector& lo = range.GetMin();
  const CVector& hi = range.GetMax();
  return lo.x <= max.x && hi.x >= min.x && lo.y <= max.y && hi.y >= min.y && lo.z <= max.z && hi.z >= min.z;
}

bool SameRange(const CCubeRange& a, const CCubeRange& b) {
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty();
  return a.GetMin() == b.GetMin() && a.GetMax() == b.GetMax();
}
}  // namespace

std::size_t CUbSpatialIndex::SCellHash::operator()(const SCell& c) const {
  // Large odd multipliers spread neighbouring cells over the buckets.
  std::uint64_t h = static_cast<std::uint64_t>(c.i) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<std::uint64_t>(c.j) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
  h ^= static_cast<std::uint64_t>(c.k) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
  return static_cast<std::size_t>(h);
}

CUbSpatialIndex::SCell CUbSpatialIndex::CellOf(const CVector& p) const {
  auto axis = [this](double v) {
    const double c = std::floor(v / m_dCell);
    return static_cast<std::int64_t>(std::clamp(c, -kCellLimit, kCellLimit));
  };
  return {axis(p.x), axis(p.y), axis(p.z)};
}

void CUbSpatialIndex::Place(SEntry& entry) {
  entry.m_bAside = true;
  if (!entry.m_range.IsEmpty() && m_dCell > 0.0 && IsFinite(entry.m_range.GetMin()) &&
      IsFinite(entry.m_range.GetMax())) {
    entry.m_lo = CellOf(entry.m_range.GetMin());
    entry.m_hi = CellOf(entry.m_range.GetMax());
    const std::int64_t ni = entry.m_hi.i - entry.m_lo.i + 1;
    const std::int64_t nj = entry.m_hi.j - entry.m_lo.j + 1;
    const std::int64_t nk = entry.m_hi.k - entry.m_lo.k + 1;
    entry.m_bAside = ni > kMaxCellsPerEntry || nj > kMaxCellsPerEntry || nk > kMaxCellsPerEntry ||
                     ni * nj * nk > kMaxCellsPerEntry;
  }
  if (entry.m_bAside) {
    m_arOversize.push_back(&entry);
    return;
  }
  for (std::int64_t i = entry.m_lo.i; i <= entry.m_hi.i; ++i) {
    for (std::int64_t j = entry.m_lo.j; j <= entry.m_hi.j; ++j) {
      for (std::int64_t k = entry.m_lo.k; k <= entry.m_hi.k; ++k) m_mapCell[SCell{i, j, k}].push_back(&entry);
    }
  }
  if (!m_bAnyCell) {
    m_lo = entry.m_lo;
    m_hi = entry.m_hi;
    m_bAnyCell = true;
  } else {
    m_lo = {std::min(m_lo.i, entry.m_lo.i), std::min(m_lo.j, entry.m_lo.j), std::min(m_lo.k, entry.m_lo.k)};
    m_hi = {std::max(m_hi.i, entry.m_hi.i), std::max(m_hi.j, entry.m_hi.j), std::max(m_hi.k, entry.m_hi.k)};
  }
}

void CUbSpatialIndex::Unplace(SEntry& entry) {
  auto drop = [&entry](std::vector<SEntry*>& list) {
    const auto it = std::find(list.begin(), list.end(), &entry);
    if (it == list.end()) return;
    *it = list.back();
    list.pop_back();
  };
  if (entry.m_bAside) {
    drop(m_arOversize);
    return;
  }
  for (std::int64_t i = entry.m_lo.i; i <= entry.m_hi.i; ++i) {
    for (std::int64_t j = entry.m_lo.j; j <= entry.m_hi.j; ++j) {
      for (std::int64_t k = entry.m_lo.k; k <= entry.m_hi.k; ++k) {
        const auto it = m_mapCell.find(SCell{i, j, k});
        if (it == m_mapCell.end()) continue;
        drop(it->second);
        // Empty cells go, so that a model edited for hours holds only the cells it uses.
        if (it->second.empty()) m_mapCell.erase(it);
      }
    }
  }
}

void CUbSpatialIndex::CountSize(SEntry& entry) {
  entry.m_dSize = 0.0;
  if (entry.m_range.IsEmpty() || !IsFinite(entry.m_range.GetMin()) || !IsFinite(entry.m_range.GetMax())) return;
  double size = MaxExtent(entry.m_range);
  if (!(size > 0.0)) return;
  if (m_dCell > 0.0) size = std::min(size, kSizeClipCells * m_dCell);
  entry.m_dSize = size;
  m_dSizeSum += size;
  ++m_nSized;
}

void CUbSpatialIndex::UncountSize(SEntry& entry) {
  if (entry.m_dSize <= 0.0) return;
  m_dSizeSum -= entry.m_dSize;
  --m_nSized;
  if (m_nSized == 0) m_dSizeSum = 0.0;  // no drift left behind by the subtractions
  entry.m_dSize = 0.0;
}

void CUbSpatialIndex::Insert(CUbEntityObj* entity) {
  if (!entity) return;
  Remove(entity->GetHandle());
  SEntry& entry = m_mapEntry[entity->GetHandle()];
  entry.m_pEntity = entity;
  entry.m_nHandle = entity->GetHandle();
  entry.m_nKind = entity->GetTypeEntity();
  entity->GetRange(entry.m_range);
  CountSize(entry);
  Place(entry);
  MaybeRebuild();
}

void CUbSpatialIndex::Remove(std::uint32_t handle) {
  const auto it = m_mapEntry.find(handle);
  if (it == m_mapEntry.end()) return;
  Unplace(it->second);
  UncountSize(it->second);
  m_mapEntry.erase(it);
  MaybeRebuild();
}

void CUbSpatialIndex::Update(CUbEntityObj* entity) {
  if (!entity) return;
  const auto it = m_mapEntry.find(entity->GetHandle());
  if (it == m_mapEntry.end()) return;
  SEntry& entry = it->second;
  CCubeRange range;
  entity->GetRange(range);
  const int kind = entity->GetTypeEntity();
  if (kind == entry.m_nKind && SameRange(range, entry.m_range)) return;
  Unplace(entry);
  UncountSize(entry);
  entry.m_range = range;
  entry.m_nKind = kind;
  CountSize(entry);
  Place(entry);
  MaybeRebuild();
}

void CUbSpatialIndex::Clear() {
  m_mapEntry.clear();
  m_mapCell.clear();
  m_arOversize.clear();
  m_bAnyCell = false;
  m_nCountAtBuild = 0;
  m_dTypicalAtBuild = 0.0;
  m_dSizeSum = 0.0;
  m_nSized = 0;
}

void CUbSpatialIndex::MaybeRebuild() {
  const std::size_t n = m_mapEntry.size();
  if (n == 0) {
    m_nCountAtBuild = 0;
    m_dTypicalAtBuild = 0.0;
    return;
  }
  // Doubling or quartering the count, or a typical size four times off, calls for a new grid;
  // both are geometric, so the rebuilds cost O(1) per edit on average.
  bool rebuild = m_nCountAtBuild == 0 || n >= 2 * std::max<std::size_t>(m_nCountAtBuild, 8) ||
                 (m_nCountAtBuild >= 16 && 4 * n < m_nCountAtBuild);
  const double typical = TypicalSize();
  if (typical > 0.0 &&
      (m_dTypicalAtBuild <= 0.0 || typical > 4.0 * m_dTypicalAtBuild || 4.0 * typical < m_dTypicalAtBuild)) {
    rebuild = true;
  }
  if (rebuild) Rebuild();
}

void CUbSpatialIndex::Rebuild() {
  std::vector<double> sizes;
  CCubeRange all;
  for (const auto& [handle, entry] : m_mapEntry) {
    const CCubeRange& r = entry.m_range;
    if (r.IsEmpty() || !IsFinite(r.GetMin()) || !IsFinite(r.GetMax())) continue;
    all.Apply(r.GetMin());
    all.Apply(r.GetMax());
    const double size = MaxExtent(r);
    if (size > 0.0) sizes.push_back(size);
  }
  // The median extent: an element about one cell long meets two to four cells of a plane.
  double median = 0.0;
  if (!sizes.empty()) {
    auto mid = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), mid, sizes.end());
    median = *mid;
  }
  // The spacing if everything spread evenly over the box of all, in as many dimensions as the
  // box has: points (nodes inside one outline) must not crowd into a few cells either.
  double spacing = 0.0;
  if (!all.IsEmpty()) {
    const CVector e = all.GetSize();
    double d[3] = {e.x, e.y, e.z};
    std::sort(d, d + 3, std::greater<double>());
    const double n = static_cast<double>(m_mapEntry.size());
    if (d[2] > 0.1 * d[1]) {
      spacing = std::cbrt(d[0] * d[1] * d[2] / n);
    } else if (d[1] > 0.1 * d[0]) {
      spacing = std::sqrt(d[0] * d[1] / n);
    } else {
      spacing = d[0] / n;
    }
    spacing *= 2.0;  // a few entries per cell
  }
  double cell = median > 0.0 && spacing > 0.0 ? std::min(median, spacing) : std::max(median, spacing);
  if (!(cell > 0.0) || !std::isfinite(cell)) cell = m_dCell > 0.0 ? m_dCell : 1.0;
  m_dCell = cell;

  m_mapCell.clear();
  m_arOversize.clear();
  m_bAnyCell = false;
  m_dSizeSum = 0.0;
  m_nSized = 0;
  for (auto& [handle, entry] : m_mapEntry) {
    CountSize(entry);
    Place(entry);
  }
  m_nCountAtBuild = m_mapEntry.size();
  m_dTypicalAtBuild = TypicalSize();
}

void CUbSpatialIndex::Query(const CVector& min, const CVector& max, int kind, std::vector<CUbEntityObj*>& out) const {
  out.clear();
  if (m_mapEntry.empty()) return;
  const std::uint64_t stamp = ++m_nStamp;
  auto take = [&](SEntry* entry) {
    if (entry->m_nStamp == stamp) return;  // a box over several cells is met once
    entry->m_nStamp = stamp;
    if (kind != -1 && entry->m_nKind != kind) return;
    if (Meets(entry->m_range, min, max)) out.push_back(entry->m_pEntity);
  };
  const bool nan = std::isnan(min.x) || std::isnan(min.y) || std::isnan(min.z) || std::isnan(max.x) ||
                   std::isnan(max.y) || std::isnan(max.z);
  if (m_bAnyCell && !nan) {
    SCell lo = CellOf(min), hi = CellOf(max);
    lo = {std::max(lo.i, m_lo.i), std::max(lo.j, m_lo.j), std::max(lo.k, m_lo.k)};
    hi = {std::min(hi.i, m_hi.i), std::min(hi.j, m_hi.j), std::min(hi.k, m_hi.k)};
    if (lo.i <= hi.i && lo.j <= hi.j && lo.k <= hi.k) {
      const double cells = static_cast<double>(hi.i - lo.i + 1) * static_cast<double>(hi.j - lo.j + 1) *
                           static_cast<double>(hi.k - lo.k + 1);
      if (cells <= static_cast<double>(m_mapCell.size())) {
        for (std::int64_t i = lo.i; i <= hi.i; ++i) {
          for (std::int64_t j = lo.j; j <= hi.j; ++j) {
            for (std::int64_t k = lo.k; k <= hi.k; ++k) {
              const auto it = m_mapCell.find(SCell{i, j, k});
              if (it == m_mapCell.end()) continue;
              for (SEntry* entry : it->second) take(entry);
            }
          }
        }
      } else {
        // A box over more cells than exist: walking what exists is cheaper.
        for (const auto& [cell, bucket] : m_mapCell) {
          if (cell.i < lo.i || cell.i > hi.i || cell.j < lo.j || cell.j > hi.j || cell.k < lo.k || cell.k > hi.k)
            continue;
          for (SEntry* entry : bucket) take(entry);
        }
      }
    }
  } else if (nan) {
    for (const auto& [handle, entry] : m_mapEntry) {
      if (!entry.m_bAside) take(const_cast<SEntry*>(&entry));
    }
  }
  for (SEntry* entry : m_arOversize) take(entry);
  std::sort(out.begin(), out.end(),
            [](const CUbEntityObj* a, const CUbEntityObj* b) { return a->GetHandle() < b->GetHandle(); });
}

bool CUbSpatialIndex::GetIndexedRange(std::uint32_t handle, CCubeRange& range, int* kind) const {
  const auto it = m_mapEntry.find(handle);
  if (it == m_mapEntry.end()) return false;
  range = it->second.m_range;
  if (kind) *kind = it->second.m_nKind;
  return true;
}

int CUbSpatialIndex::CheckCells(CString* why) const {
  auto fail = [why](const CString& text) {
    if (why) *why = text;
    return 0;
  };
  std::size_t aside = 0, placed = 0;
  for (const auto& [handle, entry] : m_mapEntry) {
    CString text;
    if (entry.m_nHandle != handle) {
      text.Format("entry %u carries handle %u", handle, entry.m_nHandle);
      return fail(text);
    }
    SEntry* self = const_cast<SEntry*>(&entry);
    if (entry.m_bAside) {
      ++aside;
      if (std::count(m_arOversize.begin(), m_arOversize.end(), self) != 1) {
        text.Format("entity %u is not kept aside once", handle);
        return fail(text);
      }
      continue;
    }
    const SCell lo = CellOf(entry.m_range.GetMin()), hi = CellOf(entry.m_range.GetMax());
    if (!(lo == entry.m_lo) || !(hi == entry.m_hi)) {
      text.Format("entity %u sits in cells that are not those of its box", handle);
      return fail(text);
    }
    for (std::int64_t i = lo.i; i <= hi.i; ++i) {
      for (std::int64_t j = lo.j; j <= hi.j; ++j) {
        for (std::int64_t k = lo.k; k <= hi.k; ++k) {
          const auto it = m_mapCell.find(SCell{i, j, k});
          if (it == m_mapCell.end() || std::count(it->second.begin(), it->second.end(), self) != 1) {
            text.Format("entity %u is missing from a cell of its box", handle);
            return fail(text);
          }
          ++placed;
        }
      }
    }
  }
  std::size_t held = 0;
  for (const auto& [cell, bucket] : m_mapCell) held += bucket.size();
  if (held != placed || aside != m_arOversize.size()) return fail("the grid holds entries that are not indexed");
  return 1;
}
