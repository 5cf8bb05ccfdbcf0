// The registry of run-time classes by name.
#include "host/platform/CObject.h"

#include <map>
#include <string>

#include "host/platform/CArchive.h"

namespace {
// A function-local map, so that registration from static initialisers in any order is safe.
std::map<std::string, const CRuntimeClass*>& Registry() {
  static std::map<std::string, const CRuntimeClass*> registry;
  return registry;
}
}  // namespace

CRuntimeClass::CRuntimeClass(const char* name, const CRuntimeClass* base, CObject* (*create)())
    : m_lpszClassName(name), m_pBaseClass(base), m_pfnCreateObject(create) {
  Registry()[name] = this;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass)
    if (cls == base) return true;
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name) {
  if (!name) return nullptr;
  const auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

CObject* CRuntimeClass::CreateObject(const char* name) {
  const CRuntimeClass* cls = FromName(name);
  return cls ? cls->CreateObject() : nullptr;
}

const CRuntimeClass CObject::classCObject("CObject", nullptr, nullptr);

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
