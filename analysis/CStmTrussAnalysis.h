// Linear analysis of the strut-and-tie model as a pin-jointed plane truss: the axial force of
// every element under every static load case and combination, or, when the truss cannot carry
// loads, the nodes and elements of the mechanism.
//
// The work is split so that the solve can run away from the thread that owns the model:
// Prepare copies what it needs from the model, Solve works on that copy alone, Apply writes the
// forces back and locks the model.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <map>
#include <memory>
#include <unordered_map>
#include <string>
#include <vector>

#include "geometry/CVector.h"
#include "host/platform/CString.h"

class CStmModel;
class CStmObjElement;

class CStmTrussAnalysis {
public:
  CStmTrussAnalysis();
  ~CStmTrussAnalysis();
  CStmTrussAnalysis(CStmTrussAnalysis&&) noexcept;
  CStmTrussAnalysis& operator=(CStmTrussAnalysis&&) noexcept;

  enum EStatus {
    kNotRun,
    kSolved,
    // The stiffness is singular: GetMechanismNodes and GetMechanismElements say what moves.
    kMechanism,
    // No enabled element joins two enabled nodes.
    kEmpty,
    // Stable, but the model has no static load case to solve.
    kNoLoadCase,
  };

  // Materials on the model the member stiffness needs but that are not given (0 when each member
  // has its own).
  enum EMissing {
    kMissingConcreteModulus = 1,
    kMissingSteelModulus = 2,
    kMissingThickness = 4,
  };

  // Each member's axial stiffness comes from the model's materials: a strut E_c t w, a tie with
  // bars E_s A_s, a tie without bars as a strut of its width. w is the designed width where the
  // element gives one, else the thickness (a square section: the first pass, before any width is
  // known); t is the thickness of the property area the member's middle lies in, else the model's.
  // A member is a tie when it is declared one, or when the analysis decides and its tie type has
  // bars; so the stiffness does not depend on the load case and combinations stay sums of cases.
  // Without the materials every member takes this one EA (forces of a statically determinate
  // truss do not depend on it); springs are in the model's force per length either way.
  void SetAxialStiffness(double ea) { m_dAxialStiffness = ea; }
  double GetAxialStiffness() const { return m_dAxialStiffness; }
  // EA of single elements by id, over what the materials give: a later pass with the widths the
  // checks found. Holds for every Solve until it is set again (an empty map drops it).
  void SetMemberStiffness(std::map<int, double> eaById) { m_memberStiffness = std::move(eaById); }
  // EMissing bits of the last Prepare: not 0 means every member took GetAxialStiffness.
  int GetMissingMaterials() const { return m_nMissing; }
  // The axial stiffness an element (by id) was solved with; 0 for one not analysed.
  double GetMemberStiffness(int idElement) const;
  // Whether an element (by id) took the concrete stiffness without a designed width, so that a
  // later pass may give it the width the checks require; false without the materials.
  bool IsWidthOpen(int idElement) const;
  // The thickness that holds for an element (its property area's, else the model's); 0 for one
  // not analysed or where none is given.
  double GetMemberThickness(int idElement) const;

  // Takes the enabled nodes, elements, restraints, springs and loads of every case. The ordering
  // and the symbolic factorisation of the last Solve are kept: a later Solve whose stiffness has
  // the same sparsity (a node moved, a load or a stiffness changed) only factorises its numbers.
  void Prepare(const CStmModel& model);
  // Reads only what Prepare took. Counts steps into progress (out of GetCountSteps) when given.
  EStatus Solve(std::atomic<int>* progress = nullptr);
  // Gives every element its forces per case (statics, then combinations) and locks the model;
  // only after kSolved.
  void Apply(CStmModel& model) const;
  // Prepare, Solve and, when solved, Apply.
  EStatus Run(CStmModel& model);

  EStatus GetStatus() const { return m_eStatus; }
  int GetCountSteps() const { return static_cast<int>(m_cases.size()) + 1; }
  int GetCountCases() const { return static_cast<int>(m_cases.size() + m_combos.size()); }
  // Redundant members and support reactions of a stable truss: 0 when statically determinate.
  int GetIndeterminacy() const { return m_nIndeterminacy; }
  // Independent ways the mechanism can move.
  int GetCountMechanismModes() const { return m_nModes; }
  // Node and element ids, ascending.
  const std::vector<int>& GetMechanismNodes() const { return m_mechanismNodes; }
  const std::vector<int>& GetMechanismElements() const { return m_mechanismElements; }
  // Force of an element (by id) in a case; 0 for an element or case not analysed.
  double GetForce(int idElement, int loadCase) const;
  // What the supports (restraint and spring together) push on a node (by id) with in a case, in
  // model coordinates; zero for a node without support or a case not analysed.
  CVector GetReaction(int idNode, int loadCase) const;
  // What the analysis left out of the truss or doubts in its result, one sentence each: the
  // outline elements it left out, members crossing without a node, input out of the plane
  // (after Prepare), stability elements that carry force and declared types that the force
  // contradicts (after Solve).
  const std::vector<CString>& GetWarnings() const { return m_warnings; }

private:
  struct SNode {
    int id = 0;
    // Local axes of the node's two freedoms in plane coordinates (turned by a roller angle).
    double t[2][2] = {{1.0, 0.0}, {0.0, 1.0}};
    // Equation of each local freedom; -1 where a restraint holds it.
    int eq[2] = {-1, -1};
    // Spring stiffness along the plane axes.
    double spring[2] = {0.0, 0.0};
    // Held by a restraint or a spring: its reaction is reported.
    bool supported = false;
    std::string name;
    // Coordinates along the plane's axes and across the plane.
    double p[2] = {0.0, 0.0};
    double w = 0.0;
  };
  struct SElement {
    int id = 0;
    int a = 0, b = 0;  // node indices
    double c[2] = {0.0, 0.0};
    double length = 0.0;
    double ea = 0.0;
    double thickness = 0.0;
    bool widthOpen = false;
    std::string name;
    bool stable = false;
    // The member type the user declared (EStmTypeElement); none lets the force decide.
    int declared = 0;
  };
  struct SLoad {
    int node = 0;
    double f[2] = {0.0, 0.0};
  };

  // Names what moves from the null space of the stiffness (row norms of its basis per node).
  void NameMechanism(const std::vector<double>& nodeMotion, int modes);
  // Pairs of analysed elements that cross or touch away from their nodes.
  void WarnCrossings();
  // Stability elements carrying force and declared types against the force's sign.
  void WarnForces();
  CVector ToModel(const std::array<double, 2>& v) const;

  // Each element's EA from the materials, or the uniform one.
  void SetStiffnessFromMaterials(const CStmModel& model, const std::vector<const CStmObjElement*>& records);
  double StiffnessOf(const SElement& e) const;
  const SElement* FindElement(int idElement) const;

  // The factorisation, kept across Prepare for its symbolic part.
  struct SFactor;
  std::unique_ptr<SFactor> m_pFactor;
  // The plane's two axes as indices into (x, y, z).
  int m_nAxis[2] = {0, 2};
  // For the warnings: force unit, decimals of the values shown, names of statics then combinations.
  std::string m_strUnitForce;
  int m_nDecimals = 1;
  std::vector<std::string> m_caseNames;
  double m_dAxialStiffness = 1.0;
  std::map<int, double> m_memberStiffness;
  int m_nMissing = 0;
  std::vector<SNode> m_nodes;
  std::vector<SElement> m_elements;
  // Index into m_elements by element id.
  std::unordered_map<int, std::size_t> m_elementIndex;
  std::vector<std::vector<SLoad>> m_cases;
  // Per combination: static case index and weight.
  std::vector<std::vector<std::pair<int, double>>> m_combos;
  std::vector<int> m_allElements;
  int m_nEquations = 0;
  int m_nConstraints = 0;

  EStatus m_eStatus = kNotRun;
  int m_nIndeterminacy = 0;
  int m_nModes = 0;
  std::vector<int> m_mechanismNodes;
  std::vector<int> m_mechanismElements;
  // Forces per analysed element, per case.
  std::vector<std::vector<double>> m_forces;
  // Per supported node (index into m_nodes), per case, the reaction along the plane axes.
  std::vector<size_t> m_supportNodes;
  std::vector<std::vector<std::array<double, 2>>> m_reactions;
  std::vector<CString> m_warnings;
  // Warnings Prepare found; Solve adds its own after them.
  size_t m_nInputWarnings = 0;
};
