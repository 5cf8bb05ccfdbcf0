// A static load condition: a named set of nodal loads, held in id order.
#pragma once

#include <map>

#include "host/model/CStmObjLoadNode.h"

class CStmObjLoadConditionStatic : public CStmObject {
public:
  CStmObjLoadConditionStatic() : CStmObject(STM_OBJ_LOAD_STATIC) {}
  ~CStmObjLoadConditionStatic() override;

  const std::map<int, CStmObjLoadNode*>& GetLoadNodes() const { return m_loads; }
  CStmObjLoadNode* GetLoadNode(int id) const;

  // Adds a nodal load. With merge set, a load already acting on the node grows by this one
  // (so that combined conditions hold one load per node); otherwise a new record is made.
  // Returns the record that holds the load; null for a non-finite load.
  CStmObjLoadNode* AddLoadNode(const CString& name, int idNode, const CVector& load, int merge);
  // Adds a load record with a given id (-1: the next free one); null when the id is taken.
  CStmObjLoadNode* AddLoadNodeWithId(int id, const CString& name, int idNode, const CVector& load);
  void ClearLoadNode();
  // Removes the load records acting on a node; returns how many went.
  int RemoveLoadNodes(int idNode);

  std::unique_ptr<CStmObject> Clone() const override;
  void Restore(const CStmObject& image) override;
  bool IsEqual(const CStmObject& image) const override;

private:
  void FreeLoads();

  std::map<int, CStmObjLoadNode*> m_loads;
};
