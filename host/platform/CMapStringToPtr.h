// A map from key strings to untyped pointers, ordered by key, as the selection maps are.
#pragma once

#include <map>

#include "host/platform/CString.h"

class CMapStringToPtr {
public:
  using Map = std::map<CString, void*>;

  void SetAt(const CString& key, void* value) { m_map[key] = value; }
  bool Lookup(const CString& key, void*& value) const {
    const auto it = m_map.find(key);
    if (it == m_map.end()) return false;
    value = it->second;
    return true;
  }
  bool RemoveKey(const CString& key) { return m_map.erase(key) > 0; }
  void RemoveAll() { m_map.clear(); }
  int GetCount() const { return static_cast<int>(m_map.size()); }
  bool IsEmpty() const { return m_map.empty(); }

  Map::const_iterator begin() const { return m_map.begin(); }
  Map::const_iterator end() const { return m_map.end(); }

private:
  Map m_map;
};
