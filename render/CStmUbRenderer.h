// The OpenGL view of one strut-and-tie model: the frame and its passes, the colour set, the
// display-list slots, zoom-all's view range, input handling, picking with the selection filter
// and the selection commands that the host's menus call.
#pragma once

#include <GL/gl.h>

#include <array>
#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/model/StmModelTypes.h"
#include "render/StmRenderTypes.h"

class CCubeRange;
class CStmDataView;
class CStmModel;
class CStmUbManager;
class CStmModelPainter;
class CStmResultPainter;

class CStmUbRenderer : public CUbRenderWnd {
public:
  static constexpr GLuint kNoList = 0xFFFFFFFFu;

  CStmUbRenderer();
  ~CStmUbRenderer() override;

  void InvalidateAllWnd() override;
  void RenderNoDepth(int pick) override;
  // How many labels the last drawn frame could place without overlap.
  int GetCountLabelsDrawn() const { return m_nLabelsDrawn; }
  void SetViewPos(VIEW_POS pos) override;
  void OnLButtonDown(UINT flags, const CPoint& pt) override;
  void OnMButtonDown(UINT flags, const CPoint& pt) override;
  void OnMButtonUp(UINT flags, const CPoint& pt) override;
  void OnMouseMove(UINT flags, CPoint& pt) override;
  void OnMouseWheel(UINT flags, short delta, const CPoint& pt) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void ZoomAll(long param) override;
  // Makes the command's action current and shows or hides the floating dialogs it works with.
  CUbActionBase* SetAction(long id, long param, int init) override;
  void SetSelectObject(int hits, long maxHits, int flag, CMapStringToPtr* map, long mode) override;
  void DrawCoordinate() override;
  void DrawPlanRectOnDC(CVector pos) override;
  void DrawAddCursor(const CVector& pos) override;
  void DrawOSnapCursor(const CVector& pos, int stamp, long type, long slot, CVector colour) override;
  void RenderOwner() override;

  // Null when the window's manager is not a strut-and-tie manager.
  CStmUbManager* GetUbManager() const;
  // Values 9 and above are ignored.
  void DeleteStmCallList(EStmDisplayList list);
  GLuint GetStmCallList(EStmDisplayList list) const;
  int IsImmediateDraw() const { return m_bImmediateDraw; }
  const SStmColorSet& GetColorSet() const { return m_colorSet; }
  int IsMButtonHeld() const { return m_bMButtonDown; }

  // Lays the manager's grid points and fixed guidelines over the visible region; without
  // `always`, only when that region moved since they were last laid.
  void RefreshViewAids(bool always);

  void InitViewRange();
  void ResetViewRange();
  // Leaves the current command for the selection command (48).
  void CancelCommand();

  void SelectNodeObject(int id, int flag);
  void SelectElementObject(int id, int flag);
  void SelectAllNode();
  void SelectAllElement();
  void SelectAllRestraint();
  void SelectRestraintGroup(int index);
  void SelectAllSpring();
  void SelectSpringGroup(int index);
  void SelectAllBearingPlate();
  void DeselectAllNode();
  void DeselectAllElement();
  void DeselectAllRestraint();
  void DeselectAllSpring();
  void DeselectAllBearingPlate();
  void SelectAllStrutTie(EStmTypeElement type);
  void SelectBoundary(EStmTypeBoundary type, int index, int select);
  void SelectArea(int index, int select);
  void SelectPrevious();
  void ClearSelection();
  // What the pointer rests on, as its tooltip names it: of the manager's hover pick, a node
  // before an element, and the model's entities before grid points and guidelines, which only
  // mark places on it. Null when the pick holds nothing.
  CUbEntityObj* GetHoverEntity() const;
  // The hover pick, answered on the CPU for points and lines; see the definition for why.
  int HoverPoint(const CPoint& pt, const CSize& box) override;

private:
  void InitStmRenderer();
  void DestroyStmRenderer();
  void DeleteStmCallList();
  void ApplyColorSet();
  // The coordinate dialog reads out the cursor's point while a tool that takes points runs, with
  // the text of the focused edit selected so that typing replaces it.
  void UpdateDlgCoord(CStmUbManager& manager);
  // The angle dialog reads out the direction of the cursor from the centre while the rotate
  // tool waits for its angle.
  void UpdateDlgAngle(CStmUbManager& manager);

  // The manager, its current model and the model's view settings; false when any is missing.
  bool GetScene(CStmUbManager*& manager, CStmModel*& model, CStmDataView*& view) const;
  // Whether the selection pass would hit the entity, a point or a line kind, in the window
  // region: drawn (its kind shown, not hidden in this window, pickable) and within the region.
  bool IsHitOnCpu(CUbEntityObj* entity, const CRect& region, CStmModel& model, CStmDataView& view) const;
  // Lower picks first when a click has room for fewer hits than it found.
  static int PickRank(int kind);
  // The selection filter: grid points and guidelines never, outlines only while their
  // selection is on, then the manager's selection type.
  bool IsKeptBySelectionFilter(CUbEntityObj* entity) const;
  // Selection commands end by telling the select action's grips and repainting.
  void SelectionChanged();
  // Adds (select non-zero) or removes every entity of one kind.
  void SelectAllOfKind(int kind, int select);

  void RenderGrid(int pick);
  void RenderGuidelines(int pick);
  void RenderPropertyArea(int pick);
  void RenderBoundary(int pick);
  void RenderElement(int pick);
  void RenderNode(int pick);

  void RenderRestraint();
  void RenderSpring();
  void RenderLoad(int pick);
  void RenderLoadUserInput();
  void RenderMark();
  void DrawBoundarySegment();
  void DrawPolygon(const std::vector<CVector>& pts, int fill);
  void DrawPolygon(const std::vector<CDPoint>& pts, int fill);
  void ExtendViewRange(CCubeRange& range);
  CStmModelPainter Painter();

  // The analysis layers; each caches its drawing in its display-list slot when lists are on.
  void RenderResult(int pick);
  void RenderESO();
  void RenderStressFlow();
  void RenderResultNodalZone();
  void RenderMesh();
  void RenderEffectiveWidthMax();
  void RenderEffectiveWidth();
  void RenderNodalZoneMax();
  void RenderNodalZone();
  CStmResultPainter ResultPainter();
  // Replays the slot's list, or draws the layer (compiling a new list when the manager compiles
  // lists); STM_LIST_COUNT draws a layer that is never cached.
  void RunResultLayer(EStmDisplayList slot, void (CStmResultPainter::*layer)());

  int m_bImmediateDraw = 1;
  std::array<GLuint, STM_LIST_COUNT> m_arCallList{};
  int m_nLabelsDrawn = 0;
  int m_bMButtonDown = 0;
  SStmColorSet m_colorSet;
  // The visible region's corners when the view aids were last laid.
  CVector m_arAidsCorner[2];
};
