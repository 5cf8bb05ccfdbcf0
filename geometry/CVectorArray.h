// An array of heap-allocated vectors that owns them, as the snap and outline routines expect.
#pragma once

#include <memory>
#include <vector>

#include "geometry/CVector.h"

class CVectorArray {
public:
  CVectorArray() = default;
  CVectorArray(const CVectorArray& other) { *this = other; }
  CVectorArray& operator=(const CVectorArray& other) {
    if (this != &other) {
      RemoveAll();
      for (const auto& v : other.m_items) Add(new CVector(*v));
    }
    return *this;
  }
  CVectorArray(CVectorArray&&) noexcept = default;
  CVectorArray& operator=(CVectorArray&&) noexcept = default;

  // Takes ownership of the vector.
  int Add(CVector* v) { m_items.emplace_back(v); return GetSize() - 1; }
  int Add(const CVector& v) { return Add(new CVector(v)); }
  int GetSize() const { return static_cast<int>(m_items.size()); }
  bool IsEmpty() const { return m_items.empty(); }
  CVector* GetAt(int i) const { return m_items.at(static_cast<size_t>(i)).get(); }
  CVector& operator[](int i) const { return *GetAt(i); }
  void RemoveAt(int i) { m_items.erase(m_items.begin() + i); }
  void RemoveAll() { m_items.clear(); }

private:
  std::vector<std::unique_ptr<CVector>> m_items;
};
