// The shared drawing helpers: immediate-mode geometry, stroke-font text built from stb_easy_font
// quads, polygon fill through the GLU tessellator and the contour colour ramps.
#include "host/framework/CUbRenderAPI.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/framework/CUbGlState.h"
#include "host/framework/UbFeedbackTag.h"

// The only translation unit that includes the font: its functions are file-local statics.
#include <stb/stb_easy_font.h>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Below this a direction counts as zero or as parallel to another one.
constexpr double kDegenerate = 1e-9;

// The world directions that appear as right, up and towards the viewer on screen, read from the
// current projection and model-view matrices so that any camera, pick matrix included, works.
struct SScreenAxes {
  CVector right{1, 0, 0};
  CVector up{0, 1, 0};
  CVector toward{0, 0, 1};
};

const SScreenAxes* BatchAxes();

SScreenAxes CurrentScreenAxes() {
  // A frame's labels all see one camera, read once when the batch opened.
  if (const SScreenAxes* cached = BatchAxes()) return *cached;
  GLdouble p[16], m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  // Row `row` of P * M restricted to x, y, z: how a world direction moves clip coordinate `row`.
  auto row = [&](int r) {
    double out[3];
    for (int c = 0; c < 3; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += p[k * 4 + r] * m[c * 4 + k];
      out[c] = sum;
    }
    return CVector(out[0], out[1], out[2]);
  };
  SScreenAxes axes;
  const CVector right = row(0), up = row(1);
  const CVector toward = right.Cross(up);
  if (right.Length() > kDegenerate && up.Length() > kDegenerate && toward.Length() > kDegenerate) {
    axes.right = right.Unit();
    axes.up = up.Unit();
    axes.toward = toward.Unit();
  }
  return axes;
}

// Any unit vector perpendicular to d (d a unit vector).
CVector AnyPerpendicular(const CVector& d) {
  const CVector trial = std::fabs(d.x) < 0.9 ? CVector(1, 0, 0) : CVector(0, 1, 0);
  return d.Cross(trial).Unit();
}

// The font knows printable ASCII and newlines only; everything else, whole UTF-8 sequences
// included, becomes one '?' so the text keeps its length in characters.
std::string FontText(const CString& text) {
  std::string out;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.c_str());
  while (*s) {
    const unsigned char ch = *s++;
    if (ch == '\n' || (ch >= 32 && ch < 127)) {
      out += static_cast<char>(ch);
    } else if (ch == '\t') {
      out += ' ';
    } else {
      out += '?';
      if (ch >= 0xC0)
        while ((*s & 0xC0) == 0x80) ++s;
    }
  }
  return out;
}

// Axis-aligned glyph bars in font units, x to the right and y downwards from the top of the
// first line's capitals (its baseline is at y = kFontCapHeight).
struct SBar {
  float x0, y0, x1, y1;
};

struct SFontLayout {
  std::vector<SBar> bars;
  float inkRight = 0, inkBottom = 0;  // extent of the bars
  int advance = 0;                    // width of the longest line, spacing included
};

// Longer labels are cut with "...": no window shows more of one line, and a hostile name must
// not cost memory in proportion to its length on every frame.
constexpr size_t kMaxLabelChars = 1000;

// The font prints into a caller's buffer of vertices; the text goes through it a piece at a
// time, so that the buffer stays the same size whatever the length of the text.
SFontLayout LayOut(const std::string& text) {
  SFontLayout layout;
  if (text.empty()) return layout;
  constexpr size_t kPiece = 64;
  // No glyph of the font needs more than 40 bars of 64 bytes.
  std::vector<char> buffer(kPiece * 40 * 64 + 64);
  char piece[kPiece + 1];
  float y = 0;
  for (size_t line = 0; line <= text.size();) {
    size_t lineEnd = text.find('\n', line);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    float x = 0;
    for (size_t at = line; at < lineEnd; at += kPiece) {
      const size_t n = std::min(kPiece, lineEnd - at);
      text.copy(piece, n, at);
      piece[n] = '\0';
      const int quads = stb_easy_font_print(x, y, piece, nullptr, buffer.data(), static_cast<int>(buffer.size()));
      for (int q = 0; q < quads; ++q) {
        const float* v0 = reinterpret_cast<const float*>(buffer.data() + q * 64);
        const float* v2 = reinterpret_cast<const float*>(buffer.data() + q * 64 + 32);
        SBar bar{v0[0], v0[1], v2[0], v2[1]};
        layout.inkRight = std::max(layout.inkRight, bar.x1);
        layout.inkBottom = std::max(layout.inkBottom, bar.y1);
        layout.bars.push_back(bar);
      }
      x += static_cast<float>(stb_easy_font_width(piece));
    }
    layout.advance = std::max(layout.advance, static_cast<int>(std::ceil(x)));
    y += 12;  // the font's line pitch
    line = lineEnd + 1;
  }
  return layout;
}

// A label's bars depend only on its text, and a frame lays out the same names again and again.
const SFontLayout& CachedLayout(const std::string& text);

// The layout of a user text; plain printable text, as names nearly always are, is looked up as
// it is, without making the font's copy of it first.
const SFontLayout& CachedLayout(const CString& text) {
  if (text.str().size() > kMaxLabelChars) return CachedLayout(FontText(CString(text.str().substr(0, kMaxLabelChars) + "...")));
  const std::string& raw = text.str();
  for (const char ch : raw) {
    if (ch < 32 || ch >= 127) return CachedLayout(FontText(text));
  }
  return CachedLayout(raw);
}

const SFontLayout& CachedLayout(const std::string& text) {
  static std::unordered_map<std::string, SFontLayout> cache;
  // Bounded, so that a model renamed over and over does not keep every name it ever had.
  if (cache.size() > 50000) cache.clear();
  auto it = cache.find(text);
  if (it == cache.end()) it = cache.emplace(text, LayOut(text)).first;
  return it->second;
}

// One label waiting for its place: where its bars go, in which colour, and the window pixels it
// would cover.
struct SLabel {
  const SFontLayout* layout;
  CVector origin, d, u;
  double sx, sy, x0, y0;
  CVector colour;
  int priority;
  double left, bottom, right, top;
  int group;  // labels of one group are places for one text: the first that fits is drawn
  // A number label's text is made only when it comes to be placed (layout null until then):
  // the value, its decimals and the batch's unit it is written with.
  double value = 0.0;
  int decimals = 0;
  int unit = -1;
};

struct SLabelBatch {
  bool open = false;
  int priority = 0;
  int nextGroup = 0;
  int alternatives = 0;  // non-zero while calls are alternatives of one label
  int group = 0;
  bool alternativeDrawn = false;  // outside a batch the first alternative is the one drawn
  SScreenAxes axes;
  GLdouble pm[16];  // projection times model-view, column major
  GLint viewport[4];
  std::vector<SLabel> labels;
  std::vector<SLabel> placed;  // what the last batch drew
  // Per cell of kAnchorCell pixels: 1 + the priority of the first label anchored there.
  std::vector<unsigned char> anchors;
  int anchorColumns = 0, anchorRows = 0;
  std::vector<CString> units;  // of the number labels waiting for their text
  int textsMade = 0;           // number texts the last batch made
};

// Two labels of one priority anchored within a few pixels of each other cannot both be read;
// the later one is dropped before it costs a layout.
constexpr int kAnchorCell = 4;

SLabelBatch& Batch() {
  static SLabelBatch batch;
  return batch;
}

const SScreenAxes* BatchAxes() { return Batch().open ? &Batch().axes : nullptr; }

// Window pixel of a model point under the batch's camera.
void ToWindow(const SLabelBatch& b, const CVector& v, double& x, double& y) {
  const double cx = b.pm[0] * v.x + b.pm[4] * v.y + b.pm[8] * v.z + b.pm[12];
  const double cy = b.pm[1] * v.x + b.pm[5] * v.y + b.pm[9] * v.z + b.pm[13];
  const double cw = b.pm[3] * v.x + b.pm[7] * v.y + b.pm[11] * v.z + b.pm[15];
  const double w = cw != 0.0 ? cw : 1.0;
  x = b.viewport[0] + (cx / w + 1.0) * 0.5 * b.viewport[2];
  y = b.viewport[1] + (cy / w + 1.0) * 0.5 * b.viewport[3];
}

// Draws the bars in the plane spanned by the unit baseline d and the unit up direction u;
// (x0, y0) is the anchor in font units measured from the first baseline (y upwards).
void EmitText(const SFontLayout& layout, const CVector& origin, const CVector& d, const CVector& u, double sx,
              double sy, double x0, double y0) {
  auto at = [&](double fx, double fy) {
    const CVector v = origin + d * ((fx - x0) * sx) + u * ((CUbRenderAPI::kFontCapHeight - fy - y0) * sy);
    glVertex3d(v.x, v.y, v.z);
  };
  CUbGlState::Begin(GL_QUADS);
  for (const SBar& b : layout.bars) {
    at(b.x0, b.y0);
    at(b.x0, b.y1);
    at(b.x1, b.y1);
    at(b.x1, b.y0);
  }
  CUbGlState::End();
}

// Turns a baseline that would read right-to-left, or downwards, half round.
bool ReadsBackwards(const CVector& d, const SScreenAxes& axes) {
  const double alongRight = d.Dot(axes.right);
  if (std::fabs(alongRight) > kDegenerate) return alongRight < 0;
  return d.Dot(axes.up) < 0;
}

// The baseline d and the up direction u of vector text, as OutVectorText describes them.
void Orient(const SScreenAxes& axes, const CVector& vDirText, const CVector& vDirUp, double dRotateDeg, int bUpright,
            CVector& d, CVector& u) {
  d = vDirText.Unit();
  if (d.Length() < kDegenerate) d = axes.right;
  const CVector hint = vDirUp.Unit();
  u = hint - d * hint.Dot(d);
  if (u.Length() < 1e-6) u = axes.toward.Cross(d);  // one direction given: face the viewer
  if (u.Length() < 1e-6) u = AnyPerpendicular(d);    // baseline along the line of sight
  u = u.Unit();
  if (dRotateDeg != 0.0 && std::isfinite(dRotateDeg)) {
    const double c = std::cos(dRotateDeg * kPi / 180.0), s = std::sin(dRotateDeg * kPi / 180.0);
    const CVector turned = d * c + u * s;
    u = u * c - d * s;
    d = turned;
  }
  if (bUpright && ReadsBackwards(d, axes)) {
    d = -d;
    u = -u;
  }
}

// The window pixels a label covers when its ink spans inkRight by inkBottom font units.
void Frame(const SLabelBatch& batch, SLabel& label, double inkRight, double inkBottom) {
  bool first = true;
  for (const double fx : {0.0, inkRight}) {
    for (const double fy : {0.0, inkBottom}) {
      const CVector corner = label.origin + label.d * ((fx - label.x0) * label.sx) +
                             label.u * ((CUbRenderAPI::kFontCapHeight - fy - label.y0) * label.sy);
      double x = 0, y = 0;
      ToWindow(batch, corner, x, y);
      label.left = first ? x : std::min(label.left, x);
      label.right = first ? x : std::max(label.right, x);
      label.bottom = first ? y : std::min(label.bottom, y);
      label.top = first ? y : std::max(label.top, y);
      first = false;
    }
  }
}

// False when a label of the batch's priority is already anchored within a few pixels of pos,
// which then stays unlaid; otherwise claims the place.
bool ClaimAnchor(SLabelBatch& batch, const CVector& pos) {
  double x = 0, y = 0;
  ToWindow(batch, pos, x, y);
  const int column = static_cast<int>(std::floor((x - batch.viewport[0]) / kAnchorCell));
  const int row = static_cast<int>(std::floor((y - batch.viewport[1]) / kAnchorCell));
  if (column < 0 || row < 0 || column >= batch.anchorColumns || row >= batch.anchorRows) return true;
  unsigned char& claim = batch.anchors[static_cast<size_t>(row * batch.anchorColumns + column)];
  const auto mine = static_cast<unsigned char>(1 + std::clamp(batch.priority, 0, 250));
  if (claim == mine) return false;
  if (claim == 0) claim = mine;
  return true;
}

// A width and a depth in font units that the ink of every text FormatNumber can give with these
// decimals and unit reaches at least: one digit before the point, the narrowest digits, no sign.
// False for a unit the font does not print as it is, whose text is then made at once.
bool ShortestNumberInk(int decimals, const CString& unit, double& inkRight, double& inkBottom) {
  const std::string& raw = unit.str();
  if (raw.size() > 64) return false;
  for (const char ch : raw) {
    if (ch < 32 || ch >= 127) return false;
  }
  static const auto digits = [] {
    // Narrowest advance, narrowest ink and shallowest ink of the ten digits; the point's advance.
    std::array<double, 4> out{1e9, 1e9, 1e9, 0};
    for (char c = '0'; c <= '9'; ++c) {
      char text[2] = {c, 0};
      const SFontLayout layout = LayOut(text);
      out[0] = std::min(out[0], static_cast<double>(stb_easy_font_width(text)));
      out[1] = std::min(out[1], static_cast<double>(layout.inkRight));
      out[2] = std::min(out[2], static_cast<double>(layout.inkBottom));
    }
    char point[2] = {'.', 0};
    out[3] = stb_easy_font_width(point);
    return out;
  }();
  // A frame's values share their decimals and unit: the last answer is kept.
  static int lastDecimals = -1;
  static std::string lastUnit;
  static double lastInk = 0.0;
  const int k = std::clamp(decimals, 0, 15);
  if (k != lastDecimals || raw != lastUnit) {
    const double point = k > 0 ? digits[3] : 0.0;
    lastInk = raw.empty() ? k * digits[0] + point + digits[1]
                          : (1 + k) * digits[0] + point + LayOut(" " + raw).inkRight;
    lastDecimals = k;
    lastUnit = raw;
  }
  inkRight = lastInk;
  inkBottom = digits[2];
  return true;
}

struct STessDeleter {
  void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};
std::unique_ptr<GLUtesselator, STessDeleter> s_tess;

// Vertices the tessellator makes where edges cross; they must live until the polygon ends.
struct STessRun {
  std::deque<std::array<GLdouble, 3>> combined;
};

void TessBegin(GLenum mode) { CUbGlState::Begin(mode); }
void TessVertex(void* data) { glVertex3dv(static_cast<const GLdouble*>(data)); }
void TessEnd() { CUbGlState::End(); }
void TessCombine(GLdouble coords[3], void* /*vertexData*/[4], GLfloat /*weight*/[4], void** outData,
                 void* polygonData) {
  auto* run = static_cast<STessRun*>(polygonData);
  run->combined.push_back({coords[0], coords[1], coords[2]});
  *outData = run->combined.back().data();
}

int Channel(double c) {
  return static_cast<int>(std::clamp(c, 0.0, 1.0) * 255.0);
}

}  // namespace

void CUbRenderAPI::DrawLine(const CVector& v1, const CVector& v2) {
  CUbGlState::Begin(GL_LINES);
  glVertex3d(v1.x, v1.y, v1.z);
  glVertex3d(v2.x, v2.y, v2.z);
  CUbGlState::End();
}

void CUbRenderAPI::DrawArrowHead(const CVector& vTip, const CVector& vDir, double dSize) {
  const CVector d = vDir.Unit();
  if (d.Length() < kDegenerate || !(dSize > 0) || !std::isfinite(dSize)) return;
  CVector side = CurrentScreenAxes().toward.Cross(d);
  side = side.Length() > kDegenerate ? side.Unit() : AnyPerpendicular(d);
  const CVector base = vTip + d * (kArrowLength * dSize);
  const CVector left = base + side * (kArrowHalfWidth * dSize);
  const CVector right = base - side * (kArrowHalfWidth * dSize);
  // The outline keeps a head visible when it is too thin for the fill to cover a pixel centre.
  for (GLenum mode : {GLenum(GL_TRIANGLES), GLenum(GL_LINE_LOOP)}) {
    CUbGlState::Begin(mode);
    glVertex3d(vTip.x, vTip.y, vTip.z);
    glVertex3d(left.x, left.y, left.z);
    glVertex3d(right.x, right.y, right.z);
    CUbGlState::End();
  }
}

void CUbRenderAPI::OutVectorText(const CVector& vPos, const CVector& vDirText, const CVector& vDirUp,
                                 const CString& strText, double dHeight, double dWidthFactor, int nAlignH,
                                 int nAlignV, double dRotateDeg, int bUpright, const CVector& vColor,
                                 int bSetColor) {
  if (!(dHeight > 0) || !std::isfinite(dHeight) || !std::isfinite(dWidthFactor)) return;
  // Labels help the eye only; a selection pass never picks them.
  if (CUbGlState::IsPicking()) return;
  if (SLabelBatch& batch = Batch(); batch.open && !batch.alternatives && !ClaimAnchor(batch, vPos)) return;
  const SFontLayout& layout = CachedLayout(strText);
  if (layout.bars.empty()) return;

  const SScreenAxes axes = CurrentScreenAxes();
  CVector d, u;
  Orient(axes, vDirText, vDirUp, dRotateDeg, bUpright, d, u);

  const double sy = dHeight / kFontCapHeight;
  const double sx = sy * dWidthFactor;
  const double x0 = nAlignH == TEXT_ALIGN_CENTER  ? layout.inkRight / 2.0
                    : nAlignH == TEXT_ALIGN_RIGHT ? layout.inkRight
                                                  : 0.0;
  const double y0 = nAlignV == TEXT_VALIGN_TOP      ? kFontCapHeight
                    : nAlignV == TEXT_VALIGN_MIDDLE ? kFontCapHeight / 2.0
                                                    : 0.0;

  if (SLabelBatch& batch = Batch(); batch.open) {
    CVector colour = vColor;
    if (!bSetColor) {
      GLfloat current[4];
      CUbGlState::Flush();
      glGetFloatv(GL_CURRENT_COLOR, current);
      colour = CVector(current[0], current[1], current[2]);
    }
    const int group = batch.alternatives ? batch.group : batch.nextGroup++;
    SLabel label{&layout, vPos, d, u, sx, sy, x0, y0, colour, batch.priority, 0, 0, 0, 0, group};
    Frame(batch, label, layout.inkRight, layout.inkBottom);
    batch.labels.push_back(label);
    return;
  }
  SLabelBatch& batch = Batch();
  if (batch.alternatives) {
    if (batch.alternativeDrawn) return;
    batch.alternativeDrawn = true;
  }
  CUbGlState::Flush();
  if (bSetColor) {
    glPushAttrib(GL_CURRENT_BIT);
    glColor3d(vColor.x, vColor.y, vColor.z);
  }
  EmitText(layout, vPos, d, u, sx, sy, x0, y0);
  if (bSetColor) glPopAttrib();
}

void CUbRenderAPI::BeginLabels() {
  SLabelBatch& batch = Batch();
  batch.labels.clear();
  batch.units.clear();
  batch.priority = LABEL_OTHER;
  batch.nextGroup = 0;
  batch.alternatives = 0;
  batch.open = false;  // the camera is read as it is, not from an earlier batch
  batch.axes = CurrentScreenAxes();
  GLdouble p[16], m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += p[k * 4 + r] * m[c * 4 + k];
      batch.pm[c * 4 + r] = sum;
    }
  }
  glGetIntegerv(GL_VIEWPORT, batch.viewport);
  batch.anchorColumns = std::max(1, (batch.viewport[2] + kAnchorCell - 1) / kAnchorCell);
  batch.anchorRows = std::max(1, (batch.viewport[3] + kAnchorCell - 1) / kAnchorCell);
  batch.anchors.assign(static_cast<size_t>(batch.anchorColumns) * static_cast<size_t>(batch.anchorRows), 0);
  batch.open = true;
}

void CUbRenderAPI::SetLabelPriority(int priority) { Batch().priority = priority; }

int CUbRenderAPI::GetCountLabelTextsMade() { return Batch().textsMade; }

CString CUbRenderAPI::FormatNumber(double dValue, int nDecimals, const CString& strUnit) {
  CString text;
  text.Format("%.*f", std::clamp(nDecimals, 0, 15), dValue);
  // A value that rounds to zero reads "0.00", never "-0.00".
  if (text.GetLength() > 1 && text.GetAt(0) == '-' &&
      std::string(text.c_str() + 1).find_first_not_of("0.") == std::string::npos)
    text = CString(text.c_str() + 1);
  if (!strUnit.IsEmpty()) text = CString((std::string(text.c_str()) + " " + strUnit.c_str()).c_str());
  return text;
}

void CUbRenderAPI::GetLastLabelQuads(std::vector<CVector>& out) {
  out.clear();
  for (const SLabel& l : Batch().placed) {
    for (const SBar& b : l.layout->bars) {
      for (const auto& [fx, fy] : {std::pair<float, float>{b.x0, b.y0}, {b.x0, b.y1}, {b.x1, b.y1}, {b.x1, b.y0}}) {
        out.push_back(l.origin + l.d * ((fx - l.x0) * l.sx) + l.u * ((kFontCapHeight - fy - l.y0) * l.sy));
      }
    }
  }
}

void CUbRenderAPI::BeginLabelAlternatives() {
  SLabelBatch& batch = Batch();
  if (batch.alternatives++ == 0) {
    batch.group = batch.nextGroup++;
    batch.alternativeDrawn = false;
  }
}

void CUbRenderAPI::EndLabelAlternatives() {
  SLabelBatch& batch = Batch();
  if (batch.alternatives > 0) --batch.alternatives;
}

int CUbRenderAPI::EndLabels() {
  SLabelBatch& batch = Batch();
  if (!batch.open) return 0;
  batch.open = false;
  std::vector<SLabel> labels;
  labels.swap(batch.labels);
  batch.placed.clear();
  // Priorities are few: the order is a bucket per priority, each in the order labels came.
  std::vector<SLabel*> order;
  order.reserve(labels.size());
  for (int priority = LABEL_NODE; priority <= LABEL_OTHER; ++priority) {
    for (SLabel& label : labels) {
      if (std::clamp(label.priority, static_cast<int>(LABEL_NODE), static_cast<int>(LABEL_OTHER)) == priority)
        order.push_back(&label);
    }
  }

  // Placed labels, found through a grid of window cells so that each test looks only nearby.
  constexpr double kCell = 32.0;
  constexpr double kGap = 3.0;  // pixels kept free between two labels
  const double left = batch.viewport[0], bottom = batch.viewport[1];
  const double right = left + batch.viewport[2], top = bottom + batch.viewport[3];
  const int columns = std::max(1, static_cast<int>(std::ceil(batch.viewport[2] / kCell)));
  const int rows = std::max(1, static_cast<int>(std::ceil(batch.viewport[3] / kCell)));
  std::vector<std::vector<const SLabel*>> cells(static_cast<size_t>(columns) * static_cast<size_t>(rows));
  auto cellRange = [&](const SLabel& l, int& c0, int& c1, int& r0, int& r1) {
    c0 = std::clamp(static_cast<int>((l.left - kGap - left) / kCell), 0, columns - 1);
    c1 = std::clamp(static_cast<int>((l.right + kGap - left) / kCell), 0, columns - 1);
    r0 = std::clamp(static_cast<int>((l.bottom - kGap - bottom) / kCell), 0, rows - 1);
    r1 = std::clamp(static_cast<int>((l.top + kGap - bottom) / kCell), 0, rows - 1);
  };

  // Whether a label lies wholly inside the window (one cut by its edge is no easier to read than
  // a hidden one) and keeps clear of every label placed so far.
  auto fits = [&](const SLabel& label) {
    if (label.left < left || label.right > right || label.bottom < bottom || label.top > top) return false;
    int c0, c1, r0, r1;
    cellRange(label, c0, c1, r0, r1);
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) {
        for (const SLabel* other : cells[static_cast<size_t>(r * columns + c)]) {
          if (label.left - kGap < other->right && other->left < label.right + kGap &&
              label.bottom - kGap < other->top && other->bottom < label.top + kGap)
            return false;
        }
      }
    }
    return true;
  };
  std::vector<CString> units;
  units.swap(batch.units);
  batch.textsMade = 0;

  CUbGlState::Disable(GL_LIGHTING);
  CUbGlState::Disable(GL_DEPTH_TEST);
  CUbGlState::Flush();
  glPushAttrib(GL_CURRENT_BIT);
  int drawn = 0;
  std::vector<bool> placed(static_cast<size_t>(batch.nextGroup) + 1, false);
  for (SLabel* next : order) {
    SLabel& label = *next;
    if (placed[static_cast<size_t>(label.group)]) continue;
    if (!fits(label)) continue;
    if (!label.layout) {
      // A number whose shortest text would find room: now its text is made, and the label
      // framed and tried again as the text overload would have framed it.
      const SFontLayout& layout =
          CachedLayout(CUbRenderAPI::FormatNumber(label.value, label.decimals, units[static_cast<size_t>(label.unit)]));
      ++batch.textsMade;
      label.layout = &layout;
      label.x0 = layout.inkRight / 2.0;
      Frame(batch, label, layout.inkRight, layout.inkBottom);
      if (!fits(label)) continue;
    }
    int c0, c1, r0, r1;
    cellRange(label, c0, c1, r0, r1);
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) cells[static_cast<size_t>(r * columns + c)].push_back(&label);
    }
    placed[static_cast<size_t>(label.group)] = true;
    batch.placed.push_back(label);
    glColor3d(label.colour.x, label.colour.y, label.colour.z);
    EmitText(*label.layout, label.origin, label.d, label.u, label.sx, label.sy, label.x0, label.y0);
    ++drawn;
  }
  glPopAttrib();
  CUbGlState::Enable(GL_DEPTH_TEST);
  CUbGlState::Enable(GL_LIGHTING);
  // The next frame gathers about as many labels again.
  labels.clear();
  batch.labels.swap(labels);
  return drawn;
}

void CUbRenderAPI::DrawTextDirectionMid(const CVector& vBegin, const CVector& vEnd, int nGapPixel, int nSide,
                                        const CString& strText, const CVector& vColor, double dViewScale,
                                        double dHeight) {
  if (!(dHeight > 0) || !std::isfinite(dHeight)) return;
  const SScreenAxes axes = CurrentScreenAxes();
  CVector d = (vEnd - vBegin).Unit();
  if (d.Length() < kDegenerate) d = axes.right;
  if (ReadsBackwards(d, axes)) d = -d;
  CVector u = axes.toward.Cross(d);
  u = u.Length() > kDegenerate ? u.Unit() : axes.up;

  const double gap = 0.3 * dHeight + nGapPixel * (std::isfinite(dViewScale) ? dViewScale : 0.0);
  const CVector mid = (vBegin + vEnd) * 0.5;
  const bool below = nSide == TEXT_SIDE_BELOW;
  OutVectorText(below ? mid - u * gap : mid + u * gap, d, u, strText, dHeight, 1.0, TEXT_ALIGN_CENTER,
                below ? TEXT_VALIGN_TOP : TEXT_VALIGN_BASELINE, 0.0, 0, vColor, 1);
}

void CUbRenderAPI::DrawTextDirectionMid(const CVector& vBegin, const CVector& vEnd, double dValue, int nDecimals,
                                        int nSide, const CVector& vColor, double dViewScale, double dHeight,
                                        const CString& strUnit) {
  SLabelBatch& batch = Batch();
  double shortest = 0.0, shallowest = 0.0;
  // "inf" and "nan" are shorter than the shortest number: their text is made at once.
  if (!batch.open || batch.alternatives || CUbGlState::IsPicking() || !(dHeight > 0) || !std::isfinite(dHeight) ||
      !std::isfinite(dValue) || !ShortestNumberInk(nDecimals, strUnit, shortest, shallowest)) {
    DrawTextDirectionMid(vBegin, vEnd, 0, nSide, FormatNumber(dValue, nDecimals, strUnit), vColor, dViewScale,
                         dHeight);
    return;
  }
  // Placed as the text overload would place it, with the text left to be made in EndLabels.
  const SScreenAxes axes = CurrentScreenAxes();
  CVector along = (vEnd - vBegin).Unit();
  if (along.Length() < kDegenerate) along = axes.right;
  if (ReadsBackwards(along, axes)) along = -along;
  CVector up = axes.toward.Cross(along);
  up = up.Length() > kDegenerate ? up.Unit() : axes.up;
  const double gap = 0.3 * dHeight;
  const CVector mid = (vBegin + vEnd) * 0.5;
  const bool below = nSide == TEXT_SIDE_BELOW;
  const CVector pos = below ? mid - up * gap : mid + up * gap;
  if (!ClaimAnchor(batch, pos)) return;
  CVector d, u;
  Orient(axes, along, up, 0.0, 0, d, u);
  const double sy = dHeight / kFontCapHeight;
  SLabel label{nullptr, pos, d, u, sy, sy, shortest / 2.0, below ? kFontCapHeight : 0.0, vColor, batch.priority,
               0, 0, 0, 0, batch.nextGroup++};
  // The box of the shortest text for now; it lies within the box of the text to come.
  Frame(batch, label, shortest, shallowest);
  // Drawn in a little, so that rounding cannot take it past the box of the real text.
  constexpr double kInside = 1e-6;
  label.left += kInside;
  label.bottom += kInside;
  label.right -= kInside;
  label.top -= kInside;
  label.value = dValue;
  label.decimals = nDecimals;
  if (batch.units.empty() || batch.units.back() != strUnit) batch.units.push_back(strUnit);
  label.unit = static_cast<int>(batch.units.size()) - 1;
  batch.labels.push_back(label);
}

std::vector<float> CUbRenderAPI::FontBars(const CString& strText) {
  std::vector<float> bars;
  for (const SBar& b : CachedLayout(strText).bars) bars.insert(bars.end(), {b.x0, b.y0, b.x1, b.y1});
  return bars;
}

void CUbRenderAPI::FontPutsW(const CString& strText, int nScale) {
  const int scale = std::max(1, nScale);
  const SFontLayout& layout = CachedLayout(strText);
  if (layout.advance == 0) return;
  const int width = static_cast<int>(std::ceil(layout.inkRight)) * scale;
  const int height = static_cast<int>(std::ceil(layout.inkBottom)) * scale;
  const int rowBytes = (width + 7) / 8;
  // Rows from the bottom, most significant bit first: GL's default bitmap layout.
  std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * static_cast<size_t>(std::max(height, 1)), 0);
  for (const SBar& b : layout.bars) {
    for (int y = static_cast<int>(b.y0) * scale; y < static_cast<int>(b.y1) * scale; ++y) {
      const int row = height - 1 - y;
      for (int x = static_cast<int>(b.x0) * scale; x < static_cast<int>(b.x1) * scale; ++x)
        bits[static_cast<size_t>(row * rowBytes + x / 8)] |= static_cast<GLubyte>(0x80 >> (x % 8));
    }
  }
  // Unpacking is client state, so it is set and restored here even inside a display list.
  CUbGlState::Apply();  // a bitmap is depth tested like any other fragment
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  const GLfloat below = static_cast<GLfloat>(height) - static_cast<GLfloat>(kFontCapHeight * scale);
  // Feedback reports a bitmap as its position alone; the text goes before it for a vector drawing.
  UbFeedbackText(FontText(strText), scale);
  glBitmap(width, height, 0.0f, below, static_cast<GLfloat>(layout.advance * scale), 0.0f,
           width > 0 ? bits.data() : nullptr);
  glPopClientAttrib();
}

bool CUbRenderAPI::CreateTessObj() {
  if (!s_tess) s_tess.reset(gluNewTess());
  return s_tess != nullptr;
}

void CUbRenderAPI::DeleteTessObj() { s_tess.reset(); }

bool CUbRenderAPI::Entity_Tess(const CVectorArray& arrOutline, double dDepthOffset) {
  if (!s_tess || arrOutline.GetSize() < 3) return false;
  CVector shift;
  if (dDepthOffset != 0.0 && std::isfinite(dDepthOffset)) shift = CurrentScreenAxes().toward * -dDepthOffset;

  std::vector<std::array<GLdouble, 3>> points;
  points.reserve(static_cast<size_t>(arrOutline.GetSize()));
  for (int i = 0; i < arrOutline.GetSize(); ++i) {
    const CVector v = arrOutline[i] + shift;
    points.push_back({v.x, v.y, v.z});
  }

  GLUtesselator* tess = s_tess.get();
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(TessBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(TessVertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(TessEnd));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(TessCombine));
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  gluTessNormal(tess, 0, 0, 0);  // taken from the outline, whatever plane it lies in

  STessRun run;
  gluTessBeginPolygon(tess, &run);
  gluTessBeginContour(tess);
  for (auto& p : points) gluTessVertex(tess, p.data(), p.data());
  gluTessEndContour(tess);
  gluTessEndPolygon(tess);
  return true;
}

void CUbRenderAPI::GetContourColor(int nType, int& nRed, int& nGreen, int& nBlue, int nIndex, int nIndexMax) {
  double t = nIndexMax > 0 ? static_cast<double>(nIndex) / nIndexMax : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  double r = 1, g = 1, b = 1;
  // Blue, cyan, green, yellow, red in four equal steps; type 1 runs it backwards.
  auto fourStep = [&](double s) {
    if (s < 0.25) { r = 0; g = 4 * s; b = 1; }
    else if (s < 0.5) { r = 0; g = 1; b = 2 - 4 * s; }
    else if (s < 0.75) { r = 4 * s - 2; g = 1; b = 0; }
    else { r = 1; g = 4 - 4 * s; b = 0; }
  };
  switch (nType) {
    case 0: fourStep(t); break;
    case 1: fourStep(1 - t); break;
    case 2: {
      const int k = std::min(5, static_cast<int>(t * 6));
      const double s = t * 6 - k;
      switch (k) {
        case 0: r = 0; g = 1; b = s; break;      // green to cyan
        case 1: r = 0; g = 1 - s; b = 1; break;  // cyan to blue
        case 2: r = s; g = 0; b = 1; break;      // blue to magenta
        case 3: r = 1; g = 0; b = 1 - s; break;  // magenta to red
        case 4: r = 1; g = s; b = 0; break;      // red to yellow
        default: r = 1; g = 1; b = s; break;     // yellow to white
      }
      break;
    }
    case 3:
      if (t < 0.5) { r = 0; g = 2 * t; b = 1; }
      else { r = 1; g = 2 - 2 * t; b = 0; }
      break;
    case 4: r = g = b = t; break;
    case 5: r = g = b = 1 - t; break;
    case 6:
      if (t < 0.5) { r = 1; g = b = 2 * t; }
      else { r = g = 2 * (1 - t); b = 1; }
      break;
    case 7:
      if (t < 0.5) { r = 1; g = 0; b = 0; }
      else { r = 0; g = 0; b = 1; }
      break;
    default: break;  // white
  }
  nRed = Channel(r);
  nGreen = Channel(g);
  nBlue = Channel(b);
}

int CUbRenderAPI::GiveIndexFromValue_Lin(double dMin, double dMax, int nLevels, double dValue) {
  if (nLevels <= 0 || std::isnan(dValue)) return 0;
  const double range = dMax - dMin;
  if (range == 0.0 || !std::isfinite(range)) return nLevels / 2;
  // Multiplying before dividing keeps values on a band boundary exact (3 of 0..10 in 10 bands).
  const double scaled = (dValue - dMin) * nLevels / range;
  if (!(scaled > 0)) return 0;
  if (scaled >= nLevels - 1) return nLevels - 1;
  return static_cast<int>(scaled);
}
