// Writes a captured drawing as SVG (by hand: cairo's SVG has no named groups), PDF (cairo) and
// DXF (dxflib), each layer of the scene in a group or layer of its own.
#include "StmDrawingExport.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <system_error>

#include "host/platform/CString.h"
#include "host/platform/StmText.h"
#include "render/StmDrawingLayer.h"
#include "StmPicture.h"

namespace {

std::string Extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

const char* LayerName(const SStmDrawingPrimitive& p) { return p.frame ? "title" : StmDrawingLayerName(p.layer); }

// Frame pixels (y up) to paper millimetres (y down).
double PaperX(const SStmDrawing& d, double x) { return d.left + x / d.pixelsPerMm; }
double PaperY(const SStmDrawing& d, double y) { return d.top + (d.height - y) / d.pixelsPerMm; }

std::string Fixed(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", v);
  return text;
}

std::string Hex(const float* rgba) {
  char text[8];
  const auto c = [](float f) { return static_cast<int>(std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f)); };
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c(rgba[0]), c(rgba[1]), c(rgba[2]));
  return text;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML 1.0 at all.
        if (static_cast<unsigned char>(c) >= 32 || c == '\t') out += c;
    }
  }
  return out;
}

bool WriteSvg(const SStmDrawing& d, const std::string& path) {
  std::ostringstream o;
  o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Fixed(d.paperWidth) << "mm\" height=\""
    << Fixed(d.paperHeight) << "mm\" viewBox=\"0 0 " << Fixed(d.paperWidth) << ' ' << Fixed(d.paperHeight) << "\">\n"
    << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  // A layer that comes back later in the frame opens a second group: the order is the screen's.
  std::map<std::string, int> seen;
  std::string open;
  for (const SStmDrawingPrimitive& p : d.primitives) {
    const std::string name = LayerName(p);
    if (name != open) {
      if (!open.empty()) o << "</g>\n";
      const int n = ++seen[name];
      o << "<g id=\"" << name << (n > 1 ? "-" + std::to_string(n) : "") << "\">\n";
      open = name;
    }
    const std::string colour = Hex(p.rgba);
    const std::string opacity = p.rgba[3] < 0.999f ? Fixed(p.rgba[3]) : "";
    if (p.kind == SStmDrawingPrimitive::kText) {
      o << "<text x=\"" << Fixed(PaperX(d, p.rings[0][0])) << "\" y=\"" << Fixed(PaperY(d, p.rings[0][1]))
        << "\" font-family=\"sans-serif\" font-size=\"" << Fixed(p.textHeight / d.pixelsPerMm / 0.72) << "\" fill=\""
        << colour << "\">" << Escape(p.text) << "</text>\n";
      continue;
    }
    o << "<path d=\"";
    for (const std::vector<double>& ring : p.rings) {
      for (size_t k = 0; k + 1 < ring.size(); k += 2)
        o << (k ? " L" : "M") << Fixed(PaperX(d, ring[k])) << ' ' << Fixed(PaperY(d, ring[k + 1]));
      if (p.kind == SStmDrawingPrimitive::kPolygon || p.closed) o << " Z ";
    }
    o << '"';
    if (p.kind == SStmDrawingPrimitive::kPolygon) {
      o << " fill=\"" << colour << '"';
      if (!opacity.empty()) o << " fill-opacity=\"" << opacity << '"';
    } else {
      o << " fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"" << Fixed(p.width / d.pixelsPerMm)
        << "\" stroke-linejoin=\"round\" stroke-linecap=\"round\"";
      if (!opacity.empty()) o << " stroke-opacity=\"" << opacity << '"';
      if (!p.dashes.empty()) {
        o << " stroke-dasharray=\"";
        for (size_t k = 0; k < p.dashes.size(); ++k) o << (k ? "," : "") << Fixed(p.dashes[k] / d.pixelsPerMm);
        o << '"';
      }
    }
    o << "/>\n";
  }
  if (!open.empty()) o << "</g>\n";
  o << "</svg>\n";
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << o.str();
  file.flush();
  return static_cast<bool>(file);
}

constexpr double kPointsPerMm = 72.0 / 25.4;

bool WritePdf(const SStmDrawing& d, const std::string& path) {
  cairo_surface_t* surface =
      cairo_pdf_surface_create(path.c_str(), d.paperWidth * kPointsPerMm, d.paperHeight * kPointsPerMm);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, kPointsPerMm, kPointsPerMm);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  for (const SStmDrawingPrimitive& p : d.primitives) {
    cairo_set_source_rgba(cr, p.rgba[0], p.rgba[1], p.rgba[2], p.rgba[3]);
    if (p.kind == SStmDrawingPrimitive::kText) {
      cairo_set_font_size(cr, p.textHeight / d.pixelsPerMm / 0.72);
      cairo_move_to(cr, PaperX(d, p.rings[0][0]), PaperY(d, p.rings[0][1]));
      cairo_show_text(cr, p.text.c_str());
      continue;
    }
    cairo_new_path(cr);
    for (const std::vector<double>& ring : p.rings) {
      for (size_t k = 0; k + 1 < ring.size(); k += 2) {
        const double x = PaperX(d, ring[k]), y = PaperY(d, ring[k + 1]);
        k ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
      }
      if (p.kind == SStmDrawingPrimitive::kPolygon || p.closed) cairo_close_path(cr);
    }
    if (p.kind == SStmDrawingPrimitive::kPolygon) {
      cairo_fill(cr);
      continue;
    }
    cairo_set_line_width(cr, p.width / d.pixelsPerMm);
    std::vector<double> dashes;
    for (const double dash : p.dashes) dashes.push_back(dash / d.pixelsPerMm);
    cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0.0);
    cairo_stroke(cr);
  }
  cairo_show_page(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

// DXF is drawn at full size in the model's units, in the model's plane coordinates, so that it
// reads back where it came from; the title block stands under the drawing at the paper's scale.
bool WriteDxf(const SStmDrawing& d, const std::string& path) {
  const auto snap = [&](double v) { return d.roundTo > 0.0 ? std::round(v / d.roundTo) * d.roundTo : v; };
  const auto u = [&](double x) { return snap(d.centerU + (x - d.width * 0.5) * d.unitsPerPixel); };
  const auto v = [&](double y) { return snap(d.centerV + (y - d.height * 0.5) * d.unitsPerPixel); };
  DL_Dxf dxf;
  std::unique_ptr<DL_WriterA> dw(dxf.out(path.c_str(), DL_Codes::AC1015));
  if (!dw) return false;
  dxf.writeHeader(*dw);
  // The unit, so that a reader scales the drawing to its own (1 in, 2 ft, 4 mm, 5 cm, 6 m, 14 dm).
  static const std::map<std::string, int> codes = {{"in", 1}, {"ft", 2}, {"mm", 4}, {"cm", 5}, {"m", 6}, {"dm", 14}};
  const auto code = codes.find(d.unit);
  if (code != codes.end()) {
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, code->second);
  }
  dw->sectionEnd();
  dw->sectionTables();
  dxf.writeVPort(*dw);
  double dashed[] = {2.0 * d.unitsPerPixel, -2.0 * d.unitsPerPixel};
  dw->tableLinetypes(4);
  dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
  dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
  dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
  dxf.writeLinetype(*dw, DL_LinetypeData("DASHED", "Dashed", 0, 2, 4.0 * d.unitsPerPixel, dashed));
  dw->tableEnd();
  std::set<std::string> names = {"0"};
  for (const SStmDrawingPrimitive& p : d.primitives) names.insert(LayerName(p));
  dw->tableLayers(static_cast<int>(names.size()));
  for (const std::string& name : names)
    dxf.writeLayer(*dw, DL_LayerData(name, 0), DL_Attributes("", DL_Codes::black, 25, "CONTINUOUS", 1.0));
  dw->tableEnd();
  dw->tableStyle(1);
  dxf.writeStyle(*dw, DL_StyleData("standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
  dw->tableEnd();
  dxf.writeView(*dw);
  dxf.writeUcs(*dw);
  dw->tableAppid(1);
  dxf.writeAppid(*dw, "ACAD");
  dw->tableEnd();
  dxf.writeDimStyle(*dw, 1, 1, 1, 1, 1);
  dxf.writeBlockRecord(*dw);
  dw->tableEnd();
  dw->sectionEnd();
  dw->sectionBlocks();
  dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
  dxf.writeEndBlock(*dw, "*Model_Space");
  dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
  dxf.writeEndBlock(*dw, "*Paper_Space");
  dw->sectionEnd();
  dw->sectionEntities();
  for (const SStmDrawingPrimitive& p : d.primitives) {
    const auto c = [&](int k) { return static_cast<int>(std::lround(std::clamp(p.rgba[k], 0.0f, 1.0f) * 255.0f)); };
    // Lineweights are hundredths of a millimetre on the paper.
    const int weight = static_cast<int>(std::lround(p.width / d.pixelsPerMm * 100.0));
    const DL_Attributes attributes(LayerName(p), 7, c(0) << 16 | c(1) << 8 | c(2), weight,
                                   p.dashes.empty() ? "CONTINUOUS" : "DASHED");
    // Model space is at full size: the paper's frame and scale bar mean nothing there, and their
    // closed boxes would read as outlines. Its texts stay, under the drawing.
    if (p.frame && p.kind != SStmDrawingPrimitive::kText) continue;
    if (p.kind == SStmDrawingPrimitive::kText) {
      const double h = p.textHeight * d.unitsPerPixel;
      dxf.writeText(*dw, DL_TextData(u(p.rings[0][0]), v(p.rings[0][1]), 0, 0, 0, 0, h, 1.0, 0, 0, 0, p.text, "standard", 0.0),
                    attributes);
      continue;
    }
    if (p.kind == SStmDrawingPrimitive::kPolygon) {
      // A filled triangle or quad is a SOLID (its third and fourth corners crossed, as DXF has it).
      for (const std::vector<double>& r : p.rings) {
        const size_t n = r.size() / 2;
        for (size_t k = 1; k + 1 < n; k += 2) {
          const size_t a = 0, b = k, cc = k + 1, dd = std::min(k + 2, n - 1);
          dxf.writeSolid(*dw, DL_SolidData(u(r[2 * a]), v(r[2 * a + 1]), 0, u(r[2 * b]), v(r[2 * b + 1]), 0,
                                           u(r[2 * dd]), v(r[2 * dd + 1]), 0, u(r[2 * cc]), v(r[2 * cc + 1]), 0),
                         attributes);
        }
      }
      continue;
    }
    const std::vector<double>& r = p.rings[0];
    const size_t n = r.size() / 2;
    if (n == 2 && !p.closed) {
      dxf.writeLine(*dw, DL_LineData(u(r[0]), v(r[1]), 0, u(r[2]), v(r[3]), 0), attributes);
      continue;
    }
    dxf.writePolyline(*dw, DL_PolylineData(static_cast<int>(n), 0, 0, p.closed ? 1 : 0), attributes);
    for (size_t k = 0; k < n; ++k) dxf.writeVertex(*dw, DL_VertexData(u(r[2 * k]), v(r[2 * k + 1]), 0, 0));
    dxf.writePolylineEnd(*dw);
  }
  dw->sectionEnd();
  dxf.writeObjects(*dw);
  dxf.writeObjectsEnd(*dw);
  dw->dxfEOF();
  dw->close();
  return true;
}

}  // namespace

bool StmIsDrawingPath(const std::string& path) {
  const std::string ext = Extension(path);
  return ext == ".svg" || ext == ".pdf" || ext == ".dxf";
}

bool StmCheckDrawingPath(const std::string& path, std::string& error) {
  CString text;
  if (!StmIsDrawingPath(path)) {
    text.Format(StmText("%s: drawings are written as .svg, .pdf or .dxf, not \"%s\"").c_str(), path.c_str(),
                Extension(path).c_str());
    error = text.c_str();
    return false;
  }
  return StmCheckOutputPlace(path, StmText("%s is a folder, not a drawing file"), error);
}

bool StmWriteDrawing(const SStmDrawing& drawing, const std::string& path, std::string& error) {
  if (!StmCheckDrawingPath(path, error)) return false;
  // Written beside the target and renamed over it, so that a failed write leaves no half file.
  const std::string temporary = path + ".part";
  const std::string ext = Extension(path);
  const bool ok = ext == ".svg"   ? WriteSvg(drawing, temporary)
                  : ext == ".pdf" ? WritePdf(drawing, temporary)
                                  : WriteDxf(drawing, temporary);
  std::error_code ec;
  if (ok) std::filesystem::rename(temporary, path, ec);
  if (ok && !ec) return true;
  std::filesystem::remove(temporary, ec);
  CString text;
  text.Format(StmText("%s: the drawing could not be written").c_str(), path.c_str());
  error = text.c_str();
  return false;
}
