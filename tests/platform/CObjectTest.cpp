// Run-time classes: kind tests through a two-level hierarchy, creation by class name and
// checked down-casts, as the entity container uses them.
#include <gtest/gtest.h>

#include <memory>

#include "host/platform/CObject.h"

namespace {

class CPlatformTestShape : public CObject {
  DECLARE_DYNCREATE(CPlatformTestShape)
};
IMPLEMENT_DYNCREATE(CPlatformTestShape, CObject)

class CPlatformTestCircle : public CPlatformTestShape {
  DECLARE_SERIAL(CPlatformTestCircle)
};
IMPLEMENT_SERIAL(CPlatformTestCircle, CPlatformTestShape, 1)

// Known by name but not creatable.
class CPlatformTestUncreatable : public CObject {
  DECLARE_DYNAMIC(CPlatformTestUncreatable)
};
IMPLEMENT_DYNAMIC(CPlatformTestUncreatable, CObject)

TEST(CObject, IsKindOfFollowsTheBaseChain) {
  const CPlatformTestCircle circle;
  const CPlatformTestShape shape;
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CPlatformTestCircle)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CPlatformTestShape)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(shape.IsKindOf(RUNTIME_CLASS(CPlatformTestCircle)));
  EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CPlatformTestUncreatable)));
  const CPlatformTestUncreatable other;
  EXPECT_FALSE(other.IsKindOf(RUNTIME_CLASS(CPlatformTestShape)));
  EXPECT_FALSE(circle.IsKindOf(nullptr));
  EXPECT_EQ(RUNTIME_CLASS(CPlatformTestShape), circle.GetRuntimeClass()->m_pBaseClass);
}

TEST(CObject, CreationByName) {
  std::unique_ptr<CObject> obj(CRuntimeClass::CreateObject("CPlatformTestCircle"));
  ASSERT_NE(nullptr, obj);
  EXPECT_EQ(RUNTIME_CLASS(CPlatformTestCircle), obj->GetRuntimeClass());
  EXPECT_STREQ("CPlatformTestCircle", obj->GetRuntimeClass()->m_lpszClassName);
  EXPECT_EQ(RUNTIME_CLASS(CPlatformTestShape), CRuntimeClass::FromName("CPlatformTestShape"));
  EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CPlatformTestSquare"));
  EXPECT_EQ(nullptr, CRuntimeClass::FromName(nullptr));
  EXPECT_NE(nullptr, CRuntimeClass::FromName("CPlatformTestUncreatable"));
  EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CPlatformTestUncreatable"));
}

TEST(CObject, DynamicDowncastChecksTheKind) {
  CPlatformTestCircle circle;
  CPlatformTestShape shape;
  CObject* asObject = &circle;
  EXPECT_EQ(&circle, DYNAMIC_DOWNCAST(CPlatformTestCircle, asObject));
  EXPECT_EQ(&circle, DYNAMIC_DOWNCAST(CPlatformTestShape, asObject));
  asObject = &shape;
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CPlatformTestCircle, asObject));
  EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CPlatformTestShape, static_cast<CObject*>(nullptr)));
}

}  // namespace
