// The editor's docks after a gesture on a large model: everything they read anew (the grid over
// the selection, the model tree with its selection, the results and the history), timed against
// one frame of the same scene, so that a dock built item by item would show as a ratio above one.
#include <QMainWindow>

#include <memory>

#include "CStmQtDocks.h"
#include "StmBenchQt.h"
#include "StmBenchScene.h"

namespace {

void BM_DocksRefreshAgainstFrame(benchmark::State& state) {
  BenchApplication();
  CStmModel model;
  SLattice lattice;
  lattice.Build(model, static_cast<int>(state.range(0)));
  SBenchView view;
  if (!view.Open(state, model)) return;
  QMainWindow window;
  CStmQtDocks docks(window, view.manager, model);
  // A block of the lattice selected, as after a window selection.
  const std::set<int> elements = lattice.Block(0, 0, 100);
  view.manager.SelectObject({}, elements);
  TimeWorkAgainstDraw(
      state, view.wnd, "refresh_over_frame", "refresh_ms", "frame_ms",
      [&]() -> const char* {
        docks.Refresh();
        return nullptr;
      },
      [&] { view.wnd.RenderNoDepth(0); });
  state.counters["elements"] = static_cast<double>(model.GetCountElement(1));
}

}  // namespace

BENCHMARK(BM_DocksRefreshAgainstFrame)->Name("docks_refresh")->Arg(10000)->Unit(benchmark::kMillisecond);
