// The layers of a frame, marked in the GL command stream so that a vector drawing made from the
// frame (GL feedback) can put each on a layer or group of its own. Outside feedback mode GL
// ignores the marks, so the screen pays a dozen no-op calls per frame for them.
#pragma once

#include <GL/gl.h>

#include "host/framework/CUbGlState.h"
#include "host/framework/UbFeedbackTag.h"

enum EStmDrawingLayer {
  STM_LAYER_MODEL = 0,  // what comes before the first mark
  STM_LAYER_SUPPORTS,
  STM_LAYER_WIDTHS,
  STM_LAYER_NODAL_ZONES,
  STM_LAYER_CONTOUR,
  STM_LAYER_MARKS,
  STM_LAYER_LOADS,
  STM_LAYER_GRID,
  STM_LAYER_GUIDELINES,
  STM_LAYER_AREAS,
  STM_LAYER_OUTLINE,
  STM_LAYER_TRUSS,
  STM_LAYER_FORCES,
  STM_LAYER_LEGEND,
  STM_LAYER_TEXT,
  STM_LAYER_COUNT
};

inline const char* StmDrawingLayerName(int layer) {
  static const char* const names[STM_LAYER_COUNT] = {
      "model", "supports", "widths", "nodal-zones", "contour", "marks", "loads", "grid",
      "guidelines", "areas", "outline", "truss", "forces", "legend", "text"};
  return layer >= 0 && layer < STM_LAYER_COUNT ? names[layer] : "model";
}

// Starts a layer. A merged primitive of the state cache is closed first: a pass-through inside
// glBegin/glEnd is an error.
inline void StmMarkDrawingLayer(EStmDrawingLayer layer) {
  CUbGlState::Flush();
  glPassThrough(static_cast<GLfloat>(UB_TAG_LAYER));
  glPassThrough(static_cast<GLfloat>(layer));
}
