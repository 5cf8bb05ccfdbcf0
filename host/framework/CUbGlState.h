// GL state for the entity passes, asked for by each entity and applied only when it changes:
// Mesa flushes its vertex batches on every state call, so a scene of 10,000 entities that each
// switch lighting, depth test and widths off and on again costs many times the drawing itself.
#pragma once

#include <GL/gl.h>

class CUbGlState {
public:
  CUbGlState() = delete;

  // Outside a pass these go straight to GL. Inside one they only note what the next drawing
  // needs; Apply makes GL match, and is what every drawing call runs first.
  static void Enable(GLenum cap);
  static void Disable(GLenum cap);
  static void LineWidth(GLfloat width);
  static void PointSize(GLfloat size);
  static void LineStipple(GLint factor, GLushort pattern);
  // The stipple the next line would get (what was asked inside a pass).
  static void GetLineStipple(GLint& factor, GLushort& pattern);
  static void Apply();
  // The current colour. Inside a pass it is also given again to a primitive that begins after
  // one was closed, since a colour set after the last vertex of a primitive does not outlive it.
  static void Color(double red, double green, double blue, double alpha = 1.0);
  // glBegin after Apply, and its glEnd. Inside a pass that draws (not one that picks), points,
  // lines, triangles and quads of one state run on in the primitive before, so that ten
  // thousand entities of one kind make one primitive instead of ten thousand: End only notes
  // the end, and the primitive is closed when the state changes, a different kind begins, or
  // Flush is called. Any other GL call inside a pass must come after Flush (Apply flushes), and
  // colours go through Color.
  static void Begin(GLenum mode);
  static void End();
  static void Flush();

  // True while a selection pass runs: what only helps the eye (labels) is left out of it.
  static bool IsPicking();

  // One pass of deferred state. It starts from GL as it is and, when it ends, leaves GL as the
  // last requests asked, which by the drawing convention is the state the pass found. Passes
  // nest; only the outermost one defers.
  class CPass {
  public:
    explicit CPass(bool picking);
    ~CPass();
    CPass(const CPass&) = delete;
    CPass& operator=(const CPass&) = delete;

  private:
    bool m_bOuter;
    bool m_bPickingBefore;
  };

  // Drawing that GL records or replays as it is (display lists) needs the real state: this
  // applies what is pending, lets calls through while it lives, and reads GL back afterwards.
  class CImmediate {
  public:
    CImmediate();
    ~CImmediate();
    CImmediate(const CImmediate&) = delete;
    CImmediate& operator=(const CImmediate&) = delete;

  private:
    bool m_bWasDeferring;
  };

private:
  static void Switch(GLenum cap, bool on);
};
