// The editor's window surface: the GLFW window, with a hook that runs after the scene is drawn
// and before the frame is shown, where the user interface is laid over it.
#pragma once

#include <functional>
#include <memory>

#include "host/framework/CUbGlfwSurface.h"

class CStmEditorSurface final : public CUbSurface {
public:
  explicit CStmEditorSurface(std::unique_ptr<CUbGlfwSurface> window) : m_pWindow(std::move(window)) {}

  void SetBeforeSwap(std::function<void()> hook) { m_beforeSwap = std::move(hook); }
  GLFWwindow* GetWindow() const { return m_pWindow->GetWindow(); }

  bool MakeCurrent() override { return m_pWindow->MakeCurrent(); }
  void ReleaseCurrent() override { m_pWindow->ReleaseCurrent(); }
  int GetWidth() const override { return m_pWindow->GetWidth(); }
  int GetHeight() const override { return m_pWindow->GetHeight(); }
  void SwapBuffers() override;
  bool IsOffscreen() const override { return false; }

private:
  std::unique_ptr<CUbGlfwSurface> m_pWindow;
  std::function<void()> m_beforeSwap;
};
