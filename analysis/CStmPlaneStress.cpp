// Bilinear plane-stress cells on a sparse Cholesky factorisation kept across re-solves.
#include "analysis/CStmPlaneStress.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <algorithm>
#include <cmath>

namespace {

using SparseMatrix = Eigen::SparseMatrix<double>;

// Corners of the reference square, counter-clockwise.
constexpr double kXi[4] = {-1.0, 1.0, 1.0, -1.0};
constexpr double kEta[4] = {-1.0, -1.0, 1.0, 1.0};

// Derivatives of the shape functions by u and v at (xi, eta), and the Jacobian's determinant.
double ShapeDerivatives(const std::array<std::array<double, 2>, 4>& x, double xi, double eta, double dNdu[4],
                        double dNdv[4]) {
  double dNdxi[4], dNdeta[4];
  for (int k = 0; k < 4; ++k) {
    dNdxi[k] = 0.25 * kXi[k] * (1.0 + kEta[k] * eta);
    dNdeta[k] = 0.25 * kEta[k] * (1.0 + kXi[k] * xi);
  }
  double j11 = 0, j12 = 0, j21 = 0, j22 = 0;
  for (int k = 0; k < 4; ++k) {
    j11 += dNdxi[k] * x[k][0];
    j12 += dNdxi[k] * x[k][1];
    j21 += dNdeta[k] * x[k][0];
    j22 += dNdeta[k] * x[k][1];
  }
  const double det = j11 * j22 - j12 * j21;
  if (!(det > 0.0)) return det;
  for (int k = 0; k < 4; ++k) {
    dNdu[k] = (j22 * dNdxi[k] - j12 * dNdeta[k]) / det;
    dNdv[k] = (-j21 * dNdxi[k] + j11 * dNdeta[k]) / det;
  }
  return det;
}

}  // namespace

struct CStmPlaneStress::SSolver {
  SparseMatrix k;
  Eigen::SimplicialLLT<SparseMatrix, Eigen::Lower, Eigen::AMDOrdering<int>> llt;
};

CStmPlaneStress::CStmPlaneStress() = default;
CStmPlaneStress::~CStmPlaneStress() = default;

void CStmPlaneStress::SetMesh(std::vector<std::array<double, 2>> points, std::vector<std::array<int, 4>> cells) {
  m_points = std::move(points);
  m_cells = std::move(cells);
  // The reference square runs counter-clockwise; a clockwise cell is walked the other way round.
  for (auto& c : m_cells) {
    double twice = 0.0;
    for (int k = 0; k < 4; ++k) {
      const auto& a = m_points[static_cast<size_t>(c[static_cast<size_t>(k)])];
      const auto& b = m_points[static_cast<size_t>(c[static_cast<size_t>((k + 1) % 4)])];
      twice += a[0] * b[1] - b[0] * a[1];
    }
    if (twice < 0.0) std::swap(c[1], c[3]);
  }
  m_dofs.assign(m_points.size(), SPoint());
  m_factor.assign(m_cells.size(), 1.0);
  m_pSolver.reset();
}

void CStmPlaneStress::SetMaterial(double modulus, double poisson, std::vector<double> thickness) {
  m_dModulus = modulus;
  m_dPoisson = poisson;
  m_thickness = std::move(thickness);
}

void CStmPlaneStress::SetSupport(int point, bool fixedFirst, bool fixedSecond, double angle) {
  SPoint& p = m_dofs[static_cast<size_t>(point)];
  const double c = std::cos(angle), s = std::sin(angle);
  p.t[0][0] = c;
  p.t[0][1] = s;
  p.t[1][0] = -s;
  p.t[1][1] = c;
  p.fixed[0] = fixedFirst;
  p.fixed[1] = fixedSecond;
}

void CStmPlaneStress::SetSpring(int point, double kFirst, double kSecond) {
  SPoint& p = m_dofs[static_cast<size_t>(point)];
  p.spring[0] += kFirst;
  p.spring[1] += kSecond;
}

void CStmPlaneStress::AddLoad(int point, double fFirst, double fSecond) {
  SPoint& p = m_dofs[static_cast<size_t>(point)];
  p.load[0] += fFirst;
  p.load[1] += fSecond;
}

bool CStmPlaneStress::Prepare() {
  m_nEquations = 0;
  for (SPoint& p : m_dofs) {
    for (int i = 0; i < 2; ++i) p.eq[i] = p.fixed[i] ? -1 : m_nEquations++;
  }
  if (m_nEquations == 0) return false;
  const double e = m_dModulus, nu = m_dPoisson;
  const double d0 = e / (1.0 - nu * nu);
  const double d[3][3] = {{d0, d0 * nu, 0.0}, {d0 * nu, d0, 0.0}, {0.0, 0.0, d0 * 0.5 * (1.0 - nu)}};
  const double g = 1.0 / std::sqrt(3.0);
  m_cellK.assign(m_cells.size(), SCellMatrix{});
  m_area.assign(m_cells.size(), 0.0);
  for (size_t c = 0; c < m_cells.size(); ++c) {
    std::array<std::array<double, 2>, 4> x;
    for (size_t k = 0; k < 4; ++k) x[k] = m_points[static_cast<size_t>(m_cells[c][k])];
    const double t = m_thickness.empty() ? 1.0 : m_thickness[c];
    SCellMatrix& ke = m_cellK[c];
    for (int gp = 0; gp < 4; ++gp) {
      double dNdu[4], dNdv[4];
      const double det = ShapeDerivatives(x, kXi[gp] * g, kEta[gp] * g, dNdu, dNdv);
      if (!(det > 0.0)) return false;
      m_area[c] += det;
      // B is 3x8: rows strain u, strain v, shear; columns u0 v0 u1 v1 ...
      double b[3][8] = {};
      for (int k = 0; k < 4; ++k) {
        b[0][2 * k] = dNdu[k];
        b[1][2 * k + 1] = dNdv[k];
        b[2][2 * k] = dNdv[k];
        b[2][2 * k + 1] = dNdu[k];
      }
      double db[3][8];
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 8; ++j) db[i][j] = d[i][0] * b[0][j] + d[i][1] * b[1][j] + d[i][2] * b[2][j];
      }
      for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j)
          ke[static_cast<size_t>(i * 8 + j)] +=
              t * det * (b[0][i] * db[0][j] + b[1][i] * db[1][j] + b[2][i] * db[2][j]);
      }
    }
    // Into the points' own axes (turned by a roller angle): K' = T K T^T per pair of points.
    SCellMatrix turned{};
    for (int a = 0; a < 4; ++a) {
      const SPoint& pa = m_dofs[static_cast<size_t>(m_cells[c][static_cast<size_t>(a)])];
      for (int bb = 0; bb < 4; ++bb) {
        const SPoint& pb = m_dofs[static_cast<size_t>(m_cells[c][static_cast<size_t>(bb)])];
        for (int i = 0; i < 2; ++i) {
          for (int j = 0; j < 2; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 2; ++k) {
              for (int l = 0; l < 2; ++l)
                sum += pa.t[i][k] * ke[static_cast<size_t>((2 * a + k) * 8 + 2 * bb + l)] * pb.t[j][l];
            }
            turned[static_cast<size_t>((2 * a + i) * 8 + 2 * bb + j)] = sum;
          }
        }
      }
    }
    ke = turned;
  }

  // The pattern: every pair of free freedoms that share a cell, lower triangle only.
  std::vector<Eigen::Triplet<double>> triplets;
  triplets.reserve(m_cells.size() * 36 + m_dofs.size() * 2);
  const auto eqOf = [this](const std::array<int, 4>& cell, int i) {
    return m_dofs[static_cast<size_t>(cell[static_cast<size_t>(i / 2)])].eq[i % 2];
  };
  for (const auto& cell : m_cells) {
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const int r = eqOf(cell, i), col = eqOf(cell, j);
        if (r >= 0 && col >= 0 && r >= col) triplets.emplace_back(r, col, 1.0);
      }
    }
  }
  for (const SPoint& p : m_dofs) {
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j <= i; ++j) {
        if (p.eq[i] >= 0 && p.eq[j] >= 0 && (p.spring[0] != 0.0 || p.spring[1] != 0.0)) {
          triplets.emplace_back(std::max(p.eq[i], p.eq[j]), std::min(p.eq[i], p.eq[j]), 1.0);
        }
      }
    }
  }
  m_pSolver = std::make_unique<SSolver>();
  SparseMatrix& k = m_pSolver->k;
  k.resize(m_nEquations, m_nEquations);
  k.setFromTriplets(triplets.begin(), triplets.end());
  k.makeCompressed();
  const auto slotOf = [&k](int r, int col) {
    const int* begin = k.innerIndexPtr() + k.outerIndexPtr()[col];
    const int* end = k.innerIndexPtr() + k.outerIndexPtr()[col + 1];
    return static_cast<int>(std::lower_bound(begin, end, r) - k.innerIndexPtr());
  };
  m_cellSlots.assign(m_cells.size(), {});
  for (size_t c = 0; c < m_cells.size(); ++c) {
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const int r = eqOf(m_cells[c], i), col = eqOf(m_cells[c], j);
        m_cellSlots[c][static_cast<size_t>(i * 8 + j)] = r >= 0 && col >= 0 && r >= col ? slotOf(r, col) : -1;
      }
    }
  }
  // A spring acts along the plane's axes: in the point's own axes it is T diag(k) T^T.
  m_springSlots.clear();
  m_rhs.assign(static_cast<size_t>(m_nEquations), 0.0);
  for (const SPoint& p : m_dofs) {
    for (int i = 0; i < 2; ++i) {
      if (p.eq[i] >= 0) m_rhs[static_cast<size_t>(p.eq[i])] += p.t[i][0] * p.load[0] + p.t[i][1] * p.load[1];
      for (int j = 0; j <= i; ++j) {
        if (p.eq[i] < 0 || p.eq[j] < 0 || (p.spring[0] == 0.0 && p.spring[1] == 0.0)) continue;
        const double v = p.t[i][0] * p.spring[0] * p.t[j][0] + p.t[i][1] * p.spring[1] * p.t[j][1];
        m_springSlots.emplace_back(slotOf(std::max(p.eq[i], p.eq[j]), std::min(p.eq[i], p.eq[j])), v);
      }
    }
  }
  AssembleValues();
  m_pSolver->llt.analyzePattern(k);
  return true;
}

void CStmPlaneStress::SetCellFactor(int cell, double factor) { m_factor[static_cast<size_t>(cell)] = factor; }

void CStmPlaneStress::AssembleValues() {
  double* values = m_pSolver->k.valuePtr();
  std::fill(values, values + m_pSolver->k.nonZeros(), 0.0);
  for (size_t c = 0; c < m_cells.size(); ++c) {
    const double f = m_factor[c];
    const auto& slots = m_cellSlots[c];
    const auto& ke = m_cellK[c];
    for (size_t i = 0; i < 64; ++i) {
      if (slots[i] >= 0) values[slots[i]] += f * ke[i];
    }
  }
  for (const auto& [slot, v] : m_springSlots) values[slot] += v;
}

bool CStmPlaneStress::FactorizeOnly() {
  if (!m_pSolver) return false;
  m_pSolver->llt.factorize(m_pSolver->k);
  return m_pSolver->llt.info() == Eigen::Success;
}

bool CStmPlaneStress::Solve() {
  if (!m_pSolver) return false;
  AssembleValues();
  m_pSolver->llt.factorize(m_pSolver->k);
  if (m_pSolver->llt.info() != Eigen::Success) return false;
  const Eigen::Map<const Eigen::VectorXd> rhs(m_rhs.data(), m_nEquations);
  m_solution.resize(static_cast<size_t>(m_nEquations));
  Eigen::Map<Eigen::VectorXd>(m_solution.data(), m_nEquations) = m_pSolver->llt.solve(rhs);
  return m_pSolver->llt.info() == Eigen::Success;
}

std::array<double, 2> CStmPlaneStress::GetDisplacement(int point) const {
  const SPoint& p = m_dofs[static_cast<size_t>(point)];
  double local[2];
  for (int i = 0; i < 2; ++i)
    local[i] = p.eq[i] >= 0 && !m_solution.empty() ? m_solution[static_cast<size_t>(p.eq[i])] : 0.0;
  return {p.t[0][0] * local[0] + p.t[1][0] * local[1], p.t[0][1] * local[0] + p.t[1][1] * local[1]};
}

std::array<double, 3> CStmPlaneStress::GetCellStress(int cell) const {
  const auto& c = m_cells[static_cast<size_t>(cell)];
  std::array<std::array<double, 2>, 4> x;
  double u[8];
  for (size_t k = 0; k < 4; ++k) {
    x[k] = m_points[static_cast<size_t>(c[k])];
    const auto d = GetDisplacement(c[k]);
    u[2 * k] = d[0];
    u[2 * k + 1] = d[1];
  }
  double dNdu[4], dNdv[4];
  if (!(ShapeDerivatives(x, 0.0, 0.0, dNdu, dNdv) > 0.0)) return {0.0, 0.0, 0.0};
  double eu = 0, ev = 0, g = 0;
  for (int k = 0; k < 4; ++k) {
    eu += dNdu[k] * u[2 * k];
    ev += dNdv[k] * u[2 * k + 1];
    g += dNdv[k] * u[2 * k] + dNdu[k] * u[2 * k + 1];
  }
  const double d0 = m_dModulus / (1.0 - m_dPoisson * m_dPoisson);
  return {d0 * (eu + m_dPoisson * ev), d0 * (m_dPoisson * eu + ev), d0 * 0.5 * (1.0 - m_dPoisson) * g};
}

double CStmPlaneStress::VonMises(const std::array<double, 3>& s) {
  return std::sqrt(std::max(0.0, s[0] * s[0] - s[0] * s[1] + s[1] * s[1] + 3.0 * s[2] * s[2]));
}

void CStmPlaneStress::Principal(const std::array<double, 3>& s, double& s1, double& s2, double& angle) {
  const double mean = 0.5 * (s[0] + s[1]);
  const double radius = std::hypot(0.5 * (s[0] - s[1]), s[2]);
  s1 = mean + radius;
  s2 = mean - radius;
  angle = 0.5 * std::atan2(2.0 * s[2], s[0] - s[1]);
}
