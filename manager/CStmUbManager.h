// The scene manager of one strut-and-tie document: mirrors the bound model as scene entities,
// keeps the model's enabled flags in step with the registry, answers lookups by position, and
// holds the display state (view position, selection filter, load and result indices, marks and
// load arrows) that the render window reads.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVectorArray.h"
#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/model/CStmModel.h"
#include "manager/SStmLoadArrowSet.h"
#include "manager/StmManagerTypes.h"

class CDialog;
class CStmDlgCoord;
class CStmEntityArea;
class CStmEntityBoundary;
class CStmEntityElement;
class CStmEntityGuideline;
class CStmEntityNode;
class CStmEntityObject;
class CStmDlgViewControl;
class CStmUbRenderer;
class CStmDlgAngle;
class CStmDlgOffset;

class CStmUbManager : public CUbManage {
public:
  static constexpr long kSnapModeDefault = 0x80DA;
  // Command ids of the actions: 48 to 66, 60 unused.
  static constexpr long kActionFirst = 48;
  static constexpr long kActionNormal = 48;
  static constexpr long kActionCombinedMechanism = 56;
  static constexpr long kActionBottleShape = 57;
  static constexpr long kActionTruss = 58;
  static constexpr long kActionArch = 59;
  static constexpr long kActionAddNode = 51;
  static constexpr long kActionAddElement = 52;
  static constexpr long kActionAddGuideline = 53;
  static constexpr long kActionPaste = 55;
  static constexpr long kActionUnused = 60;
  static constexpr long kActionMove = 61;
  static constexpr long kActionStretch = 62;
  static constexpr long kActionPan = 63;
  static constexpr long kActionOffset = 64;
  static constexpr long kActionMirror = 65;
  static constexpr long kActionRotate = 66;
  static constexpr long kActionLast = 66;

  CStmUbManager();
  ~CStmUbManager() override;

  // Registry hooks: the model's enabled flags and node links follow what enters and leaves.
  int AddEtt(CUbEntityObj* entity, int record, int flag) override;
  int DeleteEtt(CUbEntityObj* entity, int keep, int record, int redraw) override;
  void SelectRemoveAll() override;
  // The base's classes first, then the six entity classes by name; null for any other name.
  CUbEntityObj* CreateEntityObj(CString className) override;

  // ---- Binding and view state.
  void SetStmModel(CStmModel* model) { m_pStmModel = model; }
  // The current model: the beginning model while it is viewed, else the working model.
  CStmModel* GetStmModel() const { return m_bViewBeginning ? m_pStmBeginning : m_pStmModel; }
  void SetStmBeginning(CStmModel* model) { m_pStmBeginning = model; }
  CStmModel* GetStmBeginning() const { return m_pStmBeginning; }
  void SetActiveStmModel(int active) { m_bActiveStmModel = active; }
  int IsActiveStmModel() const { return m_bActiveStmModel; }
  void SetViewBeginning(int view);
  int IsViewBeginning() const { return m_bViewBeginning; }
  void SetViewBackgroundLoadStatic(int view);
  int IsviewBackgroundLoadStatic() const { return m_bViewBackgroundLoadStatic; }
  EStmViewMode GetViewMode() const { return m_eViewMode; }
  void SetTypeSelection(EStmTypeSelection type) { m_eTypeSelection = type; }
  EStmTypeSelection GetTypeSelection() const { return m_eTypeSelection; }
  void EnableBoundarySelection(int enable) { m_bEnableBoundarySelection = enable; }
  int IsEnableBoundarySelection() const { return m_bEnableBoundarySelection; }
  // Stores the view position and tells the current model its plane.
  void SetViewPos(CUbRenderWnd::VIEW_POS pos);
  CUbRenderWnd::VIEW_POS GetViewPos() const { return m_eViewPos; }

  // ---- Drawing plane of the view position.
  CVector GetCoordPlane(const CDPoint& p) const;
  CDPoint GetPointPlane(const CVector& v) const;
  void Vpt2VectorArray(const std::vector<CDPoint>& pts, CVectorArray& out) const;

  // ---- Registry and model.
  void EnableObject(CUbEntityObj* entity, int enable);
  // Rebuilds every model entity from the current model; grid points and guidelines stay.
  void UpdateStmRenderer();
  // Destroys every entity but grid points and guidelines, without touching the model.
  void RemoveAllStm();

  // ---- Lookups. Positions match within 1e-5 per coordinate, inclusive.
  // The entities of one kind (-1: all) picked around pos in the window.
  void GetNearEnt(CStmUbRenderer& wnd, const CVector& pos, const CSize& box, int kind,
                  std::vector<CUbEntityObj*>& out);
  // candidates null: what the container's index holds at pos; no window is needed.
  CStmEntityNode* GetEntNode(const CVector& pos, const std::vector<CUbEntityObj*>* candidates);
  CStmEntityNode* GetEntNode(int id);
  // Either direction.
  CStmEntityElement* GetEntElement(const CVector& a, const CVector& b, const std::vector<CUbEntityObj*>* candidates);
  CStmEntityElement* GetEntElement(int id);
  // The entity that mirrors a model record (node or element kind), found by its id, not by
  // position; null when the scene has none.
  CStmEntityObject* GetEntityOfRecord(int kind, int id);
  // An entity was given another record id (the entity calls this).
  void OnEttIdStmChanged(CStmEntityObject& entity, int oldId);
  // After a step's records were put back: the node and element entities they mirror take the
  // records' coordinates, so that the scene shows exactly what the model holds.
  void SyncSceneWithRecords(const CStmModelChange& change);
  // First point a and second point b, in that orientation only.
  CStmEntityGuideline* GetEntGuideline(const CVector& a, const CVector& b) const;
  // Appends, in registry order, the element entities with an end at pos (previous non-zero:
  // their ends before the last move).
  void GetEntityInvolvedElements(const CVector& pos, int previous, std::vector<CStmEntityElement*>& out) const;
  int GetCountEntityInvolvedElement(const CVector& pos, int previous) const;

  // ---- Topology editing. Each edit is one undo step; node and element records are only
  // ever disabled, never removed, so that undo can bring them back.
  // reuse: hand back what already sits at the position instead of making a duplicate.
  CStmEntityNode* AddNode(const CVector& pos, int split, int toModel, int record, int reuse,
                          const std::vector<CUbEntityObj*>* candidates);
  // Null for coincident ends with reuse. Without reuse the element stays scene-only (id -1).
  CStmEntityElement* AddElement(const CVector& a, const CVector& b, int toModel, int record, int reuse,
                                const std::vector<CUbEntityObj*>* candidates);
  // Cuts every element that has the node strictly inside into two that meet at the node.
  void SplitElement(CStmEntityNode* node, int toModel, int record);
  // Merges the node into another node entity at the same place, which keeps its links.
  void DeleteNodeDuplication(CStmEntityNode* node);
  void DeleteNodeDuplication(int idElement);
  // Removes the zero-length elements of the list, then those that repeat an element already
  // in the scene in either direction.
  void DeleteElementDuplication(const std::vector<CStmEntityElement*>& elements);
  // After an element moved alone: its own end nodes where other elements still hold the old ones.
  void AddNodeMovedElement(CStmEntityElement* element);
  // After a node was dragged: the elements that ended at its old place follow it.
  void StretchElementMovedNode(CStmEntityNode* node, std::vector<CStmEntityElement*> elements);
  // Stretches several nodes from `from` to `to` as one step: every node and every element end
  // at it moves first, splits and merges follow, so the outcome is the same in any order of the
  // list. A fixed node stays (and says why). Returns how many nodes moved.
  int StretchNodes(const std::vector<CStmEntityNode*>& nodes, const CVector& from, const CVector& to);
  // Deletes the selection without leaving nodes that no element holds; nothing on a locked model.
  // The status line says what went, the loads and supports of removed nodes included.
  void DeleteSelectedEntity();
  // The loads and supports that went with the nodes of the last deletion.
  const CStmModel::SRemovedOfNode& GetRemovedOfLastDelete() const { return m_removedOfNode; }
  // True, with the first coordinate beyond the model's limit and the limit on the status line,
  // when an edit would carry one of these points past it: the edit is then refused whole.
  bool RefuseBeyondLimits(const std::vector<CVector>& points);
  // The words of that refusal, for a tool that writes its own status line; empty when every
  // point is within the limit.
  static CString BeyondLimitsText(const std::vector<CVector>& points);
  // For each node id used by the elements, how many of them use it.
  void GetCountNodeAndLinkedElement(const std::vector<CStmObjElement*>& elements, std::map<int, int>& counts) const;
  // Empty when the scene is what a rebuild from the model would make and the model's records
  // only refer to enabled nodes; otherwise one readable line per difference.
  CString CheckConsistency() const;

  // ---- Outlines and areas from chains of elements. An outer outline replaces the existing one
  // only when the user says yes; each creation is one undo step.
  CStmEntityBoundary* AddBoundaryByElement(EStmTypeBoundary type, const std::vector<int>& idElements, int toModel,
                                           int record);
  CStmEntityArea* AddAreaByElement(const std::vector<int>& idElements, int toModel, int record);
  // An outline from its polygon; written to the model only with toModel and a current model.
  CStmEntityBoundary* AddBoundary(EStmTypeBoundary type, const std::vector<CVector>& polygon, int toModel,
                                  int record);
  // A scene-only area from its polygon (the model's areas are made of elements); the second
  // argument is not used.
  CStmEntityArea* AddAreaByPos(const std::vector<CVector>& polygon, int, int record);
  // 1 when the elements close into one simple loop. Otherwise 0 with points holding what to
  // mark: the nodes where the chain is open or branches; else the elements' begin points,
  // followed by the crossings when the loop crosses itself.
  int CheckLineClosed(const std::vector<CStmObjElement*>& elements, std::vector<CVector>& points);
  // The selected elements' ends in the drawing plane, chained into one ordered outline (points
  // within 0.001 of an earlier one dropped), as model points.
  void GetSelectedElementBoundaryPos(std::vector<CVector>& out);

  // ---- The view control panel: made for the current window on first show, reloaded from the
  // model each time it is shown, kept until the manager goes.
  void ShowDlgViewControl();
  CStmDlgViewControl* GetDlgViewControl() const { return m_pDlgViewControl.get(); }

  // ---- Grid points for the current view, at least 30 pixels apart; the points already in the
  // scene are moved to their new places before any is made.
  void AddGridPoints();
  const std::vector<CString>& GetGridPointKeys() const { return m_arGridKey; }
  // ---- Guidelines: the fixed ones at the positions the model's view settings keep, across the
  // visible region (made again for each view), and dynamic ones the user draws, which stay.
  void AddGuidelines();
  // A dynamic guideline from a to b; null for coincident points, the existing one for a pair
  // already drawn. Not an edit of the model: no undo step.
  CStmEntityGuideline* AddGuidelines(const CVector& a, const CVector& b, int unused);
  // Dynamic guidelines go as they came, outside the undo history.
  void DeleteDynamicGuidelines();
  int GetCountDynamicGuidelines() const;

  // ---- The floating dialogs, made on first show and kept until the manager goes.
  // Shown: the edits enabled, the focus in the first edit with its text selected, and the
  // dialog at the bottom-left of the view. Hidden: the edits disabled.
  void ShowDlgCoord(int show);
  CStmDlgCoord* GetDlgCoord() const { return m_pDlgCoord.get(); }
  // The coordinate confirmed in the coordinate dialog, for the click it hands to the tool.
  int TakeTypedPoint(CVector& out) override;
  // Shows the dialog with its left edge 5 pixels right of the view's left edge and its bottom
  // edge 5 pixels above the view's bottom edge, keeping its size.
  static void ShowDlgBottomLeft(CUbRenderWnd* wnd, CDialog* dlg);

  // ---- Selection.
  void SetPreviousSelection();
  void SelectNode(const std::set<int>& ids);
  void SelectElement(const std::set<int>& ids);
  void SelectNewNode(const std::set<int>& ids);
  void SelectNewElement(const std::set<int>& ids);
  void SelectObject(const std::set<int>& nodeIds, const std::set<int>& elementIds);
  void GetSelectedNodeObjects(std::vector<CStmObjNode*>& out);
  void GetSelectedElementObjects(std::vector<CStmObjElement*>& out);
  // Reads the working model even while the beginning model is viewed.
  void GetSelectedStrutTieObjects(EStmTypeElement type, std::vector<CStmObjElement*>& out);

  // ---- Load and result state. Static conditions count first, then the combinations.
  int GetIndexLoadConditionLoad() const { return m_nIndexLoadCondition; }
  int GetIndexLoadConditionLoadSubIndex() const { return m_nIndexLoadConditionSub; }
  int GetIndexLoadConditionResult() const { return m_nIndexLoadConditionResult; }
  void SetIndexLoadConditionLoad(int index, int subIndex);
  void SetIndexLoadConditionResult(int index) { m_nIndexLoadConditionResult = index; }
  // Runs an edit that may add or take away load conditions, which renumbers those after them,
  // and keeps the loads shown on the same condition (on the first one when it went).
  void KeepIndexLoadConditionAcross(const std::function<void()>& edit);
  // The combination as one static condition (nested combinations resolved).
  void GetConvertLoadCondition(const CStmObjLoadConditionCombo* combo, CStmObjLoadConditionStatic& out) const;
  void SetMaxForceOfStaticLoad(const CStmObjLoadConditionStatic* extra);
  double GetMaxForceOfStaticLoad();
  double GetMaxForceOfArrowSet() const { return m_dMaxForceArrowSet; }

  // ---- Marks.
  void SetRenderMarkPos(std::vector<CVector> positions, EStmTypeRenderMark type, double size);
  void ClearRenderMarkPos() { m_arMarkPos.clear(); }
  const std::vector<CVector>& GetMarkPosArray() const { return m_arMarkPos; }
  EStmTypeRenderMark GetTypeRenderMark() const { return m_eTypeRenderMark; }
  double GetSizeRenderMark() const { return m_dSizeRenderMark; }

  // ---- Load arrows (owned copies).
  void AddLoadArrowSet(const SStmLoadArrowSet& set);
  void ClearLoadArrowSet();
  const std::vector<SStmLoadArrowSet*>& GetLoadArrowSet() const { return m_arLoadArrowSet; }

  // ---- Clipboard: a private model holding copies of the selected nodes (with their supports)
  // and elements (with their end nodes).
  void Copy();
  void Cut();
  // Places the clipboard so that its paste origin lands at pos, reusing what is already there;
  // refused whole (false) when the content would land beyond the coordinate limit.
  bool Paste(const CVector& pos);
  int IsCopiedData() const;
  // The clipboard node lowest in the drawing plane, the leftmost of those; (0, 0, 0) when empty.
  CVector GetCoordPasteOrigin() const;
  // The bounding box of the nodes and the element ends among the objects; unchanged when none.
  void GetBoundaryOfNodeAndElement(const std::vector<CStmObject*>& objects, CVector& min, CVector& max) const;
  // The same for node and element entities; other kinds are ignored.
  void GetBoundaryOfNodeAndElement(const std::vector<CUbEntityObj*>& entities, CVector& min, CVector& max) const;
  // The box of the points; unchanged when there are none.
  void GetBoundary(const CVectorArray& points, CVector& min, CVector& max) const;

  // ---- The rotate tool's angle dialog and the offset tool's dialog: made on first show as
  // children of the current window, kept for the manager's life; hiding only hides them.
  void ShowDlgAngle(int show);
  void ShowDlgOffset(int show);
  CStmDlgAngle* GetDlgAngle() const { return m_pDlgAngle.get(); }
  CStmDlgOffset* GetDlgOffset() const { return m_pDlgOffset.get(); }
  // The clipboard's content, for a preview of where a paste lands; null before the first copy.
  const CStmModel* GetClipboardModel() const { return m_pClipboard.get(); }

private:
  // One action per command id, kept for the manager's life.
  void CreateActions();
  void CopyNodes(CStmModel* source);
  void CopyElements(CStmModel* source);
  void PasteNodes(CStmModel* target, const CVector& offset, std::vector<CUbEntityObj*>& candidates);
  void PasteElements(CStmModel* target, const CVector& offset, std::vector<CUbEntityObj*>& candidates);
  // Null when the current window is not a strut-and-tie renderer.
  CStmUbRenderer* GetCurrentRenderer() const;
  void CorrectElementLinkAdd(CStmEntityNode* node);
  // The elements still linked to a node that leaves take the enabled node at the same place.
  void CorrectElementLinkDelete(CStmEntityNode* node);
  // Appends the element's end nodes that only this element uses, disabling them in the model.
  void GetDeletingInvolvedNode(CStmEntityElement* element, std::vector<CUbEntityObj*>& out);
  // A node entity in a bracket, added to the model as well when there is one.
  CStmEntityNode* AddModelNodeEntity(const CVector& pos);
  // Every step of the history keeps what it did to the current model, so that undo and redo
  // give back the records exactly instead of re-deriving them from the entities.
  void OnHistoryStepOpen() override;
  std::unique_ptr<CUbHistoryPayload> OnHistoryStepClose() override;
  // A step that changed nothing leaves the model as unmodified as it found it.
  void OnHistoryStepDropped() override;
  bool IsEttOfDocument(const CUbEntityObj& entity) const override;
  // The record-to-entity map follows the registry and the ids.
  void MapRecordKey(const CUbEntityObj* entity, int id, bool add);
  // The first boundary entity of that id, of either type.
  CStmEntityBoundary* GetEntBoundary(int id);
  // After element idOld was cut in two: every boundary made with it also takes idNew.
  void CheckSplitElementUsedBoundary(int idOld, int idNew);
  // Tells the element entities of the boundary's element list their boundary membership.
  void SetElementEntityPropertyBoundaryGroup(CStmEntityBoundary* boundary);
  // The largest load component of a condition; subIndex -1 looks at every nodal load.
  static double GetMaxNodalLoad(const CStmObjLoadConditionStatic& condition, int subIndex);
  void SelectByIds(int kind, const std::set<int>& ids);
  void SelectNew(const std::set<int>* nodeIds, const std::set<int>* elementIds);

  CStmModel* m_pStmBeginning = nullptr;
  CStmModel* m_pStmModel = nullptr;
  int m_nIndexLoadCondition = 0;
  int m_nIndexLoadConditionResult = 0;
  int m_nIndexLoadConditionSub = -1;
  CUbRenderWnd::VIEW_POS m_eViewPos = CUbRenderWnd::VIEW_POS_XY;
  int m_bEnableBoundarySelection = 0;
  int m_bActiveStmModel = 1;
  EStmTypeSelection m_eTypeSelection = STM_SELECTION_ALL;
  EStmViewMode m_eViewMode = STM_VIEW_WORKING;
  int m_bViewBeginning = 0;
  int m_bViewBackgroundLoadStatic = 0;
  std::vector<CVector> m_arMarkPos;
  EStmTypeRenderMark m_eTypeRenderMark = STM_MARK_NONE;
  double m_dSizeRenderMark = 1.0;
  double m_dMaxForceStaticLoad = 0.0;
  double m_dMaxForceArrowSet = 0.0;
  std::vector<SStmLoadArrowSet*> m_arLoadArrowSet;
  std::unique_ptr<CStmModel> m_pClipboard;
  std::unique_ptr<CStmDlgCoord> m_pDlgCoord;
  // The model whose change the open history step records, and its modified flag then.
  CStmModel* m_pChangeModel = nullptr;
  int m_bModifiedAtStepOpen = 0;
  CStmModel* m_pClosedModel = nullptr;
  // Keys of the registered entities by (kind, record id), kept in step as entities come and go
  // and take ids, so that an undo finds what it touched without walking the scene.
  std::map<std::pair<int, int>, CString> m_mapRecordKey;
  // Whether the map was already rebuilt during the current sync (a safety net, at most once).
  bool m_bRecordKeyRebuilt = false;
  // What went with the nodes removed since the last count was read (loads, supports).
  CStmModel::SRemovedOfNode m_removedOfNode;
  // Registry keys of the grid points made by AddGridPoints, in the order they were laid out.
  std::vector<CString> m_arGridKey;
  std::unique_ptr<CStmDlgViewControl> m_pDlgViewControl;
  // The rotate and offset tools' dialogs, made on first show.
  std::unique_ptr<CStmDlgAngle> m_pDlgAngle;
  std::unique_ptr<CStmDlgOffset> m_pDlgOffset;
};
