// stm-render: draws a strut-and-tie model file off screen and writes the picture as a PNG or JPEG.
//   stm-render MODEL.stm.json -o OUT.png|OUT.jpg|OUT.svg|OUT.pdf|OUT.dxf [--scale 50] [--paper A4] [--view 0|2|4] [--size WxH] [--style dark|light]
//              [--show LAYER,...] [--hide LAYER,...] [--analyse] [--report OUT.html] [--table OUT.csv|OUT.json]
//              [--load-path] [--save OUT.stm.json]
//   stm-render --import-dxf FILE.dxf [MODEL.stm.json] [--guide-layer NAME] [--dxf-unit UNIT] [--list] [--save OUT.stm.json]
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/CStmChecks.h"
#include "analysis/CStmLoadPath.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "host/model/StmDxfImport.h"
#include "analysis/CStmTrussAnalysis.h"
#include "analysis/StmAnalysisPasses.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmResultPainter.h"
#include "render/CStmUbRenderer.h"
#include "StmDrawingExport.h"
#include "StmPicture.h"
#include "StmReport.h"
#include "StmViewOfPlane.h"

namespace {

constexpr int kMaxSide = 8192;

// The display layers by the names the command line takes, with their show-option bits.
const std::map<std::string, unsigned>& Layers() {
  static const std::map<std::string, unsigned> layers = {
      {"grid", STM_SHOW_GRID_POINTS},     {"guidelines", STM_SHOW_GUIDELINES},
      {"nodes", STM_SHOW_NODES},          {"elements", STM_SHOW_ELEMENTS},
      {"boundaries", STM_SHOW_BOUNDARIES}, {"node-names", STM_SHOW_NODE_NAMES},
      {"element-names", STM_SHOW_ELEMENT_NAMES}, {"restraints", STM_SHOW_RESTRAINTS},
      {"springs", STM_SHOW_SPRINGS},      {"loads", STM_SHOW_LOADS},
      {"load-values", STM_SHOW_LOAD_VALUES}, {"widths", STM_SHOW_WIDTHS},
      {"nodal-zones", STM_SHOW_NODAL_ZONES}, {"axis", STM_SHOW_AXIS},
      {"results", STM_SHOW_RESULTS},      {"result-values", STM_SHOW_RESULT_VALUES},
      {"stress-flow", STM_SHOW_STRESS_FLOW}, {"arrow-heads", STM_SHOW_ARROW_HEADS},
      {"areas", STM_SHOW_AREAS},          {"legend", STM_SHOW_LEGEND},
      {"mesh", STM_SHOW_MESH},            {"designed-widths", STM_SHOW_WIDTHS_DESIGNED},
      {"max-nodal-zones", STM_SHOW_NODAL_ZONES_MAX}, {"reactions", STM_SHOW_REACTIONS}};
  return layers;
}

struct SOptions {
  std::string model;
  std::string output;
  std::string report;
  std::string table;
  int view = -1;  // the one looking at the model's plane
  bool help = false;
  bool analyse = false;
  bool loadPath = false;
  bool listDxf = false;
  std::string save;
  std::string importDxf;
  SStmDxfOptions dxf;
  int width = 800;
  int height = 600;
  int style = -1;  // the model's own
  SStmDrawingOptions drawing;
  std::vector<std::pair<unsigned, int>> layerChanges;
};

int Fail(const CString& message) {
  std::fprintf(stderr, "stm-render: %s\n", message.c_str());
  return 1;
}

// One line per case on stdout, so that a script reads the numbers: the sum of the reactions (the
// loads turned round) and the largest member force; then every warning of the analysis on stderr.
void PrintAnalysis(const CStmModel& model, const CStmTrussAnalysis& analysis) {
  const int statics = model.GetCountLoadConditionStatic();
  const int decimals = std::clamp(model.GetStmDataView()->GetFixedPointNumber(), 0, 15);
  for (int c = 0; analysis.GetStatus() == CStmTrussAnalysis::kSolved && c < analysis.GetCountCases(); ++c) {
    CString name;
    if (c < statics) {
      name.Format(StmText("Load case %s").c_str(), model.GetLoadConditionStaticIndex(c)->GetName().c_str());
    } else {
      name.Format(StmText("Combination %s").c_str(), model.GetLoadConditionComboIndex(c - statics)->GetName().c_str());
    }
    CVector sum;
    for (const auto& [node, values] : model.GetResultReactions()) {
      if (static_cast<size_t>(c) < values.size()) sum = sum + values[static_cast<size_t>(c)];
    }
    const CStmObjElement* largest = nullptr;
    for (const auto& [id, element] : model.GetElements()) {
      if (largest == nullptr || std::fabs(element->GetResultAxialForce(c)) > std::fabs(largest->GetResultAxialForce(c)))
        largest = element;
    }
    CString line;
    line.Format(StmText("%s: sum of reactions %s; largest member force %.*f %s in element %s").c_str(), name.c_str(),
                model.GetReactionText(sum).c_str(), decimals, largest ? largest->GetResultAxialForce(c) : 0.0,
                model.GetUnitForce().c_str(), largest ? largest->GetName().c_str() : "-");
    std::printf("%s\n", line.c_str());
  }
  for (const CString& warning : analysis.GetWarnings()) {
    std::fprintf(stderr, "stm-render: %s: %s\n", StmText("warning").c_str(), warning.c_str());
  }
}

void PrintUsage(FILE* out) {
  std::fprintf(out, "%s\n",
               StmText("usage: stm-render MODEL.stm.json -o OUT.png|OUT.jpg|OUT.svg|OUT.pdf|OUT.dxf [--scale N] [--paper A4] [--view 0|2|4] [--size WxH] "
                       "[--style dark|light] [--show LAYER,...] [--hide LAYER,...] [--analyse] [--report OUT.html] "
                       "[--table OUT.csv|OUT.json] [--load-path] [--save OUT.stm.json]\n"
                       "  -o OUT          the picture to write; its extension picks the format: .svg, .pdf\n"
                       "                  and .dxf are drawings to scale with a scale bar and a title block\n"
                       "  --scale N       the drawing's scale 1:N (50)\n"
                       "  --paper A0..A5  the drawing's paper (A4), landscape unless the model is taller\n"
                       "  --view 0|2|4    look at the x-y, y-z or x-z plane (the model's own plane)\n"
                       "  --size WxH      the picture's size in pixels (800x600)\n"
                       "  --style         the colour set (the model's own)\n"
                       "  --show, --hide  layers to show or hide, after the model's own settings\n"
                       "  --analyse       solve the truss first and show its forces and reactions; print per\n"
                       "                  case the sum of the reactions and the largest member force, and\n"
                       "                  every warning; a mechanism is marked and named, exit code 3\n"
                       "  --report OUT    analyse, then write every member, node, support and plate with\n"
                       "                  force, reaction, width or steel, capacity, utilisation and clause\n"
                       "                  per case as one HTML file with the picture inside (-o optional)\n"
                       "  --table OUT     the same numbers as CSV or JSON, by the extension (-o optional)\n"
                       "  --load-path     find the load path of the concrete for the first load case (plane-stress\n"
                       "                  cells, then removal of those that carry little) and show its last step\n"
                       "  --save OUT      write the model with what was computed (-o optional)\n"
                       "  --import-dxf F  add the outline and openings of a DXF drawing to the model given, or\n"
                       "                  to a new one (the model is optional then)\n"
                       "  --guide-layer N open lines on layers whose name contains N become guidelines (GUIDE)\n"
                       "  --dxf-unit U    the drawing's unit (mm, cm, dm, m, in, ft) over the file's INSUNITS\n"
                       "  --list          list per layer what the drawing would give, before anything is made\n"
                       "  --help          this text")
                   .c_str());
  std::string names;
  for (const auto& entry : Layers()) names += (names.empty() ? "" : ", ") + entry.first;
  std::fprintf(out, "%s %s\n", StmText("layers:").c_str(), names.c_str());
}

// Reads the layer list of --show or --hide; false with the message when a name is unknown.
bool ParseLayers(const std::string& list, int show, SOptions& options, CString& error) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = list.find(',', start);
    const std::string name = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const auto it = Layers().find(name);
    if (it == Layers().end()) {
      error.Format(StmText("unknown layer \"%s\"").c_str(), name.c_str());
      return false;
    }
    options.layerChanges.emplace_back(it->second, show);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2) return false;
  if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return false;
  width = w;
  height = h;
  return true;
}

// False with the message for a bad command line.
bool ParseArguments(int argc, char** argv, SOptions& options, CString& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (arg == "--analyse") {
      options.analyse = true;
      continue;
    }
    if (arg == "--load-path") {
      options.loadPath = true;
      continue;
    }
    if (arg == "--list") {
      options.listDxf = true;
      continue;
    }
    if (arg == "-o" || arg == "--view" || arg == "--size" || arg == "--style" || arg == "--show" || arg == "--hide" ||
        arg == "--report" || arg == "--table" || arg == "--save" || arg == "--import-dxf" || arg == "--guide-layer" ||
        arg == "--dxf-unit" || arg == "--scale" || arg == "--paper") {
      if (!hasValue) {
        error.Format(StmText("%s needs a value").c_str(), arg.c_str());
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "-o") {
        options.output = value;
      } else if (arg == "--save") {
        options.save = value;
      } else if (arg == "--import-dxf") {
        options.importDxf = value;
      } else if (arg == "--guide-layer") {
        options.dxf.guideLayer = value;
      } else if (arg == "--dxf-unit") {
        options.dxf.unit = value;
      } else if (arg == "--scale") {
        char* end = nullptr;
        options.drawing.scale = std::strtod(value.c_str(), &end);
        if (end == value.c_str() || *end != '\0' || !(options.drawing.scale >= 1.0 && options.drawing.scale <= 1e6)) {
          error.Format(StmText("--scale must be a number from 1 to 1000000 (1:N), not \"%s\"").c_str(), value.c_str());
          return false;
        }
      } else if (arg == "--paper") {
        double w = 0.0, h = 0.0;
        if (!StmPaperSize(value, w, h)) {
          error.Format(StmText("--paper must be A0 to A5, not \"%s\"").c_str(), value.c_str());
          return false;
        }
        options.drawing.paper = value;
      } else if (arg == "--report" || arg == "--table") {
        // The numbers are the program's own: a report of results a file brought could be anyone's.
        (arg == "--report" ? options.report : options.table) = value;
        options.analyse = true;
      } else if (arg == "--view") {
        if (value != "0" && value != "2" && value != "4") {
          error.Format(StmText("--view must be 0, 2 or 4, not \"%s\"").c_str(), value.c_str());
          return false;
        }
        options.view = std::atoi(value.c_str());
      } else if (arg == "--size") {
        if (!ParseSize(value, options.width, options.height)) {
          error.Format(StmText("--size must be WIDTHxHEIGHT between 1 and %d, not \"%s\"").c_str(), kMaxSide,
                       value.c_str());
          return false;
        }
      } else if (arg == "--style") {
        if (value != "dark" && value != "light") {
          error.Format(StmText("--style must be dark or light, not \"%s\"").c_str(), value.c_str());
          return false;
        }
        options.style = value == "dark" ? STM_COLOR_DARK : STM_COLOR_LIGHT;
      } else if (!ParseLayers(value, arg == "--show" ? 1 : 0, options, error)) {
        return false;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      error.Format(StmText("unknown option \"%s\"").c_str(), arg.c_str());
      return false;
    } else if (options.model.empty()) {
      options.model = arg;
    } else {
      error.Format(StmText("more than one model file given (\"%s\")").c_str(), arg.c_str());
      return false;
    }
  }
  if (options.model.empty() && options.importDxf.empty()) {
    error = StmText("no model file given");
    return false;
  }
  if (options.listDxf && options.importDxf.empty()) {
    error = StmText("--list lists what --import-dxf would create");
    return false;
  }
  if (options.output.empty() && options.report.empty() && options.table.empty() && options.save.empty() &&
      !options.listDxf) {
    error = StmText("no output file given (-o OUT.png)");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  StmFollowUserLanguage();
  StmBindCatalogue(STM_LOCALE_DIR);
  SOptions options;
  options.dxf.guideLayer = "GUIDE";
  CString error;
  if (argc < 2 || !ParseArguments(argc, argv, options, error)) {
    if (!error.IsEmpty()) Fail(error);
    PrintUsage(stderr);
    return 2;
  }
  if (options.help) {
    PrintUsage(stdout);
    return 0;
  }

  // Both paths are checked before the work, so that a typo costs no render.
  std::string pathError;
  if ((!options.model.empty() && !StmCheckModelPath(options.model, pathError)) ||
      (!options.output.empty() && !StmIsDrawingPath(options.output) && !StmCheckPicturePath(options.output, pathError)) ||
      (!options.output.empty() && StmIsDrawingPath(options.output) && !StmCheckDrawingPath(options.output, pathError)) ||
      (!options.report.empty() && !StmCheckReportPath(options.report, pathError)) ||
      (!options.table.empty() && !StmCheckTablePath(options.table, pathError)))
    return Fail(CString(pathError.c_str()));
  CStmModel model;
  std::string loadError;
  if (!options.model.empty() && !CStmModelFile::Load(options.model, model, &loadError))
    return Fail(CString(loadError.c_str()));
  if (!options.importDxf.empty()) {
    options.dxf.modelUnit = model.GetUnitLength().c_str();
    SStmDxfDrawing drawing;
    std::string dxfError;
    if (!StmReadDxf(options.importDxf, options.dxf, drawing, dxfError)) return Fail(CString(dxfError.c_str()));
    if (options.listDxf) std::printf("%s", StmListDxfLayers(drawing).c_str());
    if (options.listDxf && options.save.empty() && options.output.empty()) return 0;
    if (!StmApplyDxfDrawing(drawing, model, dxfError)) return Fail(CString(dxfError.c_str()));
    std::printf("stm-render: %s: %s\n", options.importDxf.c_str(), StmDescribeDxfDrawing(drawing).c_str());
    // Nothing to draw: the new model is all that was asked for.
    if (options.output.empty() && options.report.empty() && options.table.empty()) {
      if (!CStmModelFile::Save(options.save, model, &pathError)) return Fail(CString(pathError.c_str()));
      return 0;
    }
  }
  CStmDataView* view = model.GetStmDataView();
  // Results the file brought are replaced by the analysis of the truss it holds.
  CStmTrussAnalysis analysis;
  if (options.analyse) {
    model.ClearResults();
    analysis.Prepare(model);
    analysis.Solve();
    if (StmApplyAndCheck(analysis, model, 0) == CStmTrussAnalysis::kSolved) {
      std::printf("stm-render: %s\n", CStmChecks::Summary(model, 0).c_str());
    }
    view->SetShowOption(STM_SHOW_RESULTS, 1);
    view->SetShowOption(STM_SHOW_REACTIONS, 1);
  }
  int status = 0;
  if (options.loadPath) {
    CStmLoadPath path;
    if (path.Run(model, 0) == CStmLoadPath::kSolved) {
      CString line;
      line.Format(StmText("load path: %s, %s in %s, %.0f%% of the area left").c_str(),
                  StmTextCount("%d cell", "%d cells", path.GetCountCells()).c_str(),
                  StmTextCount("%d step", "%d steps", path.GetCountSteps()).c_str(),
                  StmTextCount("%d round", "%d rounds", path.GetCountIterations()).c_str(), 100.0 * path.GetAreaLeft());
      if (!path.GetNote().IsEmpty()) line += CString("; ") + path.GetNote();
      std::printf("stm-render: %s\n", line.c_str());
      view->SetShowOption(STM_SHOW_STRESS_FLOW, 1);
      view->SetShowOption(STM_SHOW_LEGEND, 1);
    } else {
      status = 3;
      Fail(path.GetError());
    }
  }
  if (options.style >= 0) view->SetTypeColor(static_cast<EStmTypeColor>(options.style));
  for (const auto& [bit, show] : options.layerChanges) view->SetShowOption(bit, show);
  // A layer asked for by name that would draw nothing is worth a word: the picture alone cannot
  // tell it from a layer that failed.
  for (const auto& [name, bit] : Layers()) {
    for (const auto& [changed, show] : options.layerChanges) {
      if (changed != bit || !show || CStmResultPainter::HasResultContent(model, bit, 0)) continue;
      error.Format(StmText("layer \"%s\" has nothing to draw in this model").c_str(), name.c_str());
      Fail(error);
      break;
    }
  }

  std::string surfaceError;
  auto surface = CreateOffscreenSurface(options.width, options.height, &surfaceError);
  if (!surface) {
    error.Format(StmText("no off-screen OpenGL surface: %s").c_str(), surfaceError.c_str());
    return Fail(error);
  }
  CStmUbManager manager;
  CStmUbRenderer wnd;
  if (wnd.Create(&manager, std::move(surface)) < 0) return Fail(StmText("the render window could not be created"));
  manager.SetStmModel(&model);
  wnd.SetViewPos(options.view >= 0 ? static_cast<CUbRenderWnd::VIEW_POS>(options.view)
                                   : StmViewOfPlane(model.GetPlane()));
  manager.UpdateStmRenderer();
  if (options.analyse && analysis.GetStatus() != CStmTrussAnalysis::kSolved) {
    status = 3;
    std::vector<CVector> marks;
    CString names;
    for (int id : analysis.GetMechanismNodes()) {
      marks.push_back(model.GetNode(id)->GetCoord());
      names += (names.IsEmpty() ? "" : ", ") + model.GetNode(id)->GetName();
    }
    manager.SetRenderMarkPos(marks, STM_MARK_POINT, 1.5);
    if (analysis.GetStatus() == CStmTrussAnalysis::kMechanism) {
      error.Format(StmText("the truss is a mechanism: nodes %s move without straining it").c_str(), names.c_str());
    } else if (analysis.GetStatus() == CStmTrussAnalysis::kNoLoadCase) {
      error = StmText("nothing to analyse: the model has no load case");
    } else {
      error = StmText("nothing to analyse: the model has no elements");
    }
    Fail(error);
  }
  if (options.analyse) PrintAnalysis(model, analysis);
  wnd.ZoomAll(0);
  // Takes the colour set before the first frame, so that the background is the model's.
  wnd.InvalidateAllWnd();
  wnd.Render();

  std::vector<unsigned char> pixels(static_cast<size_t>(options.width) * options.height * 4);
  if (!wnd.OpenGLRenderStart()) return Fail(StmText("the OpenGL context was lost"));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  wnd.OpenGLRenderEnd();
  if (!options.table.empty() && !StmWriteTable(model, options.table, pathError))
    return Fail(CString(pathError.c_str()));
  if (!options.report.empty()) {
    const std::string name = std::filesystem::path(options.model).filename().string();
    const std::string png = StmEncodePng(options.width, options.height, pixels);
    if (!StmWriteReport(model, name, png, options.report, pathError)) return Fail(CString(pathError.c_str()));
  }
  if (!options.output.empty() && StmIsDrawingPath(options.output)) {
    options.drawing.modelName = std::filesystem::path(options.model.empty() ? options.importDxf : options.model).filename().string();
    options.drawing.caseName = StmShownCaseName(manager, model);
    if (!StmExportDrawing(manager, options.output, options.drawing, pathError)) return Fail(CString(pathError.c_str()));
  } else if (!options.output.empty() &&
             !StmWritePicture(options.output, options.width, options.height, pixels, pathError)) {
    return Fail(CString(pathError.c_str()));
  }
  if (!options.save.empty() && !CStmModelFile::Save(options.save, model, &pathError))
    return Fail(CString(pathError.c_str()));
  return status;
}
