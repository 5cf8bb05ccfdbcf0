// The base of every model record: its id within its kind, its name, its enabled flag and the
// integer and text attributes that hosts attach to records.
#pragma once

#include <array>
#include <map>
#include <memory>

#include "host/model/StmModelTypes.h"
#include "host/platform/CString.h"

class CStmModel;

class CStmObject {
public:
  // Integer attribute that holds an element's boundary membership: 0 none, 1 outer, 2 inner.
  static constexpr int kAttrBoundary = 4;
  static constexpr int kAttrCount = 8;

  explicit CStmObject(EStmTypeObject type) : m_eType(type) {}
  virtual ~CStmObject() = default;
  CStmObject(const CStmObject&) = delete;
  CStmObject& operator=(const CStmObject&) = delete;

  int GetId() const { return m_nId; }
  const CString& GetName() const { return m_strName; }
  void SetName(const CString& name) {
    Touch();
    m_strName = name;
  }
  EStmTypeObject GetTypeObject() const { return m_eType; }

  // Records are disabled instead of erased, so that an undo can bring them back.
  virtual bool IsEnable() const { return m_bEnable; }
  virtual void SetEnable(int enable) {
    if (m_bEnable == (enable != 0)) return;
    Touch();
    m_bEnable = enable != 0;
  }

  // -1 for an index outside 0..kAttrCount-1.
  int GetAttributeInt(int index) const;
  void SetAttributeInt(int index, int value);
  const CString& GetAttributeText() const { return m_strAttribute; }
  void SetAttributeText(const CString& text) {
    Touch();
    m_strAttribute = text;
  }

  // The model that holds the record; null for a record on its own.
  CStmModel* GetModel() const { return m_pModel; }

  // A record exactly as it is (id, links, results, children), outside any model: the images
  // that let an undo put a record back as it was, not as a guess from positions.
  virtual std::unique_ptr<CStmObject> Clone() const = 0;
  // Takes every field of an image of the same class; the owner stays. Nothing is recorded.
  virtual void Restore(const CStmObject& image) = 0;
  // True when the other record holds exactly what Restore would take from it (owner aside), so
  // that an edit which put a record back as it found it leaves no trace in the history.
  virtual bool IsEqual(const CStmObject& other) const = 0;

protected:
  // Every change of a record goes through here first, so that an open change of the owning
  // model keeps the record's image from before the change. A record inside another record (a
  // load in its condition) is kept as part of its parent.
  void Touch();
  // The fields of this base: id, name, enabled flag and attributes (not the owner).
  void CopyBase(const CStmObject& other);
  // The same class and the same fields of this base.
  bool IsEqualBase(const CStmObject& other) const;
  // Clone for a record class whose Restore takes every field.
  template <class T>
  static std::unique_ptr<CStmObject> CloneOf(const T& record) {
    auto copy = std::make_unique<T>();
    copy->Restore(record);
    return copy;
  }
  // Copies of the child records of another record (loads of a condition, terms of a
  // combination), owned by this one; what the map held before is the caller's to free.
  template <class T>
  void CopyChildren(const std::map<int, T*>& from, std::map<int, T*>& to) {
    to.clear();
    for (const auto& [id, child] : from) {
      T* copy = static_cast<T*>(child->Clone().release());
      copy->m_pParent = this;
      to[id] = copy;
    }
  }
  void SetParent(CStmObject* parent) { m_pParent = parent; }
  // Child records of two records hold the same ids with equal records.
  template <class T>
  static bool IsEqualChildren(const std::map<int, T*>& a, const std::map<int, T*>& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
      if (i->first != j->first || !i->second->IsEqual(*j->second)) return false;
    }
    return true;
  }

  // The attributes a record hands on when it is assigned to another; boundary membership
  // stays, since the boundaries own it.
  void CopyAttributes(const CStmObject& other);

private:
  // Ids are unique within a kind, so only the containers hand them out.
  friend class CStmModel;
  friend class CStmObjLoadConditionStatic;
  friend class CStmObjLoadConditionCombo;

  EStmTypeObject m_eType;
  int m_nId = -1;
  CString m_strName;
  bool m_bEnable = true;
  std::array<int, kAttrCount> m_attributes{};
  CString m_strAttribute;
  CStmModel* m_pModel = nullptr;
  CStmObject* m_pParent = nullptr;
};
