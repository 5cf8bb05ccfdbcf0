// The load path's cost against its physical limit: one solve and one ESO round, at about 5k, 20k
// and 80k cells, each as a ratio to one numeric Cholesky factorisation of the same stiffness in
// the same run; the memory of 100 re-solves; and a 20k-cell member taken to the end of ESO.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "analysis/CStmLoadPath.h"
#include "analysis/CStmPlaneStress.h"
#include "host/model/CStmModel.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Resident memory of this process in kB.
double ResidentKb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * 4.0;
}

// A deep beam of span twice its depth on a regular grid of about `cells` cells, pinned and on a
// roller at its bottom corners and loaded at the top middle.
void DeepBeamGrid(CStmPlaneStress& fe, int cells) {
  const int ny = std::max(2, static_cast<int>(std::lround(std::sqrt(cells / 2.0))) / 2 * 2);
  const int nx = 2 * ny;
  std::vector<std::array<double, 2>> points;
  std::vector<std::array<int, 4>> quads;
  const auto at = [nx](int i, int j) { return j * (nx + 1) + i; };
  for (int j = 0; j <= ny; ++j) {
    for (int i = 0; i <= nx; ++i) points.push_back({2000.0 * i / nx, 1000.0 * j / ny});
  }
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) quads.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
  }
  fe.SetMesh(std::move(points), std::move(quads));
  fe.SetMaterial(30.0, 0.2, std::vector<double>(static_cast<size_t>(nx * ny), 300.0));
  fe.SetSupport(at(0, 0), true, true);
  fe.SetSupport(at(nx, 0), false, true);
  fe.AddLoad(at(nx / 2, ny), 0.0, -500.0);
  fe.Prepare();
}

// A solve as ESO does it each round (assembly of the scaled cells, numeric factorisation, back
// substitution, the stress of every cell) against the factorisation alone; then 100 re-solves
// with cells switching off and on, whose memory must not grow.
void BM_LoadPathSolveOverFactorisation(benchmark::State& state) {
  CStmPlaneStress fe;
  DeepBeamGrid(fe, static_cast<int>(state.range(0)));
  double factorised = 0.0, solved = 0.0;
  bool factoriseFirst = true;
  for (auto _ : state) {
    // Each first in turn, so that neither always finds the caches the other left warm.
    for (int k = 0; k < 2; ++k) {
      const auto start = Clock::now();
      if (factoriseFirst == (k == 0)) {
        fe.FactorizeOnly();
        factorised += Seconds(start);
      } else {
        fe.Solve();
        double sum = 0.0;
        for (int c = 0; c < fe.GetCountCells(); ++c) sum += CStmPlaneStress::VonMises(fe.GetCellStress(c));
        benchmark::DoNotOptimize(sum);
        solved += Seconds(start);
      }
    }
    factoriseFirst = !factoriseFirst;
  }
  const double before = ResidentKb();
  for (int i = 0; i < 100; ++i) {
    fe.SetCellFactor(i % fe.GetCountCells(), i % 2 ? 1.0 : 1e-6);
    fe.Solve();
  }
  state.counters["cells"] = fe.GetCountCells();
  state.counters["solve_over_factorisation"] = solved / factorised;
  state.counters["factorisation_ms"] = factorised * 1e3 / static_cast<double>(state.iterations());
  state.counters["rss_kb"] = ResidentKb();
  state.counters["rss_growth_100_solves_kb"] = ResidentKb() - before;
}
BENCHMARK(BM_LoadPathSolveOverFactorisation)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

// A whole load path through Gmsh on a deep beam of about `cells` cells: the time of one ESO round
// (total over the solves it made) against one factorisation of the same mesh's stiffness. The
// largest member stops at 90 % of its area, which is enough rounds to measure.
void BM_LoadPathEsoRoundOverFactorisation(benchmark::State& state) {
  const int cells = static_cast<int>(state.range(0));
  CStmModel model;
  model.SetBoundary(STM_BOUNDARY_OUTER,
                    {CVector(0, 0, 0), CVector(2000, 0, 0), CVector(2000, 0, 1000), CVector(0, 0, 1000)});
  const int a = model.AddNode(CVector(0, 0, 0))->GetId();
  const int b = model.AddNode(CVector(2000, 0, 0))->GetId();
  const int l = model.AddNode(CVector(1000, 0, 1000))->GetId();
  model.AddRestraint(a, SStmDof{1, 0, 1, 0, 0, 0});
  model.AddRestraint(b, SStmDof{0, 0, 1, 0, 0, 0});
  model.AddLoadConditionStatic("P");
  model.AddLoadNode("P", l, CVector(0, 0, -500));
  SStmMaterials m = model.GetMaterials();
  m.dConcreteModulus = 30.0;
  m.dThickness = 300.0;
  m.loadPath.dElementSize = std::sqrt(2e6 / cells);
  m.loadPath.dTargetFraction = cells > 40000 ? 0.9 : 0.4;
  model.SetMaterials(m);
  double total = 0.0, factorised = 0.0;
  int rounds = 0;
  for (auto _ : state) {
    CStmLoadPath path;
    const auto start = Clock::now();
    if (path.Run(model, 0) != CStmLoadPath::kSolved) {
      state.SkipWithError(path.GetError().c_str());
      return;
    }
    total += Seconds(start);
    rounds += path.GetCountSolves();
    state.counters["cells"] = path.GetCountCells();
    state.counters["area_left"] = path.GetAreaLeft();
    // The same mesh and supports, factorised once.
    CStmPlaneStress fe;
    const SStmMeshPlane& mesh = model.GetMeshPlane();
    std::vector<std::array<double, 2>> points;
    for (const CDPoint& p : mesh.coords) points.push_back({p.x, p.y});
    std::vector<std::array<int, 4>> quads(mesh.quads.begin(), mesh.quads.end());
    fe.SetMesh(points, quads);
    fe.SetMaterial(30.0, 0.2, std::vector<double>(quads.size(), 300.0));
    for (size_t i = 0; i < points.size(); ++i) {
      if (points[i][1] == 0.0 && (points[i][0] == 0.0 || points[i][0] == 2000.0))
        fe.SetSupport(static_cast<int>(i), points[i][0] == 0.0, true);
    }
    fe.Prepare();
    const auto f = Clock::now();
    fe.FactorizeOnly();
    factorised += Seconds(f);
  }
  const double perRound = total / std::max(1, rounds);
  state.counters["rounds"] = static_cast<double>(rounds) / static_cast<double>(state.iterations());
  state.counters["eso_s"] = total / static_cast<double>(state.iterations());
  state.counters["round_over_factorisation"] = perRound / (factorised / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_LoadPathEsoRoundOverFactorisation)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
