// The cost of a renderer frame over 10,000- and 50,000-element models, with node and element
// names off and on, against a bare immediate-mode pass that draws the same points and lines
// (and, with names on, the text of the labels the frame placed) in the same context, measured
// in the same run; and the frame of an analysed model with its result layers against the same
// picture drawn bare.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "StmBenchScene.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

constexpr unsigned kNames = STM_SHOW_NODE_NAMES | STM_SHOW_ELEMENT_NAMES;

// Times the renderer's frame and, right after it in the same context, the bare pass given the
// label quads the first frame placed; reports their ratio.
template <class Bare>
void FrameAgainst(benchmark::State& state, CStmUbRenderer& wnd, Bare bare) {
  // One frame first, so that the bare pass draws the text of the labels that frame placed.
  wnd.OpenGLRenderStart();
  wnd.RenderNoDepth(0);
  wnd.OpenGLRenderEnd();
  std::vector<CVector> labelQuads;
  CUbRenderAPI::GetLastLabelQuads(labelQuads);

  using Clock = std::chrono::steady_clock;
  double frame = 0.0, plain = 0.0;
  for (auto _ : state) {
    wnd.OpenGLRenderStart();
    const auto t0 = Clock::now();
    wnd.RenderNoDepth(0);
    glFinish();
    const auto t1 = Clock::now();
    bare(labelQuads);
    glFinish();
    const auto t2 = Clock::now();
    wnd.OpenGLRenderEnd();
    frame += std::chrono::duration<double>(t1 - t0).count();
    plain += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["frame_over_bare"] = plain > 0.0 ? frame / plain : 0.0;
  state.counters["frame_ms"] = frame * 1e3 / static_cast<double>(state.iterations());
  state.counters["bare_ms"] = plain * 1e3 / static_cast<double>(state.iterations());
  state.counters["labels"] = static_cast<double>(wnd.GetCountLabelsDrawn());
}

void BM_FrameAgainstBarePass(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  const bool names = state.range(1) != 0;
  CStmModel model;
  SLattice lattice;
  lattice.Build(model, elements);
  model.GetStmDataView()->SetShowOption(kNames, names ? 1 : 0);
  SBenchView view;
  if (!view.Open(state, model)) return;
  CStmUbRenderer& wnd = view.wnd;
  if (view.manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(111)) != elements) {
    state.SkipWithError("the model does not have the wanted number of elements");
    return;
  }
  FrameAgainst(state, wnd, [&](const std::vector<CVector>& labelQuads) { BarePass(model, &labelQuads); });
}

// A frame of an analysed model with its forces and their values, calculated widths and nodal
// zones shown, against the same picture drawn bare (BareLayersPass) in the same run.
void BM_FrameForcesWidthsZones(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  CStmModel model;
  SLattice lattice;
  lattice.Build(model, elements);
  AddSyntheticResults(model);
  CStmDataView* view = model.GetStmDataView();
  view->SetShowOption(kNames, 0);
  view->SetShowOption(STM_SHOW_RESULTS | STM_SHOW_RESULT_VALUES | STM_SHOW_WIDTHS | STM_SHOW_NODAL_ZONES, 1);
  SBenchView scene;
  if (!scene.Open(state, model)) return;
  CStmUbRenderer& wnd = scene.wnd;
  FrameAgainst(state, wnd, [&](const std::vector<CVector>& labelQuads) { BareLayersPass(model, labelQuads); });
  state.counters["texts_made"] = static_cast<double>(CUbRenderAPI::GetCountLabelTextsMade());
}

}  // namespace

BENCHMARK(BM_FrameForcesWidthsZones)->Name("frame_forces_widths_zones")->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_FrameAgainstBarePass)
    ->ArgNames({"elements", "names"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->Unit(benchmark::kMillisecond);
