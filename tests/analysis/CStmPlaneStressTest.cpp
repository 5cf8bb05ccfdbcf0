// The plane-stress cells against closed forms: the patch test, the cantilever of Timoshenko and
// Goodier under a parabolic end shear, and a simply supported beam's bending stress.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "analysis/CStmPlaneStress.h"

namespace {

// A structured mesh of nx by ny cells over [x0, x0 + lx] x [y0, y0 + ly]; point (i, j) is
// j * (nx + 1) + i.
struct SGrid {
  int nx, ny;
  std::vector<std::array<double, 2>> points;
  std::vector<std::array<int, 4>> cells;

  SGrid(int nxIn, int nyIn, double x0, double y0, double lx, double ly) : nx(nxIn), ny(nyIn) {
    for (int j = 0; j <= ny; ++j) {
      for (int i = 0; i <= nx; ++i) points.push_back({x0 + lx * i / nx, y0 + ly * j / ny});
    }
    for (int j = 0; j < ny; ++j) {
      for (int i = 0; i < nx; ++i) cells.push_back({At(i, j), At(i + 1, j), At(i + 1, j + 1), At(i, j + 1)});
    }
  }
  int At(int i, int j) const { return j * (nx + 1) + i; }

  // Nodal loads consistent with a traction t(y) on the side x = column, by 3-point Gauss per edge.
  void Traction(CStmPlaneStress& fe, int column, const std::function<std::array<double, 2>(double)>& t) const {
    const double g[3] = {-std::sqrt(0.6), 0.0, std::sqrt(0.6)}, w[3] = {5.0 / 9.0, 8.0 / 9.0, 5.0 / 9.0};
    for (int j = 0; j < ny; ++j) {
      const double y0 = points[static_cast<size_t>(At(column, j))][1];
      const double y1 = points[static_cast<size_t>(At(column, j + 1))][1];
      double f0[2] = {0, 0}, f1[2] = {0, 0};
      for (int k = 0; k < 3; ++k) {
        const double s = 0.5 * (g[k] + 1.0);
        const auto tr = t(y0 + s * (y1 - y0));
        for (int d = 0; d < 2; ++d) {
          f0[d] += w[k] * (1.0 - s) * tr[static_cast<size_t>(d)] * 0.5 * (y1 - y0);
          f1[d] += w[k] * s * tr[static_cast<size_t>(d)] * 0.5 * (y1 - y0);
        }
      }
      fe.AddLoad(At(column, j), f0[0], f0[1]);
      fe.AddLoad(At(column, j + 1), f1[0], f1[1]);
    }
  }
};

// Timoshenko and Goodier's cantilever, fixed at x = 0, shear P at x = L; with the exact tractions
// on both ends and only the three rigid motions held where the exact solution does not move
// (u = v = 0 at the fixed end's centre, u = 0 at its top corner), the cells converge to the exact
// tip deflection PL^3/(3EI) + (4 + 5 nu) P D^2 L / (24 EI).
double CantileverTip(int nx) {
  const double l = 48.0, d = 12.0, p = 1000.0, i = d * d * d / 12.0;
  SGrid grid(nx, nx / 4, 0.0, -d / 2, l, d);
  CStmPlaneStress fe;
  fe.SetMesh(grid.points, grid.cells);
  fe.SetMaterial(3e7, 0.3);
  fe.SetSupport(grid.At(0, grid.ny / 2), true, true);
  fe.SetSupport(grid.At(0, grid.ny), true, false);
  grid.Traction(fe, grid.nx, [&](double y) { return std::array<double, 2>{0.0, p / (2 * i) * (d * d / 4 - y * y)}; });
  grid.Traction(fe, 0, [&](double y) {
    return std::array<double, 2>{p * l * y / i, -p / (2 * i) * (d * d / 4 - y * y)};
  });
  EXPECT_TRUE(fe.Prepare());
  EXPECT_TRUE(fe.Solve());
  return fe.GetDisplacement(grid.At(grid.nx, grid.ny / 2))[1];
}

}  // namespace

// A distorted patch under the boundary forces of a uniform stress must give that stress in
// every cell: the inner points carry no load, so any fault in the integration, the folding of a
// cell's corners or the turned axes of a support shows there. The supports only hold the rigid
// motions (the loads balance), once along the plane's axes and once along turned ones.
TEST(CStmPlaneStress, PatchTestIsExactOnDistortedCellsAndTurnedSupports) {
  // The classic five-cell patch in the unit square, inner corners off any symmetry; one cell
  // given clockwise.
  const std::vector<std::array<double, 2>> points = {{0, 0}, {1, 0}, {1, 1}, {0, 1},
                                                     {0.2, 0.3}, {0.8, 0.15}, {0.75, 0.7}, {0.3, 0.8}};
  const std::vector<std::array<int, 4>> cells = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7},
                                                 {4, 7, 6, 5}};
  const double e = 1000.0, nu = 0.25, t = 2.0;
  const double sx = 3.0, sy = -1.0, txy = 0.5;
  // Each outer corner takes half of the traction of each side it ends.
  const double f[4][2] = {{-sx - txy, -txy - sy}, {sx - txy, txy - sy}, {sx + txy, txy + sy}, {-sx + txy, -txy + sy}};
  for (double turn : {0.0, 0.6}) {
    CStmPlaneStress fe;
    fe.SetMesh(points, cells);
    fe.SetMaterial(e, nu, std::vector<double>(cells.size(), t));
    for (int k = 0; k < 4; ++k) fe.AddLoad(k, 0.5 * t * f[k][0], 0.5 * t * f[k][1]);
    fe.SetSupport(0, true, true);
    fe.SetSupport(1, false, true, turn);
    ASSERT_TRUE(fe.Prepare());
    ASSERT_TRUE(fe.Solve());
    for (int cell = 0; cell < 5; ++cell) {
      const auto stress = fe.GetCellStress(cell);
      const double expected[3] = {sx, sy, txy};
      for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(stress[k], expected[k], 1e-10) << "cell " << cell << " turn " << turn;
    }
    // The held corner does not move along its held axis.
    const auto u1 = fe.GetDisplacement(1);
    EXPECT_NEAR(-std::sin(turn) * u1[0] + std::cos(turn) * u1[1], 0.0, 1e-15);
  }
}

TEST(CStmPlaneStress, CantileverTipDeflectionConvergesToTimoshenkoGoodier) {
  const double exact =
      1000.0 * std::pow(48.0, 3) / (3 * 3e7 * 144.0) + (4 + 5 * 0.3) * 1000.0 * 144.0 * 48.0 / (24 * 3e7 * 144.0);
  EXPECT_NEAR(exact, 0.00890, 5e-6);
  double last = 1.0;
  for (int nx : {16, 32, 64}) {
    const double error = std::fabs(CantileverTip(nx) / exact - 1.0);
    EXPECT_LT(error, last) << nx << " cells along";
    last = error;
  }
  EXPECT_LT(last, 0.01);
}

// A simply supported beam (span 10, depth 1) under a uniform load q on its top: the elasticity
// solution's bending stress at midspan's bottom fibre is qL^2/(8 Z) plus q/5 (Timoshenko and
// Goodier), i.e. sigma = 3 q L^2 / (4 d^2) + q / 5 for unit thickness.
TEST(CStmPlaneStress, SimplySupportedBeamMidspanStressMatchesElasticity) {
  const double l = 10.0, d = 1.0, q = 1.0;
  const int nx = 200, ny = 20;
  SGrid grid(nx, ny, 0.0, -d / 2, l, d);
  CStmPlaneStress fe;
  fe.SetMesh(grid.points, grid.cells);
  fe.SetMaterial(3e4, 0.2);
  // Supports at mid-depth on both ends, as the elasticity solution's: pin and roller.
  fe.SetSupport(grid.At(0, ny / 2), true, true);
  fe.SetSupport(grid.At(nx, ny / 2), false, true);
  for (int i = 0; i <= nx; ++i) fe.AddLoad(grid.At(i, ny), 0.0, -q * l / nx * (i == 0 || i == nx ? 0.5 : 1.0));
  ASSERT_TRUE(fe.Prepare());
  ASSERT_TRUE(fe.Solve());
  // The cells either side of midspan, in the bottom two rows: their centres lie half a cell and
  // one and a half above the fibre, where the stress is linear across the depth.
  const auto row = [&](int j) {
    return 0.5 * (fe.GetCellStress(j * nx + nx / 2 - 1)[0] + fe.GetCellStress(j * nx + nx / 2)[0]);
  };
  const double s0 = row(0), s1 = row(1);
  const double bottom = s0 + 0.5 * (s0 - s1);
  const double expected = 3 * q * l * l / (4 * d * d) + q / 5;
  EXPECT_NEAR(bottom / expected, 1.0, 0.02) << bottom << " vs " << expected;
}
