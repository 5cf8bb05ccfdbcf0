// The strut-and-tie model: every record of the document in maps by id, walked in ascending id
// order, with the display settings, the type definitions and the analysis results.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/model/CStmDataConfig.h"
#include "host/model/CStmDataDefine.h"
#include "host/model/CStmDataView.h"
#include "host/model/CStmModelChange.h"
#include "host/model/CStmObjArea.h"
#include "host/model/CStmObjBearingPlate.h"
#include "host/model/CStmObjBoundary.h"
#include "host/model/CStmObjElement.h"
#include "host/model/CStmObjLoadConditionCombo.h"
#include "host/model/CStmObjLoadConditionStatic.h"
#include "host/model/CStmObjNode.h"
#include "host/model/CStmObjRestraint.h"
#include "host/model/CStmObjSpring.h"
#include "host/model/StmCheckResults.h"
#include "host/model/StmMaterials.h"

// Records are never erased: a deleted record is disabled and stays, so that undo can enable it
// again. Ids are unique within a kind (outer and inner boundaries share one id range) and start
// at 1. The model owns its records; the pointers it hands out live as long as the model.
class CStmModel {
public:
  template <class T>
  using Map = std::map<int, T*>;

  CStmModel();
  ~CStmModel();
  CStmModel(const CStmModel&) = delete;
  CStmModel& operator=(const CStmModel&) = delete;

  // Exchanges the whole content with another model (records follow their new owner).
  void Swap(CStmModel& other);
  // Empties the model back to a new one, settings included.
  void Clear();

  // ---- Creation. Each returns the new record, or null when refused. An id of -1 takes the
  // next free id; an explicit id that is taken (or below 1) is refused.
  CStmObjNode* AddNode(const CVector& pos, int id = -1);
  // Refused when a node is missing or both ends are the same node. Takes the name of the
  // current element naming.
  CStmObjElement* AddElement(int idNodeBegin, int idNodeEnd, const SStmPropElement& prop, int id = -1);
  // As a file gives it back: a disabled element may have both ends at one node, where a merge
  // left it for undo.
  CStmObjElement* RestoreElement(int idNodeBegin, int idNodeEnd, const SStmPropElement& prop, int id);
  // One restraint, spring or bearing plate per node: adding to a node that has one changes
  // that record and returns it. Refused for a missing node.
  // id is used only when a new record is made.
  CStmObjRestraint* AddRestraint(int idNode, const SStmDof& dof, double rollerAngle = 0.0, int id = -1);
  CStmObjSpring* AddSpring(int idNode, const CVector& u, const CVector& r, int id = -1);
  CStmObjBearingPlate* AddBearingPlate(int idNode, const SStmPropBearingPlate& prop, int id = -1);
  // A property area from a closed chain of element ids (see SetBoudaryByElementGroup).
  CStmObjArea* AddPropertyArea(const std::vector<int>& idElements, int id = -1);
  // A boundary from its polygon. id -1 adds a new boundary; the id of an existing boundary of
  // that type replaces its polygon and empties its element list.
  CStmObjBoundary* SetBoundary(EStmTypeBoundary type, const std::vector<CVector>& polygon, int id = -1);
  // A boundary from a closed chain of element ids, given in any order and direction: the chain
  // is walked node by node into a polygon that starts at the first element's begin node. The
  // elements get boundary membership (integer attribute 4: 1 outer, 2 inner). Refused when the
  // ids do not form one closed simple loop of at least three existing elements. id as in
  // SetBoundary.
  CStmObjBoundary* SetBoudaryByElementGroup(EStmTypeBoundary type, const std::vector<int>& idElements, int id);
  // A boundary or area exactly as a file holds it: the polygon and element list are taken as
  // they are and the elements' membership is left as stored. Refused for a taken id or an
  // element id the model does not have.
  CStmObjBoundary* RestoreBoundary(EStmTypeBoundary type, int id, std::vector<CVector> points,
                                   std::vector<int> idElements);
  CStmObjArea* RestoreArea(int id, std::vector<CVector> points, std::vector<int> idElements);
  // Load conditions are found by name too, so names are unique among static conditions and
  // among combinations.
  CStmObjLoadConditionStatic* AddLoadConditionStatic(const CString& name, int id = -1);
  CStmObjLoadConditionCombo* AddLoadConditionCombo(const CString& name, int id = -1);
  // The same for a reader that has already checked the names, against its own index: the check
  // here walks every condition, which makes reading many of them quadratic.
  CStmObjLoadConditionStatic* RestoreLoadConditionStatic(const CString& name, int id);
  CStmObjLoadConditionCombo* RestoreLoadConditionCombo(const CString& name, int id);
  // A nodal load in the named static condition; refused for a missing condition or node.
  CStmObjLoadNode* AddLoadNode(const CString& nameCondition, int idNode, const CVector& load);
  // A term of the named combination; refused for a missing combination or one that would
  // reach itself.
  CStmObjLoadComboFactor* AddComboFactor(const CString& nameCombo, const CString& nameCondition, int type,
                                         double scale);

  // ---- Changes that can be taken back. Between BeginChange and EndChange every record keeps
  // its image from before its first change (and created records are noted), so that the change
  // can be undone and redone exactly. Calls nest; the outermost EndChange hands the change over,
  // null when nothing was touched. Model-wide settings (view, definitions, results) are not
  // part of a change.
  void BeginChange();
  std::unique_ptr<CStmModelChange> EndChange();
  int IsChangeOpen() const { return m_pChange ? 1 : 0; }
  // Counts every time a record is made, erased or put back: a pointer to a record found while
  // the count stays the same still points at that record.
  unsigned long GetRecordGeneration() const { return m_nRecordGeneration; }
  void UndoChange(const CStmModelChange& change) { ApplyChange(change, true); }
  void RedoChange(const CStmModelChange& change) { ApplyChange(change, false); }
  // Records call this before they change (through CStmObject::Touch).
  void TouchRecord(const CStmObject& record);

  // ---- Edits.
  // Removes what hangs on a node: its nodal loads in every static condition, its restraint,
  // spring and bearing plate, so that nothing is drawn or saved against a node that is gone.
  // Counts what was enabled.
  struct SRemovedOfNode {
    int nLoads = 0;
    int nSupports = 0;
  };
  SRemovedOfNode RemoveNodeDependants(int idNode);
  // Takes away the node's restraint, spring or bearing plate, so that a support the user
  // clears is gone from the file as if never given (an open change keeps it for undo). 0 when
  // the node has none.
  int RemoveRestraint(int idNode);
  int RemoveSpring(int idNode);
  int RemoveBearingPlate(int idNode);
  // The first combination with a term naming the condition of that type (a factor's type);
  // null when none does.
  const CStmObjLoadConditionCombo* GetComboUsing(int type, const CString& name) const;
  // Takes a condition away with its loads; refused (0) while a combination names it.
  int RemoveLoadCondition(int type, const CString& name);
  // Renames a condition and every term that names it; refused (0) for a missing condition or
  // an empty or taken name.
  int RenameLoadCondition(int type, const CString& from, const CString& to);
  // Hands everything that hangs on node old over to node keep: element links, nodal loads, and
  // the restraint, spring and bearing plate when keep has none (otherwise old's are disabled).
  // Node old itself is left as it is; the caller disables it. Returns 0 when a node is missing
  // or keep == old.
  int MergeNode(int idKeep, int idOld);
  void SetEnableNode(int id, int enable);
  void SetEnableElement(int id, int enable);
  void SetEnableBoundary(EStmTypeBoundary type, int id, int enable);
  void SetEnablePropertyArea(int id, int enable);
  // Re-derives every element's strut/tie type from its forces at the current decimals.
  void SetElementType();
  // Renames every node and element by the naming styles of the display settings.
  void RenameObject();
  void SetPlane(int plane) { m_nPlane = plane; }
  int GetPlane() const { return m_nPlane; }
  void SetStmModifiedFlag(int flag) { m_bModified = flag != 0; }
  int GetStmModifiedFlag() const { return m_bModified ? 1 : 0; }
  // Locked while analysis results stand.
  int IsLock() const { return m_bLock ? 1 : 0; }
  void SetLock(int lock) { m_bLock = lock != 0; }
  // An input model is one the user draws; a model made by the analysis is not.
  int IsInputModel() const { return m_bInputModel ? 1 : 0; }
  void SetInputModel(int input) { m_bInputModel = input != 0; }

  // ---- Queries. Maps hold disabled records too; callers test IsEnable.
  const Map<CStmObjNode>& GetNodes() const { return m_nodes; }
  const Map<CStmObjElement>& GetElements() const { return m_elements; }
  // Outer (0) or inner (any other type) boundaries.
  const Map<CStmObjBoundary>& GetBoundarys(EStmTypeBoundary type) const;
  const Map<CStmObjArea>& GetPropertyAreas() const { return m_areas; }
  const Map<CStmObjRestraint>& GetRestraints() const { return m_restraints; }
  const Map<CStmObjSpring>& GetSprings() const { return m_springs; }
  const Map<CStmObjBearingPlate>& GetBearingPlates() const { return m_plates; }
  const Map<CStmObjLoadConditionStatic>& GetLoadConditionStatics() const { return m_statics; }
  const Map<CStmObjLoadConditionCombo>& GetLoadConditionCombos() const { return m_combos; }

  CStmObjNode* GetNode(int id) const;
  // The first enabled node, in id order, whose x, y and z each differ from pos by at most
  // 1e-5 (inclusive); null when none.
  CStmObjNode* GetNode(const CVector& pos) const;
  CStmObjElement* GetElement(int id) const;
  // byIndex 0: key is the id, and -1 means the first enabled boundary of the type.
  // byIndex 1: key is a position among the enabled boundaries of the type in id order.
  CStmObjBoundary* GetBoundaryObj(EStmTypeBoundary type, int key, int byIndex) const;
  // A copy of the polygon of GetBoundaryObj(type, id, 0); empty when there is none.
  std::vector<CVector> GetBoundary(EStmTypeBoundary type, int id) const;
  // As GetBoundaryObj, over the property areas.
  CStmObjArea* GetPropertyArea(int key, int byIndex) const;
  // The restraint of a node; with onlyEnabled set a disabled restraint counts as none.
  CStmObjRestraint* GetRestraintNode(int idNode, int onlyEnabled = 1) const;
  CStmObjSpring* GetSpringNode(int idNode) const;
  CStmObjBearingPlate* GetBearingPlateNode(int idNode) const;
  // Enabled restraints (springs) grouped by equal fixity and roller angle (equal U and R), in
  // the order each group first appears; each group lists its node ids in id order.
  std::vector<std::vector<int>> GetRestraintGroup() const;
  std::vector<std::vector<int>> GetSpringGroup() const;
  // Enabled elements that begin or end at the node, in id order; found through the node's own
  // list of elements, so the cost follows the node's degree, not the model's size.
  std::vector<CStmObjElement*> GetInvolvedElements(int idNode) const;
  int GetCountInvolvedElements(int idNode) const;

  int GetCountNode(int onlyEnabled) const;
  int GetCountElement(int onlyEnabled) const;
  int GetCountBoundary(EStmTypeBoundary type, int onlyEnabled) const;
  int GetCountPropertyArea(int onlyEnabled) const;

  // Load conditions are numbered as one list: the static ones in map order, then the
  // combinations; the same numbering indexes results per load case.
  int GetCountLoadConditionStatic() const { return static_cast<int>(m_statics.size()); }
  int GetCountLoadConditionCombo() const { return static_cast<int>(m_combos.size()); }
  CStmObjLoadConditionStatic* GetLoadConditionStaticIndex(int index) const;
  CStmObjLoadConditionCombo* GetLoadConditionComboIndex(int index) const;
  CStmObjLoadConditionStatic* GetLoadConditionStatic(const CString& name) const;
  CStmObjLoadConditionCombo* GetLoadConditionCombo(const CString& name) const;
  // True when the combination named from, or any combination it names, is the one named target.
  bool IsComboReaching(const CString& from, const CString& target) const;
  // The static conditions a combination comes to through all its terms, each once with the sum
  // over every way of reaching it of the product of the scales, in the order first reached;
  // names that do not exist add nothing. Linear in the terms, however deep the chain.
  std::vector<std::pair<const CStmObjLoadConditionStatic*, double>> GetComboWeights(
      const CStmObjLoadConditionCombo& combo) const;

  CStmDataView* GetStmDataView() { return &m_view; }
  const CStmDataView* GetStmDataView() const { return &m_view; }
  CStmDataDefine* GetStmDataDefine() { return &m_define; }
  const CStmDataDefine* GetStmDataDefine() const { return &m_define; }
  CStmDataConfig* GetStmDataConfig() { return &m_config; }
  const CStmDataConfig* GetStmDataConfig() const { return &m_config; }

  // Names from the definitions for the element's strut or tie type index; null for none.
  const CString* GetStrutType(const CStmObjElement* element) const;
  const CString* GetTieType(const CStmObjElement* element) const;
  // The node's type under a load case from what meets it there, struts as "C" before ties as "T"
  // (e.g. "CCT"): the classified elements (stability elements aside), a support reaction as a
  // strut, and a load as a strut where it pushes into the node (towards its members) or a tie
  // where it pulls away; empty while unlocked or when nothing meets it.
  CString GetNodeType(const CStmObjNode* node, int loadCase) const;
  // GetNodeType of every node, in id order, from one pass over the case's loads instead of one
  // per node: the checks ask for every node in every case.
  std::vector<std::pair<int, CString>> GetNodeTypes(int loadCase) const;

  // ---- Results.
  // Polygons in model coordinates; false (and out empty) for a missing element or region.
  bool GetEffectiveRegion(int idElement, std::vector<CVector>& out) const;
  bool GetMaxEffectiveRegion(int idElement, std::vector<CVector>& out) const;

  const std::vector<SStmEsoStep>& GetEsoSteps() const { return m_esoSteps; }
  void SetEsoSteps(std::vector<SStmEsoStep> steps) { m_esoSteps = std::move(steps); }
  int GetCountStepEso() const { return static_cast<int>(m_esoSteps.size()); }
  int GetCurrentStepEso() const { return m_nStepEso; }
  void SetCurrentStepEso(int step) { m_nStepEso = step; }
  // Extremes of the cell values of a step (absolute values when absolute is set); 0 for a
  // step outside the list or without cells.
  double GetMinResultEso(int absolute, int step) const;
  double GetMaxResultEso(int absolute, int step) const;

  const std::vector<SStmStressFlow>& GetStressFlow() const { return m_stressFlow; }
  void SetStressFlow(std::vector<SStmStressFlow> flow) { m_stressFlow = std::move(flow); }

  const std::vector<SStmResultNodalZone>& GetResultNodalZones() const { return m_nodalZones; }
  void SetResultNodalZones(std::vector<SStmResultNodalZone> zones) { m_nodalZones = std::move(zones); }
  int GetCurrentNodalZone() const { return m_nNodalZone; }
  void SetCurrentNodalZone(int index) { m_nNodalZone = index; }

  // The two mesh stores; the mesh type says which one the mesh layer shows (0 plane, 1 space).
  const SStmMeshPlane& GetMeshPlane() const { return m_meshPlane; }
  void SetMeshPlane(SStmMeshPlane mesh) { m_meshPlane = std::move(mesh); }
  const SStmMeshSpace& GetMeshSpace() const { return m_meshSpace; }
  void SetMeshSpace(SStmMeshSpace mesh) { m_meshSpace = std::move(mesh); }
  int GetTypeMesh() const { return m_nTypeMesh; }
  void SetTypeMesh(int type) { m_nTypeMesh = type; }

  const std::vector<SStmSegment>& GetBoundaryRefs() const { return m_boundaryRefs; }
  void SetBoundaryRefs(std::vector<SStmSegment> refs) { m_boundaryRefs = std::move(refs); }

  // Support reactions by node id, per analysed case (statics, then combinations), in model
  // coordinates and the model's force unit.
  const std::map<int, std::vector<CVector>>& GetResultReactions() const { return m_reactions; }
  void SetResultReactions(std::map<int, std::vector<CVector>> reactions) { m_reactions = std::move(reactions); }
  // A force as the user reads it: its two components along the plane's axes, named after the
  // axes, at the model's decimals and in its force unit ("Rx 12.5 kN, Rz 100.0 kN").
  CString GetReactionText(const CVector& force) const;

  // The design checks of the last analysis.
  const SStmCheckResults& GetCheckResults() const { return m_checks; }
  void SetCheckResults(SStmCheckResults checks) { m_checks = std::move(checks); }

  // Drops every result (forces, reactions, checks, zones, regions, ESO, flow, meshes) and unlocks the model.
  void ClearResults();

  // ---- Materials and design code.
  const SStmMaterials& GetMaterials() const { return m_materials; }
  // Inside an open change the old values are kept, so that undo gives them back.
  void SetMaterials(const SStmMaterials& materials);

  // ---- Document text.
  const CString& GetDescription() const { return m_strDescription; }
  void SetDescription(const CString& text) { m_strDescription = text; }
  const CString& GetUnitLength() const { return m_strUnitLength; }
  void SetUnitLength(const CString& unit) { m_strUnitLength = unit; }
  const CString& GetUnitForce() const { return m_strUnitForce; }
  void SetUnitForce(const CString& unit) { m_strUnitForce = unit; }

  // ---- Kept in step by the records themselves.
  // Gives an element the name of the current element naming (letters follow its nodes).
  void NameElement(CStmObjElement& element) const;
  // Re-derives integer attribute 4 of every element from the enabled boundaries.
  void UpdateBoundaryMembership();
  // The node-to-element lists follow an element's links (called by the element).
  void LinkElement(const CStmObjElement& element);
  void UnlinkElement(const CStmObjElement& element);

private:
  // Every enabled nodal load of a load case (a combination's through its weighted cases), in the
  // order the node types sum them.
  void ForEachCaseLoad(int loadCase, const std::function<void(const CStmObjLoadNode&, double)>& visit) const;
  CString NodeTypeOf(const CStmObjNode& node, int loadCase, const CVector& load) const;
  // The type from the struts and ties meeting the node and the sum of unit vectors towards those
  // that carry force, with its support and load.
  CString NodeTypeFrom(int idNode, int loadCase, int struts, int ties, const CVector& inward, const CVector& load) const;
  template <class T>
  T* Adopt(Map<T>& map, T* record, int id);
  void NameNode(CStmObjNode& node) const;
  // Walks element ids into a closed polygon; false when they do not form one simple loop.
  bool OrderChain(const std::vector<int>& idElements, std::vector<CVector>& points, std::vector<int>& ordered) const;
  int NextBoundaryId() const;
  void AttachAll();
  void RebuildNodeLinks();
  void ApplyChange(const CStmModelChange& change, bool undo);
  // A new record is noted in an open change so that undo takes it away again.
  void NoteCreated(const CStmObject& record);
  static CStmModelChange::ECollection CollectionOf(const CStmObject& record);
  // Calls f with the typed map of a collection.
  template <class F>
  void WithCollection(CStmModelChange::ECollection collection, F&& f);
  // Takes a record out of its map for good, keeping its image in an open change.
  template <class T>
  void EraseRecord(Map<T>& map, int id);

  Map<CStmObjNode> m_nodes;
  Map<CStmObjElement> m_elements;
  Map<CStmObjBoundary> m_boundaries[2];
  Map<CStmObjArea> m_areas;
  Map<CStmObjRestraint> m_restraints;
  Map<CStmObjSpring> m_springs;
  Map<CStmObjBearingPlate> m_plates;
  Map<CStmObjLoadConditionStatic> m_statics;
  Map<CStmObjLoadConditionCombo> m_combos;

  CStmDataView m_view;
  CStmDataDefine m_define;
  CStmDataConfig m_config;

  int m_nPlane = STM_PLANE_XZ;
  bool m_bLock = false;
  bool m_bInputModel = true;
  bool m_bModified = false;
  CString m_strDescription;
  CString m_strUnitLength = "mm";
  CString m_strUnitForce = "kN";

  std::vector<SStmEsoStep> m_esoSteps;
  int m_nStepEso = -1;
  std::vector<SStmStressFlow> m_stressFlow;
  std::vector<SStmResultNodalZone> m_nodalZones;
  int m_nNodalZone = -1;
  SStmMeshPlane m_meshPlane;
  SStmMeshSpace m_meshSpace;
  int m_nTypeMesh = 0;
  std::vector<SStmSegment> m_boundaryRefs;
  std::map<int, std::vector<CVector>> m_reactions;
  SStmMaterials m_materials;
  SStmCheckResults m_checks;

  // Element ids per node id, disabled elements included.
  std::unordered_map<int, std::vector<int>> m_nodeElements;
  std::unique_ptr<CStmModelChange> m_pChange;
  int m_nChangeDepth = 0;
  unsigned long m_nRecordGeneration = 0;
};
