// The drawable a render window paints into: an off-screen EGL pbuffer for tests and headless
// rendering, or an on-screen window. The render window only needs these few operations.
#pragma once

#include <memory>
#include <string>

class CUbSurface {
public:
  virtual ~CUbSurface() = default;
  // Makes the surface's GL context current on this thread; false when that fails.
  virtual bool MakeCurrent() = 0;
  virtual void ReleaseCurrent() = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  // Shows the back buffer; an off-screen surface has nothing to show.
  virtual void SwapBuffers() = 0;
  // Off-screen surfaces read back what was drawn from the back buffer.
  virtual bool IsOffscreen() const = 0;
};

// An off-screen surface with a compatibility-profile OpenGL context (Mesa's surfaceless EGL
// platform, so it needs neither a display nor a GPU). Null with a reason in *error on failure.
std::unique_ptr<CUbSurface> CreateOffscreenSurface(int width, int height, std::string* error);
