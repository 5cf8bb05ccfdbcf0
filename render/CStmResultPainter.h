// Draws what an analysis left in the model for the render window: axial forces, the ESO contour
// and its legend, stress flow, result nodal zones, the analysis mesh, effective widths and nodal
// zones.
#pragma once

#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"
#include "host/model/StmModelTypes.h"

class CStmDataView;
class CStmModel;
class CStmUbManager;
class CUbRenderWnd;

class CStmResultPainter {
public:
  // The colour set is held by reference for the same reason as the model painter's: the window
  // refreshes its copy before every frame.
  CStmResultPainter(CStmUbManager* manager, CUbRenderWnd* wnd, const SStmColorSet& colours);

  // Axial forces of the manager's result case; nothing while picking or while the model is not
  // locked by standing results.
  void RenderResult(int pick);
  void RenderAxialForces() { RenderResult(0); }
  void RenderESO();
  void RenderStressFlow();
  void RenderResultNodalZone();
  void RenderMesh();
  void RenderEffectiveWidthMax();
  void RenderEffectiveWidth();
  void RenderNodalZoneMax();
  void RenderNodalZone();

  // Whether the layer of a show-option bit has anything to draw in the model, whatever the
  // show options say; bits that are no result layer answer true.
  static bool HasResultContent(const CStmModel& model, unsigned option, int resultCase);
  // A force as its label reads: fixed decimals, the unit, and never a negative zero.
  static CString FormatForce(double force, int decimals, const CString& unit);

private:
  // The model and its view settings when every link is there.
  bool GetScene(CStmModel*& model, CStmDataView*& view) const;
  double GetViewScale() const;

  void RenderResultAxialForce(CStmModel* model, int resultCase);
  // Calls draw(begin, end, force, type) for each element with a force in the case, in the
  // model's order.
  template <class F>
  void ForEachForce(CStmModel* model, int resultCase, F draw);
  void DrawContourEso(int contour, double min, double max, double value, const CVector* corners);
  void DrawLegend(EStmTypeColor style, int contour, double min, double max, int decimals);
  // Flow vectors coloured by their length and, with heads on, headed at both ends.
  void DrawFlowVectors(const std::vector<SStmStressFlow>& flows, int contour, bool heads);
  // Outline, then translucent fill, of one region; plane polygons come through the manager.
  // Regions are drawn between BeginRegions and EndRegions, which set up and give back the state
  // they need.
  void BeginRegions();
  void EndRegions();
  void DrawRegion(const std::vector<CVector>& polygon, const CVector& outline, const CVector& fill);
  void DrawRegion(const std::vector<CDPoint>& polygon, const CVector& outline, const CVector& fill);
  void DrawEffectiveWidthSetting();
  void DrawEffectiveWidthCalc();
  // A plane mesh point in the model plane the analysis used.
  CVector MeshPoint(const CDPoint& p, int plane) const;

  CStmUbManager* m_pManager;
  CUbRenderWnd* m_pWnd;
  const SStmColorSet& m_colors;
  // The left end of the next legend, in the legend's window proportions.
  double m_dLegendLeft = 2.0;
  // Where the labels of the last legend drawn end, in the legend's 0..100 window units.
  double m_dLegendRight = 2.0;
  // The corners of the plane region being drawn, kept to spare an allocation per region.
  std::vector<CVector> m_arPoints;
};
