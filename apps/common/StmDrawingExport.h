// Vector drawings of what the view shows (SVG, PDF, DXF), to scale on a sheet of paper with a
// scale bar and a title block. The scene is drawn by the renderer's own passes in GL feedback
// mode, so the drawing cannot differ from the screen by a second drawing path.
#pragma once

#include <string>
#include <vector>

class CStmModel;
class CStmUbManager;

struct SStmDrawingOptions {
  double scale = 50.0;         // the drawing is 1:scale
  std::string paper = "A4";    // A0 to A5; turned to landscape unless the model is taller than wide
  std::string modelName;       // for the title block
  std::string caseName;        // "Load case DL"; empty: none shown
  std::string date;            // empty: today
  bool titleBlock = true;      // with the title block and the scale bar
  // When the model does not fit at `scale`, the next standard scale that fits (for a dialog
  // that has no scale to offer); otherwise it is refused.
  bool fitScale = false;
  // Set by StmExportDrawing: the paper as drawn ("A4 landscape").
  std::string sheet;
};

// The primitives of one captured frame, in pixels of the frame (x right, y up), with the
// mapping to paper and model: what the writers take.
struct SStmDrawingPrimitive {
  enum EKind { kLine, kPolygon, kText };
  EKind kind = kLine;
  int layer = 0;
  // kLine: one polyline; kPolygon: rings filled together (a text's bars are one polygon).
  std::vector<std::vector<double>> rings;  // x0, y0, x1, y1, ...
  bool closed = false;
  float rgba[4] = {0, 0, 0, 1};
  double width = 1.0;                   // pixels
  std::vector<double> dashes;           // on, off, ... in pixels; empty: solid
  std::string text;                     // kText: at rings[0][0..1], left of the baseline
  double textHeight = 0.0;              // pixels
  bool frame = false;                   // the title block and scale bar, not the scene
};

struct SStmDrawing {
  std::vector<SStmDrawingPrimitive> primitives;
  double paperWidth = 0.0, paperHeight = 0.0;  // millimetres
  std::string paperName;
  double pixelsPerMm = 4.0;
  double left = 0.0, top = 0.0;                // of the frame on the paper, millimetres
  int width = 0, height = 0;                   // of the frame, pixels
  double centerU = 0.0, centerV = 0.0;         // the model's plane point at the frame's centre
  double unitsPerPixel = 1.0;                  // model units
  double roundTo = 0.0;                        // DXF coordinates are rounded to this (model units)
  std::string unit;                            // the model's length unit
  double scale = 0.0;                          // 1:scale, as drawn
};

// The paper size in millimetres, portrait; false for a name that is not A0 to A5.
bool StmPaperSize(const std::string& name, double& width, double& height);

// True for a file name that asks for a drawing (.svg, .pdf, .dxf).
bool StmIsDrawingPath(const std::string& path);

// False with the message for a drawing file that could not be written (extension, folder).
bool StmCheckDrawingPath(const std::string& path, std::string& error);

// "Load case DL" or "Combination ULS" for the result case the manager shows; empty without one.
std::string StmShownCaseName(const CStmUbManager& manager, const CStmModel& model);

// Draws the manager's model (its layers, its shown case, its plane) in the light style on an
// off-screen surface of its own and writes the file its extension asks for; false with the
// message, and no file, when the model does not fit the paper at the scale or writing fails.
// The scale used and the sheet are put back into options.
bool StmExportDrawing(CStmUbManager& manager, const std::string& path, SStmDrawingOptions& options,
                      std::string& error);

// The parts of StmExportDrawing, for tests: the captured frame, and the writer.
bool StmCaptureDrawing(CStmUbManager& manager, const SStmDrawingOptions& options, SStmDrawing& drawing,
                       std::vector<unsigned char>* pixels, std::string& error);
bool StmWriteDrawing(const SStmDrawing& drawing, const std::string& path, std::string& error);
