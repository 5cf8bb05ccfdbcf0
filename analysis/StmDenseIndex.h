// Records of one of the model's maps by id, for lookups inside loops over every member or node:
// through one array when the ids are compact (a model built or read numbers them from 1), else
// through a hash, never a walk down the map's tree per lookup.
#pragma once

#include <cstddef>
#include <map>
#include <unordered_map>
#include <vector>

template <class T>
class CStmDenseIndex {
public:
  explicit CStmDenseIndex(const std::map<int, T*>& records) {
    const size_t count = records.size();
    if (!records.empty() && records.begin()->first >= 0 &&
        static_cast<size_t>(records.rbegin()->first) <= 4 * count + 1024) {
      m_direct.assign(static_cast<size_t>(records.rbegin()->first) + 1, nullptr);
      for (const auto& [id, record] : records) m_direct[static_cast<size_t>(id)] = record;
    } else {
      m_hash.reserve(count);
      for (const auto& [id, record] : records) m_hash.emplace(id, record);
    }
  }
  // Null for an id the map does not hold.
  T* operator()(int id) const {
    if (m_hash.empty()) return id >= 0 && static_cast<size_t>(id) < m_direct.size() ? m_direct[static_cast<size_t>(id)] : nullptr;
    const auto it = m_hash.find(id);
    return it == m_hash.end() ? nullptr : it->second;
  }

private:
  std::vector<T*> m_direct;
  std::unordered_map<int, T*> m_hash;
};
