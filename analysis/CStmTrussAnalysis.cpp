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

#include "analysis/StmBoxGrid.h"
#include "analysis/StmDenseIndex.h"
#include "geometry/StmGeometry.h"
#include "host/model/CStmModel.h"
#include "host/model/StmOutlineElements.h"
#include "host/platform/StmTextN.h"

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
// A stability element is named when it carries more than this share of the case's largest force.
constexpr double kStabilityShare = 0.01;
// A declared type is contradicted by a force of the other sign above this share of the largest.
constexpr double kSignShare = 1e-6;
// Warnings of one kind beyond this many are only counted.
constexpr size_t kWarningsOfAKind = 50;
// Names listed in one warning before the rest are only counted.
constexpr size_t kNamesListed = 8;

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

// "A, B and C", or "A, B, ... and 5 more".
CString NameList(const std::vector<std::string>& names) {
  CString out;
  const size_t shown = names.size() > kNamesListed ? kNamesListed - 1 : names.size();
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) out += i + 1 == names.size() ? StmText(" and ") : CString(", ");
    out += names[i];
  }
  if (shown < names.size()) {
    out += StmTextCount(" and %d more", " and %d more", names.size() - shown);
  }
  return out;
}

}  // namespace

struct CStmTrussAnalysis::SFactor {
  Eigen::SimplicialLDLT<SparseMatrix> ldlt;
  // The sparsity the symbolic part was found for.
  std::vector<SparseMatrix::StorageIndex> outer, inner;

  // Numerically identical to a fresh compute(): the ordering and elimination tree depend on the
  // sparsity alone.
  void Factorise(const SparseMatrix& k) {
    const auto* outerBegin = k.outerIndexPtr();
    const auto* innerBegin = k.innerIndexPtr();
    const size_t outerCount = static_cast<size_t>(k.outerSize()) + 1;
    const size_t innerCount = static_cast<size_t>(k.nonZeros());
    if (!std::equal(outer.begin(), outer.end(), outerBegin, outerBegin + outerCount) ||
        !std::equal(inner.begin(), inner.end(), innerBegin, innerBegin + innerCount)) {
      ldlt.analyzePattern(k);
      outer.assign(outerBegin, outerBegin + outerCount);
      inner.assign(innerBegin, innerBegin + innerCount);
    }
    ldlt.factorize(k);
  }
};

CStmTrussAnalysis::CStmTrussAnalysis() = default;
CStmTrussAnalysis::~CStmTrussAnalysis() = default;
CStmTrussAnalysis::CStmTrussAnalysis(CStmTrussAnalysis&&) noexcept = default;
CStmTrussAnalysis& CStmTrussAnalysis::operator=(CStmTrussAnalysis&&) noexcept = default;

void CStmTrussAnalysis::SetStiffnessFromMaterials(const CStmModel& model,
                                                  const std::vector<const CStmObjElement*>& records) {
  const SStmMaterials& m = model.GetMaterials();
  const SPlaneAxes axes = PlaneAxes(model.GetPlane());
  const CStmDataDefine& define = *model.GetStmDataDefine();
  std::vector<const CStmObjArea*> areas;
  for (const auto& [id, area] : model.GetPropertyAreas()) {
    if (area->IsEnable() && area->GetThickness() > 0.0 && area->GetBoundaryPos().size() >= 3) areas.push_back(area);
  }
  m_nMissing = m.dConcreteModulus > 0.0 ? 0 : kMissingConcreteModulus;
  for (size_t i = 0; i < m_elements.size(); ++i) {
    SElement& e = m_elements[i];
    const CStmObjElement& element = *records[i];
    const double* a = m_nodes[static_cast<size_t>(e.a)].p;
    const double* b = m_nodes[static_cast<size_t>(e.b)].p;
    const double u = 0.5 * (a[0] + b[0]);
    const double v = 0.5 * (a[1] + b[1]);
    double t = m.dThickness;
    for (const CStmObjArea* area : areas) {
      if (IsInside(area->GetBoundaryPos(), axes, u, v)) t = area->GetThickness();
    }
    if (!(t > 0.0)) m_nMissing |= kMissingThickness;
    e.thickness = t;
    const SStmPropElement& prop = element.GetProperty();
    const bool designed = prop.nTypeWidth == 0 && prop.dWidth > 0.0;
    const double w = designed ? prop.dWidth : t;
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
      e.widthOpen = !designed;
    }
  }
  if (m_nMissing != 0) {
    for (SElement& e : m_elements) {
      e.ea = m_dAxialStiffness;
      e.widthOpen = false;
    }
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

bool CStmTrussAnalysis::IsWidthOpen(int idElement) const {
  const SElement* e = FindElement(idElement);
  return e && e->widthOpen;
}

double CStmTrussAnalysis::GetMemberThickness(int idElement) const {
  const SElement* e = FindElement(idElement);
  return e ? e->thickness : 0.0;
}

void CStmTrussAnalysis::Prepare(const CStmModel& model) {
  const double ea = m_dAxialStiffness;
  std::map<int, double> memberStiffness = std::move(m_memberStiffness);
  std::unique_ptr<SFactor> factor = std::move(m_pFactor);
  *this = CStmTrussAnalysis();
  m_dAxialStiffness = ea;
  m_memberStiffness = std::move(memberStiffness);
  m_pFactor = std::move(factor);
  const SPlaneAxes axes = PlaneAxes(model.GetPlane());
  m_nAxis[0] = axes.first;
  m_nAxis[1] = axes.second;
  const int normal = 3 - axes.first - axes.second;
  m_strUnitForce = model.GetUnitForce().c_str();
  m_nDecimals = std::clamp(model.GetStmDataView() ? model.GetStmDataView()->GetFixedPointNumber() : 1, 0, 15);
  for (const auto& [id, condition] : model.GetLoadConditionStatics())
    m_caseNames.push_back(condition->GetName().c_str());
  for (const auto& [id, combo] : model.GetLoadConditionCombos()) m_caseNames.push_back(combo->GetName().c_str());

  // Elements that only form an outline are no members (the view draws them as outline); the
  // corner only such an element reaches is left out with it.
  std::vector<std::string> leftOut;
  const CStmDenseIndex<CStmObjNode> nodeOf(model.GetNodes());
  std::unordered_map<int, int> index;
  index.reserve(model.GetNodes().size());
  // The model's record of each analysed element.
  std::vector<const CStmObjElement*> records;
  const auto nodeIndex = [&](const CStmObjNode* node) {
    auto [it, added] = index.emplace(node->GetId(), static_cast<int>(m_nodes.size()));
    if (added) {
      SNode n;
      n.id = node->GetId();
      n.name = node->GetName().c_str();
      n.p[0] = Component(node->GetCoord(), axes.first);
      n.p[1] = Component(node->GetCoord(), axes.second);
      n.w = Component(node->GetCoord(), normal);
      m_nodes.push_back(n);
    }
    return it->second;
  };
  for (const auto& [id, element] : model.GetElements()) {
    m_allElements.push_back(id);
    const CStmObjNode* a = nodeOf(element->GetIdNodeBegin());
    const CStmObjNode* b = nodeOf(element->GetIdNodeEnd());
    if (!element->IsEnable() || !a || !b || !a->IsEnable() || !b->IsEnable()) continue;
    if (StmOnlyFormsOutline(model, *element)) {
      leftOut.push_back(element->GetName().c_str());
      continue;
    }
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
    e.name = element->GetName().c_str();
    e.stable = element->IsStableElement() != 0;
    e.declared = element->GetProperty().nTypeMember;
    m_elements.push_back(e);
    records.push_back(element);
  }
  if (!leftOut.empty()) {
    CString text;
    text.Format((leftOut.size() == 1 ? StmText("Element %s only forms the outline and is left out of the truss")
                                     : StmText("Elements %s only form the outline and are left out of the truss"))
                    .c_str(),
                NameList(leftOut).c_str());
    m_warnings.push_back(text);
  }
  if (m_elements.empty()) {
    m_nInputWarnings = m_warnings.size();
    return;
  }
  for (size_t e = 0; e < m_elements.size(); ++e) m_elementIndex.emplace(m_elements[e].id, e);
  SetStiffnessFromMaterials(model, records);

  // A load on a node that no element reaches still has to be carried: the node joins, free.
  std::map<const CStmObjLoadConditionStatic*, int> caseOf;
  size_t outOfPlane = 0;
  for (const auto& [id, condition] : model.GetLoadConditionStatics()) {
    caseOf.emplace(condition, static_cast<int>(m_cases.size()));
    std::vector<SLoad> loads;
    for (const auto& [idLoad, load] : condition->GetLoadNodes()) {
      const CStmObjNode* node = nodeOf(load->GetIdNode());
      if (!load->IsEnable() || !node || !node->IsEnable()) continue;
      const double across = Component(load->GetLoad(), normal);
      if (across != 0.0 && outOfPlane++ < kWarningsOfAKind) {
        CString text;
        text.Format(StmText("The load on node %s in %s has %.*f %s out of the model's plane; the truss cannot "
                            "carry it and it is left out")
                        .c_str(),
                    node->GetName().c_str(), condition->GetName().c_str(), m_nDecimals, across,
                    m_strUnitForce.c_str());
        m_warnings.push_back(text);
      }
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
  // The first enabled restraint and spring of each node, as the model gives them by node.
  std::unordered_map<int, const CStmObjRestraint*> restraints;
  std::unordered_map<int, const CStmObjSpring*> springs;
  for (const auto& [id, restraint] : model.GetRestraints())
    if (restraint->IsEnable()) restraints.emplace(restraint->GetIdNode(), restraint);
  for (const auto& [id, spring] : model.GetSprings())
    if (spring->IsEnable()) springs.emplace(spring->GetIdNode(), spring);
  int equations = 0;
  for (SNode& n : m_nodes) {
    int fixed[2] = {0, 0};
    const auto held = restraints.find(n.id);
    if (const CStmObjRestraint* restraint = held == restraints.end() ? nullptr : held->second) {
      const CDPoint cs = GetCosSinFromDegree(restraint->GetRollerAngle());
      for (int i = 0; i < 2; ++i) {
        const int axis = i == 0 ? axes.first : axes.second;
        const CVector turned = GetRotatedPoint(AxisVector(axis), CVector(), axes.normal, cs);
        n.t[i][0] = Component(turned, axes.first);
        n.t[i][1] = Component(turned, axes.second);
        fixed[i] = DofFlag(restraint->GetDof(), axis) != 0 ? 1 : 0;
      }
    }
    int sprung = 0;
    const auto found = springs.find(n.id);
    if (const CStmObjSpring* spring = found == springs.end() ? nullptr : found->second) {
      n.spring[0] = std::max(0.0, Component(spring->GetU(), axes.first));
      n.spring[1] = std::max(0.0, Component(spring->GetU(), axes.second));
      sprung = (n.spring[0] > 0.0 ? 1 : 0) + (n.spring[1] > 0.0 ? 1 : 0);
    }
    for (int i = 0; i < 2; ++i) n.eq[i] = fixed[i] ? -1 : equations++;
    m_nConstraints += std::min(2, fixed[0] + fixed[1] + sprung);
    n.supported = fixed[0] + fixed[1] + sprung > 0;
    if (n.supported) m_supportNodes.push_back(static_cast<size_t>(&n - m_nodes.data()));
  }
  m_nEquations = equations;
  if (outOfPlane > kWarningsOfAKind) {
    m_warnings.push_back(StmTextCount("%d more load out of the model's plane is left out",
                                      "%d more loads out of the model's plane are left out",
                                      outOfPlane - kWarningsOfAKind));
  }

  // Nodes off the plane the most of them lie in are analysed as if projected onto it.
  std::map<long long, int> levels;
  for (const SNode& n : m_nodes) ++levels[std::llround(n.w / kStmPointTolerance)];
  const long long level =
      std::max_element(levels.begin(), levels.end(), [](const auto& a, const auto& b) { return a.second < b.second; })
          ->first;
  std::vector<std::string> off;
  double farthest = 0.0;
  for (const SNode& n : m_nodes) {
    const double offset = std::fabs(n.w - static_cast<double>(level) * kStmPointTolerance);
    if (offset <= kStmPointTolerance) continue;
    off.push_back(n.name);
    farthest = std::max(farthest, offset);
  }
  if (!off.empty()) {
    CString text;
    text.Format((off.size() == 1 ? StmText("Node %s lies %g %s off the model's plane; it is analysed as if on it")
                                 : StmText("Nodes %s lie up to %g %s off the model's plane; they are analysed as if "
                                           "on it"))
                    .c_str(),
                NameList(off).c_str(), farthest, model.GetUnitLength().c_str());
    m_warnings.push_back(text);
  }
  WarnCrossings();
  m_nInputWarnings = m_warnings.size();
}

CStmTrussAnalysis::EStatus CStmTrussAnalysis::Solve(std::atomic<int>* progress) {
  m_mechanismNodes.clear();
  m_mechanismElements.clear();
  m_forces.clear();
  m_reactions.clear();
  m_warnings.resize(m_nInputWarnings);
  m_nModes = 0;
  if (m_elements.empty()) return m_eStatus = kEmpty;

  // The direction of an element at one of its nodes, in that node's axes.
  const auto local = [](const SElement& e, const SNode& n, double out[2]) {
    for (int i = 0; i < 2; ++i) out[i] = n.t[i][0] * e.c[0] + n.t[i][1] * e.c[1];
  };
  // Each element's EA, the single ones over what the materials give.
  std::vector<double> stiffness(m_elements.size());
  for (size_t e = 0; e < m_elements.size(); ++e) stiffness[e] = m_elements[e].ea;
  for (const auto& [id, ea] : m_memberStiffness) {
    const auto it = m_elementIndex.find(id);
    if (it != m_elementIndex.end()) stiffness[it->second] = ea;
  }
  std::vector<Eigen::Triplet<double>> triplets;
  triplets.reserve(m_elements.size() * 16 + m_nodes.size() * 4);
  for (const SElement& e : m_elements) {
    const double k = stiffness[static_cast<size_t>(&e - m_elements.data())] / e.length;
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
  if (!m_pFactor) m_pFactor = std::make_unique<SFactor>();
  const Eigen::SimplicialLDLT<SparseMatrix>& ldlt = m_pFactor->ldlt;
  bool singular = false;
  if (m_nEquations > 0) {
    m_pFactor->Factorise(scaled);
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
  m_reactions.assign(m_supportNodes.size(), std::vector<std::array<double, 2>>(cases, {0.0, 0.0}));
  std::vector<double> u(m_nodes.size() * 2);
  // Per node, the loads and member forces acting on it along the plane axes.
  std::vector<double> acting(m_nodes.size() * 2);
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
      m_forces[e][c] = stiffness[e] / el.length * stretch;
    }
    // The supports hold what the node leaves out of balance; a node that only springs hold
    // takes the springs' force from its displacement, which round-off in the sum cannot touch.
    std::fill(acting.begin(), acting.end(), 0.0);
    for (const SLoad& load : m_cases[c]) {
      acting[2 * static_cast<size_t>(load.node)] += load.f[0];
      acting[2 * static_cast<size_t>(load.node) + 1] += load.f[1];
    }
    for (size_t e = 0; e < m_elements.size(); ++e) {
      const SElement& el = m_elements[e];
      const size_t a = static_cast<size_t>(el.a) * 2, b = static_cast<size_t>(el.b) * 2;
      for (int i = 0; i < 2; ++i) {
        acting[a + i] += m_forces[e][c] * el.c[i];
        acting[b + i] -= m_forces[e][c] * el.c[i];
      }
    }
    for (size_t s = 0; s < m_supportNodes.size(); ++s) {
      const size_t n = m_supportNodes[s];
      const SNode& node = m_nodes[n];
      const bool springsOnly = node.eq[0] >= 0 && node.eq[1] >= 0;
      for (int i = 0; i < 2; ++i)
        m_reactions[s][c][i] = springsOnly ? -node.spring[i] * u[2 * n + i] : -acting[2 * n + i];
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
    for (auto& reactions : m_reactions) {
      std::array<double, 2> sum{0.0, 0.0};
      for (const auto& [c, weight] : m_combos[m]) {
        for (int i = 0; i < 2; ++i) sum[i] += weight * reactions[static_cast<size_t>(c)][i];
      }
      reactions[m_cases.size() + m] = sum;
    }
  }
  WarnForces();
  return m_eStatus = kSolved;
}

void CStmTrussAnalysis::WarnCrossings() {
  // Pairs are named in the order of a sweep along the first axis (by where each element starts);
  // which pairs are compared at all a grid of the elements' boxes decides, since in a lattice
  // every column overlaps every row along one axis.
  struct SSpan {
    double low, high;
    size_t e;
  };
  std::vector<SSpan> spans;
  spans.reserve(m_elements.size());
  for (size_t e = 0; e < m_elements.size(); ++e) {
    const double a = m_nodes[static_cast<size_t>(m_elements[e].a)].p[0];
    const double b = m_nodes[static_cast<size_t>(m_elements[e].b)].p[0];
    spans.push_back({std::min(a, b), std::max(a, b), e});
  }
  std::sort(spans.begin(), spans.end(), [](const SSpan& x, const SSpan& y) { return x.low < y.low; });
  const auto cross = [](double ax, double ay, double bx, double by) { return ax * by - ay * bx; };
  const double tol = kStmPointTolerance;
  // Whether the elements at sweep positions i < j meet away from their nodes.
  const auto meet = [&](size_t i, size_t j) {
    if (spans[j].low > spans[i].high + tol) return false;
    const SElement& p = m_elements[spans[i].e];
    const SElement& q = m_elements[spans[j].e];
    if (p.a == q.a || p.a == q.b || p.b == q.a || p.b == q.b) return false;
    const SNode& pa = m_nodes[static_cast<size_t>(p.a)];
    const SNode& pb = m_nodes[static_cast<size_t>(p.b)];
    const SNode& qa = m_nodes[static_cast<size_t>(q.a)];
    const SNode& qb = m_nodes[static_cast<size_t>(q.b)];
    if (std::max(pa.p[1], pb.p[1]) + tol < std::min(qa.p[1], qb.p[1]) ||
        std::max(qa.p[1], qb.p[1]) + tol < std::min(pa.p[1], pb.p[1]))
      return false;
    // Distances of each end from the other element's line, with the tolerance as the margin.
    const double dp[2] = {pb.p[0] - pa.p[0], pb.p[1] - pa.p[1]};
    const double dq[2] = {qb.p[0] - qa.p[0], qb.p[1] - qa.p[1]};
    const double qaSide = cross(dp[0], dp[1], qa.p[0] - pa.p[0], qa.p[1] - pa.p[1]) / p.length;
    const double qbSide = cross(dp[0], dp[1], qb.p[0] - pa.p[0], qb.p[1] - pa.p[1]) / p.length;
    const double paSide = cross(dq[0], dq[1], pa.p[0] - qa.p[0], pa.p[1] - qa.p[1]) / q.length;
    const double pbSide = cross(dq[0], dq[1], pb.p[0] - qa.p[0], pb.p[1] - qa.p[1]) / q.length;
    if (std::fabs(qaSide) <= tol && std::fabs(qbSide) <= tol) {
      // On one line: they meet where their stretches along it overlap.
      const double t0 = ((qa.p[0] - pa.p[0]) * dp[0] + (qa.p[1] - pa.p[1]) * dp[1]) / p.length;
      const double t1 = ((qb.p[0] - pa.p[0]) * dp[0] + (qb.p[1] - pa.p[1]) * dp[1]) / p.length;
      return std::max(t0, t1) >= -tol && std::min(t0, t1) <= p.length + tol;
    }
    return !((qaSide > tol && qbSide > tol) || (qaSide < -tol && qbSide < -tol) || (paSide > tol && pbSide > tol) ||
             (paSide < -tol && pbSide < -tol));
  };
  std::vector<std::pair<size_t, size_t>> found;
  if (!StmBoxPairs(spans.size(), [&](size_t i) {
        const SElement& e = m_elements[spans[i].e];
        const double* a = m_nodes[static_cast<size_t>(e.a)].p;
        const double* b = m_nodes[static_cast<size_t>(e.b)].p;
        return std::array<double, 4>{std::min(a[0], b[0]) - tol, std::min(a[1], b[1]) - tol,
                                     std::max(a[0], b[0]) + tol, std::max(a[1], b[1]) + tol};
      }, meet, found)) {
    found.clear();
    for (size_t i = 0; i < spans.size(); ++i) {
      for (size_t j = i + 1; j < spans.size() && spans[j].low <= spans[i].high + tol; ++j) {
        if (meet(i, j)) found.emplace_back(i, j);
      }
    }
  }
  std::sort(found.begin(), found.end());
  size_t count = 0;
  for (const auto& [i, j] : found) {
    if (count++ >= kWarningsOfAKind) continue;
    CString text;
    text.Format(StmText("Elements %s and %s cross without a node").c_str(), m_elements[spans[i].e].name.c_str(),
                m_elements[spans[j].e].name.c_str());
    m_warnings.push_back(text);
  }
  if (count > kWarningsOfAKind) {
    m_warnings.push_back(StmTextCount("%d more pair of elements crosses without a node",
                                      "%d more pairs of elements cross without a node", count - kWarningsOfAKind));
  }
}

void CStmTrussAnalysis::WarnForces() {
  const size_t cases = m_cases.size() + m_combos.size();
  std::vector<double> largest(cases, 0.0);
  for (const auto& forces : m_forces) {
    for (size_t c = 0; c < cases; ++c) largest[c] = std::max(largest[c], std::fabs(forces[c]));
  }
  size_t stable = 0, contradicted = 0;
  for (size_t e = 0; e < m_elements.size(); ++e) {
    const SElement& el = m_elements[e];
    if (!el.stable && el.declared != STM_ELEMENT_STRUT && el.declared != STM_ELEMENT_TIE) continue;
    // Each element is named once, for the case where it strays furthest.
    size_t worst = cases;
    double share = 0.0;
    for (size_t c = 0; c < cases; ++c) {
      const double f = m_forces[e][c];
      const bool against = (el.declared == STM_ELEMENT_STRUT && f > 0.0) || (el.declared == STM_ELEMENT_TIE && f < 0.0);
      const double s = largest[c] > 0.0 ? std::fabs(f) / largest[c] : 0.0;
      const bool strays = el.stable ? s > kStabilityShare : against && s > kSignShare;
      if (strays && s > share) {
        share = s;
        worst = c;
      }
    }
    if (worst == cases) continue;
    const double f = m_forces[e][worst];
    CString text;
    if (el.stable) {
      if (stable++ >= kWarningsOfAKind) continue;
      text.Format(StmText("Stability element %s carries %.*f %s in %s, %.0f%% of the largest force").c_str(),
                  el.name.c_str(), m_nDecimals, f, m_strUnitForce.c_str(), m_caseNames[worst].c_str(), 100.0 * share);
    } else {
      if (contradicted++ >= kWarningsOfAKind) continue;
      text.Format((el.declared == STM_ELEMENT_STRUT ? StmText("Element %s is declared a strut but is in tension "
                                                              "(%.*f %s) in %s")
                                                    : StmText("Element %s is declared a tie but is in compression "
                                                              "(%.*f %s) in %s"))
                      .c_str(),
                  el.name.c_str(), m_nDecimals, f, m_strUnitForce.c_str(), m_caseNames[worst].c_str());
    }
    m_warnings.push_back(text);
  }
  if (stable > kWarningsOfAKind || contradicted > kWarningsOfAKind) {
    m_warnings.push_back(StmTextCount(
        "%d more stability element carries force or declared type is contradicted",
        "%d more stability elements carry force or declared types are contradicted",
        std::max(stable, kWarningsOfAKind) + std::max(contradicted, kWarningsOfAKind) - 2 * kWarningsOfAKind));
  }
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
  const CStmDenseIndex<CStmObjElement> elementOf(model.GetElements());
  for (int id : m_allElements) {
    CStmObjElement* element = elementOf(id);
    if (!element) continue;
    const auto it = m_elementIndex.find(id);
    element->SetResultAxialForces(it == m_elementIndex.end() ? std::vector<double>(cases, 0.0) : m_forces[it->second]);
  }
  std::map<int, std::vector<CVector>> reactions;
  for (size_t s = 0; s < m_supportNodes.size(); ++s) {
    std::vector<CVector>& out = reactions[m_nodes[m_supportNodes[s]].id];
    for (size_t c = 0; c < cases; ++c) out.push_back(ToModel(m_reactions[s][c]));
  }
  model.SetResultReactions(std::move(reactions));
  model.SetLock(1);
}

CVector CStmTrussAnalysis::ToModel(const std::array<double, 2>& v) const {
  double xyz[3] = {0.0, 0.0, 0.0};
  xyz[m_nAxis[0]] = v[0];
  xyz[m_nAxis[1]] = v[1];
  return CVector(xyz[0], xyz[1], xyz[2]);
}

CVector CStmTrussAnalysis::GetReaction(int idNode, int loadCase) const {
  for (size_t s = 0; s < m_supportNodes.size() && s < m_reactions.size(); ++s) {
    if (m_nodes[m_supportNodes[s]].id == idNode && loadCase >= 0 &&
        static_cast<size_t>(loadCase) < m_reactions[s].size())
      return ToModel(m_reactions[s][static_cast<size_t>(loadCase)]);
  }
  return CVector();
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
