// A load combination: scaled static conditions and other combinations, named in id order.
#pragma once

#include <map>

#include "host/model/CStmObjLoadComboFactor.h"

class CStmObjLoadConditionCombo : public CStmObject {
public:
  CStmObjLoadConditionCombo() : CStmObject(STM_OBJ_LOAD_COMBO) {}
  ~CStmObjLoadConditionCombo() override;

  const std::map<int, CStmObjLoadComboFactor*>& GetComboFactors() const { return m_factors; }
  CStmObjLoadComboFactor* GetComboFactor(int id) const;

  // Adds a term (id -1: the next free one). Refused (null) for an unknown type, a taken id, a
  // non-finite scale, or, inside a model, a term that would make the combination contain itself.
  CStmObjLoadComboFactor* AddComboFactor(const CString& nameCondition, int type, double scale, int id = -1);
  // The same without the containment check, for a reader that has checked the whole graph of
  // combinations at once: checking term by term costs a walk of the graph per term.
  CStmObjLoadComboFactor* RestoreComboFactor(const CString& nameCondition, int type, double scale, int id);
  void ClearComboFactor();
  // Takes one term away; 0 when there is no term of that id.
  int RemoveComboFactor(int id);

  std::unique_ptr<CStmObject> Clone() const override;
  void Restore(const CStmObject& image) override;
  bool IsEqual(const CStmObject& image) const override;

private:
  void FreeFactors();

  std::map<int, CStmObjLoadComboFactor*> m_factors;
};
