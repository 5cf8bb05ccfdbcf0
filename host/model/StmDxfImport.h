// The outline of a concrete member read from a DXF drawing: first a plain description (outer
// outline, openings, guidelines, the layers met), then applied to a model. Knows no window.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"

class CStmModel;

struct SStmDxfOptions {
  // Open lines on a layer whose name contains this text (any case) become guidelines; empty: none.
  std::string guideLayer;
  // The drawing's length unit (mm, cm, m, in, ft), taken before the file's INSUNITS; empty: the
  // file's, and the model's own unit when the file gives none.
  std::string unit;
  // The model's length unit, which the drawing is scaled to.
  std::string modelUnit = "mm";
};

// Plane coordinates (u, v) in the model's length unit; outlines without a repeated last point,
// counter-clockwise.
struct SStmDxfDrawing {
  std::vector<CDPoint> outer;
  std::vector<std::vector<CDPoint>> openings;
  // Positions of the guidelines across u (vertical lines) and across v (horizontal lines).
  std::vector<double> guideU, guideV;
  std::set<std::string> layers;
  // The unit the drawing was read in and what one drawing unit is in model units.
  std::string unit;
  double scale = 1.0;
  // Entities that gave nothing: texts, blocks, open lines off the guideline layer, slanted guidelines.
  int ignored = 0;
  // What each layer gives, for a preview before anything is created.
  struct SLayerUse {
    int entities = 0, outer = 0, openings = 0, guidelines = 0, ignored = 0;
  };
  std::map<std::string, SLayerUse> uses;
};

// Reads the file; false with "FILE: what is wrong" in error, and drawing left as it was.
bool StmReadDxf(const std::string& path, const SStmDxfOptions& options, SStmDxfDrawing& drawing,
                std::string& error);

// The model points of plane points for the model's plane (EStmPlane).
std::vector<CVector> StmDxfModelPolygon(int plane, const std::vector<CDPoint>& points);

// Adds the outlines and guidelines to a model that has no outer outline yet; false with the
// reason in error, and the model untouched, otherwise.
bool StmApplyDxfDrawing(const SStmDxfDrawing& drawing, CStmModel& model, std::string& error);

// Adds the drawing's guideline positions the model's view settings do not have yet.
void StmAddDxfGuidelines(const SStmDxfDrawing& drawing, CStmModel& model);

// One line per layer of what it gives: "OPENINGS: 8 entities: 2 openings".
std::string StmListDxfLayers(const SStmDxfDrawing& drawing);

// Millimetres per length unit (mm, cm, dm, m, in, ft, any case); 0 for one it does not know.
double StmDxfMillimetres(const std::string& unit);

// "outer outline of 4 points, 2 openings, 1 guideline" for the status line and the console.
std::string StmDescribeDxfDrawing(const SStmDxfDrawing& drawing);
