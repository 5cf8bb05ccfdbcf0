// The Qt editor on a 10,000-element model: a frame in its view (from the request to the swap of
// the view's GL window) against the same frame on the off-screen EGL
// surface, and its start (window built, file loaded, first frame shown) against loading the file
// alone. Both run in a process of their own on a private X display, as the window tests do.
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <memory>
#include <string>

#include "CStmEditorActions.h"
#include "CStmMainWindow.h"
#include "CStmQtRenderWidget.h"
#include "StmBenchQt.h"
#include "StmBenchScene.h"
#include "host/model/CStmModelFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The editor needs an X server and Qt's xcb platform; Xvfb gives both on any machine.
const char* const kOnDisplay = "QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1600x1200x24 -nolisten tcp'";

// A lattice model saved where the editor opens it, and settings of the benchmark's own, so that
// the user's layout, recent files and recovery copy stay untouched.
struct SEditorFixture {
  QTemporaryDir dir;
  std::string path;

  // False (and the benchmark skipped with the reason) when the file could not be written.
  bool Prepare(benchmark::State& state, int elements) {
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    BenchApplication();
    CStmModel model;
    SLattice lattice;
    lattice.Build(model, elements);
    model.SetPlane(STM_PLANE_XZ);
    path = dir.filePath("lattice.stm.json").toStdString();
    std::string error;
    if (!dir.isValid() || !CStmModelFile::Save(path, model, &error)) {
      state.SkipWithError(("the model could not be written: " + error).c_str());
      return false;
    }
    return true;
  }

  // The editor started as its program does: shown, then the model opened, up to its first frame
  // on screen. Null (and the benchmark skipped) when the model did not open.
  // phases, when given, gains the milliseconds of each step: the window built and shown, the
  // model opened, its first frame.
  std::unique_ptr<CStmMainWindow> Start(benchmark::State& state, double* phases = nullptr) const {
    const auto t0 = Clock::now();
    CStmMainWindow::SOptions options;
    options.model = path;
    auto window = std::make_unique<CStmMainWindow>(options);
    window->show();
    QApplication::processEvents();
    const auto t1 = Clock::now();
    std::string error;
    if (!window->Open(error)) {
      state.SkipWithError(error.c_str());
      return nullptr;
    }
    const auto t2 = Clock::now();
    if (!WaitForFrame(*window->View())) {
      state.SkipWithError("the editor showed no frame");
      return nullptr;
    }
    if (phases) {
      phases[0] += Ms(t1 - t0);
      phases[1] += Ms(t2 - t1);
      phases[2] += Ms(Clock::now() - t2);
    }
    return window;
  }

  // Runs the event loop until the view's next frame is on screen; false after a second without.
  static bool WaitForFrame(CStmQtRenderWidget& view) {
    QEventLoop loop;
    bool swapped = false;
    const auto connection = QObject::connect(&view, &CStmQtRenderWidget::frameSwapped, &loop, [&] {
      swapped = true;
      loop.quit();
    });
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return swapped;
  }
};

void BM_QtFrameAgainstEgl(benchmark::State& state) {
  if (MeasuredInOwnProcess(state, "qt_frame_against_egl",
                           {"qt_over_egl", "paint_over_egl", "qt_frame_ms", "egl_frame_ms", "paint_ms", "swap_ms", "paints_per_frame"}, kOnDisplay))
    return;
  SEditorFixture fixture;
  if (!fixture.Prepare(state, static_cast<int>(state.range(0)))) return;
  std::unique_ptr<CStmMainWindow> window = fixture.Start(state);
  if (!window) return;
  CStmQtRenderWidget& widget = *window->View();

  // The same model on the EGL surface at the size of the widget's framebuffer, shown as the
  // editor shows a model it opens.
  CStmModel model;
  std::string error;
  if (!CStmModelFile::Load(fixture.path, model, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // A thread holds one current context, and GLX's (Qt's) and EGL's do not hand over to each
  // other: each side lets go of its own before the other draws.
  widget.doneCurrent();
  CStmUbManager manager;
  CStmUbRenderer wnd;
  auto surface = CreateOffscreenSurface(widget.FramebufferWidth(), widget.FramebufferHeight(), &error);
  if (!surface) {
    state.SkipWithError(error.c_str());
    return;
  }
  wnd.Create(&manager, std::move(surface));
  manager.SetStmModel(&model);
  CStmEditorActions actions(manager, wnd, model);
  actions.ShowModel();
  wnd.GetSurface()->ReleaseCurrent();

  // The view's frame in two parts: the paint (the request waiting its turn, the scene drawn into
  // the GL window's back buffer) and the swap of the view's area to the X server.
  Clock::time_point requested, painted;
  const auto onPainted = QObject::connect(&widget, &CStmQtRenderWidget::FramePainted, [&] { painted = Clock::now(); });
  double qt = 0.0, egl = 0.0, paint = 0.0, swap = 0.0;
  for (auto _ : state) {
    widget.doneCurrent();
    const auto t0 = Clock::now();
    wnd.Render();
    const auto t1 = Clock::now();
    wnd.GetSurface()->ReleaseCurrent();
    requested = Clock::now();
    widget.RequestFrame();
    if (!SEditorFixture::WaitForFrame(widget)) {
      state.SkipWithError("the view showed no frame");
      return;
    }
    const auto t2 = Clock::now();
    egl += Ms(t1 - t0);
    qt += Ms(t2 - requested);
    paint += Ms(painted - requested);
    swap += Ms(t2 - painted);
  }
  QObject::disconnect(onPainted);
  const double n = static_cast<double>(state.iterations());
  state.counters["qt_over_egl"] = egl > 0.0 ? qt / egl : 0.0;
  // The view's own share: the swap is the window system's.
  state.counters["paint_over_egl"] = egl > 0.0 ? paint / egl : 0.0;
  state.counters["qt_frame_ms"] = qt / n;
  state.counters["egl_frame_ms"] = egl / n;
  state.counters["paint_ms"] = paint / n;
  state.counters["swap_ms"] = swap / n;
  // One paint a request, but for the few of the start: a request that drew twice would show.
  state.counters["paints_per_frame"] = widget.GetPaintCount() / n;
}

void BM_QtStartAgainstLoad(benchmark::State& state) {
  if (MeasuredInOwnProcess(state, "qt_start_against_load", {"start_over_load", "start_ms", "first_start_ms", "load_ms", "window_ms", "open_ms", "first_frame_ms"},
                           kOnDisplay))
    return;
  SEditorFixture fixture;
  if (!fixture.Prepare(state, static_cast<int>(state.range(0)))) return;
  // The first window of a process also pays Qt's own first steps (fonts, the X connection, GL),
  // as a user's start does: it is reported apart, the later ones give the editor's own share.
  const auto cold = Clock::now();
  if (!fixture.Start(state)) return;
  const double first = Ms(Clock::now() - cold);
  QApplication::processEvents();
  double start = 0.0, load = 0.0;
  double phases[3] = {};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    std::unique_ptr<CStmMainWindow> window = fixture.Start(state, phases);
    const auto t1 = Clock::now();
    if (!window) return;
    window.reset();
    QApplication::processEvents();
    CStmModel model;
    std::string error;
    const auto t2 = Clock::now();
    if (!CStmModelFile::Load(fixture.path, model, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    const auto t3 = Clock::now();
    start += Ms(t1 - t0);
    load += Ms(t3 - t2);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["start_over_load"] = load > 0.0 ? start / load : 0.0;
  state.counters["start_ms"] = start / n;
  state.counters["first_start_ms"] = first;
  state.counters["load_ms"] = load / n;
  state.counters["window_ms"] = phases[0] / n;
  state.counters["open_ms"] = phases[1] / n;
  state.counters["first_frame_ms"] = phases[2] / n;
}

}  // namespace

BENCHMARK(BM_QtFrameAgainstEgl)->Name("qt_frame_against_egl")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtStartAgainstLoad)->Name("qt_start_against_load")->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
