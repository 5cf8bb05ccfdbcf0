// The off-screen surface gives a real compatibility context: fixed-function drawing and
// selection mode work, and what is drawn can be read back.
#include <GL/gl.h>
#include <GL/glu.h>

#include "support/GlTestContext.h"

TEST(EglSurface, DrawsAndReadsBackPixels) {
  GlTestContext gl(64, 48);
  ASSERT_TRUE(gl.Ok()) << gl.Error();
  EXPECT_EQ(gl.Surface()->GetWidth(), 64);
  EXPECT_EQ(gl.Surface()->GetHeight(), 48);

  glViewport(0, 0, 64, 48);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 64, 48, 0, -1, 1);  // y down, like client coordinates
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3d(1, 0, 0);
  glBegin(GL_QUADS);
  glVertex2d(0, 0);
  glVertex2d(32, 0);
  glVertex2d(32, 24);
  glVertex2d(0, 24);
  glEnd();

  const auto inside = gl.Pixel(5, 5);
  const auto outside = gl.Pixel(50, 40);
  EXPECT_EQ(inside[0], 255);
  EXPECT_EQ(inside[2], 0);
  EXPECT_EQ(outside[0], 0);
  EXPECT_EQ(outside[2], 255);
}

TEST(EglSurface, SelectionModeReportsNamedHits) {
  GlTestContext gl(64, 64);
  ASSERT_TRUE(gl.Ok()) << gl.Error();
  GLuint buffer[64] = {};
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  GLint viewport[4] = {0, 0, 64, 64};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(10, 10, 3, 3, viewport);
  glOrtho(0, 64, 0, 64, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLoadName(7);
  glBegin(GL_LINES);  // passes through the pick point
  glVertex2d(0, 10);
  glVertex2d(64, 10);
  glEnd();
  glLoadName(9);
  glBegin(GL_LINES);  // 20 px away
  glVertex2d(0, 30);
  glVertex2d(64, 30);
  glEnd();
  const GLint hits = glRenderMode(GL_RENDER);
  ASSERT_EQ(hits, 1);
  EXPECT_EQ(buffer[0], 1u);  // one name on the stack
  EXPECT_EQ(buffer[3], 7u);
}

TEST(EglSurface, RefusesEmptySize) {
  std::string error;
  EXPECT_EQ(CreateOffscreenSurface(0, 10, &error), nullptr);
  EXPECT_FALSE(error.empty());
}
