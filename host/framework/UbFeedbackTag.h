// Values a frame passes through to GL feedback (glPassThrough) for a vector drawing made from
// it: what feedback itself leaves out (layers, line widths, stipples, point sizes, bitmap text).
// Each is a tag followed by its values. Outside feedback mode GL ignores them.
#pragma once

#include <GL/gl.h>

#include <string>

// Far from any value a layer number or a width takes, so a reader never mistakes one for a tag.
enum EUbFeedbackTag {
  UB_TAG_LAYER = 9001,   // then the layer number
  UB_TAG_LINE_WIDTH,     // then the width in pixels
  UB_TAG_POINT_SIZE,     // then the size in pixels
  UB_TAG_STIPPLE,        // then on (0 or 1), factor, pattern
  UB_TAG_BITMAP_TEXT     // then the scale, the count and one value per character; the bitmap follows
};

// Not between glBegin and glEnd: a pass-through there is an error.
inline void UbFeedbackText(const std::string& text, int scale) {
  glPassThrough(static_cast<GLfloat>(UB_TAG_BITMAP_TEXT));
  glPassThrough(static_cast<GLfloat>(scale));
  glPassThrough(static_cast<GLfloat>(text.size()));
  for (const char c : text) glPassThrough(static_cast<GLfloat>(static_cast<unsigned char>(c)));
}
