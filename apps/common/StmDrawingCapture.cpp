// Captures a frame of the renderer in GL feedback mode as vector primitives on a sheet of paper.
#include "StmDrawingExport.h"

#include <GL/gl.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>

#include "host/framework/CUbRenderAPI.h"
#include "host/framework/CUbSurface.h"
#include "host/framework/UbFeedbackTag.h"
#include "host/model/CStmDataView.h"
#include "host/model/CStmModel.h"
#include "host/model/StmDxfImport.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"
#include "render/StmDrawingLayer.h"
#include "StmViewOfPlane.h"

// Feedback reports neither line widths nor stipples nor point sizes. While a frame is captured,
// these wrappers pass each change through to the feedback buffer, also into display lists
// compiled in that frame; otherwise they only forward to GL.
namespace {

bool g_capturing = false;

template <class F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void PassStipple(bool on) {
  GLint factor = 1, pattern = 0xFFFF;
  glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &factor);
  glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &pattern);
  glPassThrough(static_cast<GLfloat>(UB_TAG_STIPPLE));
  glPassThrough(on ? 1.0f : 0.0f);
  glPassThrough(static_cast<GLfloat>(factor));
  glPassThrough(static_cast<GLfloat>(pattern));
}

}  // namespace

extern "C" {

void glLineWidth(GLfloat width) {
  static const auto real = Real<void (*)(GLfloat)>("glLineWidth");
  real(width);
  if (!g_capturing) return;
  glPassThrough(static_cast<GLfloat>(UB_TAG_LINE_WIDTH));
  glPassThrough(width);
}

void glPointSize(GLfloat size) {
  static const auto real = Real<void (*)(GLfloat)>("glPointSize");
  real(size);
  if (!g_capturing) return;
  glPassThrough(static_cast<GLfloat>(UB_TAG_POINT_SIZE));
  glPassThrough(size);
}

void glLineStipple(GLint factor, GLushort pattern) {
  static const auto real = Real<void (*)(GLint, GLushort)>("glLineStipple");
  real(factor, pattern);
  if (g_capturing) PassStipple(glIsEnabled(GL_LINE_STIPPLE));
}

void glEnable(GLenum cap) {
  static const auto real = Real<void (*)(GLenum)>("glEnable");
  real(cap);
  if (g_capturing && cap == GL_LINE_STIPPLE) PassStipple(true);
}

void glDisable(GLenum cap) {
  static const auto real = Real<void (*)(GLenum)>("glDisable");
  real(cap);
  if (g_capturing && cap == GL_LINE_STIPPLE) PassStipple(false);
}

}  // extern "C"

namespace {

constexpr double kMarginMm = 10.0;
constexpr double kTitleWidthMm = 120.0;
constexpr double kTitleHeightMm = 28.0;
constexpr double kPixelsPerMm = 4.0;  // a pixel line is a 0.25 mm pen
// Floats per vertex of GL_3D_COLOR in RGBA mode: x, y, z, r, g, b, a.
constexpr int kVertex = 7;

struct SStyle {
  int layer = STM_LAYER_MODEL;
  double lineWidth = 1.0, pointSize = 1.0;
  bool stipple = false;
  int factor = 1, pattern = 0xFFFF;
};

std::vector<double> Dashes(const SStyle& s) {
  std::vector<double> runs;
  if (!s.stipple || (s.pattern & 0xFFFF) == 0xFFFF) return runs;
  // Runs of equal bits from the lowest, the first bit GL draws; a pattern starting with an off
  // run is rotated so that the list starts with an on run, as dash arrays do.
  int start = 0;
  while (start < 16 && !(s.pattern >> start & 1)) ++start;
  if (start == 16) return runs;
  bool on = true;
  int length = 0;
  for (int k = 0; k < 16; ++k) {
    const bool bit = s.pattern >> ((start + k) % 16) & 1;
    if (bit != on) {
      runs.push_back(length * s.factor);
      length = 0;
      on = bit;
    }
    ++length;
  }
  runs.push_back(length * s.factor);
  if (runs.size() % 2) runs.push_back(0);
  return runs;
}

void SetColour(SStmDrawingPrimitive& p, const float* v) { std::copy(v + 3, v + 7, p.rgba); }

// Turns the feedback buffer into primitives; line segments that continue one another in the
// same style are joined, so that an outline comes out as one polyline.
void Parse(const std::vector<GLfloat>& buffer, size_t used, std::vector<SStmDrawingPrimitive>& out) {
  SStyle style;
  size_t i = 0;
  const auto next = [&]() { return i < used ? buffer[i++] : 0.0f; };
  const auto vertex = [&]() {
    const float* v = &buffer[i];
    i += kVertex;
    return v;
  };
  while (i < used) {
    const GLenum token = static_cast<GLenum>(next());
    if (token == GL_PASS_THROUGH_TOKEN) {
      const int tag = static_cast<int>(next());
      if (tag != UB_TAG_LAYER && tag != UB_TAG_LINE_WIDTH && tag != UB_TAG_POINT_SIZE && tag != UB_TAG_STIPPLE &&
          tag != UB_TAG_BITMAP_TEXT)
        continue;
      // Each tag's values are pass-throughs of their own.
      const auto value = [&]() {
        next();
        return next();
      };
      if (tag == UB_TAG_LAYER) style.layer = static_cast<int>(value());
      if (tag == UB_TAG_LINE_WIDTH) style.lineWidth = value();
      if (tag == UB_TAG_POINT_SIZE) style.pointSize = value();
      if (tag == UB_TAG_STIPPLE) {
        style.stipple = value() != 0.0f;
        style.factor = static_cast<int>(value());
        style.pattern = static_cast<int>(value());
      }
      if (tag == UB_TAG_BITMAP_TEXT) {
        const int scale = static_cast<int>(value());
        const int count = static_cast<int>(value());
        std::string text;
        for (int k = 0; k < count && i < used; ++k) text += static_cast<char>(static_cast<int>(value()));
        // The bitmap token that follows gives the raster position and the text's colour.
        if (i + 1 + kVertex > used || static_cast<GLenum>(buffer[i]) != GL_BITMAP_TOKEN) continue;
        ++i;
        const float* v = vertex();
        SStmDrawingPrimitive p;
        p.kind = SStmDrawingPrimitive::kPolygon;
        p.layer = style.layer;
        SetColour(p, v);
        const std::vector<float> bars = CUbRenderAPI::FontBars(CString(text.c_str()));
        // The bitmap's cap line is the raster position's height plus the capital height.
        const double cap = v[1] + CUbRenderAPI::kFontCapHeight * scale;
        for (size_t b = 0; b + 3 < bars.size(); b += 4) {
          const double x0 = v[0] + bars[b] * scale, x1 = v[0] + bars[b + 2] * scale;
          const double y0 = cap - bars[b + 1] * scale, y1 = cap - bars[b + 3] * scale;
          p.rings.push_back({x0, y0, x1, y0, x1, y1, x0, y1});
        }
        if (!p.rings.empty()) out.push_back(std::move(p));
      }
      continue;
    }
    if (token == GL_POINT_TOKEN) {
      const float* v = vertex();
      SStmDrawingPrimitive p;
      p.kind = SStmDrawingPrimitive::kPolygon;
      p.layer = style.layer;
      SetColour(p, v);
      const double h = style.pointSize * 0.5;
      p.rings.push_back({v[0] - h, v[1] - h, v[0] + h, v[1] - h, v[0] + h, v[1] + h, v[0] - h, v[1] + h});
      out.push_back(std::move(p));
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      const float* a = vertex();
      const float* b = vertex();
      const std::vector<double> dashes = Dashes(style);
      if (!out.empty()) {
        SStmDrawingPrimitive& last = out.back();
        const std::vector<double>& ring = last.rings.back();
        if (last.kind == SStmDrawingPrimitive::kLine && last.layer == style.layer && last.width == style.lineWidth &&
            last.dashes == dashes && std::equal(last.rgba, last.rgba + 4, a + 3) &&
            ring[ring.size() - 2] == a[0] && ring.back() == a[1]) {
          last.rings.back().insert(last.rings.back().end(), {b[0], b[1]});
          continue;
        }
      }
      SStmDrawingPrimitive p;
      p.layer = style.layer;
      SetColour(p, a);
      p.width = style.lineWidth;
      p.dashes = dashes;
      p.rings.push_back({a[0], a[1], b[0], b[1]});
      out.push_back(std::move(p));
    } else if (token == GL_POLYGON_TOKEN) {
      const int n = static_cast<int>(next());
      SStmDrawingPrimitive p;
      p.kind = SStmDrawingPrimitive::kPolygon;
      p.layer = style.layer;
      // A shaded polygon takes the mean of its corners: small cells of a contour stay close to
      // what the screen blends.
      float sum[4] = {0, 0, 0, 0};
      std::vector<double> ring;
      for (int k = 0; k < n && i + kVertex <= used; ++k) {
        const float* v = vertex();
        ring.insert(ring.end(), {v[0], v[1]});
        for (int c = 0; c < 4; ++c) sum[c] += v[3 + c];
      }
      for (int c = 0; c < 4 && n > 0; ++c) p.rgba[c] = sum[c] / static_cast<float>(n);
      p.rings.push_back(std::move(ring));
      out.push_back(std::move(p));
    } else if (token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
      vertex();  // a bitmap without its text before it, or pixels: nothing a vector drawing can take
    } else {
      break;  // not a token: the buffer cannot be read further
    }
  }
  // A polyline that comes back to its start is an outline.
  for (SStmDrawingPrimitive& p : out) {
    if (p.kind != SStmDrawingPrimitive::kLine) continue;
    std::vector<double>& r = p.rings.back();
    if (r.size() >= 8 && r[0] == r[r.size() - 2] && r[1] == r.back()) {
      r.resize(r.size() - 2);
      p.closed = true;
    }
  }
  // A line drawn twice in one colour (a thick outline and a thin dashed one over it) is one line
  // on paper, the wider, solid if either is: in DXF a second copy of an outline would cross the
  // first.
  std::map<std::vector<double>, size_t> seen;
  std::vector<SStmDrawingPrimitive> kept;
  kept.reserve(out.size());
  for (SStmDrawingPrimitive& p : out) {
    if (p.kind == SStmDrawingPrimitive::kLine) {
      // The two passes reach the same pixel through different float sums: compared to 1/64 pixel.
      std::vector<double> key;
      for (const double v : p.rings.back()) key.push_back(std::round(v * 64.0));
      key.insert(key.end(), {static_cast<double>(p.layer), p.closed ? 1.0 : 0.0, p.rgba[0], p.rgba[1], p.rgba[2], p.rgba[3]});
      const auto [it, fresh] = seen.emplace(std::move(key), kept.size());
      if (!fresh) {
        SStmDrawingPrimitive& first = kept[it->second];
        first.width = std::max(first.width, p.width);
        if (p.dashes.empty()) first.dashes.clear();
        continue;
      }
    }
    kept.push_back(std::move(p));
  }
  out.swap(kept);
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

// A length for the scale bar of 1, 2 or 5 times a power of ten model units, 20 to 50 mm long.
double BarLength(double mmPerUnit) {
  const double target = 40.0 / mmPerUnit;
  const double decade = std::pow(10.0, std::floor(std::log10(target)));
  for (const double f : {5.0, 2.0, 1.0}) {
    if (f * decade * mmPerUnit <= 50.0) return f * decade;
  }
  return decade;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The title block at the lower right and the scale bar at the lower left, in frame pixels.
void AddFrame(SStmDrawing& d, const SStmDrawingOptions& options, const std::string& unit, double mmPerUnit) {
  const double ppm = d.pixelsPerMm;
  // Paper millimetres (y down) to frame pixels (y up).
  const auto px = [&](double x, double y) { return std::vector<double>{(x - d.left) * ppm, d.height - (y - d.top) * ppm}; };
  const auto line = [&](std::vector<double> pts, bool closed, double widthMm) {
    SStmDrawingPrimitive p;
    p.frame = true;
    p.closed = closed;
    p.width = widthMm * ppm;
    std::vector<double> ring;
    for (size_t k = 0; k + 1 < pts.size(); k += 2) {
      const std::vector<double> q = px(pts[k], pts[k + 1]);
      ring.insert(ring.end(), q.begin(), q.end());
    }
    p.rings.push_back(ring);
    d.primitives.push_back(std::move(p));
    return &d.primitives.back();
  };
  const auto text = [&](double x, double y, double heightMm, const std::string& s) {
    SStmDrawingPrimitive p;
    p.frame = true;
    p.kind = SStmDrawingPrimitive::kText;
    p.rings.push_back(px(x, y));
    p.text = s;
    p.textHeight = heightMm * ppm;
    d.primitives.push_back(std::move(p));
  };
  const double right = d.paperWidth - kMarginMm, bottom = d.paperHeight - kMarginMm;
  const double x0 = right - kTitleWidthMm, y0 = bottom - kTitleHeightMm;
  line({x0, y0, right, y0, right, bottom, x0, bottom}, true, 0.5);
  line({x0, y0 + 10, right, y0 + 10}, false, 0.25);
  line({x0, y0 + 19, right, y0 + 19}, false, 0.25);
  line({x0 + 60, y0 + 10, x0 + 60, bottom}, false, 0.25);
  text(x0 + 3, y0 + 7, 4.0, options.modelName.empty() ? StmText("untitled").c_str() : options.modelName);
  text(x0 + 3, y0 + 16, 2.5, options.caseName.empty() ? StmText("Input model").c_str() : options.caseName);
  text(x0 + 63, y0 + 16, 2.5, StmText("Scale").c_str() + std::string(" 1:") + Number(options.scale) + "  " + d.paperName);
  text(x0 + 3, y0 + 25, 2.5, StmText("Date").c_str() + std::string(" ") + (options.date.empty() ? Today() : options.date));
  text(x0 + 63, y0 + 25, 2.5, StmText("Units").c_str() + std::string(" ") + unit);
  // Two halves, the first filled, as on a map: the eye reads the half as well as the whole.
  const double length = BarLength(mmPerUnit / options.scale);
  const double barMm = length * mmPerUnit / options.scale;
  const double bx = kMarginMm, by = bottom - 6.0;
  line({bx, by, bx + barMm, by, bx + barMm, by + 2.0, bx, by + 2.0}, true, 0.25);
  SStmDrawingPrimitive half;
  half.frame = true;
  half.kind = SStmDrawingPrimitive::kPolygon;
  std::vector<double> ring;
  for (const auto& [x, y] : {std::pair{bx, by}, {bx + barMm / 2, by}, {bx + barMm / 2, by + 2.0}, {bx, by + 2.0}}) {
    const std::vector<double> q = px(x, y);
    ring.insert(ring.end(), q.begin(), q.end());
  }
  half.rings.push_back(ring);
  d.primitives.push_back(std::move(half));
  text(bx, by - 1.5, 2.5, "0");
  text(bx + barMm - 2.0, by - 1.5, 2.5, Number(length) + " " + unit);
}

}  // namespace

bool StmPaperSize(const std::string& name, double& width, double& height) {
  static const std::pair<const char*, std::pair<double, double>> sizes[] = {
      {"A0", {841, 1189}}, {"A1", {594, 841}}, {"A2", {420, 594}}, {"A3", {297, 420}}, {"A4", {210, 297}}, {"A5", {148, 210}}};
  for (const auto& [n, size] : sizes) {
    if (name == n || (name.size() == 2 && std::tolower(static_cast<unsigned char>(name[0])) == 'a' && name[1] == n[1])) {
      width = size.first;
      height = size.second;
      return true;
    }
  }
  return false;
}

std::string StmShownCaseName(const CStmUbManager& manager, const CStmModel& model) {
  const int index = manager.GetIndexLoadConditionResult();
  const int statics = model.GetCountLoadConditionStatic();
  CString caption;
  if (!model.IsLock()) return std::string();
  if (index >= 0 && index < statics) {
    caption.Format(StmText("Load case %s").c_str(), model.GetLoadConditionStaticIndex(index)->GetName().c_str());
  } else if (index >= statics && index < statics + model.GetCountLoadConditionCombo()) {
    caption.Format(StmText("Combination %s").c_str(), model.GetLoadConditionComboIndex(index - statics)->GetName().c_str());
  }
  return caption.c_str();
}

bool StmCaptureDrawing(CStmUbManager& manager, const SStmDrawingOptions& options, SStmDrawing& drawing,
                       std::vector<unsigned char>* pixels, std::string& error) {
  CStmModel* model = manager.GetStmModel();
  CString text;
  double pw = 0.0, ph = 0.0;
  if (!model) {
    error = StmText("there is no model to draw").c_str();
    return false;
  }
  if (!StmPaperSize(options.paper, pw, ph)) {
    text.Format(StmText("unknown paper \"%s\" (A0 to A5)").c_str(), options.paper.c_str());
    error = text.c_str();
    return false;
  }
  if (!(options.scale >= 1.0 && options.scale <= 1e6)) {
    text.Format(StmText("the scale must be 1:1 to 1:1000000, not 1:%g").c_str(), options.scale);
    error = text.c_str();
    return false;
  }
  const std::string unit = model->GetUnitLength().c_str();
  double mmPerUnit = StmDxfMillimetres(unit);
  if (mmPerUnit <= 0.0) mmPerUnit = 1.0;
  CStmDataView* view = model->GetStmDataView();
  const CUbRenderWnd::VIEW_POS pos = StmViewOfPlane(model->GetPlane());

  const double unitsPerPixel = options.scale / (kPixelsPerMm * mmPerUnit);
  // The model's extent in its plane, before a window of the right shape exists.
  double uMin = 0, vMin = 0, uMax = 0, vMax = 0;
  {
    std::string surfaceError;
    CStmUbRenderer probe;
    if (probe.Create(&manager, CreateOffscreenSurface(16, 16, &surfaceError)) < 0) {
      text.Format(StmText("no off-screen OpenGL surface: %s").c_str(), surfaceError.c_str());
      error = text.c_str();
      return false;
    }
    probe.SetViewPos(pos);
    // Supports and loads keep their size in pixels: the range they need depends on the scale.
    probe.SetViewScale(unitsPerPixel);
    probe.ResetViewRange();
    const CCubeRange* range = manager.GetViewRange(probe.GetWndIndex());
    if (range && !range->IsEmpty()) {
      probe.ModelToPlane(range->GetMin(), uMin, vMin);
      probe.ModelToPlane(range->GetMax(), uMax, vMax);
    }
  }
  const double du = std::fabs(uMax - uMin), dv = std::fabs(vMax - vMin);
  if (du >= dv) std::swap(pw, ph);  // landscape unless the model is taller than wide
  drawing = SStmDrawing();
  drawing.paperWidth = pw;
  drawing.paperHeight = ph;
  drawing.paperName = options.paper;
  drawing.paperName[0] = 'A';
  drawing.pixelsPerMm = kPixelsPerMm;
  drawing.unit = unit;
  drawing.scale = options.scale;
  drawing.left = kMarginMm;
  drawing.top = kMarginMm;
  const double frameW = pw - 2 * kMarginMm;
  const double frameH = ph - 2 * kMarginMm - (options.titleBlock ? kTitleHeightMm + 4.0 : 0.0);
  drawing.width = static_cast<int>(std::floor(frameW * kPixelsPerMm));
  drawing.height = static_cast<int>(std::floor(frameH * kPixelsPerMm));
  drawing.unitsPerPixel = unitsPerPixel;
  drawing.centerU = (uMin + uMax) * 0.5;
  drawing.centerV = (vMin + vMax) * 0.5;
  // A tenth of a millimetre on the paper at 1:1, never coarser than a tenth of a pixel: the
  // corners a user typed come back exact from the float feedback.
  drawing.roundTo = std::pow(10.0, std::floor(std::log10(drawing.unitsPerPixel / 10.0)));
  const double needU = du / drawing.unitsPerPixel, needV = dv / drawing.unitsPerPixel;
  if (needU > drawing.width || needV > drawing.height) {
    const double fit = options.scale * std::max(needU / drawing.width, needV / drawing.height);
    double next = 1.0;
    for (double decade = 1.0; next < fit; decade *= 10.0) {
      for (const double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        next = f * decade;
        if (next >= fit) break;
      }
    }
    if (options.fitScale) {
      SStmDrawingOptions larger = options;
      larger.scale = next;
      larger.fitScale = false;
      return StmCaptureDrawing(manager, larger, drawing, pixels, error);
    }
    text.Format(StmText("the model (%g x %g %s) does not fit on %s at 1:%g; 1:%g would fit").c_str(), du, dv,
                unit.c_str(), drawing.paperName.c_str(), options.scale, next);
    error = text.c_str();
    return false;
  }

  std::string surfaceError;
  auto surface = CreateOffscreenSurface(drawing.width, drawing.height, &surfaceError);
  if (!surface) {
    text.Format(StmText("no off-screen OpenGL surface: %s").c_str(), surfaceError.c_str());
    error = text.c_str();
    return false;
  }
  CStmUbRenderer wnd;
  if (wnd.Create(&manager, std::move(surface)) < 0) {
    error = StmText("the render window could not be created").c_str();
    return false;
  }
  wnd.SetViewPos(pos);
  wnd.SetViewScale(drawing.unitsPerPixel);
  wnd.SetViewCenter(drawing.centerU, drawing.centerV);
  // Paper is light: the drawing takes the light colours whatever the screen shows.
  const EStmTypeColor style = view->GetTypeColor();
  view->SetTypeColor(STM_COLOR_LIGHT);
  bool ok = false;
  std::vector<GLfloat> buffer(size_t{1} << 20);
  for (int attempt = 0; attempt < 8 && !ok; ++attempt) {
    if (!wnd.OpenGLRenderStart()) break;
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    g_capturing = true;
    {
      GLfloat width = 1.0f, size = 1.0f;
      glGetFloatv(GL_LINE_WIDTH, &width);
      glGetFloatv(GL_POINT_SIZE, &size);
      glPassThrough(static_cast<GLfloat>(UB_TAG_LINE_WIDTH));
      glPassThrough(width);
      glPassThrough(static_cast<GLfloat>(UB_TAG_POINT_SIZE));
      glPassThrough(size);
      PassStipple(glIsEnabled(GL_LINE_STIPPLE));
    }
    wnd.RenderNoDepth(0);
    g_capturing = false;
    const GLint used = glRenderMode(GL_RENDER);
    wnd.OpenGLRenderEnd();
    if (used >= 0) {
      Parse(buffer, static_cast<size_t>(used), drawing.primitives);
      ok = true;
    } else {
      // Lists compiled in the overflowing frame hold their pass-throughs: only the buffer grows.
      buffer.assign(buffer.size() * 4, 0.0f);
    }
  }
  if (ok && pixels) {
    wnd.InvalidateAllWnd();
    wnd.Render();
    pixels->assign(static_cast<size_t>(drawing.width) * drawing.height * 4, 0);
    if (wnd.OpenGLRenderStart()) {
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadPixels(0, 0, drawing.width, drawing.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels->data());
      wnd.OpenGLRenderEnd();
    }
  }
  view->SetTypeColor(style);
  if (!ok) {
    error = StmText("the drawing is too large to capture").c_str();
    return false;
  }
  if (options.titleBlock) AddFrame(drawing, options, unit, mmPerUnit);
  return true;
}

bool StmExportDrawing(CStmUbManager& manager, const std::string& path, SStmDrawingOptions& options,
                      std::string& error) {
  if (!StmCheckDrawingPath(path, error)) return false;
  SStmDrawing drawing;
  std::string why;
  if (!StmCaptureDrawing(manager, options, drawing, nullptr, why)) {
    error = path + ": " + why;
    return false;
  }
  if (!StmWriteDrawing(drawing, path, error)) return false;
  options.scale = drawing.scale;
  options.sheet = drawing.paperName + " " +
                  (drawing.paperWidth > drawing.paperHeight ? StmText("landscape") : StmText("portrait")).c_str();
  return true;
}
