// Linear plane-stress finite elements on a quadrilateral mesh: 4-node bilinear cells integrated
// with 2x2 Gauss points, solved on a sparse Cholesky factorisation whose ordering is found once
// and kept while the cells' stiffness factors change (the evolutionary removal only scales cells).
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

class CStmPlaneStress {
public:
  // Plane coordinates of the mesh points; cells as four point indices, either turning sense.
  void SetMesh(std::vector<std::array<double, 2>> points, std::vector<std::array<int, 4>> cells);
  // One material for every cell; thickness per cell (empty: 1 everywhere).
  void SetMaterial(double modulus, double poisson, std::vector<double> thickness = {});

  // A support at a point: its two freedoms along axes turned by angle (radians, counter-clockwise
  // from the plane's first axis), each held when fixed is set.
  void SetSupport(int point, bool fixedFirst, bool fixedSecond, double angle = 0.0);
  // A spring at a point along the plane's axes (force per length).
  void SetSpring(int point, double kFirst, double kSecond);
  void AddLoad(int point, double fFirst, double fSecond);

  // Numbers the freedoms and finds the sparsity and ordering of the stiffness. False when no
  // freedom is free or a cell is folded (its area not positive at a Gauss point).
  bool Prepare();
  // Scales a cell's stiffness (1 whole, a tiny value for a removed cell); takes hold at the next
  // Solve, which then only factorises numerically again.
  void SetCellFactor(int cell, double factor);
  // False when the factorisation fails (the stiffness is not positive definite).
  bool Solve();

  // Displacement of a point along the plane's axes, after Solve.
  std::array<double, 2> GetDisplacement(int point) const;
  // Stress (sigma_u, sigma_v, tau_uv) at the centre of a cell, after Solve.
  std::array<double, 3> GetCellStress(int cell) const;
  static double VonMises(const std::array<double, 3>& s);
  // Principal stresses (larger first) and the angle of the first's direction from the u axis.
  static void Principal(const std::array<double, 3>& s, double& s1, double& s2, double& angle);

  int GetCountPoints() const { return static_cast<int>(m_points.size()); }
  int GetCountCells() const { return static_cast<int>(m_cells.size()); }
  int GetCountEquations() const { return m_nEquations; }
  double GetCellArea(int cell) const { return m_area[static_cast<size_t>(cell)]; }
  const std::array<double, 2>& GetPoint(int point) const { return m_points[static_cast<size_t>(point)]; }
  const std::array<int, 4>& GetCell(int cell) const { return m_cells[static_cast<size_t>(cell)]; }

  // For the benchmark: one numeric factorisation of the current stiffness, nothing else.
  bool FactorizeOnly();

  CStmPlaneStress();
  ~CStmPlaneStress();
  CStmPlaneStress(const CStmPlaneStress&) = delete;
  CStmPlaneStress& operator=(const CStmPlaneStress&) = delete;

private:
  struct SSolver;
  using SCellMatrix = std::array<double, 64>;

  void AssembleValues();

  std::vector<std::array<double, 2>> m_points;
  std::vector<std::array<int, 4>> m_cells;
  double m_dModulus = 1.0;
  double m_dPoisson = 0.0;
  std::vector<double> m_thickness;
  // Per point: axes of its freedoms (rows), what holds them, its springs and loads.
  struct SPoint {
    double t[2][2] = {{1.0, 0.0}, {0.0, 1.0}};
    bool fixed[2] = {false, false};
    double spring[2] = {0.0, 0.0};
    double load[2] = {0.0, 0.0};
    int eq[2] = {-1, -1};
  };
  std::vector<SPoint> m_dofs;
  int m_nEquations = 0;
  // Per cell: its stiffness in the points' own axes, its factor, and where each of its 64 entries
  // lands among the sparse matrix's stored values (-1: a held freedom or the upper triangle).
  std::vector<SCellMatrix> m_cellK;
  std::vector<std::array<int, 64>> m_cellSlots;
  std::vector<double> m_factor;
  std::vector<double> m_area;
  // Spring entries: slot and value.
  std::vector<std::pair<int, double>> m_springSlots;
  std::vector<double> m_rhs;
  std::vector<double> m_solution;
  std::unique_ptr<SSolver> m_pSolver;
};
