// The strut-and-tie renderer's pick under the cursor (hover and click) on 10,000- and
// 50,000-element models with the default show options, against a bare GL selection pass over
// the same candidates in the same run; and, in a process of its own, the resident memory after
// 10,000 hover picks over a 50,000-element model zoomed out against after 10.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "StmBenchScene.h"
#include "host/framework/CSnapPointManage.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "host/platform/CMapStringToPtr.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

constexpr int kBox = 7;

struct SPickScene {
  CStmModel model;
  SLattice lattice;
  CStmUbManager manager;
  CStmUbRenderer wnd;

  bool Open(int elements, std::string& error) {
    auto surface = CreateOffscreenSurface(kBenchSize, kBenchSize, &error);
    if (!surface) return false;
    lattice.Build(model, elements);
    wnd.Create(&manager, std::move(surface));
    manager.SetStmModel(&model);
    wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    manager.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    manager.UpdateStmRenderer();
    wnd.ZoomAll(0);
    return true;
  }
  // A node in the middle of the model, where the pick has neighbours all round.
  CPoint Middle() const { return wnd.ExtToClient(lattice.At(lattice.m_nRows / 2, lattice.m_nColumns / 2)); }
  int Pick(const CPoint& pt) {
    CMapStringToPtr found;
    wnd.SelectionPoint(pt, CSize(kBox, kBox), -1, 0, &found, CUbRenderWnd::kSelectQuery);
    return found.GetCount();
  }
};

void BM_PickAgainstBareSelection(benchmark::State& state) {
  SPickScene scene;
  std::string error;
  if (!scene.Open(static_cast<int>(state.range(0)), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const CPoint pt = scene.Middle();
  std::vector<GLuint> buffer(4 * (scene.model.GetNodes().size() + scene.model.GetElements().size()) + 16);
  using Clock = std::chrono::steady_clock;
  double pick = 0.0, bare = 0.0;
  int found = 0, bareHits = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    found = scene.Pick(pt);
    const auto t1 = Clock::now();
    bareHits = BareSelectionPass(scene.manager, scene.wnd, pt, kBox, buffer);
    const auto t2 = Clock::now();
    pick += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  if (found == 0 || bareHits <= 0) state.SkipWithError("the pick found nothing");
  state.counters["pick_over_bare"] = bare > 0.0 ? pick / bare : 0.0;
  state.counters["pick_ms"] = pick * 1e3 / static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare * 1e3 / static_cast<double>(state.iterations());
}

void BM_MemoryAfterPicks(benchmark::State& state) {
  if (MeasuredInOwnProcess(state, "BM_MemoryAfterPicks", {"peak_kb_after_10", "peak_kb_after_10000", "growth"}))
    return;
  SPickScene scene;
  std::string error;
  if (!scene.Open(50000, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  double after10 = 0.0, after10000 = 0.0;
  for (auto _ : state) {
    ResetPeak();
    for (int i = 0; i < 10000; ++i) {
      // A cursor sweeping over the whole model zoomed out, as hover picks do.
      const CPoint pt(40 + (i * 7) % (kBenchSize - 80), 40 + (i * 13) % (kBenchSize - 80));
      scene.wnd.HoverPoint(pt, CSize(kBox, kBox));
      if (i + 1 == 10) after10 = StatusKb("VmHWM");
    }
    after10000 = StatusKb("VmHWM");
  }
  state.counters["peak_kb_after_10"] = after10;
  state.counters["peak_kb_after_10000"] = after10000;
  state.counters["growth"] = after10 > 0.0 ? after10000 / after10 : 0.0;
}

// Selecting everything gathers the grips of every entity; against one bare frame of the model.
void BM_GripsOfEverythingAgainstBareFrame(benchmark::State& state) {
  SPickScene scene;
  std::string error;
  if (!scene.Open(static_cast<int>(state.range(0)), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (const auto& entry : scene.manager.GetEttMap()) scene.manager.SelectEtt(entry.second, 1);
  CSnapPointManage grips;
  using Clock = std::chrono::steady_clock;
  double gather = 0.0, bare = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    grips.OnChangeSelectedMember(&scene.wnd);
    const auto t1 = Clock::now();
    scene.wnd.OpenGLRenderStart();
    BarePass(scene.model);
    glFinish();
    scene.wnd.OpenGLRenderEnd();
    const auto t2 = Clock::now();
    gather += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["grips_over_bare"] = bare > 0.0 ? gather / bare : 0.0;
  state.counters["grips_ms"] = gather * 1e3 / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_GripsOfEverythingAgainstBareFrame)->ArgName("elements")->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickAgainstBareSelection)->ArgName("elements")->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryAfterPicks)->Iterations(1)->Unit(benchmark::kMillisecond);
