// Run-time class information: class names, creation by name and kind tests, as the entity
// framework needs to create and archive entities by class name.
#pragma once

class CArchive;
class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;
  CObject* (*m_pfnCreateObject)();  // null for classes that cannot be created by name

  // Registers the class under its name so that FromName finds it.
  CRuntimeClass(const char* name, const CRuntimeClass* base, CObject* (*create)());

  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
  bool IsDerivedFrom(const CRuntimeClass* base) const;

  // Null when no class of that name is linked in.
  static const CRuntimeClass* FromName(const char* name);
  static CObject* CreateObject(const char* name);
};

class CObject {
public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual void Serialize(CArchive& ar);
  bool IsKindOf(const CRuntimeClass* cls) const;

  static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                 \
public:                                             \
  static const CRuntimeClass class##class_name;     \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define IMPLEMENT_RUNTIMECLASS_(class_name, base_name, create)                                        \
  const CRuntimeClass class_name::class##class_name(#class_name, RUNTIME_CLASS(base_name), create);   \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_name) IMPLEMENT_RUNTIMECLASS_(class_name, base_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name)                    \
  CObject* class_name::CreateObject() { return new class_name; }      \
  IMPLEMENT_RUNTIMECLASS_(class_name, base_name, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_name, schema) IMPLEMENT_DYNCREATE(class_name, base_name)

// Checked down-cast through the run-time class; null when the object is of another kind.
// The class record is passed in because RUNTIME_CLASS pastes tokens and cannot take a
// template parameter.
template <class T>
T* DynamicDownCast(const CRuntimeClass* cls, CObject* obj) {
  return obj && obj->IsKindOf(cls) ? static_cast<T*>(obj) : nullptr;
}
#define DYNAMIC_DOWNCAST(class_name, object) DynamicDownCast<class_name>(RUNTIME_CLASS(class_name), object)
