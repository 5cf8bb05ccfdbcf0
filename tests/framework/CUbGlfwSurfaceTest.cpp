// The on-screen surface refuses cleanly without a display, and draws when one is there.
#include "host/framework/CUbGlfwSurface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Takes a variable out of the environment for one test and puts it back afterwards.
class CScopedUnsetEnv {
public:
  explicit CScopedUnsetEnv(const char* name) : m_name(name) {
    if (const char* value = std::getenv(name)) m_saved = value;
    unsetenv(name);
  }
  ~CScopedUnsetEnv() {
    if (m_saved) setenv(m_name, m_saved->c_str(), 1);
  }

private:
  const char* m_name;
  std::optional<std::string> m_saved;
};

TEST(GlfwSurface, WithoutADisplayCreationFailsWithAReason) {
  CScopedUnsetEnv display("DISPLAY");
  CScopedUnsetEnv wayland("WAYLAND_DISPLAY");
  std::string error;
  EXPECT_EQ(CUbGlfwSurface::Create(64, 48, "test", &error), nullptr);
  EXPECT_NE(error.find("DISPLAY"), std::string::npos) << error;
  // A second attempt fails the same way instead of finding a half-initialised library.
  error.clear();
  EXPECT_EQ(CUbGlfwSurface::Create(64, 48, "test", &error), nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(CUbGlfwSurface::Create(64, 48, "test", nullptr), nullptr);
}

TEST(GlfwSurface, RefusesEmptySize) {
  std::string error;
  EXPECT_EQ(CUbGlfwSurface::Create(0, 48, "test", &error), nullptr);
  EXPECT_FALSE(error.empty());
}

// Runs only under a display, for example: xvfb-run -a build/tests/stm_tests --gtest_filter='GlfwSurface*'
TEST(GlfwSurface, DrawsIntoTheWindowUnderADisplay) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no DISPLAY";
  std::string error;
  auto surface = CUbGlfwSurface::Create(64, 48, "test", &error);
  ASSERT_NE(surface, nullptr) << error;
  EXPECT_NE(surface->GetWindow(), nullptr);
  EXPECT_FALSE(surface->IsOffscreen());
  EXPECT_EQ(surface->GetWidth(), 64);
  EXPECT_EQ(surface->GetHeight(), 48);
  ASSERT_TRUE(surface->MakeCurrent());

  glViewport(0, 0, 64, 48);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3d(1, 0, 0);
  glRectd(-1, -1, 0, 0);  // fixed-function drawing: a compatibility context
  unsigned char inside[4] = {}, outside[4] = {};
  glFinish();
  glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, inside);
  glReadPixels(50, 40, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, outside);
  EXPECT_EQ(inside[0], 255);
  EXPECT_EQ(outside[2], 255);
  surface->SwapBuffers();
  surface->ReleaseCurrent();
}

}  // namespace
