// One term of a load combination: a static condition or another combination, by name, scaled.
#pragma once

#include "host/model/CStmObject.h"

class CStmObjLoadComboFactor : public CStmObject {
public:
  static constexpr int kTypeStatic = 0;
  static constexpr int kTypeCombo = 1;

  CStmObjLoadComboFactor() : CStmObject(STM_OBJ_COMBO_FACTOR) {}

  const CString& GetNameLoadCondition() const { return m_strCondition; }
  void SetNameLoadCondition(const CString& name) {
    Touch();
    m_strCondition = name;
  }
  // 0 static load condition, 1 load combination.
  int GetTypeLoadCondition() const { return m_nType; }
  void SetTypeLoadCondition(int type) {
    Touch();
    m_nType = type;
  }
  double GetScaleFactor() const { return m_dScale; }
  void SetScaleFactor(double scale) {
    Touch();
    m_dScale = scale;
  }

  std::unique_ptr<CStmObject> Clone() const override { return CloneOf(*this); }
  void Restore(const CStmObject& image) override {
    const auto& other = static_cast<const CStmObjLoadComboFactor&>(image);
    CopyBase(other);
    m_strCondition = other.m_strCondition;
    m_nType = other.m_nType;
    m_dScale = other.m_dScale;
  }
  bool IsEqual(const CStmObject& image) const override {
    const auto* other = dynamic_cast<const CStmObjLoadComboFactor*>(&image);
    return other && IsEqualBase(image) && m_strCondition == other->m_strCondition && m_nType == other->m_nType &&
           m_dScale == other->m_dScale;
  }

private:
  CString m_strCondition;
  int m_nType = kTypeStatic;
  double m_dScale = 1.0;
};
