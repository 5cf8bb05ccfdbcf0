// The truss analysis against hand calculations (method of joints, closed forms) and the
// mechanisms it must name instead of solving.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/model/CStmModel.h"
#include "analysis/CStmTrussAnalysis.h"
#include "support/StmTestMaterials.h"

namespace {

// Builds models in the x-z plane by node names; elements are named by their two nodes.
struct STruss {
  CStmModel model;
  CStmTrussAnalysis analysis;
  std::map<std::string, int> nodes;
  std::map<std::string, int> elements;

  STruss() { model.AddLoadConditionStatic("P"); }
  void Node(const std::string& name, double x, double z) {
    CStmObjNode* node = model.AddNode(CVector(x, 0, z));
    node->SetName(name.c_str());
    nodes[name] = node->GetId();
  }
  void Nodes(std::initializer_list<std::tuple<std::string, double, double>> list) {
    for (const auto& [name, x, z] : list) Node(name, x, z);
  }
  void Bar(const std::string& a, const std::string& b) {
    CStmObjElement* element = model.AddElement(nodes.at(a), nodes.at(b), SStmPropElement(0, 2, 0.0));
    element->SetName((a + b).c_str());
    elements[a + b] = element->GetId();
  }
  void Bars(std::initializer_list<std::pair<std::string, std::string>> ends) {
    for (const auto& [a, b] : ends) Bar(a, b);
  }
  // A member of its own section: a designed width, or a tie type (index into the definitions).
  void Member(const std::string& a, const std::string& b, int typeMember, double width, int tieType = -1) {
    CStmObjElement* e = model.AddElement(nodes.at(a), nodes.at(b), SStmPropElement(typeMember, width > 0 ? 0 : 2, width));
    e->SetIndexTieType(tieType);
    elements[a + b] = e->GetId();
  }
  // Four bars of 20, as the ties below take them.
  int FourBars() { return model.GetStmDataDefine()->AddTieType(SStmTieType{"", 0, 0, 0, 20.0, 4}); }
  void Pin(const std::string& n) { model.AddRestraint(nodes.at(n), SStmDof{1, 1, 1, 0, 0, 0}); }
  void Roller(const std::string& n, double angle = 0.0) {
    model.AddRestraint(nodes.at(n), SStmDof{0, 0, 1, 0, 0, 0}, angle);
  }
  void Load(const std::string& n, double fx, double fz, const char* condition = "P") {
    model.AddLoadNode(condition, nodes.at(n), CVector(fx, 0, fz));
  }
  // Checks a node's reaction, (x, z), to 1e-9.
  void ExpectReaction(const std::string& n, double rx, double rz, int loadCase = 0) const {
    const CVector r = analysis.GetReaction(nodes.at(n), loadCase);
    EXPECT_NEAR(r.x, rx, 1e-9) << n;
    EXPECT_NEAR(r.y, 0.0, 1e-9) << n;
    EXPECT_NEAR(r.z, rz, 1e-9) << n;
  }
  std::string Type(const std::string& n, int loadCase = 0) const {
    return model.GetNodeType(model.GetNode(nodes.at(n)), loadCase).c_str();
  }
  // Checks every named force to 1e-9 of its size (of the load scale for a zero-force member).
  void Expect(const std::map<std::string, double>& forces, int loadCase = 0) const {
    for (const auto& [name, expected] : forces) {
      const double got = analysis.GetForce(elements.at(name), loadCase);
      EXPECT_NEAR(got, expected, 1e-9 * std::max(std::fabs(expected), 1.0)) << name;
    }
  }
};

// A triangle A-B-C with its apex C at (2, 3).
void TriangleBars(STruss& t) {
  t.Nodes({{"A", 0, 0}, {"B", 4, 0}, {"C", 2, 3}});
  t.Bars({{"A", "B"}, {"A", "C"}, {"B", "C"}});
}

// The triangle on a pin at A and a roller at B.
void Triangle(STruss& t, double rollerAngle) {
  TriangleBars(t);
  t.Pin("A");
  t.Roller("B", rollerAngle);
}

// A four-panel Pratt truss, 3 wide and 4 deep per panel, on a pin and a roller, with 10 at each
// inner bottom node; L2U2 carries nothing.
void Pratt(STruss& t) {
  for (int i = 0; i <= 4; ++i) t.Node("L" + std::to_string(i), 3.0 * i, 0);
  for (int i = 1; i <= 3; ++i) t.Node("U" + std::to_string(i), 3.0 * i, 4);
  for (int i = 0; i < 4; ++i) t.Bar("L" + std::to_string(i), "L" + std::to_string(i + 1));
  for (int i = 1; i <= 3; ++i) t.Bar("L" + std::to_string(i), "U" + std::to_string(i));
  t.Bars({{"U1", "U2"}, {"U2", "U3"}, {"L0", "U1"}, {"L4", "U3"}, {"U1", "L2"}, {"U3", "L2"}});
  t.Pin("L0");
  t.Roller("L4");
  for (int i = 1; i <= 3; ++i) t.Load("L" + std::to_string(i), 0, -10);
}

const std::map<std::string, double> kPratt = {
    {"L0L1", 11.25}, {"L1L2", 11.25}, {"L2L3", 11.25}, {"L3L4", 11.25}, {"L0U1", -18.75}, {"L4U3", -18.75},
    {"L1U1", 10.0},  {"L3U3", 10.0},  {"U1U2", -15.0}, {"U2U3", -15.0}, {"U1L2", 6.25},   {"U3L2", 6.25},
    {"L2U2", 0.0}};

TEST(CStmTrussAnalysisTest, DeterminateTrussesMatchTheMethodOfJoints) {
  {
    STruss t;
    Triangle(t, 0.0);
    t.Load("C", 10, -30);
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
    EXPECT_EQ(t.analysis.GetIndeterminacy(), 0);
    t.Expect({{"AB", 15.0}, {"AC", -2.5 * std::sqrt(13.0)}, {"BC", -7.5 * std::sqrt(13.0)}});
    // Moments about A: the roller takes (30 * 2 + 10 * 3) / 4, the pin the rest and all of the
    // horizontal load; each reaction and the forces meeting there are its node's type.
    t.ExpectReaction("A", -10.0, 7.5);
    t.ExpectReaction("B", 0.0, 22.5);
    t.ExpectReaction("C", 0.0, 0.0);
    EXPECT_EQ(t.model.GetResultReactions().size(), 2u) << "only supported nodes";
    EXPECT_EQ(t.Type("A"), "CCT");
    EXPECT_EQ(t.Type("B"), "CCT");
    EXPECT_EQ(t.Type("C"), "CCC") << "the load bears on the node";
  }
  {
    // A bracket from a wall: the top bar BC holds the tip C up, the bottom bar AC pushes it out.
    STruss t;
    t.Nodes({{"A", 0, 0}, {"B", 0, 3}, {"C", 4, 0}});
    t.Bars({{"B", "C"}, {"A", "C"}});
    t.Pin("A");
    t.Pin("B");
    t.Load("C", 0, -30);
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
    t.Expect({{"BC", 50.0}, {"AC", -40.0}});
    t.ExpectReaction("A", 40.0, 0.0);
    t.ExpectReaction("B", -40.0, 30.0);
    EXPECT_EQ(t.Type("A"), "CC");
    EXPECT_EQ(t.Type("B"), "CT");
    EXPECT_EQ(t.Type("C"), "CTT") << "the load hangs on the node";
  }
  STruss t;
  Pratt(t);
  // The stiffness of a determinate truss must not change its forces.
  t.model.SetPlane(STM_PLANE_XZ);
  t.analysis.SetAxialStiffness(2.0e5);
  ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
  EXPECT_EQ(t.analysis.GetIndeterminacy(), 0);
  t.Expect(kPratt);
  // Written where the result layers read them, and the model is locked.
  EXPECT_EQ(t.model.IsLock(), 1);
  const CStmObjElement* chord = t.model.GetElement(t.elements.at("U1U2"));
  EXPECT_NEAR(chord->GetResultAxialForce(0), -15.0, 1e-9);
  EXPECT_EQ(chord->GetType(0), STM_ELEMENT_STRUT);
  EXPECT_EQ(t.model.GetElement(t.elements.at("L0L1"))->GetType(0), STM_ELEMENT_TIE);
  EXPECT_EQ(t.model.GetElement(t.elements.at("L2U2"))->GetType(0), STM_ELEMENT_NONE);
}

TEST(CStmTrussAnalysisTest, SameTrussInEveryPlane) {
  // The triangle in the x-y and y-z planes, with a vertical load; forces as in x-z.
  for (int plane : {STM_PLANE_XY, STM_PLANE_YZ}) {
    CStmModel model;
    model.SetPlane(plane);
    model.AddLoadConditionStatic("P");
    const auto at = [plane](double u, double v) {
      return plane == STM_PLANE_XY ? CVector(u, v, 0) : CVector(0, u, v);
    };
    for (const auto& p : {at(0, 0), at(4, 0), at(2, 3)}) model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {1, 3}, {2, 3}}) model.AddElement(a, b, SStmPropElement());
    model.AddRestraint(1, SStmDof{1, 1, 1, 0, 0, 0});
    model.AddRestraint(2, plane == STM_PLANE_XY ? SStmDof{0, 1, 0, 0, 0, 0} : SStmDof{0, 0, 1, 0, 0, 0});
    model.AddLoadNode("P", 3, at(0, -30));
    CStmTrussAnalysis analysis;
    ASSERT_EQ(analysis.Run(model), CStmTrussAnalysis::kSolved) << plane;
    EXPECT_NEAR(analysis.GetForce(1, 0), 10.0, 1e-9) << plane;
    EXPECT_NEAR(analysis.GetForce(3, 0), -5.0 * std::sqrt(13.0), 1e-9) << plane;
  }
}

TEST(CStmTrussAnalysisTest, RollerOnAnInclinedPlanePushesAlongItsNormal) {
  // The roller at B holds only along the normal of a plane turned by the angle, so the pin takes
  // a horizontal reaction of 15 tan(angle) under a vertical load of 30.
  for (double angle : {30.0, -30.0}) {
    STruss t;
    Triangle(t, angle);
    t.Load("C", 0, -30);
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
    const double tan = std::tan(angle * std::acos(-1.0) / 180.0);
    t.Expect({{"AB", 10.0 - 15.0 * tan}, {"AC", -5.0 * std::sqrt(13.0)}, {"BC", -5.0 * std::sqrt(13.0)}});
  }
}

// How members of their own stiffnesses share: MembersTakeTheirStiffnessFromTheMaterials.
TEST(CStmTrussAnalysisTest, ASpringBesideABarSharesByStiffness) {
  // The load splits as their stiffnesses, bar EA/L = 500, spring 1500.
  STruss t;
  t.Nodes({{"A", 0, 0}, {"B", 2, 0}});
  t.Bar("A", "B");
  t.Pin("A");
  t.Roller("B");
  t.model.AddSpring(t.nodes.at("B"), CVector(1500, 0, 0), CVector());
  t.Load("B", 40, 0);
  t.analysis.SetAxialStiffness(1000.0);
  ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
  EXPECT_EQ(t.analysis.GetIndeterminacy(), 1);
  t.Expect({{"AB", 10.0}});
  t.ExpectReaction("A", -10.0, 0.0);
  t.ExpectReaction("B", -30.0, 0.0);
  // Held by springs alone, the node takes the springs' force from its displacement.
  t.model.ClearResults();
  t.model.SetLock(0);
  t.model.RemoveRestraint(t.nodes.at("B"));
  t.model.GetSpringNode(t.nodes.at("B"))->SetU(CVector(1500, 0, 700));
  ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
  t.ExpectReaction("B", -30.0, 0.0);
}

// Concrete and steel in kN and mm (unit 1) or N and mm (unit 1000).
SStmMaterials Materials(double unit) { return StmTestMaterials(200.0, 50.0, STM_CODE_ACI_318_19, unit); }

TEST(CStmTrussAnalysisTest, MembersTakeTheirStiffnessFromTheMaterials) {
  // Three bars hung at -30, 0 and 30 degrees meet at D under P: the middle one a tie of 4 bars
  // of 20 (E_s A_s), the outer ones struts 100 wide, the left one inside a property area twice as
  // thick. Hand solution: D's displacement from the 2x2 stiffness sum of k_i n_i n_i^T, each
  // force k_i n_i.d. The same in N and in kN gives the same forces.
  const double pi = std::acos(-1.0), l = 2000.0, c = std::cos(pi / 6.0), s = std::sin(pi / 6.0);
  std::vector<double> forcesKn;
  for (double unit : {1.0, 1000.0}) {
    STruss t;
    t.model.SetMaterials(Materials(unit));
    t.Nodes({{"A", -l * std::tan(pi / 6.0), 0}, {"B", 0, 0}, {"C", l * std::tan(pi / 6.0), 0}, {"D", 0, -l}});
    t.Member("A", "D", 1, 100.0);
    t.Member("B", "D", 2, 0.0, t.FourBars());
    t.Member("C", "D", 1, 100.0);
    for (const char* n : {"A", "B", "C"}) t.Pin(n);
    t.model.RestoreArea(1, {CVector(-2000, 0, 100), CVector(-100, 0, 100), CVector(-100, 0, -1500), CVector(-2000, 0, -1500)}, {})
        ->SetThickness(400.0);
    t.Load("D", 0, -600.0 * unit);
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
    EXPECT_EQ(t.analysis.GetMissingMaterials(), 0);

    const double eaTie = 200.0 * unit * 4.0 * pi * 100.0, eaStrut = 30.0 * unit * 200.0 * 100.0;
    const double ea[3] = {2.0 * eaStrut, eaTie, eaStrut};
    // Unit vectors from D to A, B, C and the bars' lengths.
    const double n[3][2] = {{-s, c}, {0.0, 1.0}, {s, c}}, len[3] = {l / c, l, l / c};
    double k[2][2] = {{0, 0}, {0, 0}};
    for (int i = 0; i < 3; ++i) {
      for (int r = 0; r < 2; ++r) {
        for (int q = 0; q < 2; ++q) k[r][q] += ea[i] / len[i] * n[i][r] * n[i][q];
      }
    }
    const double det = k[0][0] * k[1][1] - k[0][1] * k[1][0], p = -600.0 * unit;
    const double d[2] = {-k[0][1] * p / det, k[0][0] * p / det};
    const char* names[3] = {"AD", "BD", "CD"};
    for (int i = 0; i < 3; ++i) {
      // Tension positive: D moving away from the top node stretches the bar.
      const double expected = -ea[i] / len[i] * (n[i][0] * d[0] + n[i][1] * d[1]);
      const double got = t.analysis.GetForce(t.elements.at(names[i]), 0);
      EXPECT_NEAR(got, expected, 1e-3 * std::fabs(expected)) << names[i] << " unit " << unit;
      EXPECT_DOUBLE_EQ(t.analysis.GetMemberStiffness(t.elements.at(names[i])), ea[i]) << names[i];
      EXPECT_EQ(t.analysis.GetMemberThickness(t.elements.at(names[i])), i == 0 ? 400.0 : 200.0) << names[i];
      if (unit == 1.0) forcesKn.push_back(got);
      else EXPECT_NEAR(got / unit, forcesKn[static_cast<size_t>(i)], 1e-9 * std::fabs(forcesKn[static_cast<size_t>(i)]));
    }
    // The checks hand their own EA back: a middle bar ten times stiffer takes more.
    t.analysis.SetMemberStiffness({{t.elements.at("BD"), 10.0 * eaTie}});
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
    EXPECT_GT(t.analysis.GetForce(t.elements.at("BD"), 0), 1.5 * forcesKn[1] * unit);
  }
}

TEST(CStmTrussAnalysisTest, SpringAtTheRollerOfADeepBeamSharesTheTiesPull) {
  // Struts AC and BC from the load at C to the supports, tie AB with E_s A_s; a horizontal spring
  // k_s at the roller B. Statics at C fix the struts; at B the struts' pull H = P L / 4h splits
  // between tie and spring as their stiffnesses: T = H k_t / (k_t + k_s), k_t = EA / L. A spring
  // of 1e8 beside members a million times softer solves too, with or without materials (then EA 1).
  const double span = 4000.0, depth = 2000.0, load = 600.0, h = load * span / (4.0 * depth);
  for (bool materials : {true, false}) {
    for (double spring : {200.0, 1e8}) {
      STruss t;
      if (materials) t.model.SetMaterials(Materials(1.0));
      t.Nodes({{"A", 0, 0}, {"B", span, 0}, {"C", span / 2, depth}});
      t.Member("A", "B", 0, 0.0, t.FourBars());
      t.Member("A", "C", 0, 0.0);
      t.Member("B", "C", 0, 0.0);
      t.Pin("A");
      t.Roller("B");
      t.model.AddSpring(t.nodes.at("B"), CVector(spring, 0, 0), CVector());
      t.Load("C", 0, -load);
      ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved) << spring;
      EXPECT_EQ(t.analysis.GetMissingMaterials() & CStmTrussAnalysis::kMissingConcreteModulus, materials ? 0 : 1);
      const double kt = (materials ? 200.0 * 4.0 * std::acos(-1.0) * 100.0 : 1.0) / span;
      const double tie = h * kt / (kt + spring);
      t.Expect({{"AB", tie}, {"AC", -load / 2 * std::hypot(span / 2, depth) / depth}});
    }
  }
}

TEST(CStmTrussAnalysisTest, CombinationIsTheSumOfItsFactoredCases) {
  STruss t;
  Pratt(t);
  t.model.AddLoadConditionStatic("W");
  t.Load("U1", 8, 0, "W");
  t.model.AddLoadConditionCombo("ULS");
  t.model.AddComboFactor("ULS", "P", 0, 1.35);
  t.model.AddComboFactor("ULS", "W", 0, 1.5);
  t.model.AddLoadConditionCombo("Twice");
  t.model.AddComboFactor("Twice", "ULS", 1, 2.0);
  // In steps, as the editor runs it: the steps counted are the steps announced.
  t.analysis.Prepare(t.model);
  std::atomic<int> steps{0};
  ASSERT_EQ(t.analysis.Solve(&steps), CStmTrussAnalysis::kSolved);
  EXPECT_EQ(steps.load(), t.analysis.GetCountSteps());
  t.analysis.Apply(t.model);
  ASSERT_EQ(t.analysis.GetCountCases(), 4);
  t.Expect(kPratt, 0);
  for (const auto& [name, id] : t.elements) {
    const double p = t.analysis.GetForce(id, 0), w = t.analysis.GetForce(id, 1);
    EXPECT_NEAR(t.analysis.GetForce(id, 2), 1.35 * p + 1.5 * w, 1e-9) << name;
    EXPECT_NEAR(t.model.GetElement(id)->GetResultAxialForce(3), 2.0 * (1.35 * p + 1.5 * w), 1e-9) << name;
  }
  for (const char* n : {"L0", "L4"}) {
    const CVector p = t.analysis.GetReaction(t.nodes.at(n), 0), w = t.analysis.GetReaction(t.nodes.at(n), 1);
    const CVector uls = p * 1.35 + w * 1.5;
    t.ExpectReaction(n, uls.x, uls.z, 2);
    const CVector twice = t.model.GetResultReactions().at(t.nodes.at(n)).at(3);
    EXPECT_NEAR(twice.x, 2.0 * uls.x, 1e-9);
    EXPECT_NEAR(twice.z, 2.0 * uls.z, 1e-9);
  }
  t.ExpectReaction("L4", 0.0, 15.0);
}

// Contains the sentence one of the warnings gives.
bool Warns(const CStmTrussAnalysis& analysis, const std::string& sentence) {
  for (const CString& w : analysis.GetWarnings()) {
    if (std::string(w.c_str()).find(sentence) != std::string::npos) return true;
  }
  return false;
}

TEST(CStmTrussAnalysisTest, WhatIsLeftOutOrDoubtedIsNamed) {
  {
    // The triangle inside a rectangular outline drawn from elements: the bottom edge is the tie
    // between the supports, the other edges reach corners only the outline has.
    STruss t;
    Triangle(t, 0.0);
    t.Nodes({{"E", 4, 3}, {"F", 0, 3}});
    t.Bars({{"B", "E"}, {"E", "F"}, {"F", "A"}});
    t.model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {t.elements.at("AB"), t.elements.at("BE"),
                                                          t.elements.at("EF"), t.elements.at("FA")}, -1);
    // Declared a strut, though it is the tie.
    CStmObjElement* ab = t.model.GetElement(t.elements.at("AB"));
    ab->SetProperty(SStmPropElement(STM_ELEMENT_STRUT, 2, 0.0));
    t.Load("C", 0, -30);
    t.model.AddLoadNode("P", t.nodes.at("C"), CVector(0, 2, 0));
    t.model.GetNode(t.nodes.at("C"))->SetCoord(CVector(2, 0.5, 3));
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
    t.Expect({{"AB", 10.0}, {"AC", -5.0 * std::sqrt(13.0)}, {"BE", 0.0}, {"EF", 0.0}});
    EXPECT_EQ(t.analysis.GetWarnings().size(), 4u);
    EXPECT_TRUE(Warns(t.analysis, "Elements BE, EF and FA only form the outline and are left out of the truss"));
    EXPECT_TRUE(Warns(t.analysis, "Element AB is declared a strut but is in tension (10.00 kN) in P"));
    EXPECT_TRUE(Warns(t.analysis, "The load on node C in P has 2.00 kN out of the model's plane"));
    EXPECT_TRUE(Warns(t.analysis, "Node C lies 0.5 mm off the model's plane"));
  }
  // A panel with both diagonals, not joined where they cross; one a stability element that the
  // load still reaches.
  STruss t;
  t.Nodes({{"A", 0, 0}, {"B", 4, 0}, {"C", 4, 3}, {"D", 0, 3}});
  for (const char* bar : {"AB", "BC", "CD", "DA", "AC", "BD"}) t.Bar(std::string(1, bar[0]), std::string(1, bar[1]));
  t.Pin("A");
  t.Roller("B");
  t.model.GetElement(t.elements.at("BD"))->SetStableElement(1);
  t.Load("D", 5, 0);
  ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kSolved);
  EXPECT_EQ(t.analysis.GetWarnings().size(), 2u);
  EXPECT_TRUE(Warns(t.analysis, "Elements AC and BD cross without a node"));
  EXPECT_TRUE(Warns(t.analysis, "Stability element BD carries"));
  // A node on the diagonal, not joined to it, is a crossing as well; joined, it is none.
  t.Node("M", 2, 1.5);
  t.Bar("M", "A");
  t.Load("M", 0, -1);
  t.analysis.Prepare(t.model);
  EXPECT_TRUE(Warns(t.analysis, "Elements AC and BD cross without a node"));
  EXPECT_TRUE(Warns(t.analysis, "Elements BD and MA cross without a node") ||
              Warns(t.analysis, "Elements MA and BD cross without a node"));
}

struct SMechanismCase {
  const char* name;
  // Builds the model; names the nodes that must be marked.
  void (*build)(STruss&);
  std::vector<std::string> moving;
  std::vector<std::string> elements;
  int modes;
};

void MissingDiagonal(STruss& t) {
  // A cantilever of two panels from a wall; the outer panel lacks its diagonal and sways.
  for (int i = 0; i <= 2; ++i) {
    t.Node("L" + std::to_string(i), 3.0 * i, 0);
    t.Node("U" + std::to_string(i), 3.0 * i, 4);
  }
  t.Pin("L0");
  t.Pin("U0");
  for (const char* bar : {"L0L1", "U0U1", "L1U1", "L0U1", "L1L2", "U1U2", "L2U2"})
    t.Bar(std::string(bar, 2), std::string(bar + 2));
  t.Load("L2", 0, -10);
}

void Unsupported(STruss& t) {
  TriangleBars(t);
  t.Load("C", 0, -1);
}

void OneElementNode(STruss& t) {
  Triangle(t, 0.0);
  t.Node("D", 5, 5);
  t.Bar("C", "D");
  t.Load("C", 0, -1);
}

// A spring far stiffer than the members must not hide the loose node nor blame the held one.
void OneElementNodeBesideStiffSpring(STruss& t) {
  OneElementNode(t);
  t.model.AddSpring(t.nodes.at("B"), CVector(1e8, 0, 0), CVector());
}

// The same on a braced lattice of more freedoms than a dense decomposition is used for.
void LargeWithOneElementNode(STruss& t) {
  const int side = 28;
  const auto name = [](int r, int c) { return "n" + std::to_string(r) + "_" + std::to_string(c); };
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) t.Node(name(r, c), c, r);
  }
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      if (c + 1 < side) t.Bar(name(r, c), name(r, c + 1));
      if (r + 1 < side) t.Bar(name(r, c), name(r + 1, c));
      if (r + 1 < side && c + 1 < side) t.Bar(name(r, c), name(r + 1, c + 1));
    }
  }
  t.Pin(name(0, 0));
  t.Roller(name(0, side - 1));
  t.Node("D", side, side);
  t.Bar(name(side - 1, side - 1), "D");
  t.Load("D", 0, -1);
}

TEST(CStmTrussAnalysisTest, MechanismsAreNamedNotSolved) {
  const SMechanismCase cases[] = {
      {"missing diagonal", MissingDiagonal, {"L2", "U2"}, {"L1L2", "U1U2", "L2U2"}, 1},
      {"unsupported", Unsupported, {"A", "B", "C"}, {"AB", "AC", "BC"}, 3},
      {"node with one element", OneElementNode, {"D"}, {"CD"}, 1},
      {"stiff spring elsewhere", OneElementNodeBesideStiffSpring, {"D"}, {"CD"}, 1},
      {"large truss", LargeWithOneElementNode, {"D"}, {"n27_27D"}, 1},
  };
  for (const SMechanismCase& c : cases) {
    STruss t;
    c.build(t);
    ASSERT_EQ(t.analysis.Run(t.model), CStmTrussAnalysis::kMechanism) << c.name;
    std::vector<int> nodes, elements;
    for (const std::string& n : c.moving) nodes.push_back(t.nodes.at(n));
    for (const std::string& e : c.elements) elements.push_back(t.elements.at(e));
    std::sort(nodes.begin(), nodes.end());
    std::sort(elements.begin(), elements.end());
    EXPECT_EQ(t.analysis.GetMechanismNodes(), nodes) << c.name;
    EXPECT_EQ(t.analysis.GetMechanismElements(), elements) << c.name;
    EXPECT_EQ(t.analysis.GetCountMechanismModes(), c.modes) << c.name;
    // Nothing is written and the model stays editable.
    EXPECT_EQ(t.model.IsLock(), 0) << c.name;
    EXPECT_TRUE(t.model.GetElement(elements.front())->GetResultAxialForces().empty()) << c.name;
  }
}

}  // namespace
