// The reference-image harness itself: a known scene matches its reference, and a changed one
// fails and leaves an output and a diff for a human to look at.
#include <GL/gl.h>

#include <fstream>

#include "support/GlTestContext.h"
#include "support/RenderCheck.h"

namespace {

SRgbaImage DrawTwoQuads() {
  glViewport(0, 0, 40, 30);
  glClearColor(0.1f, 0.1f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 40, 30, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_QUADS);
  glColor3d(1, 0.5, 0);
  glVertex2d(4, 4), glVertex2d(20, 4), glVertex2d(20, 20), glVertex2d(4, 20);
  glColor3d(0, 0.8, 0.3);
  glVertex2d(22, 10), glVertex2d(36, 10), glVertex2d(36, 26), glVertex2d(22, 26);
  glEnd();
  return SRgbaImage::FromGl(40, 30);
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

TEST(RenderCheck, KnownSceneMatchesItsReferenceAndAChangedOneFailsAndWritesOutputAndDiff) {
  GlTestContext gl(40, 30);
  ASSERT_TRUE(gl.Ok()) << gl.Error();
  SRgbaImage image = DrawTwoQuads();
  EXPECT_TRUE(CheckRender("harness-two-quads", image));
  for (int x = 0; x < 3; ++x) image.rgba[(10 * 40 + 10 + x) * 4 + 2] = 255;  // three pixels turn blue-ish

  const std::string out = RenderOutputDir() + "/harness-two-quads.out.png";
  const std::string diff = RenderOutputDir() + "/harness-two-quads.diff.png";
  for (const std::string& file : {out, diff}) std::remove(file.c_str());
  const auto result = CheckRender("harness-two-quads", image);
  EXPECT_FALSE(result);
  EXPECT_NE(std::string(result.message()).find("3 pixels differ"), std::string::npos) << result.message();
  EXPECT_TRUE(Exists(out));
  EXPECT_TRUE(Exists(diff));
  // A tolerance for that many pixels lets it pass.
  EXPECT_TRUE(CheckRender("harness-two-quads", image, 8, 3));
  for (const std::string& file : {out, diff}) std::remove(file.c_str());
}
