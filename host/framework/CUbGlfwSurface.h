// The on-screen surface of the editor: a GLFW window with a compatibility-profile OpenGL context.
#pragma once

#include <memory>
#include <string>

#include "host/framework/CUbSurface.h"

struct GLFWwindow;

class CUbGlfwSurface final : public CUbSurface {
public:
  // Opens a window of the given size in pixels. Null with the reason in *error when the size is
  // not positive, when there is no display to open it on, or when the window system refuses
  // the window or its context. GLFW is set up with the first window and shut down with the last.
  static std::unique_ptr<CUbGlfwSurface> Create(int width, int height, const char* title, std::string* error);
  ~CUbGlfwSurface() override;
  CUbGlfwSurface(const CUbGlfwSurface&) = delete;
  CUbGlfwSurface& operator=(const CUbGlfwSurface&) = delete;

  bool MakeCurrent() override;
  void ReleaseCurrent() override;
  // Sizes of the framebuffer in pixels, which can differ from the window size on scaled screens.
  int GetWidth() const override;
  int GetHeight() const override;
  void SwapBuffers() override;
  bool IsOffscreen() const override { return false; }

  // The window itself, for the editor's event loop and its user-interface backend.
  GLFWwindow* GetWindow() const { return m_window; }

private:
  explicit CUbGlfwSurface(GLFWwindow* window) : m_window(window) {}

  GLFWwindow* m_window;
};
