// The editor as a user starts it, on a virtual X display: it opens a model, shows it under its
// overlay for a few frames and leaves; a missing or broken file or a bad argument stops it with
// a message before any window opens.
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/RenderCheck.h"
#include "support/RunProgram.h"

namespace {


bool HasXvfbRun() { return std::system("command -v xvfb-run >/dev/null 2>&1") == 0; }

SProgramRun RunEditor(const std::string& args, bool display) {
  // The editor remembers the files it opens; the user's own list stays out of the tests.
  const std::string config = "XDG_CONFIG_HOME=" + ShellQuote(RenderOutputDir() + "/stm-editor-app.config") + " ";
  const std::string prefix = display ? "env " + config + "xvfb-run -a -s '-screen 0 1280x1024x24' "
                                     : "env -u DISPLAY -u WAYLAND_DISPLAY " + config;
  return RunProgram(STM_EDITOR_EXE, args, "stm-editor", prefix);
}

TEST(StmEditorApp, ShowsTheModelUnderItsOverlayAndLeavesAfterTheCountedFrames) {
  if (!HasXvfbRun()) GTEST_SKIP() << "xvfb-run is not installed";
  const std::string model = std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json";
  const std::string png = RenderOutputDir() + "/stm-editor-corbel.png";
  std::remove(png.c_str());
  std::ifstream original(model, std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());

  const SProgramRun run = RunEditor(ShellQuote(model) + " --size 640x480 --frames 3 --screenshot " + ShellQuote(png), true);
  ASSERT_EQ(run.status, 0) << run.err;

  int w = 0, h = 0, channels = 0;
  stbi_uc* data = stbi_load(png.c_str(), &w, &h, &channels, 4);
  ASSERT_NE(data, nullptr) << png;
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  // Nodes are drawn in green; the overlay's menu bar and status line are grey bands on the top
  // and bottom rows, unlike the scene's background in the middle.
  int green = 0;
  for (int i = 0; i < w * h; ++i) {
    const stbi_uc* p = data + 4 * i;
    if (p[1] > 150 && p[0] < 100 && p[2] < 100) ++green;
  }
  EXPECT_GT(green, 20);
  // The frame buffer's alpha says nothing about the picture.
  int translucent = 0;
  for (int i = 0; i < w * h; ++i) translucent += data[4 * i + 3] != 255;
  EXPECT_EQ(translucent, 0);
  const auto pixel = [&](int x, int y) { return data + 4 * (static_cast<size_t>(y) * w + x); };
  const stbi_uc* middle = pixel(5, h / 2);
  for (const stbi_uc* band : {pixel(w - 5, 3), pixel(w - 5, h - 3)}) {
    EXPECT_GT(std::abs(band[0] - middle[0]) + std::abs(band[1] - middle[1]) + std::abs(band[2] - middle[2]), 10);
  }
  stbi_image_free(data);

  // Looking is not editing: the file is as it was.
  std::ifstream after(model, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), before);
}

TEST(StmEditorApp, AMissingOrBrokenFileOrBadArgumentStopsWithAMessage) {
  SProgramRun run = RunEditor(ShellQuote("/no/such/model.stm.json"), false);
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("/no/such/model.stm.json"), std::string::npos) << run.err;

  const std::string broken = RenderOutputDir() + "/broken-editor.stm.json";
  std::ofstream(broken) << "{\"nodes\": [1, 2";
  run = RunEditor(ShellQuote(broken), false);
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("broken-editor.stm.json"), std::string::npos) << run.err;

  const std::string model = std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json";
  for (const std::string& bad : {std::string("--frames 0"), std::string("--frames"), std::string("--size 3"),
                                 std::string("--screenshot x.png"), std::string("--frobnicate")}) {
    run = RunEditor(ShellQuote(model) + " " + bad, false);
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_FALSE(run.err.empty()) << bad;
  }
  // Without a model the editor starts a new one, which needs a window like any other: without a
  // display it says so.
  run = RunEditor("", false);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no window could be opened"), std::string::npos) << run.err;

  run = RunEditor(ShellQuote(std::string(STM_SOURCE_DIR) + "/examples"), false);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is a folder, not a model file"), std::string::npos) << run.err;
  run = RunEditor(ShellQuote(model) + " --frames 1 --screenshot /no/such/folder/x.png", false);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("the folder /no/such/folder does not exist"), std::string::npos) << run.err;
}

TEST(StmEditorApp, HelpIsAnAnswerNotAnError) {
  const std::string help = RenderOutputDir() + "/stm-editor-help." + std::to_string(getpid()) + ".txt";
  const SProgramRun run = RunEditor("--help >" + ShellQuote(help), false);
  EXPECT_EQ(run.status, 0) << run.err;
  std::ifstream in(help);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("usage: stm-editor"), std::string::npos);
  EXPECT_NE(text.str().find("--idle-fd"), std::string::npos);
  std::remove(help.c_str());
}

}  // namespace
