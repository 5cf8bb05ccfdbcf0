// Direct stiffness method on a sparse LDL^T factorisation; a singular stiffness is turned into
// the mechanism it stands for instead of into forces.
#include "analysis/CStmTrussAnalysis.h"

#include <Eigen/Dense>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "geometry/StmGeometry.h"
#include "host/model/CStmModel.h"

namespace {

using SparseMatrix = Eigen::SparseMatrix<double>;

// The stiffness is factorised scaled to a unit diagonal, so each pivot is measured against its
// own freedom's stiffness and not against the stiffest spring or member in the model: a pivot
// this small is a freedom that nothing holds. Exact mechanisms leave round-off of about 1e-16
// here; stable models, stiff springs beside soft members included, stay far above, and the test
// gives the same answer in any force unit.
constexpr double kSingularPivot = 1e-11;
// A node moves with the mechanism when its share of the null space is above this fraction of
// the largest share.
constexpr double kMovingShare = 1e-6;
// Up to this many equations the null space is found exactly from a dense eigen-decomposition;
// beyond it by subspace iteration on the (unit-diagonal) stiffness shifted by this much, which
// leaves the mechanism's modes far the largest under the inverse.
constexpr int kDenseLimit = 1500;
constexpr double kShift = 1e-8;
constexpr int kIterations = 20;

// The plane's two axes as indices into (x, y, z), and the axis the roller angle turns about,
// the same as the support symbol uses, so that the analysis holds the node the way it is drawn.
struct SPlaneAxes {
  int first, second;
  CVector normal;
};

SPlaneAxes PlaneAxes(int plane) {
  switch (plane) {
    case STM_PLANE_XY: return {0, 1, CVector(0, 0, -1)};
    case STM_PLANE_YZ: return {1, 2, CVector(-1, 0, 0)};
    default: return {0, 2, CVector(0, -1, 0)};
  }
}

double Component(const CVector& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

CVector AxisVector(int axis) { return CVector(axis == 0 ? 1 : 0, axis == 1 ? 1 : 0, axis == 2 ? 1 : 0); }

int DofFlag(const SStmDof& dof, int axis) { return axis == 0 ? dof.Ux : axis == 1 ? dof.Uy : dof.Uz; }

// An orthonormal basis (one column per mode) of the freedoms that move without straining.
Eigen::MatrixXd NullSpace(const SparseMatrix& k, int guess) {
  const int n = static_cast<int>(k.rows());
  const double limit = kSingularPivot;
  if (n <= kDenseLimit) {
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen{Eigen::MatrixXd(k)};
    int count = 0;
    while (count < n && eigen.eigenvalues()(count) <= limit) ++count;
    return eigen.eigenvectors().leftCols(count);
  }
  SparseMatrix shift(n, n);
  shift.setIdentity();
  const SparseMatrix shifted = k + shift * kShift;
  Eigen::SimplicialLDLT<SparseMatrix> inverse(shifted);
  if (inverse.info() != Eigen::Success) return Eigen::MatrixXd(n, 0);
  for (int p = std::min(n, guess + 4);; p = std::min(n, 2 * p)) {
    // A fixed start, so that the same model always names the same mechanism.
    Eigen::MatrixXd x(n, p);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < p; ++j) x(i, j) = std::sin(1.0 + 0.7 * i + 1.3 * j + 0.11 * i * j);
    }
    for (int it = 0; it < kIterations; ++it) {
      x = inverse.solve(x);
      Eigen::HouseholderQR<Eigen::MatrixXd> qr(x);
      x = qr.householderQ() * Eigen::MatrixXd::Identity(n, p);
    }
    const Eigen::MatrixXd projected = x.transpose() * (k * x);
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> ritz(projected);
    int count = 0;
    while (count < p && ritz.eigenvalues()(count) <= limit) ++count;
    // Room to spare shows the whole null space was caught.
    if (count < p || p == n) return x * ritz.eigenvectors().leftCols(count);
  }
}

// Ray casting in the drawing plane; a point on an edge may fall either way.
bool IsInside(const std::vector<CVector>& polygon, const SPlaneAxes& axes, double u, double v) {
  bool inside = false;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const double ui = Component(polygon[i], axes.first), vi = Component(polygon[i], axes.second);
    const double uj = Component(polygon[j], axes.first), vj = Component(polygon[j], axes.second);
    if ((vi > v) != (vj > v) && u < ui + (v - vi) * (uj - ui) / (vj - vi)) inside = !inside;
  }
  return inside;
}

}  // namespace

void CStmTrussAnalysis::SetStiffnessFromMaterials(const CStmModel& model) {
  const SStmMaterials& m = model.GetMaterials();
  const SPlaneAxes axes = PlaneAxes(model.GetPlane());
  const CStmDataDefine& define = *model.GetStmDataDefine();
  std::vector<const CStmObjArea*> areas;
  for (const auto& [id, area] : model.GetPropertyAreas()) {
    if (area->IsEnable() && area->GetThickness() > 0.0 && area->GetBoundaryPos().size() >= 3) areas.push_back(area);
  }
  m_nMissing = m.dConcreteModulus > 0.0 ? 0 : kMissingConcreteModulus;
  for (SElement& e : m_elements) {
    const CStmObjElement& element = *model.GetElement(e.id);
    const CVector& a = model.GetNode(element.GetIdNodeBegin())->GetCoord();
    const CVector& b = model.GetNode(element.GetIdNodeEnd())->GetCoord();
    const double u = 0.5 * (Component(a, axes.first) + Component(b, axes.first));
    const double v = 0.5 * (Component(a, axes.second) + Component(b, axes.second));
    double t = m.dThickness;
    for (const CStmObjArea* area : areas) {
      if (IsInside(area->GetBoundaryPos(), axes, u, v)) t = area->GetThickness();
    }
    if (!(t > 0.0)) m_nMissing |= kMissingThickness;
    e.thickness = t;
    const SStmPropElement& prop = element.GetProperty();
    const double w = prop.nTypeWidth == 0 && prop.dWidth > 0.0 ? prop.dWidth : t;
    const SStmTieType* tie = define.GetTieType(element.GetIndexTieType());
    const double steel = tie && tie->nBars > 0 && tie->dDiameter > 0.0
                             ? tie->nBars * std::acos(-1.0) * tie->dDiameter * tie->dDiameter / 4.0
                             : 0.0;
    const bool isTie = prop.nTypeMember == 2 || (prop.nTypeMember == 0 && steel > 0.0);
    if (isTie && steel > 0.0) {
      if (!(m.dSteelModulus > 0.0)) m_nMissing |= kMissingSteelModulus;
      e.ea = m.dSteelModulus * steel;
    } else {
      e.ea = m.dConcreteModulus * t * w;
    }
  }
  if (m_nMissing != 0) {
    for (SElement& e : m_elements) e.ea = m_dAxialStiffness;
  }
}

double CStmTrussAnalysis::StiffnessOf(const SElement& e) const {
  const auto it = m_memberStiffness.find(e.id);
  return it != m_memberStiffness.end() ? it->second : e.ea;
}

const CStmTrussAnalysis::SElement* CStmTrussAnalysis::FindElement(int idElement) const {
  const auto it = m_elementIndex.find(idElement);
  return it == m_elementIndex.end() ? nullptr : &m_elements[it->second];
}

double CStmTrussAnalysis::GetMemberStiffness(int idElement) const {
  const SElement* e = FindElement(idElement);
  return e ? StiffnessOf(*e) : 0.0;
}

double CStmTrussAnalysis::GetMemberThickness(int idElement) const {
  const SElement* e = FindElement(idElement);
  return e ? e->thickness : 0.0;
}

void CStmTrussAnalysis::Prepare(const CStmModel& model) {
  const double ea = m_dAxialStiffness;
  std::map<int, double> memberStiffness = std::move(m_memberStiffness);
  *this = CStmTrussAnalysis();
  m_dAxialStiffness = ea;
  m_memberStiffness = std::move(memberStiffness);
  const SPlaneAxes axes = PlaneAxes(model.GetPlane());
  std::unordered_map<int, int> index;
  const auto nodeIndex = [&](const CStmObjNode* node) {
    auto [it, added] = index.emplace(node->GetId(), static_cast<int>(m_nodes.size()));
    if (added) {
      SNode n;
      n.id = node->GetId();
      m_nodes.push_back(n);
    }
    return it->second;
  };
  for (const auto& [id, element] : model.GetElements()) {
    m_allElements.push_back(id);
    const CStmObjNode* a = model.GetNode(element->GetIdNodeBegin());
    const CStmObjNode* b = model.GetNode(element->GetIdNodeEnd());
    if (!element->IsEnable() || !a || !b || !a->IsEnable() || !b->IsEnable()) continue;
    const double du = Component(b->GetCoord(), axes.first) - Component(a->GetCoord(), axes.first);
    const double dv = Component(b->GetCoord(), axes.second) - Component(a->GetCoord(), axes.second);
    const double length = std::hypot(du, dv);
    // Two nodes on one point in the plane give no direction to carry a force along.
    if (!(length > kStmPointTolerance)) continue;
    SElement e;
    e.id = id;
    e.a = nodeIndex(a);
    e.b = nodeIndex(b);
    e.c[0] = du / length;
    e.c[1] = dv / length;
    e.length = length;
    m_elements.push_back(e);
  }
  if (m_elements.empty()) return;
  for (size_t e = 0; e < m_elements.size(); ++e) m_elementIndex.emplace(m_elements[e].id, e);
  SetStiffnessFromMaterials(model);

  // A load on a node that no element reaches still has to be carried: the node joins, free.
  std::map<const CStmObjLoadConditionStatic*, int> caseOf;
  for (const auto& [id, condition] : model.GetLoadConditionStatics()) {
    caseOf.emplace(condition, static_cast<int>(m_cases.size()));
    std::vector<SLoad> loads;
    for (const auto& [idLoad, load] : condition->GetLoadNodes()) {
      const CStmObjNode* node = model.GetNode(load->GetIdNode());
      if (!load->IsEnable() || !node || !node->IsEnable()) continue;
      SLoad l;
      l.f[0] = Component(load->GetLoad(), axes.first);
      l.f[1] = Component(load->GetLoad(), axes.second);
      if (l.f[0] == 0.0 && l.f[1] == 0.0) continue;
      l.node = nodeIndex(node);
      loads.push_back(l);
    }
    m_cases.push_back(std::move(loads));
  }
  for (const auto& [id, combo] : model.GetLoadConditionCombos()) {
    std::vector<std::pair<int, double>> terms;
    for (const auto& [condition, weight] : model.GetComboWeights(*combo)) {
      const auto it = caseOf.find(condition);
      if (it != caseOf.end()) terms.emplace_back(it->second, weight);
    }
    m_combos.push_back(std::move(terms));
  }

  // Supports: a restraint turns the node's axes by its roller angle and holds the freedoms it
  // fixes; a spring acts along the plane's axes.
  int equations = 0;
  for (SNode& n : m_nodes) {
    int fixed[2] = {0, 0};
    if (const CStmObjRestraint* restraint = model.GetRestraintNode(n.id, 1)) {
      const CDPoint cs = GetCosSinFromDegree(restraint->GetRollerAngle());
      for (int i = 0; i < 2; ++i) {
        const int axis = i == 0 ? axes.first : axes.second;
        const CVector turned = GetRotatedPoint(AxisVector(axis), CVector(), axes.normal, cs);
        n.t[i][0] = Component(turned, axes.first);
        n.t[i][1] = Component(turned, axes.second);
        fixed[i] = DofFlag(restraint->GetDof(), axis) != 0 ? 1 : 0;
      }
    }
    int springs = 0;
    const CStmObjSpring* spring = model.GetSpringNode(n.id);
    if (spring && spring->IsEnable()) {
      n.spring[0] = std::max(0.0, Component(spring->GetU(), axes.first));
      n.spring[1] = std::max(0.0, Component(spring->GetU(), axes.second));
      springs = (n.spring[0] > 0.0 ? 1 : 0) + (n.spring[1] > 0.0 ? 1 : 0);
    }
    for (int i = 0; i < 2; ++i) n.eq[i] = fixed[i] ? -1 : equations++;
    m_nConstraints += std::min(2, fixed[0] + fixed[1] + springs);
  }
  m_nEquations = equations;
}

CStmTrussAnalysis::EStatus CStmTrussAnalysis::Solve(std::atomic<int>* progress) {
  m_mechanismNodes.clear();
  m_mechanismElements.clear();
  m_forces.clear();
  m_nModes = 0;
  if (m_elements.empty()) return m_eStatus = kEmpty;

  // The direction of an element at one of its nodes, in that node's axes.
  const auto local = [](const SElement& e, const SNode& n, double out[2]) {
    for (int i = 0; i < 2; ++i) out[i] = n.t[i][0] * e.c[0] + n.t[i][1] * e.c[1];
  };
  std::vector<Eigen::Triplet<double>> triplets;
  triplets.reserve(m_elements.size() * 16 + m_nodes.size() * 4);
  for (const SElement& e : m_elements) {
    const double k = StiffnessOf(e) / e.length;
    const SNode* ends[2] = {&m_nodes[static_cast<size_t>(e.a)], &m_nodes[static_cast<size_t>(e.b)]};
    double d[2][2];
    local(e, *ends[0], d[0]);
    local(e, *ends[1], d[1]);
    for (int p = 0; p < 2; ++p) {
      for (int q = 0; q < 2; ++q) {
        const double sign = p == q ? 1.0 : -1.0;
        for (int i = 0; i < 2; ++i) {
          for (int j = 0; j < 2; ++j) {
            const int r = ends[p]->eq[i], c = ends[q]->eq[j];
            if (r >= 0 && c >= 0) triplets.emplace_back(r, c, sign * k * d[p][i] * d[q][j]);
          }
        }
      }
    }
  }
  for (const SNode& n : m_nodes) {
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j < 2; ++j) {
        const double s = n.t[i][0] * n.spring[0] * n.t[j][0] + n.t[i][1] * n.spring[1] * n.t[j][1];
        if (n.eq[i] >= 0 && n.eq[j] >= 0 && s != 0.0) triplets.emplace_back(n.eq[i], n.eq[j], s);
      }
    }
  }
  SparseMatrix k(m_nEquations, m_nEquations);
  k.setFromTriplets(triplets.begin(), triplets.end());

  // Scaled to a unit diagonal: k = S^-1 ks S^-1 with S = diag(1 / sqrt(k_ii)). A freedom with
  // no stiffness at all keeps a zero on the diagonal and fails the pivot test.
  Eigen::VectorXd scale = Eigen::VectorXd::Ones(m_nEquations);
  for (int i = 0; i < m_nEquations; ++i) {
    const double d = k.coeff(i, i);
    if (d > 0.0 && std::isfinite(d)) scale(i) = 1.0 / std::sqrt(d);
  }
  const SparseMatrix scaled = scale.asDiagonal() * k * scale.asDiagonal();
  Eigen::SimplicialLDLT<SparseMatrix> ldlt;
  bool singular = false;
  if (m_nEquations > 0) {
    ldlt.compute(scaled);
    singular = ldlt.info() != Eigen::Success || !(ldlt.vectorD().minCoeff() > kSingularPivot);
    if (singular) {
      std::vector<size_t> eqNode(static_cast<size_t>(m_nEquations), 0);
      for (size_t n = 0; n < m_nodes.size(); ++n) {
        for (int i = 0; i < 2; ++i) {
          if (m_nodes[n].eq[i] >= 0) eqNode[static_cast<size_t>(m_nodes[n].eq[i])] = n;
        }
      }
      // The vanishing pivots guess how many ways it can move; a failed factorisation stopped at
      // the first.
      int guess = 1;
      if (ldlt.info() == Eigen::Success) {
        guess = static_cast<int>((ldlt.vectorD().array() <= kSingularPivot).count());
      }
      // The null space of the scaled stiffness, turned back into displacements.
      const Eigen::MatrixXd basis = scale.asDiagonal() * NullSpace(scaled, std::max(guess, 1));
      std::vector<double> motion(m_nodes.size(), 0.0);
      for (int r = 0; r < basis.rows(); ++r) motion[eqNode[static_cast<size_t>(r)]] += basis.row(r).squaredNorm();
      const int modes = static_cast<int>(basis.cols());
      NameMechanism(motion, std::max(modes, 1));
      return m_eStatus = kMechanism;
    }
  }
  m_nIndeterminacy = static_cast<int>(m_elements.size()) + m_nConstraints - 2 * static_cast<int>(m_nodes.size());
  if (progress) ++*progress;
  if (m_cases.empty()) return m_eStatus = kNoLoadCase;

  const size_t cases = m_cases.size() + m_combos.size();
  m_forces.assign(m_elements.size(), std::vector<double>(cases, 0.0));
  std::vector<double> u(m_nodes.size() * 2);
  for (size_t c = 0; c < m_cases.size(); ++c) {
    Eigen::VectorXd f = Eigen::VectorXd::Zero(m_nEquations);
    for (const SLoad& load : m_cases[c]) {
      const SNode& n = m_nodes[static_cast<size_t>(load.node)];
      for (int i = 0; i < 2; ++i) {
        if (n.eq[i] >= 0) f(n.eq[i]) += n.t[i][0] * load.f[0] + n.t[i][1] * load.f[1];
      }
    }
    const Eigen::VectorXd q =
        m_nEquations > 0 ? Eigen::VectorXd(scale.asDiagonal() * ldlt.solve(scale.asDiagonal() * f)) : f;
    for (size_t n = 0; n < m_nodes.size(); ++n) {
      const SNode& node = m_nodes[n];
      u[2 * n] = u[2 * n + 1] = 0.0;
      for (int i = 0; i < 2; ++i) {
        const double qi = node.eq[i] >= 0 ? q(node.eq[i]) : 0.0;
        u[2 * n] += qi * node.t[i][0];
        u[2 * n + 1] += qi * node.t[i][1];
      }
    }
    for (size_t e = 0; e < m_elements.size(); ++e) {
      const SElement& el = m_elements[e];
      const size_t a = static_cast<size_t>(el.a) * 2, b = static_cast<size_t>(el.b) * 2;
      const double stretch = el.c[0] * (u[b] - u[a]) + el.c[1] * (u[b + 1] - u[a + 1]);
      m_forces[e][c] = StiffnessOf(el) / el.length * stretch;
    }
    if (progress) ++*progress;
  }
  // Linear: a combination is the sum of its factored cases.
  for (size_t m = 0; m < m_combos.size(); ++m) {
    for (auto& forces : m_forces) {
      double sum = 0.0;
      for (const auto& [c, weight] : m_combos[m]) sum += weight * forces[static_cast<size_t>(c)];
      forces[m_cases.size() + m] = sum;
    }
  }
  return m_eStatus = kSolved;
}

void CStmTrussAnalysis::NameMechanism(const std::vector<double>& motion, int modes) {
  m_nModes = modes;
  const double top = motion.empty() ? 0.0 : *std::max_element(motion.begin(), motion.end());
  std::vector<char> moving(motion.size(), 0);
  for (size_t n = 0; n < motion.size(); ++n) {
    // Shares are squares of the basis entries.
    if (top > 0.0 && motion[n] > kMovingShare * kMovingShare * top) {
      moving[n] = 1;
      m_mechanismNodes.push_back(m_nodes[n].id);
    }
  }
  for (const SElement& e : m_elements) {
    if (moving[static_cast<size_t>(e.a)] || moving[static_cast<size_t>(e.b)]) m_mechanismElements.push_back(e.id);
  }
  std::sort(m_mechanismNodes.begin(), m_mechanismNodes.end());
  std::sort(m_mechanismElements.begin(), m_mechanismElements.end());
}

void CStmTrussAnalysis::Apply(CStmModel& model) const {
  if (m_eStatus != kSolved) return;
  const size_t cases = m_cases.size() + m_combos.size();
  std::unordered_map<int, size_t> row;
  for (size_t e = 0; e < m_elements.size(); ++e) row.emplace(m_elements[e].id, e);
  for (int id : m_allElements) {
    CStmObjElement* element = model.GetElement(id);
    if (!element) continue;
    const auto it = row.find(id);
    element->SetResultAxialForces(it == row.end() ? std::vector<double>(cases, 0.0) : m_forces[it->second]);
  }
  model.SetLock(1);
}

CStmTrussAnalysis::EStatus CStmTrussAnalysis::Run(CStmModel& model) {
  Prepare(model);
  Solve();
  Apply(model);
  return m_eStatus;
}

double CStmTrussAnalysis::GetForce(int idElement, int loadCase) const {
  const auto it = m_elementIndex.find(idElement);
  if (loadCase < 0 || it == m_elementIndex.end() || it->second >= m_forces.size()) return 0.0;
  const std::vector<double>& forces = m_forces[it->second];
  return static_cast<size_t>(loadCase) < forces.size() ? forces[static_cast<size_t>(loadCase)] : 0.0;
}
