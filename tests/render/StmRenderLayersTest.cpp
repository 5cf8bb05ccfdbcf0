// The headless renderer's result layers on the example with results: each one changes the
// picture and matches its reference, and a layer with nothing to draw says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "analysis/CStmTrussAnalysis.h"
#include "analysis/StmAnalysisPasses.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "support/RenderCheck.h"
#include "support/RunProgram.h"
#include "support/StmTestMaterials.h"

namespace {

const char* const kResultLayers =
    "results,result-values,stress-flow,arrow-heads,legend,mesh,widths,nodal-zones,designed-widths,max-nodal-zones,"
    "reactions";

struct SLayer {
  const char* name;
  // What must show for the layer to mean anything (values sit on forces, heads on flow).
  const char* needs;
};

void PrintTo(const SLayer& layer, std::ostream* os) { *os << layer.name; }

std::string Example(const char* name) { return std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json"; }

SProgramRun Render(const std::string& model, const std::string& png, const std::string& show) {
  std::remove(png.c_str());
  std::string args = ShellQuote(model) + " -o " + ShellQuote(png) + " --size 480x360 --hide " + kResultLayers;
  if (!show.empty()) args += " --show " + show;
  return RunProgram(STM_RENDER_EXE, args, "stm-render");
}

class StmRenderLayersTest : public testing::TestWithParam<SLayer> {};

TEST_P(StmRenderLayersTest, EachResultLayerChangesThePictureOfTheExample) {
  const SLayer layer = GetParam();
  const std::string name = std::string("stm-render-layer-") + layer.name;
  const std::string out = RenderOutputDir() + "/" + name + ".png";
  const std::string base = RenderOutputDir() + "/" + name + ".base.png";
  const std::string model = Example("deep-beam-opening");
  SProgramRun run = Render(model, base, layer.needs);
  ASSERT_EQ(run.status, 0) << run.err;
  run = Render(model, out, std::string(layer.needs) + (*layer.needs ? "," : "") + layer.name);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  const SRgbaImage with = SRgbaImage::FromPng(out), without = SRgbaImage::FromPng(base);
  ASSERT_EQ(with.rgba.size(), static_cast<size_t>(480 * 360 * 4));
  EXPECT_GT(with.Differing(without), 50);
  EXPECT_TRUE(CheckRender(name, with, 8, 40));
}

INSTANTIATE_TEST_SUITE_P(Example, StmRenderLayersTest,
                         testing::Values(SLayer{"results", ""}, SLayer{"result-values", "results"},
                                         SLayer{"stress-flow", ""}, SLayer{"arrow-heads", "stress-flow"},
                                         SLayer{"legend", "stress-flow"}, SLayer{"mesh", ""}, SLayer{"widths", ""},
                                         SLayer{"nodal-zones", ""}, SLayer{"designed-widths", ""},
                                         SLayer{"max-nodal-zones", ""}, SLayer{"reactions", "result-values"}),
                         [](const testing::TestParamInfo<SLayer>& info) {
                           std::string id = info.param.name;
                           std::replace(id.begin(), id.end(), '-', '_');
                           return id;
                         });

// The width and zone layers of the example analysed again as the editor does it, with other
// materials than the file's: 400 mm thick, cover 100 mm (the tie's axis).
TEST(StmRenderLayers, TheWidthAndZoneLayersOfTheCheckedExampleAndALayerWithNothingToDrawSaysSo) {
  CStmModel model;
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(Example("deep-beam-opening"), model, &error)) << error;
  model.ClearResults();
  model.SetMaterials(StmTestMaterials(400.0, 100.0));
  CStmTrussAnalysis analysis;
  analysis.Prepare(model);
  analysis.Solve();
  ASSERT_EQ(StmApplyAndCheck(analysis, model, 0), CStmTrussAnalysis::kSolved);
  ASSERT_TRUE(model.GetCheckResults().strError.IsEmpty()) << model.GetCheckResults().strError.c_str();
  const std::string checked = RenderOutputDir() + "/checked-deep-beam.stm.json";
  ASSERT_TRUE(CStmModelFile::Save(checked, model, &error)) << error;
  for (const char* layer : {"widths", "designed-widths", "nodal-zones", "max-nodal-zones"}) {
    const std::string name = std::string("stm-render-checked-") + layer;
    const std::string out = RenderOutputDir() + "/" + name + ".png";
    const SProgramRun run = Render(checked, out, layer);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << layer << ": " << run.err;
    EXPECT_TRUE(CheckRender(name, SRgbaImage::FromPng(out), 8, 40)) << layer;
  }

  // A layer with nothing to draw says so on stderr.
  const std::string out = RenderOutputDir() + "/stm-render-empty-layers.png";
  const SProgramRun run = Render(Example("corbel"), out, "mesh,results");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("\"mesh\""), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\"results\""), std::string::npos) << run.err;
  // Layers that are no result layer are never questioned.
  EXPECT_TRUE(Render(Example("corbel"), out, "nodes").err.empty());
}

}  // namespace
