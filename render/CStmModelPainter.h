// Draws what the render window shows straight from the model records rather than from scene
// entities: supports, springs, loads, entered load arrows, marks, the axis triad, boundary
// reference segments and plain polygons.
#pragma once

#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"
#include "host/framework/CCubeRange.h"
#include "host/model/StmModelTypes.h"

class CStmModel;
class CStmObjLoadConditionCombo;
class CStmObjLoadConditionStatic;
class CStmUbManager;
class CUbRenderWnd;
struct SStmLoadArrowSet;

class CStmModelPainter {
public:
  // One arrow a load pass decided to draw: the tip (where the load acts), the end of its shaft,
  // whether it got a head, and whether it is an intermediate arrow of a connected set.
  struct SArrow {
    CVector vTip;
    CVector vTail;
    int bHead = 0;
    int bIntermediate = 0;
  };

  // The colour set is held by reference: the render window refreshes its copy before every
  // frame and the painter must see the new colours without being told.
  CStmModelPainter(CStmUbManager* manager, CUbRenderWnd* wnd, const SStmColorSet& colours);

  void RenderRestraint();
  void RenderSpring();
  // Loads are never picked: a non-zero pick flag draws nothing.
  void RenderLoad(int pick);
  void RenderLoadUserInput();
  // The support reactions of the result case shown, as arrows pushing on their nodes, the largest
  // component full length, in a colour of their own; never picked.
  void RenderReaction(int pick);
  void RenderMark();
  void DrawBoundarySegment();
  void DrawCoordinate();
  void DrawPolygon(const std::vector<CVector>& pts, int fill);
  void DrawPolygon(const std::vector<CDPoint>& pts, int fill);
  // Adds the tails of the current case's load arrows and of the entered load arrows, and the
  // extent of every support and spring symbol, at the window's present view scale.
  void ExtendViewRange(CCubeRange& range);

  // What the last load pass (RenderLoad or RenderLoadUserInput) drew, in drawing order.
  const std::vector<SArrow>& GetDrawnArrows() const { return m_arArrows; }
  // What the last RenderReaction drew: one arrow per non-zero component.
  const std::vector<SArrow>& GetDrawnReactions() const { return m_arReactions; }
  // The vertices of every stroke the last RenderRestraint drew, in emission order.
  const std::vector<CVector>& GetRestraintVertices() const { return m_arRestraintVertices; }

private:
  // The model and view settings a pass needs; null when any link is missing.
  CStmModel* GetDrawableModel() const;
  double GetViewScale() const;
  void SetColor(int entry) const;

  void DrawRestraint(const CVector& pos, double rollerAngle, const SStmDof& dof, double size);
  void DrawBearingPlates(const CStmModel& model);
  // The symbol of one in-plane direction d (x or y) against the vertical z.
  void DrawRestraintAxis(const CVector& pos, const CVector& d, int fixedD, int fixedZ, int rotFree,
                         const CDPoint& cs, double size);
  void EmitRestraintVertex(const CVector& v);
  void DrawSpring(const CVector& pos, const CVector& u, const CVector& r, double size);
  void DrawSpringUnit(const CVector& start, const CVector& axis, const CVector& side, CVector colour, double size);
  void RenderLoadStatic(CStmModel* model, CStmObjLoadConditionStatic* condition, int rangeOnly);
  void RenderLoadCombo(CStmModel* model, CStmObjLoadConditionCombo* combo, int rangeOnly);
  // The loads of the manager's current load case, drawn or only measured.
  void WalkLoadCase(int rangeOnly);
  void DrawForce(const CVector& tip, const CVector& force, int load, int rangeOnly);
  void DrawLoadArrowSet(SStmLoadArrowSet* set);
  // The tail of every entered arrow and intermediate arrow, and whether each gets a head.
  void LayOutLoadArrowSet(const SStmLoadArrowSet& set, std::vector<SArrow>& out) const;
  // The reaction arrows of the result case shown, at the present view scale, and their values.
  void LayOutReactions(const CStmModel& model, std::vector<SArrow>& out, std::vector<double>& values) const;
  CVector GetHorizontalAxis() const;
  // The model directions that point right and up on screen.
  void GetScreenAxes(CVector& right, CVector& up) const;
  // A force value with its unit, upright, just past the arrow's tail.
  void DrawValueAtTail(const CVector& tail, const CVector& unit, const CString& text, const CVector& colour,
                       double height);

  CStmUbManager* m_pManager;
  CUbRenderWnd* m_pWnd;
  const SStmColorSet& m_colors;
  CCubeRange* m_pRange = nullptr;
  std::vector<SArrow> m_arArrows;
  std::vector<SArrow> m_arReactions;
  std::vector<CVector> m_arRestraintVertices;
  CVector m_vRotateAxis;
};
