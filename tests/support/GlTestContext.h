// An off-screen GL context per test, with pixel read-back helpers.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "host/framework/CUbSurface.h"

class GlTestContext {
public:
  GlTestContext(int width, int height) {
    m_surface = CreateOffscreenSurface(width, height, &m_error);
    if (m_surface) m_surface->MakeCurrent();
  }
  ~GlTestContext() {
    if (m_surface) m_surface->ReleaseCurrent();
  }
  bool Ok() const { return m_surface != nullptr; }
  const std::string& Error() const { return m_error; }
  CUbSurface* Surface() const { return m_surface.get(); }

  // RGBA of the pixel at window column x and row y counted from the top, as a user sees it.
  std::array<unsigned char, 4> Pixel(int x, int y) const {
    std::array<unsigned char, 4> rgba{};
    glFinish();
    glReadPixels(x, m_surface->GetHeight() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

private:
  std::unique_ptr<CUbSurface> m_surface;
  std::string m_error;
};
