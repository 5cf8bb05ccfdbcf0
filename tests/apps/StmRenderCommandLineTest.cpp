// The headless renderer as a user runs it: every example becomes a picture that matches its
// reference; help; a missing or broken file, a bad argument and paths that cannot work named for
// what is wrong with them; the picture format following the name, opaque pictures, the style
// and size asked for; a model drawn facing its own plane; drawings to scale as SVG, PDF and DXF.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/CStmChecks.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "host/framework/CUbSurface.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"
#include "StmDrawingExport.h"
#include "StmPicture.h"
#include "support/RenderCheck.h"
#include "support/RunProgram.h"
#include "support/StmSavedModel.h"

namespace {

SProgramRun RunRender(const std::string& args) { return RunProgram(STM_RENDER_EXE, args, "stm-render-cli"); }

std::string Example(const std::string& name) { return std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json"; }

std::string Corbel() { return ShellQuote(Example("corbel")); }

std::string Dxf(const std::string& name) { return ShellQuote(std::string(STM_SOURCE_DIR) + "/tests/data/dxf/" + name); }

std::string Out(const std::string& name) { return RenderOutputDir() + "/cli-" + std::to_string(getpid()) + "-" + name; }

// Runs the renderer and expects it to succeed.
bool Renders(const std::string& args) {
  const SProgramRun run = RunRender(args);
  EXPECT_EQ(run.status, 0) << args << ": " << run.err;
  return run.status == 0;
}

// A triangle of three members from (0, 0, 0) and (1000, 0, 0) to the apex, loaded there by a
// case DL when a load is given, saved as Out(name).
std::string SavedTriangle(CStmModel& model, const CVector& apex, const std::string& name, const CVector& load = {}) {
  for (const CVector& p : {CVector(0, 0, 0), CVector(1000, 0, 0), apex}) model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 1}}) model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  model.AddLoadConditionStatic("DL");
  if (load.Length() > 0) model.AddLoadNode("DL", 3, load);
  std::string error;
  EXPECT_TRUE(CStmModelFile::Save(Out(name), model, &error)) << error;
  return Out(name);
}

class StmRenderAppTest : public testing::TestWithParam<const char*> {};

TEST_P(StmRenderAppTest, RendersTheExampleLikeItsReference) {
  const std::string name = GetParam();
  const std::string model = Example(name);
  const std::string png = RenderOutputDir() + "/stm-render-" + name + ".png";
  std::remove(png.c_str());
  const SProgramRun run = RunRender(ShellQuote(model) + " -o " + ShellQuote(png) + " --size 800x600");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;

  const SRgbaImage image = SRgbaImage::FromPng(png);
  ASSERT_FALSE(image.rgba.empty()) << png;
  EXPECT_EQ(image.width, 800);
  EXPECT_EQ(image.height, 600);
  EXPECT_TRUE(CheckRender("stm-render-" + name, image, 8, 40));
}

INSTANTIATE_TEST_SUITE_P(Examples, StmRenderAppTest, testing::Values("corbel", "deep-beam-opening", "pile-cap"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string id = info.param;
                           for (char& c : id) {
                             if (c == '-') c = '_';
                           }
                           return id;
                         });

TEST(StmRenderCommandLine, HelpAnswersAndBadFilesArgumentsAndPathsAreNamedForWhatIsWrongAndWriteNothing) {
  const std::string help = Out("help.txt");
  SProgramRun run = RunRender("--help >" + ShellQuote(help));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadFile(help).find("usage: stm-render"), std::string::npos);
  EXPECT_NE(ReadFile(help).find("layers:"), std::string::npos);
  std::remove(help.c_str());
  // A missing and a broken model, bad arguments (exit 2), a folder, a device (read for ever), a
  // missing folder and a format without a writer.
  const std::string out = Out("fail.png"), broken = Out("broken.stm.json"), bmp = Out("x.bmp");
  const std::string saved = Out("refused.stm.json"), drawing = Out("refused.dxf");
  const std::string to = " -o " + ShellQuote(out);
  const std::string beam = ShellQuote(Example("deep-beam-opening")) + " -o " + ShellQuote(drawing);
  std::ofstream(broken) << "{\"nodes\": [1, 2";
  const std::tuple<std::string, int, std::string> cases[] = {
      {ShellQuote("/no/such/model.stm.json") + to, 1, "/no/such/model.stm.json"},
      {ShellQuote(broken) + to, 1, "broken.stm.json"},
      {Corbel() + to + " --view 3", 2, "--view"},
      {Corbel() + to + " --size 0x10", 2, "--size"},
      {Corbel() + to + " --style blue", 2, "--style"},
      {Corbel() + to + " --hide nothing", 2, "\"nothing\""},
      {Corbel() + to + " --frobnicate", 2, "--frobnicate"},
      {Corbel(), 2, "no output file"},
      {ShellQuote(RenderOutputDir()) + to, 1, "is a folder, not a model file"},
      {"/dev/zero" + to, 1, "/dev/zero: not a regular file"},
      {Corbel() + " -o " + ShellQuote(RenderOutputDir() + "/no-such-folder/x.png"), 1,
       "the folder " + RenderOutputDir() + "/no-such-folder does not exist"},
      {Corbel() + " -o " + ShellQuote(bmp), 1, ".png, .jpg or .jpeg"},
      // A drawing imported into a model with its outline, and one whose outlines cross.
      {"--import-dxf " + Dxf("r12-polyline-bulge.dxf") + " " + Corbel() + " --save " + ShellQuote(saved), 1,
       "has an outer outline already"},
      {"--import-dxf " + Dxf("bad-crossing.dxf") + " --save " + ShellQuote(saved), 1, "outlines cross"},
      // A drawing whose paper is too small says what would fit; no such paper, no such scale.
      {beam + " --scale 5", 1, "1:20 would fit"},
      {beam + " --paper B4", 2, "--paper must be A0 to A5"},
      {beam + " --scale 0", 2, "--scale must be"},
  };
  for (const auto& [args, status, said] : cases) {
    run = RunRender(args);
    EXPECT_EQ(run.status, status) << args;
    EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
  }
  std::remove(broken.c_str());
  for (const std::string& file : {out, bmp, saved, drawing}) EXPECT_FALSE(std::ifstream(file).good()) << file;
}

TEST(StmRenderCommandLine, TheNameChoosesTheFormatAndEveryPictureIsOpaqueInTheStyleAndSizeAskedFor) {
  const std::string png = Out("opaque.png");
  const std::string jpg = Out("picture.JPG");
  ASSERT_TRUE(Renders(Corbel() + " -o " + ShellQuote(png) +
                      " --size 64x48 --view 0 --style light --hide nodes,node-names --show areas"));
  ASSERT_TRUE(Renders(Corbel() + " -o " + ShellQuote(jpg) + " --size 120x90"));

  EXPECT_EQ(ReadFile(png).substr(1, 3), "PNG");
  EXPECT_EQ(ReadFile(jpg).substr(0, 2), "\xFF\xD8");
  const SRgbaImage image = SRgbaImage::FromPng(png);
  ASSERT_FALSE(image.rgba.empty());
  EXPECT_EQ(image.width, 64);
  EXPECT_EQ(image.height, 48);
  // The light style has a light background in the corner.
  EXPECT_GT(image.rgba[0] + image.rgba[1] + image.rgba[2], 3 * 128);
  EXPECT_EQ(image.Count([](const std::uint8_t* p) { return p[3] != 255; }), 0) << "translucent pixels";
  EXPECT_EQ(SRgbaImage::FromPng(jpg).width, 120);
  std::remove(png.c_str());
  std::remove(jpg.c_str());
}

TEST(StmRenderCommandLine, AModelIsDrawnFacingItsOwnPlane) {
  // A triangle in the x-y plane: seen along z it is a triangle, along y a line.
  CStmModel model;
  model.SetPlane(STM_PLANE_XY);
  const std::string path = SavedTriangle(model, CVector(500, 800, 0), "plane-xy.stm.json");

  const std::string own = Out("own.png"), xy = Out("xy.png"), xz = Out("xz.png");
  for (const auto& [file, view] : {std::pair{own, ""}, {xy, " --view 0"}, {xz, " --view 4"}})
    ASSERT_TRUE(Renders(ShellQuote(path) + " -o " + ShellQuote(file) + " --size 80x60" + view));
  EXPECT_EQ(ReadFile(own), ReadFile(xy));
  EXPECT_NE(ReadFile(own), ReadFile(xz));
  for (const std::string& file : {path, own, xy, xz}) std::remove(file.c_str());
}

TEST(StmRenderCommandLine, AnalyseShowsTheForcesOrNamesTheMechanism) {
  const auto ties = [](const std::string& png) {
    const SRgbaImage image = SRgbaImage::FromPng(png);
    const auto blue = [](const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 255; };
    return image.rgba.empty() ? -1 : image.Count(blue);
  };
  const std::string plain = Out("plain.png"), solved = Out("solved.png"), loose = Out("loose.png");
  ASSERT_TRUE(Renders(Corbel() + " -o " + ShellQuote(plain)));
  const std::string numbers = Out("numbers.txt");
  ASSERT_TRUE(Renders(Corbel() + " -o " + ShellQuote(solved) + " --analyse >" + ShellQuote(numbers)));
  EXPECT_EQ(ties(plain), 0);
  EXPECT_GT(ties(solved), 50);
  // A line per case for scripts: the supports hold the loads turned round.
  const std::string lines = ReadFile(numbers);
  EXPECT_NE(lines.find("Load case DL: sum of reactions Rx 0.0 kN, Rz 1380.0 kN; largest member force -1065.0 kN in "
                       "element BF\n"),
            std::string::npos)
      << lines;
  EXPECT_NE(lines.find("Combination ULS: sum of reactions Rx -64.0 kN, Rz 1848.0 kN"), std::string::npos) << lines;
  // What the analysis doubts goes to stderr, every warning.
  const SProgramRun doubted =
      RunRender(ShellQuote(Example("deep-beam-opening")) + " -o " + ShellQuote(solved) + " --analyse >/dev/null");
  EXPECT_EQ(doubted.status, 0);
  EXPECT_EQ(doubted.err, "stm-render: warning: Stability element 17 carries 94.3 kN in LL, 35% of the largest force\n");

  // A triangle held by nothing moves as a whole: refused with its nodes named, still drawn.
  CStmModel model;
  const std::string path = SavedTriangle(model, CVector(500, 0, 800), "loose.stm.json", CVector(0, 0, -10));
  const SProgramRun refused = RunRender(ShellQuote(path) + " -o " + ShellQuote(loose) + " --analyse");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("the truss is a mechanism: nodes 1, 2, 3 move"), std::string::npos) << refused.err;
  EXPECT_TRUE(std::ifstream(loose).good());
  for (const std::string& f : {plain, solved, loose, path, numbers}) std::remove(f.c_str());
}

// The load path from the command line: the last step of ESO drawn as its contour with the flow,
// one line of what was done, and the model with its load path saved, as a file that reads back.
TEST(StmRenderCommandLine, LoadPathDrawsTheLastStepAndSavesIt) {
  CStmModel model;
  model.SetBoundary(STM_BOUNDARY_OUTER,
                    {CVector(0, 0, 0), CVector(2000, 0, 0), CVector(2000, 0, 1000), CVector(0, 0, 1000)});
  for (const CVector& p : {CVector(0, 0, 0), CVector(2000, 0, 0), CVector(1000, 0, 1000)}) model.AddNode(p);
  model.AddRestraint(1, SStmDof{1, 0, 1, 0, 0, 0});
  model.AddRestraint(2, SStmDof{0, 0, 1, 0, 0, 0});
  model.AddLoadConditionStatic("P");
  model.AddLoadNode("P", 3, CVector(0, 0, -500));
  SStmMaterials m = model.GetMaterials();
  m.dConcreteModulus = 30.0;
  m.dThickness = 300.0;
  model.SetMaterials(m);
  const std::string input = Out("deep-beam.stm.json"), saved = Out("deep-beam-path.stm.json");
  std::string error;
  ASSERT_TRUE(CStmModelFile::Save(input, model, &error)) << error;
  for (const auto& [name, file] :
       {std::pair<std::string, std::string>{"deep-beam", input}, {"deep-beam-opening", Example("deep-beam-opening")}}) {
    SCOPED_TRACE(name);
    const std::string png = RenderOutputDir() + "/stm-render-load-path-" + name + ".png";
    const std::string said = Out("said.txt");
    ASSERT_TRUE(Renders(ShellQuote(file) + " -o " + ShellQuote(png) + " --size 800x600 --load-path --save " +
                        ShellQuote(saved) + " >" + ShellQuote(said)));
    EXPECT_EQ(ReadFile(said).rfind("stm-render: load path: ", 0), 0u) << ReadFile(said);
    const SRgbaImage image = SRgbaImage::FromPng(png);
    ASSERT_FALSE(image.rgba.empty()) << png;
    EXPECT_TRUE(CheckRender("stm-render-load-path-" + name, image, 8, 40));
    CStmModel back;
    ASSERT_TRUE(CStmModelFile::Load(saved, back, &error)) << error;
    EXPECT_GT(back.GetCountStepEso(), 2);
    EXPECT_EQ(back.GetCurrentStepEso(), back.GetCountStepEso() - 1);
    EXPECT_FALSE(back.GetMeshPlane().quads.empty());
    std::remove(said.c_str());
  }
  // A member that cannot carry its load is named, drawn, and exits with 3.
  model.RemoveRestraint(2);
  ASSERT_TRUE(CStmModelFile::Save(input, model, &error)) << error;
  const std::string loose = Out("loose-path.png");
  const SProgramRun refused = RunRender(ShellQuote(input) + " -o " + ShellQuote(loose) + " --load-path");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("The member can move: it turns about node 1"), std::string::npos) << refused.err;
  for (const std::string& f : {input, saved, loose}) std::remove(f.c_str());
}

TEST(StmRenderCommandLine, TheTableAndTheReportGiveTheNumbersOfTheAnalysisItself) {
  // The corbel analysed here, in process, is what the files must say, to the last digit.
  const std::string corbel = Example("corbel");
  CStmModel model;
  ASSERT_TRUE(LoadSolved(corbel, model));
  const SStmCheckCase* checks = model.GetCheckResults().GetCase(0);
  ASSERT_NE(checks, nullptr);

  const std::string json = Out("table.json"), csv = Out("table.csv"), report = Out("report.html");
  ASSERT_TRUE(Renders(ShellQuote(corbel) + " --table " + ShellQuote(json) + " --report " + ShellQuote(report) +
                      " >/dev/null"));
  const nlohmann::json table = nlohmann::json::parse(ReadFile(json));
  const size_t cases = model.GetLoadConditionStatics().size() + model.GetLoadConditionCombos().size();
  ASSERT_EQ(table["cases"].size(), cases);
  int members = 0, supports = 0;
  double held = 0.0;
  for (const auto& row : table["cases"][0]["rows"]) {
    const int id = row["id"];
    if (row["kind"] == "member") {
      ++members;
      EXPECT_EQ(row["force"].get<double>(), model.GetElement(id)->GetResultAxialForce(0)) << id;
      const auto check = checks->elements.find(id);
      if (check != checks->elements.end()) {
        EXPECT_EQ(row["utilisation"].get<double>(), check->second.dUtilisation) << id;
        EXPECT_EQ(row["clause"].get<std::string>(), check->second.strClause.c_str()) << id;
      }
    } else if (row["kind"] == "support") {
      ++supports;
      held += row["reaction"][2].get<double>();
    }
  }
  EXPECT_EQ(members, static_cast<int>(model.GetCountElement(1)));
  EXPECT_EQ(supports, static_cast<int>(model.GetResultReactions().size()));
  EXPECT_NEAR(held, 1380.0, 1e-6) << "the supports hold the dead load";

  // CSV: the same rows, one per line under a header.
  ASSERT_TRUE(Renders(ShellQuote(corbel) + " --table " + ShellQuote(csv) + " >/dev/null"));
  size_t rows = 0;
  for (const auto& c : table["cases"]) rows += c["rows"].size();
  const std::string text = ReadFile(csv);
  EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), rows + 1);
  EXPECT_EQ(text.rfind("case,kind,id,name,type,force,", 0), 0u);

  // The report carries the picture and a section per case.
  const std::string html = ReadFile(report);
  EXPECT_NE(html.find("<img alt=\"corbel.stm.json\" src=\"data:image/png;base64,iVBORw0KGgo"), std::string::npos);
  for (const auto& c : table["cases"])
    EXPECT_NE(html.find("<h2>" + c["name"].get<std::string>() + "</h2>"), std::string::npos);

  // A name the writers cannot take is refused before any work, and an old file stays whole.
  std::ofstream(csv) << "kept";
  const SProgramRun run =
      RunRender(ShellQuote(corbel) + " --table " + ShellQuote(Out("table.txt")) + " --report " + ShellQuote(csv));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("table.csv: a report is written as .html"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(csv), "kept");
  for (const std::string& f : {json, csv, report}) std::remove(f.c_str());
}

TEST(StmRenderCommandLine, ImportDxfMakesANewModelAndItsPreviewMakesNothing) {
  const std::string saved = Out("imported.stm.json"), said = Out("imported.txt");
  std::remove(saved.c_str());
  ASSERT_TRUE(Renders("--import-dxf " + Dxf("two-openings-guides.dxf") + " --save " + ShellQuote(saved) +
                      " >" + ShellQuote(said)));
  EXPECT_NE(ReadFile(said).find("2 openings and 2 guidelines"), std::string::npos) << ReadFile(said);
  // The preview names per layer what it gives, and makes nothing.
  ASSERT_TRUE(Renders("--import-dxf " + Dxf("two-openings-guides.dxf") + " --list >" + ShellQuote(said)));
  EXPECT_EQ(ReadFile(said),
            "GUIDES: 2 entities: 2 guidelines\nNOTES: 1 entity: 1 left out\nOPENINGS: 2 entities: 2 openings\n"
            "OUTLINE: 1 entity: the outer outline\n");
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(saved, model, &error)) << error;
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);
  std::remove(saved.c_str());
}

// Vector drawings. The SVG is the frame the renderer drew, rasterised again: a flipped axis, a
// wrong scale, a layer lost or a colour off shows as pixels that differ.
TEST(StmDrawingExport, TheSvgIsTheFrameTheScreenDrawsAndThePdfHasItsPaper) {
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(Example("deep-beam-opening"), model, &error)) << error;
  CStmUbManager manager;
  CStmUbRenderer wnd;
  ASSERT_GE(wnd.Create(&manager, CreateOffscreenSurface(64, 64, &error)), 0) << error;
  manager.SetStmModel(&model);
  manager.UpdateStmRenderer();
  SStmDrawingOptions options;
  options.scale = 20;
  options.modelName = "deep <beam> & opening";
  SStmDrawing drawing;
  std::vector<unsigned char> pixels;
  const EStmTypeColor style = model.GetStmDataView()->GetTypeColor();
  ASSERT_TRUE(StmCaptureDrawing(manager, options, drawing, &pixels, error)) << error;
  // The model is wider than tall: landscape, and the model's own style is left as it was.
  EXPECT_EQ(drawing.paperWidth, 297.0);
  EXPECT_EQ(model.GetStmDataView()->GetTypeColor(), style);

  const std::string svg = Out("drawing.svg"), png = Out("drawing.png"), pdf = Out("drawing.pdf");
  ASSERT_TRUE(StmWriteDrawing(drawing, svg, error)) << error;
  const std::string text = ReadFile(svg);
  EXPECT_EQ(RunProgram("xmllint", "--noout " + ShellQuote(svg), "xmllint").status, 0);
  for (const char* group : {"outline", "truss", "forces", "widths", "nodal-zones", "loads", "text", "title"})
    EXPECT_NE(text.find("<g id=\"" + std::string(group) + "\">"), std::string::npos) << group;
  EXPECT_NE(text.find("deep &lt;beam&gt; &amp; opening"), std::string::npos);
  // Rasterised as GL draws, without smoothed edges: then only the phase of the dashes differs.
  const std::string crisp = Out("crisp.svg");
  std::ofstream(crisp) << std::string(text).replace(text.find("<svg "), 5, "<svg shape-rendering=\"crispEdges\" ");
  const int paperW = static_cast<int>(drawing.paperWidth * drawing.pixelsPerMm);
  ASSERT_EQ(RunProgram("rsvg-convert", "-w " + std::to_string(paperW) + " -o " + ShellQuote(png) + " " + ShellQuote(crisp),
                       "rsvg-convert").status, 0);
  const SRgbaImage image = SRgbaImage::FromPng(png);
  ASSERT_EQ(image.width, paperW);

  // Paper is white where the screen has its light background; what is drawn must agree, each
  // pixel with one at most a pixel away in the other picture.
  const int x0 = static_cast<int>(drawing.left * drawing.pixelsPerMm);
  const int y0 = static_cast<int>(drawing.top * drawing.pixelsPerMm);
  const auto glAt = [&](int x, int y) {
    return &pixels[(static_cast<size_t>(drawing.height - 1 - y) * drawing.width + x) * 4];
  };
  const auto svgAt = [&](int x, int y) { return &image.rgba[(static_cast<size_t>(y0 + y) * image.width + x0 + x) * 4]; };
  const auto ink = [](const unsigned char* p) { return std::min({p[0], p[1], p[2]}) < 200; };
  const auto near = [&](const unsigned char* p, auto at, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int u = x + dx, v = y + dy;
        if (u < 0 || v < 0 || u >= drawing.width || v >= drawing.height) continue;
        const unsigned char* q = at(u, v);
        if (std::max({std::abs(p[0] - q[0]), std::abs(p[1] - q[1]), std::abs(p[2] - q[2])}) <= 64) return true;
      }
    }
    return false;
  };
  int drawn = 0, differ = 0;
  for (int y = 0; y < drawing.height; ++y) {
    for (int x = 0; x < drawing.width; ++x) {
      const unsigned char* gl = glAt(x, y);
      const unsigned char* sv = svgAt(x, y);
      if (!ink(gl) && !ink(sv)) continue;
      ++drawn;
      if ((ink(gl) && !near(gl, svgAt, x, y)) || (ink(sv) && !near(sv, glAt, x, y))) ++differ;
    }
  }
  EXPECT_GT(drawn, 5000);
  EXPECT_LT(differ, drawn / 12) << differ << " of " << drawn << " drawn pixels differ";
  if (differ >= drawn / 12) {
    // Beside the rasterised SVG, the frame it should match, for a human to compare.
    const std::string frame = Out("drawing-frame.png");
    StmWritePicture(frame, drawing.width, drawing.height, pixels, error);
    ADD_FAILURE() << "compare " << png << " with " << frame;
    return;
  }

  options.paper = "A3";
  ASSERT_TRUE(StmCaptureDrawing(manager, options, drawing, nullptr, error)) << error;
  ASSERT_TRUE(StmWriteDrawing(drawing, pdf, error)) << error;
  const std::string info = Out("pdfinfo.txt");
  ASSERT_EQ(RunProgram("pdfinfo", ShellQuote(pdf) + " >" + ShellQuote(info), "pdfinfo").status, 0);
  EXPECT_NE(ReadFile(info).find("1190.55 x 841.89 pts (A3)"), std::string::npos) << ReadFile(info);
  for (const std::string& f : {svg, crisp, png, pdf, info}) std::remove(f.c_str());
}

// The DXF is at full size in the model's plane: read back by the importer, it gives the outline,
// its opening and the guidelines it came from. (Paper that is too small: with the other refusals.)
TEST(StmDrawingExport, TheDxfReadsBackAsTheOutlinesItCameFrom) {
  const std::string model = Example("deep-beam-opening");
  const std::string dxf = Out("drawing.dxf"), back = Out("back.stm.json");
  ASSERT_TRUE(Renders(ShellQuote(model) + " -o " + ShellQuote(dxf) + " --scale 25 --paper a4"));
  ASSERT_TRUE(Renders("--import-dxf " + ShellQuote(dxf) + " --save " + ShellQuote(back)));
  CStmModel original, imported;
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(model, original, &error)) << error;
  ASSERT_TRUE(CStmModelFile::Load(back, imported, &error)) << error;
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_EQ(imported.GetStmDataView()->GetGuideline(axis).size(), original.GetStmDataView()->GetGuideline(axis).size())
        << axis;
  }
  for (const EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
    std::vector<CVector> a, b;
    for (const auto& [id, o] : original.GetBoundarys(type)) a.insert(a.end(), o->GetBoundaryPos().begin(), o->GetBoundaryPos().end());
    for (const auto& [id, o] : imported.GetBoundarys(type)) b.insert(b.end(), o->GetBoundaryPos().begin(), o->GetBoundaryPos().end());
    ASSERT_EQ(a.size(), b.size()) << type;
    for (const CVector& p : a) {
      EXPECT_TRUE(std::any_of(b.begin(), b.end(), [&](const CVector& q) { return (p - q).Length() <= 1e-3; }))
          << p.x << ", " << p.z;
    }
  }
  for (const std::string& f : {dxf, back}) std::remove(f.c_str());
}

}  // namespace
