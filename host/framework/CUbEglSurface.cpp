// Off-screen rendering through EGL on Mesa's surfaceless platform: a pbuffer with a
// compatibility context, which runs on llvmpipe where no GPU exists.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <string>

#include "host/framework/CUbSurface.h"

namespace {

class CUbEglSurface final : public CUbSurface {
public:
  CUbEglSurface(EGLDisplay display, EGLSurface surface, EGLContext context, int width, int height)
      : m_display(display), m_surface(surface), m_context(context), m_width(width), m_height(height) {}

  ~CUbEglSurface() override {
    if (eglGetCurrentContext() == m_context)
      eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(m_display, m_context);
    eglDestroySurface(m_display, m_surface);
    // The display stays initialised: EGL displays are shared per process, and terminating it
    // would pull the rug from under other surfaces.
  }

  bool MakeCurrent() override { return eglMakeCurrent(m_display, m_surface, m_surface, m_context) == EGL_TRUE; }
  void ReleaseCurrent() override { eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }
  int GetWidth() const override { return m_width; }
  int GetHeight() const override { return m_height; }
  void SwapBuffers() override {}
  bool IsOffscreen() const override { return true; }

private:
  EGLDisplay m_display;
  EGLSurface m_surface;
  EGLContext m_context;
  int m_width, m_height;
};

std::string EglError(const char* what) {
  char code[16];
  snprintf(code, sizeof code, "0x%04X", eglGetError());
  return std::string(what) + " failed (EGL error " + code + ")";
}

EGLDisplay SurfacelessDisplay(std::string* error) {
  static EGLDisplay display = EGL_NO_DISPLAY;
  if (display != EGL_NO_DISPLAY) return display;
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) {
    *error = "EGL has no eglGetPlatformDisplayEXT";
    return EGL_NO_DISPLAY;
  }
  EGLDisplay candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (candidate == EGL_NO_DISPLAY) {
    *error = EglError("eglGetPlatformDisplayEXT(surfaceless)");
    return EGL_NO_DISPLAY;
  }
  if (!eglInitialize(candidate, nullptr, nullptr)) {
    *error = EglError("eglInitialize");
    return EGL_NO_DISPLAY;
  }
  display = candidate;
  return display;
}

}  // namespace

std::unique_ptr<CUbSurface> CreateOffscreenSurface(int width, int height, std::string* error) {
  std::string scratch;
  if (!error) error = &scratch;
  if (width <= 0 || height <= 0) {
    *error = "surface size must be positive";
    return nullptr;
  }
  EGLDisplay display = SurfacelessDisplay(error);
  if (display == EGL_NO_DISPLAY) return nullptr;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    *error = EglError("eglBindAPI(OpenGL)");
    return nullptr;
  }
  const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                  EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                  EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1) {
    *error = EglError("eglChooseConfig");
    return nullptr;
  }
  const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
  if (surface == EGL_NO_SURFACE) {
    *error = EglError("eglCreatePbufferSurface");
    return nullptr;
  }
  // No version asked for: that gives a compatibility context with the fixed-function pipeline,
  // display lists and selection mode that the drawing code uses.
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    *error = EglError("eglCreateContext");
    eglDestroySurface(display, surface);
    return nullptr;
  }
  return std::make_unique<CUbEglSurface>(display, surface, context, width, height);
}
