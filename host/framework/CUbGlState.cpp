// Deferred GL state of the entity passes.
#include "host/framework/CUbGlState.h"

#include <array>
#include <cstddef>

namespace {

// The switches the entities toggle, in one table so that wanted and applied compare as a whole.
constexpr std::array<GLenum, 4> kCaps = {GL_LIGHTING, GL_DEPTH_TEST, GL_LINE_STIPPLE, GL_LINE_SMOOTH};

struct SState {
  std::array<bool, kCaps.size()> caps{};
  GLfloat lineWidth = 1.0f;
  GLfloat pointSize = 1.0f;
  GLint stippleFactor = 1;
  GLushort stipplePattern = 0xFFFF;

  bool operator==(const SState& b) const {
    return caps == b.caps && lineWidth == b.lineWidth && pointSize == b.pointSize &&
           stippleFactor == b.stippleFactor && stipplePattern == b.stipplePattern;
  }
};

struct SCache {
  int depth = 0;
  bool deferring = false;
  bool picking = false;
  bool open = false;  // a primitive is kept open for the next one of its kind
  GLenum openMode = GL_POINTS;
  bool colourKnown = false;
  GLdouble colour[4] = {1, 1, 1, 1};
  SState wanted;
  SState applied;
};

SCache& Cache() {
  static SCache cache;
  return cache;
}

int CapIndex(GLenum cap) {
  for (std::size_t i = 0; i < kCaps.size(); ++i) {
    if (kCaps[i] == cap) return static_cast<int>(i);
  }
  return -1;
}

SState ReadGl() {
  SState state;
  for (std::size_t i = 0; i < kCaps.size(); ++i) state.caps[i] = glIsEnabled(kCaps[i]) == GL_TRUE;
  glGetFloatv(GL_LINE_WIDTH, &state.lineWidth);
  glGetFloatv(GL_POINT_SIZE, &state.pointSize);
  GLint pattern = 0xFFFF;
  glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &state.stippleFactor);
  glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &pattern);
  state.stipplePattern = static_cast<GLushort>(pattern);
  return state;
}

void SetCap(GLenum cap, bool on) {
  if (on) {
    glEnable(cap);
  } else {
    glDisable(cap);
  }
}

// Primitives whose vertices stand on their own, so that one can run on into the next.
bool RunsOn(GLenum mode) { return mode == GL_POINTS || mode == GL_LINES || mode == GL_TRIANGLES || mode == GL_QUADS; }

}  // namespace

void CUbGlState::Enable(GLenum cap) { Switch(cap, true); }

void CUbGlState::Disable(GLenum cap) { Switch(cap, false); }

void CUbGlState::Switch(GLenum cap, bool on) {
  SCache& c = Cache();
  const int i = CapIndex(cap);
  if (c.deferring && i >= 0) {
    c.wanted.caps[static_cast<std::size_t>(i)] = on;
    return;
  }
  // A switch the cache does not keep must find the kept ones as asked for so far.
  if (c.deferring) Apply();
  SetCap(cap, on);
}

void CUbGlState::LineWidth(GLfloat width) {
  SCache& c = Cache();
  if (c.deferring) {
    c.wanted.lineWidth = width;
  } else {
    glLineWidth(width);
  }
}

void CUbGlState::PointSize(GLfloat size) {
  SCache& c = Cache();
  if (c.deferring) {
    c.wanted.pointSize = size;
  } else {
    glPointSize(size);
  }
}

void CUbGlState::LineStipple(GLint factor, GLushort pattern) {
  SCache& c = Cache();
  if (c.deferring) {
    c.wanted.stippleFactor = factor;
    c.wanted.stipplePattern = pattern;
  } else {
    glLineStipple(factor, pattern);
  }
}

void CUbGlState::GetLineStipple(GLint& factor, GLushort& pattern) {
  SCache& c = Cache();
  if (c.deferring) {
    factor = c.wanted.stippleFactor;
    pattern = c.wanted.stipplePattern;
    return;
  }
  GLint value = 0xFFFF;
  glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &factor);
  glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &value);
  pattern = static_cast<GLushort>(value);
}

void CUbGlState::Color(double red, double green, double blue, double alpha) {
  SCache& c = Cache();
  if (c.deferring) {
    // Most entities of a kind share one colour.
    if (c.colourKnown && c.colour[0] == red && c.colour[1] == green && c.colour[2] == blue && c.colour[3] == alpha)
      return;
    c.colour[0] = red;
    c.colour[1] = green;
    c.colour[2] = blue;
    c.colour[3] = alpha;
    c.colourKnown = true;
  }
  glColor4d(red, green, blue, alpha);
}

void CUbGlState::Flush() {
  SCache& c = Cache();
  if (!c.open) return;
  c.open = false;
  glEnd();
}

void CUbGlState::Apply() {
  SCache& c = Cache();
  if (!c.deferring) return;
  Flush();
  SState& a = c.applied;
  const SState& w = c.wanted;
  for (std::size_t i = 0; i < kCaps.size(); ++i) {
    if (a.caps[i] != w.caps[i]) SetCap(kCaps[i], w.caps[i]);
  }
  if (a.lineWidth != w.lineWidth) glLineWidth(w.lineWidth);
  if (a.pointSize != w.pointSize) glPointSize(w.pointSize);
  if (a.stippleFactor != w.stippleFactor || a.stipplePattern != w.stipplePattern)
    glLineStipple(w.stippleFactor, w.stipplePattern);
  a = w;
}

void CUbGlState::Begin(GLenum mode) {
  SCache& c = Cache();
  if (c.open && c.openMode == mode && c.wanted == c.applied) return;
  Apply();
  glBegin(mode);
  if (!c.deferring) return;
  if (c.colourKnown) glColor4dv(c.colour);
  if (!c.picking && RunsOn(mode)) {
    c.open = true;
    c.openMode = mode;
  }
}

void CUbGlState::End() {
  if (!Cache().open) glEnd();
}

bool CUbGlState::IsPicking() { return Cache().picking; }

CUbGlState::CPass::CPass(bool picking) {
  SCache& c = Cache();
  m_bOuter = c.depth++ == 0;
  m_bPickingBefore = c.picking;
  c.picking = picking;
  if (!m_bOuter) return;
  c.applied = ReadGl();
  c.wanted = c.applied;
  c.colourKnown = false;
  c.deferring = true;
}

CUbGlState::CPass::~CPass() {
  SCache& c = Cache();
  if (m_bOuter) {
    Apply();
    Flush();
    c.deferring = false;
  }
  c.picking = m_bPickingBefore;
  --c.depth;
}

CUbGlState::CImmediate::CImmediate() {
  SCache& c = Cache();
  m_bWasDeferring = c.deferring;
  if (!m_bWasDeferring) return;
  Apply();
  c.deferring = false;
}

CUbGlState::CImmediate::~CImmediate() {
  if (!m_bWasDeferring) return;
  SCache& c = Cache();
  c.applied = ReadGl();
  c.wanted = c.applied;
  c.colourKnown = false;  // what ran in between may have set its own
  c.deferring = true;
}
