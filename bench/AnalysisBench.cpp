// The cost of analysing a truss of about 10,000 elements (two load cases and a combination, the
// forces written back) as a ratio to one renderer frame of the same model with its forces shown,
// and of everything Analyse does (solve, checks, the second pass with the required widths and
// its checks) as a ratio to one bare frame of the same model, the first time and after one
// gesture with what the Analyse before kept, all measured in the same run.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string>

#include "StmBenchScene.h"
#include "host/model/CStmModel.h"
#include "analysis/CStmChecks.h"
#include "analysis/CStmTrussAnalysis.h"
#include "analysis/StmAnalysisPasses.h"
#include "host/model/StmMaterialDefaults.h"

namespace {

// A square lattice with one diagonal per cell, so that it is stable, on a pin and a roller at
// the bottom corners; every top node carries a vertical load, and a horizontal one in a second
// case.
int BuildBracedLattice(CStmModel& model, int elements) {
  int side = 2;
  while (3 * (side - 1) * (side - 1) + 2 * (side - 1) < elements) ++side;
  const auto node = [side](int r, int c) { return r * side + c + 1; };
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) model.AddNode(CVector(c * kCell, 0.0, r * kCell));
  }
  const SStmPropElement prop(0, 2, 0.0);
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      if (c + 1 < side) model.AddElement(node(r, c), node(r, c + 1), prop);
      if (r + 1 < side) model.AddElement(node(r, c), node(r + 1, c), prop);
      if (r + 1 < side && c + 1 < side) model.AddElement(node(r, c), node(r + 1, c + 1), prop);
    }
  }
  model.AddRestraint(node(0, 0), SStmDof{1, 1, 1, 0, 0, 0});
  model.AddRestraint(node(0, side - 1), SStmDof{0, 0, 1, 0, 0, 0});
  model.AddLoadConditionStatic("DL");
  model.AddLoadConditionStatic("W");
  for (int c = 0; c < side; ++c) {
    model.AddLoadNode("DL", node(side - 1, c), CVector(0, 0, -10));
    model.AddLoadNode("W", node(side - 1, c), CVector(2, 0, 0));
  }
  model.AddLoadConditionCombo("ULS");
  model.AddComboFactor("ULS", "DL", 0, 1.35);
  model.AddComboFactor("ULS", "W", 0, 1.5);
  return model.GetCountElement(1);
}

void BM_AnalysisAgainstFrame(benchmark::State& state) {
  CStmModel model;
  const int elements = BuildBracedLattice(model, static_cast<int>(state.range(0)));
  SBenchView view;
  if (!view.Open(state, model)) return;
  CStmTrussAnalysis analysis;
  TimeWorkAgainstDraw(
      state, view.wnd, "solve_over_frame", "solve_ms", "frame_ms",
      [&]() -> const char* {
        model.ClearResults();
        return analysis.Run(model) == CStmTrussAnalysis::kSolved ? nullptr : "the lattice was not solved";
      },
      [&] { view.wnd.RenderNoDepth(0); });
  state.counters["elements"] = elements;
}

// The braced lattice in an outline of concrete, with the materials the checks need (kN, mm), so
// that every element gets its width, band and nodal zones.
int BuildLatticeInConcrete(CStmModel& model, int elements) {
  const int built = BuildBracedLattice(model, elements);
  double far = 0.0;
  for (const auto& [id, node] : model.GetNodes()) far = std::max(far, node->GetCoord().x);
  const double m = 0.5 * kCell;
  model.SetBoundary(STM_BOUNDARY_OUTER, {CVector(-m, 0.0, -m), CVector(far + m, 0.0, -m),
                                         CVector(far + m, 0.0, far + m), CVector(-m, 0.0, far + m)});
  SStmMaterials materials;
  StmDefaultMaterials(STM_CODE_ACI_318_19, "kN", "mm", materials);
  model.SetMaterials(materials);
  return built;
}

// Everything Analyse does, from scratch or with what an earlier Analyse kept.
const char* AnalyseAndCheck(CStmModel& model, CStmTrussAnalysis& analysis, CStmCheckCache* cache) {
  model.ClearResults();
  analysis.SetMemberStiffness({});
  analysis.Prepare(model);
  analysis.Solve();
  return StmApplyAndCheck(analysis, model, 0, cache) == CStmTrussAnalysis::kSolved &&
                 model.GetCheckResults().strError.IsEmpty()
             ? nullptr
             : "the lattice was not solved and checked";
}

// Timed as Analyse runs it the first time against the bare pass of the same nodes and elements.
void BM_AnalysisWithChecks(benchmark::State& state) {
  CStmModel model;
  const int elements = BuildLatticeInConcrete(model, static_cast<int>(state.range(0)));
  SBenchView view;
  if (!view.Open(state, model)) return;
  TimeWorkAgainstDraw(
      state, view.wnd, "checks_over_bare", "checks_ms", "bare_ms",
      [&]() -> const char* {
        CStmTrussAnalysis analysis;
        return AnalyseAndCheck(model, analysis, nullptr);
      },
      [&] { BarePass(model); });
  state.counters["elements"] = elements;
}

// After one gesture: a node in the middle of the lattice moved (back and forth, so the lattice
// stays the same size), then analysed and checked again with the factorisation's pattern and the
// members' room in the concrete kept from the Analyse before.
void BM_AnalysisAfterGesture(benchmark::State& state) {
  CStmModel model;
  const int elements = BuildLatticeInConcrete(model, static_cast<int>(state.range(0)));
  SBenchView view;
  if (!view.Open(state, model)) return;
  CStmTrussAnalysis analysis;
  CStmCheckCache cache;
  if (const char* why = AnalyseAndCheck(model, analysis, &cache)) {
    state.SkipWithError(why);
    return;
  }
  CStmObjNode* moved = std::next(model.GetNodes().begin(), static_cast<long>(model.GetNodes().size() / 2))->second;
  const CVector home = moved->GetCoord();
  int gestures = 0;
  TimeWorkAgainstDraw(
      state, view.wnd, "gesture_over_bare", "gesture_ms", "bare_ms",
      [&]() -> const char* {
        model.ClearResults();
        moved->SetCoord(home + CVector(++gestures % 2 ? 0.1 * kCell : 0.0, 0.0, 0.0));
        return AnalyseAndCheck(model, analysis, &cache);
      },
      [&] { BarePass(model); });
  state.counters["elements"] = elements;
  state.counters["remeasured"] = cache.GetCountMeasured();
  // The floor under any Analyse that solves the truss twice, as the required widths ask: the two
  // solves alone (assembly, numeric factorisation, the cases), against the same bare frame.
  using Clock = std::chrono::steady_clock;
  constexpr int kSolves = 5;
  const auto start = Clock::now();
  for (int i = 0; i < kSolves; ++i) analysis.Solve();
  const double solveMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kSolves;
  state.counters["two_solves_over_bare"] = 2.0 * solveMs / state.counters["bare_ms"];
}

}  // namespace

BENCHMARK(BM_AnalysisWithChecks)
    ->Name("analysis_with_checks")
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisAfterGesture)
    ->Name("analysis_after_gesture")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisAgainstFrame)->ArgNames({"elements"})->Arg(10000)->Unit(benchmark::kMillisecond);
