// The headless renderer as a user runs it: every example becomes a picture that matches its
// reference, and a missing or broken model file or a bad argument fails with a message.
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/RenderCheck.h"
#include "support/RunProgram.h"

namespace {


SProgramRun RunRender(const std::string& args) { return RunProgram(STM_RENDER_EXE, args, "stm-render"); }

class StmRenderAppTest : public testing::TestWithParam<const char*> {};

TEST_P(StmRenderAppTest, RendersTheExampleLikeItsReference) {
  const std::string name = GetParam();
  const std::string model = std::string(STM_SOURCE_DIR) + "/examples/" + name + ".stm.json";
  const std::string png = RenderOutputDir() + "/stm-render-" + name + ".png";
  std::remove(png.c_str());
  const SProgramRun run = RunRender(ShellQuote(model) + " -o " + ShellQuote(png) + " --size 800x600");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;

  SRgbaImage image;
  int channels = 0;
  stbi_uc* data = stbi_load(png.c_str(), &image.width, &image.height, &channels, 4);
  ASSERT_NE(data, nullptr) << png;
  image.rgba.assign(data, data + static_cast<size_t>(image.width) * image.height * 4);
  stbi_image_free(data);
  EXPECT_EQ(image.width, 800);
  EXPECT_EQ(image.height, 600);
  EXPECT_TRUE(CheckRender("stm-render-" + name, image, 8, 40));
}

INSTANTIATE_TEST_SUITE_P(Examples, StmRenderAppTest,
                         testing::Values("corbel", "deep-beam-opening", "pile-cap"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string id = info.param;
                           for (char& c : id) {
                             if (c == '-') c = '_';
                           }
                           return id;
                         });

TEST(StmRenderApp, StylesViewsAndLayersChangeThePicture) {
  const std::string model = std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json";
  const std::string out = RenderOutputDir() + "/stm-render-options.png";
  EXPECT_EQ(RunRender(ShellQuote(model) + " -o " + ShellQuote(out) + " --view 0 --size 64x48 --style light "
                      "--hide nodes,node-names --show areas").status, 0);
  int w = 0, h = 0, channels = 0;
  stbi_uc* data = stbi_load(out.c_str(), &w, &h, &channels, 4);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
  // The light style has a light background in the corner.
  EXPECT_GT(data[0] + data[1] + data[2], 3 * 128);
  stbi_image_free(data);
}

TEST(StmRenderApp, AMissingOrBrokenFileOrBadArgumentFailsWithAMessage) {
  const std::string out = RenderOutputDir() + "/stm-render-fail.png";
  std::remove(out.c_str());
  SProgramRun run = RunRender(ShellQuote("/no/such/model.stm.json") + " -o " + ShellQuote(out));
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("/no/such/model.stm.json"), std::string::npos) << run.err;

  const std::string broken = RenderOutputDir() + "/broken.stm.json";
  std::ofstream(broken) << "{\"nodes\": [1, 2";
  run = RunRender(ShellQuote(broken) + " -o " + ShellQuote(out));
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("broken.stm.json"), std::string::npos) << run.err;
  EXPECT_FALSE(std::ifstream(out).good());

  const std::string model = std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json";
  for (const std::string& bad : {std::string("--view 3"), std::string("--size 0x10"), std::string("--style blue"),
                                 std::string("--hide nothing"), std::string("--frobnicate"), std::string("")}) {
    run = RunRender(ShellQuote(model) + (bad.empty() ? "" : " -o " + ShellQuote(out) + " " + bad));
    EXPECT_NE(run.status, 0) << bad;
    EXPECT_FALSE(run.err.empty()) << bad;
  }
  EXPECT_FALSE(std::ifstream(out).good());
}

}  // namespace
