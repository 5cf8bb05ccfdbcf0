// On-screen rendering through GLFW: window creation with a clean refusal where no display
// exists, and the few surface operations the render window needs.
#include "host/framework/CUbGlfwSurface.h"

#include <GLFW/glfw3.h>

namespace {

// GLFW is process-wide: it is initialised for the first window and terminated after the last, so
// a program that never opens a window never touches the window system.
int s_openWindows = 0;

std::string GlfwFailure(const char* what) {
  const char* description = nullptr;
  glfwGetError(&description);
  std::string message = std::string(what) + " failed";
  if (description && *description) message += std::string(": ") + description;
  return message;
}

}  // namespace

std::unique_ptr<CUbGlfwSurface> CUbGlfwSurface::Create(int width, int height, const char* title, std::string* error) {
  std::string scratch;
  if (!error) error = &scratch;
  if (width <= 0 || height <= 0) {
    *error = "window size must be positive";
    return nullptr;
  }
  if (s_openWindows == 0) {
    glfwGetError(nullptr);  // forget errors of an earlier attempt
    if (!glfwInit()) {
      *error = GlfwFailure("opening the window system (glfwInit)");
      return nullptr;
    }
  }
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
  // No version asked for: the driver then gives a compatibility context with the fixed-function
  // pipeline, display lists and selection mode.
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);
  glfwWindowHint(GLFW_DEPTH_BITS, 24);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  GLFWwindow* window = glfwCreateWindow(width, height, title ? title : "", nullptr, nullptr);
  if (!window) {
    *error = GlfwFailure("creating the window (glfwCreateWindow)");
    if (s_openWindows == 0) glfwTerminate();
    return nullptr;
  }
  ++s_openWindows;
  return std::unique_ptr<CUbGlfwSurface>(new CUbGlfwSurface(window));
}

CUbGlfwSurface::~CUbGlfwSurface() {
  if (glfwGetCurrentContext() == m_window) glfwMakeContextCurrent(nullptr);
  glfwDestroyWindow(m_window);
  if (--s_openWindows == 0) glfwTerminate();
}

bool CUbGlfwSurface::MakeCurrent() {
  glfwGetError(nullptr);
  glfwMakeContextCurrent(m_window);
  return glfwGetError(nullptr) == GLFW_NO_ERROR && glfwGetCurrentContext() == m_window;
}

void CUbGlfwSurface::ReleaseCurrent() {
  if (glfwGetCurrentContext() == m_window) glfwMakeContextCurrent(nullptr);
}

int CUbGlfwSurface::GetWidth() const {
  int width = 0, height = 0;
  glfwGetFramebufferSize(m_window, &width, &height);
  return width;
}

int CUbGlfwSurface::GetHeight() const {
  int width = 0, height = 0;
  glfwGetFramebufferSize(m_window, &width, &height);
  return height;
}

void CUbGlfwSurface::SwapBuffers() { glfwSwapBuffers(m_window); }
