// What one edit did to a model, as images of the records it touched before and after, so that
// undo and redo put every record back exactly: links, loads, supports, flags and ids.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "host/model/CStmObject.h"
#include "host/model/StmMaterials.h"

class CStmModelChange {
public:
  // The record collections of a model, in the order their images are applied.
  enum ECollection {
    kNodes = 0,
    kElements,
    kOuterBoundaries,
    kInnerBoundaries,
    kAreas,
    kRestraints,
    kSprings,
    kBearingPlates,
    kLoadStatics,
    kLoadCombos,
    kCollectionCount
  };

  bool IsEmpty() const { return m_entries.empty() && !m_bMaterials; }
  // True when the edit changed the model's materials (kept as one value, before and after).
  bool HasMaterials() const { return m_bMaterials; }
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  // The ids of the records of one collection that the change touched, in the order touched.
  std::vector<int> GetTouchedIds(ECollection collection) const {
    std::vector<int> ids;
    for (const SEntry& entry : m_entries) {
      if (entry.eCollection == collection) ids.push_back(entry.nId);
    }
    return ids;
  }

private:
  friend class CStmModel;

  // A missing image means the record did not exist on that side of the edit.
  struct SEntry {
    ECollection eCollection;
    int nId;
    std::unique_ptr<CStmObject> pBefore;
    std::unique_ptr<CStmObject> pAfter;
  };

  std::vector<SEntry> m_entries;
  // While the edit is open: the materials were set; once closed: they differ.
  bool m_bMaterials = false;
  SStmMaterials m_materialsBefore;
  SStmMaterials m_materialsAfter;
  // The node and element naming in force when the change was made: while it still is, the
  // images' names are the right ones; after the naming changed, names follow the new rule.
  int m_nNamingNode = 0;
  int m_nNamingElement = 0;
  // While the edit is open: which records already have their image from before.
  std::map<std::pair<int, int>, size_t> m_mapSeen;
};
