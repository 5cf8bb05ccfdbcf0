// A hash grid over the bounding boxes of a container's entities in model coordinates, so that
// "what lies here" is answered without drawing anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/CVector.h"
#include "host/framework/CCubeRange.h"
#include "host/platform/CString.h"

class CUbEntityObj;

class CUbSpatialIndex {
public:
  // An entity whose box would cover more cells than this is kept aside and tested by every
  // query: an outline or a very long element would otherwise fill the grid.
  static constexpr std::int64_t kMaxCellsPerEntry = 64;

  CUbSpatialIndex() = default;
  CUbSpatialIndex(const CUbSpatialIndex&) = delete;
  CUbSpatialIndex& operator=(const CUbSpatialIndex&) = delete;

  // Indexes the entity under its handle at its current range (GetRange), replacing what the
  // handle had. An entity with an empty range is kept aside: it may lie anywhere.
  void Insert(CUbEntityObj* entity);
  void Remove(std::uint32_t handle);
  // Re-reads the range and kind of an indexed entity; does nothing for one that is not indexed.
  void Update(CUbEntityObj* entity);
  void Clear();

  // Replaces `out` with the entities whose box meets [min, max] (inclusive on every axis; an
  // entity with an empty range meets every box), of one kind (-1: all), sorted by handle.
  void Query(const CVector& min, const CVector& max, int kind, std::vector<CUbEntityObj*>& out) const;

  // Where the handle is indexed; false when it is not.
  bool GetIndexedRange(std::uint32_t handle, CCubeRange& range, int* kind = nullptr) const;
  std::size_t GetCount() const { return m_mapEntry.size(); }
  std::size_t GetOversizeCount() const { return m_arOversize.size(); }
  double GetCellSize() const { return m_dCell; }
  // Every entry sits in exactly the cells its box covers (or aside), and no cell holds a stranger.
  int CheckCells(CString* why) const;

private:
  struct SCell {
    std::int64_t i = 0, j = 0, k = 0;
    bool operator==(const SCell& o) const { return i == o.i && j == o.j && k == o.k; }
  };
  struct SCellHash {
    std::size_t operator()(const SCell& c) const;
  };
  struct SEntry {
    CUbEntityObj* m_pEntity = nullptr;
    std::uint32_t m_nHandle = 0;
    int m_nKind = 0;
    CCubeRange m_range;
    SCell m_lo, m_hi;
    bool m_bAside = false;
    double m_dSize = 0.0;  // the extent counted in the typical size, 0 when not counted
    mutable std::uint64_t m_nStamp = 0;
  };
  using Bucket = std::vector<SEntry*>;

  void Place(SEntry& entry);
  void Unplace(SEntry& entry);
  SCell CellOf(const CVector& p) const;
  // Cell size from the median extent of what is indexed; all entries are placed again.
  void Rebuild();
  void MaybeRebuild();
  double TypicalSize() const { return m_nSized > 0 ? m_dSizeSum / static_cast<double>(m_nSized) : 0.0; }
  void CountSize(SEntry& entry);
  void UncountSize(SEntry& entry);

  std::unordered_map<std::uint32_t, SEntry> m_mapEntry;
  std::unordered_map<SCell, Bucket, SCellHash> m_mapCell;
  std::vector<SEntry*> m_arOversize;
  double m_dCell = 0.0;
  // Cells ever used since the last rebuild, so that a query over a huge box stops at the data.
  SCell m_lo, m_hi;
  bool m_bAnyCell = false;
  // What the cell size was chosen for, to notice when the model has changed a lot since.
  std::size_t m_nCountAtBuild = 0;
  double m_dTypicalAtBuild = 0.0;
  double m_dSizeSum = 0.0;
  std::size_t m_nSized = 0;
  mutable std::uint64_t m_nStamp = 0;
};
