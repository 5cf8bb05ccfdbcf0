// The design checks against hand calculations of a textbook deep beam under both codes, and what
// they must refuse, flag and keep.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/CStmChecks.h"
#include "host/model/CStmModel.h"
#include "analysis/CStmTrussAnalysis.h"
#include "analysis/StmAnalysisPasses.h"
#include "analysis/StmRegions.h"
#include "support/StmTestMaterials.h"

namespace {

// The corners of the rectangle x0..x1 by z0..z1 in the x-z plane, anticlockwise from (x0, z0).
std::vector<CVector> Rectangle(double x0, double z0, double x1, double z1) {
  return {CVector(x0, 0, z0), CVector(x1, 0, z0), CVector(x1, 0, z1), CVector(x0, 0, z1)};
}

// A deep beam in x-z, kN and mm: supports A (0, 0) and B (2000, 0) on the tie AB, the load of
// 1000 kN at C (1000, 1000) carried by the struts AC and BC at 45 degrees. By statics the struts
// carry 500 sqrt 2 = 707.107 kN and the tie 500 kN. The concrete runs from z = -75 to 1150, so
// the widest band about AC stops where its corner at A meets the bottom: w / (2 sqrt 2) = 75,
// w = 212.132 mm. f'c = f_ck = 30 MPa, f_y = 420 MPa, t = 300 mm, cover 60 mm (tie width 120),
// four 25 mm bars (1963.50 mm2), plates 140 mm at the supports and 200 mm under the load.
struct SDeepBeam {
  CStmModel model;
  int a = 0, b = 0, c = 0, ac = 0, bc = 0, ab = 0, plateA = 0, plateC = 0;

  explicit SDeepBeam(EStmDesignCode code, double thickness = 300.0) {
    model.AddLoadConditionStatic("P");
    a = model.AddNode(CVector(0, 0, 0))->GetId();
    b = model.AddNode(CVector(2000, 0, 0))->GetId();
    c = model.AddNode(CVector(1000, 0, 1000))->GetId();
    const int strut = model.GetStmDataDefine()->AddStrutType(SStmStrutType{"prismatic", 0, 1.0});
    const int tie = model.GetStmDataDefine()->AddTieType(SStmTieType{"4 D25", 0, 1, 1, 25.0, 4});
    for (int* id : {&ac, &bc}) {
      CStmObjElement* e = model.AddElement(id == &ac ? a : b, c, SStmPropElement());
      e->SetIndexStrutType(strut);
      *id = e->GetId();
    }
    CStmObjElement* t = model.AddElement(a, b, SStmPropElement());
    t->SetIndexTieType(tie);
    ab = t->GetId();
    model.AddRestraint(a, SStmDof{1, 1, 1, 0, 0, 0});
    model.AddRestraint(b, SStmDof{0, 0, 1, 0, 0, 0});
    plateA = model.AddBearingPlate(a, SStmPropBearingPlate{140.0, 20.0})->GetId();
    model.AddBearingPlate(b, SStmPropBearingPlate{140.0, 20.0});
    plateC = model.AddBearingPlate(c, SStmPropBearingPlate{200.0, 20.0})->GetId();
    model.AddLoadNode("P", c, CVector(0, 0, -1000));
    model.SetBoundary(STM_BOUNDARY_OUTER, Rectangle(-300, -75, 2300, 1150));
    model.SetMaterials(StmTestMaterials(thickness, 60.0, code));
  }
  bool Analyse() {
    return CStmTrussAnalysis().Run(model) == CStmTrussAnalysis::kSolved && CStmChecks::Run(model, 0);
  }
  const SStmCheckCase& Case() const { return *model.GetCheckResults().GetCase(0); }
};

// A random number in [low, high], from the generator seeded by the test.
double Random(double low, double high) { return low + (high - low) * std::rand() / RAND_MAX; }

// Solved in steps as the editor runs it, then the results applied and checked (with the checks'
// widths solved again, once): what the last step answers.
int SolveAndCheck(CStmTrussAnalysis& analysis, CStmModel& model, CStmCheckCache* cache = nullptr) {
  analysis.Prepare(model);
  const int solved = analysis.Solve();
  return solved == CStmTrussAnalysis::kSolved ? StmApplyAndCheck(analysis, model, 0, cache) : solved;
}

// Every element's and node's records, the checks and the reactions of two models alike.
void ExpectSameResults(const CStmModel& a, const CStmModel& b) {
  EXPECT_TRUE(a.GetCheckResults() == b.GetCheckResults());
  EXPECT_EQ(a.GetResultReactions(), b.GetResultReactions());
  for (const auto& [id, element] : b.GetElements()) EXPECT_TRUE(a.GetElement(id)->IsEqual(*element)) << id;
  for (const auto& [id, node] : b.GetNodes()) EXPECT_TRUE(a.GetNode(id)->IsEqual(*node)) << id;
}

void ExpectRel(double got, double expected, const char* what) {
  EXPECT_NEAR(got, expected, 1e-3 * std::fabs(expected)) << what;
}

TEST(CStmChecksTest, DeepBeamMatchesTheHandSolutionUnderBothCodes) {
  // ACI: phi f_ce of the struts 0.75 * 0.85 * 30 = 19.125 MPa, of the CCT node A
  // 0.75 * 0.85 * 0.8 * 30 = 15.3 MPa, which governs the strut: 707.107 / (0.0153 * 300)
  // = 154.054 mm needed, 0.72622 of 212.132. Tie 500 / (0.75 * 0.42) = 1587.30 mm2, 0.80841 of
  // 1963.50. Node A is governed by the tie's face, 500 / (0.0153 * 300 * 120) = 0.90777 (its
  // plate 500 / (0.0153 * 300 * 140) = 0.77809), node C (CCC) by the load's face,
  // 1000 / (0.019125 * 300 * 200) = 0.87146.
  // EN: f_cd = 20 MPa, nu' = 0.88, node A k2 nu' f_cd = 14.96 MPa governs: 157.555 mm, 0.74272;
  // f_yd = 365.217 MPa: 1369.05 mm2, 0.69725; node A 0.92840, plate A 0.79577; node C
  // k1 nu' f_cd = 17.6 MPa: 0.94697.
  struct SExpected {
    EStmDesignCode code;
    double width, strut, steel, tie, nodeA, plateA, nodeC;
    const char* strutClause;
    const char* tieClause;
  };
  const SExpected cases[] = {
      {STM_CODE_ACI_318_19, 154.054, 0.72622, 1587.30, 0.80841, 0.90777, 0.77809, 0.87146, "ACI 318-19 23.9.2",
       "ACI 318-19 23.7.2"},
      {STM_CODE_EN_1992_1_1, 157.555, 0.74272, 1369.05, 0.69725, 0.92840, 0.79577, 0.94697,
       "EN 1992-1-1 6.5.4(4)b", "EN 1992-1-1 6.5.3(1)"},
  };
  for (const SExpected& x : cases) {
    SCOPED_TRACE(x.strutClause);
    SDeepBeam beam(x.code);
    ASSERT_TRUE(beam.Analyse());
    const SStmCheckCase& k = beam.Case();
    for (int id : {beam.ac, beam.bc}) {
      const SStmCheckElement& s = k.elements.at(id);
      ExpectRel(s.dForce, -707.107, "strut force");
      ExpectRel(s.dWidthRequired, x.width, "strut width");
      ExpectRel(s.dWidthAvailable, 212.132, "widest band");
      ExpectRel(s.dUtilisation, x.strut, "strut utilisation");
      EXPECT_EQ(s.strClause, x.strutClause);
      EXPECT_EQ(s.nFlags, 0);
      EXPECT_NEAR(s.dAngle, 45.0, 1e-9);
    }
    const SStmCheckElement& t = k.elements.at(beam.ab);
    ExpectRel(t.dSteelRequired, x.steel, "steel");
    ExpectRel(t.dSteelProvided, 1963.50, "bars");
    ExpectRel(t.dUtilisation, x.tie, "tie utilisation");
    EXPECT_DOUBLE_EQ(t.dWidthRequired, 120.0);
    EXPECT_EQ(t.strClause, x.tieClause);
    EXPECT_EQ(k.nodes.at(beam.a).strClass, "CCT");
    EXPECT_EQ(k.nodes.at(beam.c).strClass, "CCC");
    ExpectRel(k.nodes.at(beam.a).dUtilisation, x.nodeA, "node A");
    ExpectRel(k.nodes.at(beam.c).dUtilisation, x.nodeC, "node C");
    ExpectRel(k.plates.at(beam.plateA).dUtilisation, x.plateA, "plate A");
    ExpectRel(k.plates.at(beam.plateC).dUtilisation, x.nodeC, "plate C");
    EXPECT_EQ(CStmChecks::Summary(beam.model, 0), "all checks pass");

    // The layers' records: the strut's band is its required width about its axis, area w * L;
    // the maximum region the widest band; node A's zone reaches the plate's face 70 below it.
    const CStmObjElement* ac = beam.model.GetElement(beam.ac);
    const std::vector<CDPoint> band = ac->GetCoordEffectiveZones(0);
    ASSERT_EQ(band.size(), 4u);
    ExpectRel(std::fabs(CStmRegions::Area(band)), x.width * 1000.0 * std::sqrt(2.0), "band area");
    EXPECT_EQ(ac->GetEffectiveRegion().size(), 4u);
    EXPECT_EQ(ac->GetMaxEffectiveRegion().size(), 4u);
    double lowest = 0.0;
    for (const CDPoint& p : beam.model.GetNode(beam.a)->GetCoordNodalZones(0)) lowest = std::min(lowest, p.y);
    EXPECT_NEAR(lowest, -70.0, 1e-6);
    EXPECT_FALSE(beam.model.GetNode(beam.c)->GetCoordMaxWidthZones(0).empty());
  }
}

TEST(CStmChecksTest, HalvingTheThicknessPutsTheStrutsOverCapacity) {
  SDeepBeam beam(STM_CODE_ACI_318_19, 150.0);
  beam.model.AddLoadConditionCombo("half");
  beam.model.AddComboFactor("half", "P", CStmObjLoadComboFactor::kTypeStatic, 0.5);
  ASSERT_TRUE(beam.Analyse());
  // Half the load needs the full thickness's width again, and is within capacity; showing it
  // gives the struts that narrower region.
  const SStmCheckCase& half = *beam.model.GetCheckResults().GetCase(1);
  ExpectRel(half.elements.at(beam.ac).dWidthRequired, 154.054, "half the load");
  EXPECT_FALSE(half.elements.at(beam.ac).nFlags & STM_CHECK_OVER_CAPACITY);
  EXPECT_EQ(CStmChecks::Summary(beam.model, 1), "all checks pass");
  const std::vector<CVector> full = beam.model.GetElement(beam.ac)->GetEffectiveRegion();
  CStmChecks::ShowCase(beam.model, 1);
  EXPECT_NE(beam.model.GetElement(beam.ac)->GetEffectiveRegion(), full);
  CStmChecks::ShowCase(beam.model, 0);
  EXPECT_EQ(beam.model.GetElement(beam.ac)->GetEffectiveRegion(), full);

  const SStmCheckElement& s = beam.Case().elements.at(beam.ac);
  ExpectRel(s.dWidthRequired, 2 * 154.054, "width");
  ExpectRel(s.dUtilisation, 2 * 0.72622, "utilisation");
  EXPECT_TRUE(s.nFlags & STM_CHECK_OVER_CAPACITY);
  // Twice as wide, its band reaches below the bottom at A.
  EXPECT_TRUE(s.nFlags & STM_CHECK_OUTSIDE);
  EXPECT_FALSE(beam.Case().elements.at(beam.ab).nFlags & STM_CHECK_OVER_CAPACITY);
  EXPECT_EQ(CStmChecks::Summary(beam.model, 0).str().rfind("2 struts, 3 nodes and 3 bearing plates over capacity", 0),
            0u)
      << CStmChecks::Summary(beam.model, 0).str();

  // Clearing the results drops what was found.
  beam.model.ClearResults();
  EXPECT_TRUE(beam.model.GetCheckResults().IsEmpty());
}

TEST(CStmChecksTest, NodeClassesAngleAndWhatIsNotComputed) {
  // Three struts under a loaded apex make it CCC; the zero-force floor member between two pins
  // gets no entry and no band.
  CStmModel model;
  model.AddLoadConditionStatic("P");
  const int d = model.AddNode(CVector(0, 0, 0))->GetId();
  const int e = model.AddNode(CVector(1000, 0, 0))->GetId();
  const int f = model.AddNode(CVector(2000, 0, 0))->GetId();
  const int g = model.AddNode(CVector(1000, 0, 1000))->GetId();
  for (int n : {d, e, f}) {
    model.AddElement(n, g, SStmPropElement());
    model.AddRestraint(n, SStmDof{1, 1, 1, 0, 0, 0});
  }
  const int floor = model.AddElement(d, e, SStmPropElement())->GetId();
  model.AddLoadNode("P", g, CVector(0, 0, -100));
  SStmMaterials m = StmTestMaterials(0.0);
  model.SetMaterials(m);
  ASSERT_EQ(CStmTrussAnalysis().Run(model), CStmTrussAnalysis::kSolved);
  // No thickness: named, nothing computed.
  EXPECT_FALSE(CStmChecks::Run(model, 0));
  EXPECT_EQ(CStmChecks::Summary(model, 0), "Checks need the member thickness");
  EXPECT_TRUE(model.GetCheckResults().cases.empty());
  m.dThickness = 300.0;
  model.SetMaterials(m);
  ASSERT_TRUE(CStmChecks::Run(model, 0));
  const SStmCheckCase& k = *model.GetCheckResults().GetCase(0);
  EXPECT_EQ(k.nodes.at(g).strClass, "CCC");
  EXPECT_EQ(k.elements.count(floor), 0u);
  EXPECT_TRUE(model.GetElement(floor)->GetCoordEffectiveZones(0).empty());

  // A deep beam four times as long as high: struts meet the tie at 21.8 degrees, under the
  // 25 that ACI asks.
  SDeepBeam flat(STM_CODE_ACI_318_19, 1000.0);
  flat.model.GetNode(flat.c)->SetCoord(CVector(1000, 0, 400));
  ASSERT_TRUE(flat.Analyse());
  const SStmCheckElement& s = flat.Case().elements.at(flat.ac);
  EXPECT_NEAR(s.dAngle, std::atan(0.4) * 180.0 / M_PI, 1e-9);
  EXPECT_TRUE(s.nFlags & STM_CHECK_ANGLE);
  EXPECT_EQ(s.strClause, "ACI 318-19 23.2.7");
}

// Three struts from supports at x = -1000, 0 and 1500 to D (0, 1000), loaded 600 kN down (kN,
// mm); the first has a designed width of 150 mm, the others none. The first pass gives those
// E_c t t, the second E_c t w_required from the first checks; the hand solution is D's 2x2
// stiffness with each pass's EA.
TEST(CStmChecksTest, SecondPassSolvesWithTheRequiredWidthsOnce) {
  const double x[3] = {-1000.0, 0.0, 1500.0}, t = 300.0, ec = StmTestMaterials(t).dConcreteModulus;
  const auto build = [&x](CStmModel& model, int ids[3]) {
    model.AddLoadConditionStatic("P");
    const int d = model.AddNode(CVector(0, 0, 1000))->GetId();
    for (int i = 0; i < 3; ++i) {
      const int n = model.AddNode(CVector(x[i], 0, 0))->GetId();
      ids[i] = model.AddElement(n, d, i == 0 ? SStmPropElement(1, 0, 150.0) : SStmPropElement(1, 2, 0.0))->GetId();
      model.AddRestraint(n, SStmDof{1, 1, 1, 0, 0, 0});
    }
    model.AddLoadNode("P", d, CVector(0, 0, -600));
    model.SetBoundary(STM_BOUNDARY_OUTER, Rectangle(-1500, -300, 2000, 1300));
    model.SetMaterials(StmTestMaterials(300.0));
  };
  // Forces, tension positive, with these EA.
  const auto hand = [&x](const double ea[3]) {
    double k[2][2] = {{0, 0}, {0, 0}}, n[3][2], len[3];
    for (int i = 0; i < 3; ++i) {
      len[i] = std::hypot(x[i], 1000.0);
      n[i][0] = x[i] / len[i];
      n[i][1] = -1000.0 / len[i];
      for (int r = 0; r < 2; ++r)
        for (int q = 0; q < 2; ++q) k[r][q] += ea[i] / len[i] * n[i][r] * n[i][q];
    }
    const double det = k[0][0] * k[1][1] - k[0][1] * k[1][0], dx = 600.0 * k[0][1] / det, dz = -600.0 * k[0][0] / det;
    std::vector<double> f;
    for (int i = 0; i < 3; ++i) f.push_back(-ea[i] / len[i] * (n[i][0] * dx + n[i][1] * dz));
    return f;
  };

  // The first pass alone, for the widths its checks require.
  CStmModel first;
  int ids[3];
  build(first, ids);
  ASSERT_EQ(CStmTrussAnalysis().Run(first), CStmTrussAnalysis::kSolved);
  ASSERT_TRUE(CStmChecks::Run(first, 0));
  const double ea1[3] = {ec * t * 150.0, ec * t * t, ec * t * t};
  const std::vector<double> f1 = hand(ea1);
  double ea2[3] = {ea1[0], 0.0, 0.0};
  for (int i = 0; i < 3; ++i) {
    const SStmCheckElement& c = first.GetCheckResults().GetCase(0)->elements.at(ids[i]);
    ExpectRel(c.dForce, f1[static_cast<size_t>(i)], "first pass");
    if (i > 0) ea2[i] = ec * t * c.dWidthRequired;
  }

  CStmModel both;
  build(both, ids);
  CStmTrussAnalysis analysis;
  ASSERT_EQ(SolveAndCheck(analysis, both), CStmTrussAnalysis::kSolved);
  const std::vector<double> f2 = hand(ea2);
  for (int i = 0; i < 3; ++i) {
    const size_t u = static_cast<size_t>(i);
    EXPECT_DOUBLE_EQ(analysis.GetMemberStiffness(ids[i]), ea2[i]) << i;
    ExpectRel(both.GetElement(ids[i])->GetResultAxialForces().at(0), f2[u], "second pass");
    // Checked again with the second forces, not solved a third time with their widths.
    ExpectRel(both.GetCheckResults().GetCase(0)->elements.at(ids[i]).dForce, f2[u], "checked again");
    EXPECT_GT(std::fabs(f2[u] - f1[u]), 0.01 * std::fabs(f1[u])) << i;
  }
}

// What a re-analysis keeps from the one before (the factorisation's pattern, each member's room
// in the concrete) must not show: after every edit the answer equals a fresh analysis of the same
// model to the last bit, and only the members the edit moved are measured again.
TEST(CStmChecksTest, ReanalysisWithKeptCachesEqualsAFreshOne) {
  SDeepBeam kept(STM_CODE_ACI_318_19), fresh(STM_CODE_ACI_318_19);
  // A fourth node D above the tie, on a strut to C and a tie to A: indeterminate, so every force
  // moves with every edit.
  for (SDeepBeam* beam : {&kept, &fresh}) {
    const int d = beam->model.AddNode(CVector(1000, 0, 200))->GetId();
    for (int end : {beam->c, beam->a, beam->b}) beam->model.AddElement(d, end, SStmPropElement());
  }
  CStmTrussAnalysis analysis;
  CStmCheckCache cache;
  const auto edit = [&](const char* what, int measured, const std::function<void(SDeepBeam&)>& change) {
    SCOPED_TRACE(what);
    for (SDeepBeam* beam : {&kept, &fresh}) {
      beam->model.ClearResults();
      change(*beam);
    }
    analysis.SetMemberStiffness({});
    ASSERT_EQ(SolveAndCheck(analysis, kept.model, &cache), CStmTrussAnalysis::kSolved);
    CStmTrussAnalysis once;
    ASSERT_EQ(SolveAndCheck(once, fresh.model), CStmTrussAnalysis::kSolved);
    EXPECT_EQ(cache.GetCountMeasured(), measured);
    ExpectSameResults(kept.model, fresh.model);
  };
  edit("first", 6, [](SDeepBeam&) {});
  edit("node moved", 3, [](SDeepBeam& beam) { beam.model.GetNode(beam.c)->SetCoord(CVector(1100, 0, 950)); });
  edit("load changed", 0, [](SDeepBeam& beam) {
    beam.model.GetLoadConditionStatic("P")->GetLoadNodes().begin()->second->SetLoad(CVector(200, 0, -800));
  });
  edit("thickness changed", 0, [](SDeepBeam& beam) {
    SStmMaterials materials = beam.model.GetMaterials();
    materials.dThickness *= 0.8;
    beam.model.SetMaterials(materials);
  });
  edit("outline moved", 6, [](SDeepBeam& beam) {
    beam.model.SetBoundary(STM_BOUNDARY_OUTER, Rectangle(-300, -60, 2300, 1150));
  });
  // Another sparsity: the factorisation's pattern is found again.
  edit("element disabled", 0, [](SDeepBeam& beam) { std::prev(beam.model.GetElements().end())->second->SetEnable(0); });
}

// The bands and zones are shared out over threads; a lattice large enough to be split must get
// the answer of one thread, records, flags and every region alike.
TEST(CStmChecksTest, ChecksOverThreadsEqualOneThread) {
  const auto build = [](CStmModel& model) {
    constexpr int kColumns = 10, kRows = 5;
    model.AddLoadConditionStatic("G");
    model.AddLoadConditionStatic("Q");
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kColumns; ++c) model.AddNode(CVector(c * 400.0, 0, r * 400.0));
    }
    const auto node = [](int r, int c) { return r * kColumns + c + 1; };
    // To the right, up and up the diagonal from every node that has such a neighbour.
    for (int n = 0; n < kRows * kColumns; ++n) {
      for (const auto& [dr, dc] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{1, 1}}) {
        const int r = n / kColumns + dr, c = n % kColumns + dc;
        if (r < kRows && c < kColumns) model.AddElement(n + 1, node(r, c), SStmPropElement());
      }
    }
    model.AddRestraint(node(0, 0), SStmDof{1, 1, 1, 0, 0, 0});
    model.AddBearingPlate(node(0, 0), SStmPropBearingPlate{150.0, 20.0});
    model.AddRestraint(node(0, kColumns - 1), SStmDof{0, 0, 1, 0, 0, 0});
    for (int c = 0; c < kColumns; ++c) model.AddLoadNode("G", node(kRows - 1, c), CVector(0, 0, -300));
    model.AddLoadNode("Q", node(kRows - 1, 0), CVector(600, 0, 0));
    model.AddLoadConditionCombo("G+Q");
    model.AddComboFactor("G+Q", "G", 0, 1.2);
    model.AddComboFactor("G+Q", "Q", 0, 1.6);
    // Tight at the bottom, so that bands and zones leave it; an opening among the members.
    model.SetBoundary(STM_BOUNDARY_OUTER, Rectangle(-100, -20, 3700, 1700));
    model.SetBoundary(STM_BOUNDARY_INNER, Rectangle(1300, 500, 1700, 700));
    model.SetMaterials(StmTestMaterials(300.0, 60.0, STM_CODE_ACI_318_19));
    ASSERT_EQ(CStmTrussAnalysis().Run(model), CStmTrussAnalysis::kSolved);
  };
  CStmModel one, shared;
  build(one);
  build(shared);
  ASSERT_TRUE(CStmChecks::Run(one, 2, nullptr, 1));
  ASSERT_TRUE(CStmChecks::Run(shared, 2, nullptr, 4));
  int flagged = 0;
  for (const auto& [id, check] : one.GetCheckResults().GetCase(2)->elements)
    flagged += (check.nFlags & (STM_CHECK_OUTSIDE | STM_CHECK_OVERLAP)) != 0;
  EXPECT_GT(flagged, 0);
  ExpectSameResults(shared, one);
  // The node types the checks class nodes by, all at once, are each node's own.
  for (int k = 0; k < 3; ++k) {
    const auto types = one.GetNodeTypes(k);
    ASSERT_EQ(types.size(), one.GetNodes().size());
    auto type = types.begin();
    for (const auto& [id, node] : one.GetNodes()) EXPECT_EQ(*type++, std::make_pair(id, one.GetNodeType(node, k)));
  }
}

// The regions take shortcuts for polygons well inside, outside or across the concrete; sampled
// points, tested on their own, must agree with what they answer. The concrete is an L with an
// opening; the bands are random, many near the edges.
TEST(CStmChecksTest, RegionsAgreeWithSampledPointsOfTheirBands) {
  using Polygon = CStmRegions::Polygon;
  const Polygon outer{{0, 0}, {1000, 0}, {1000, 400}, {400, 400}, {400, 1000}, {0, 1000}};
  const Polygon opening{{100, 100}, {300, 100}, {300, 300}, {100, 300}};
  const auto inPolygon = [](const Polygon& p, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
      if ((p[i].y > y) != (p[j].y > y) && x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x) in = !in;
    }
    return in;
  };
  CStmRegions regions;
  regions.SetConcrete({outer}, {opening});
  std::srand(27);
  int between = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const CDPoint a(Random(-100, 1100), Random(-100, 1100)), b(Random(-100, 1100), Random(-100, 1100));
    const Polygon band = CStmRegions::Band(a, b, Random(1, 150));
    if (band.empty()) continue;
    int inside = 0, outside = 0;
    for (int i = 1; i < 20; ++i) {
      for (int j = 1; j < 20; ++j) {
        const double u = i / 20.0, v = j / 20.0;
        const double x = band[0].x + u * (band[1].x - band[0].x) + v * (band[3].x - band[0].x);
        const double y = band[0].y + u * (band[1].y - band[0].y) + v * (band[3].y - band[0].y);
        ++(inPolygon(outer, x, y) && !inPolygon(opening, x, y) ? inside : outside);
      }
    }
    const double area = CStmRegions::Area(regions.Clip(band)), whole = CStmRegions::Area(band);
    // The samples keep a twentieth of the band's length and width off its sides.
    if (outside == 0) {
      EXPECT_GT(area, 0.8 * whole) << trial;
    }
    if (inside == 0) {
      EXPECT_LT(area, 0.2 * whole) << trial;
    }
    if (outside > 0) {
      EXPECT_TRUE(regions.Leaves(band)) << trial;
    } else if (!regions.Leaves(band)) {
      EXPECT_NEAR(area, whole, 1e-9 * whole) << trial;
    }
    // Between ends inside, the widest band stays in and a little wider leaves; none at all where
    // the axis itself leaves.
    if (regions.OnEdge(a) || regions.OnEdge(b)) continue;
    const double widest = regions.MaxWidth(a, b, false, false);
    if (widest > 0.0) {
      EXPECT_FALSE(regions.Leaves(CStmRegions::Band(a, b, widest))) << trial;
    }
    EXPECT_TRUE(regions.Leaves(CStmRegions::Band(a, b, widest > 0.0 ? 1.05 * widest : 1.0))) << trial;
    ++between;
  }
  EXPECT_GT(between, 50);
}

// Overlapping pairs are found through a grid of boxes, fine among bands of one size and coarse
// with one long band among them; it must find every pair a test of all pairs finds, less those
// skipped.
TEST(CStmChecksTest, OverlappingPairsAreThoseOfAllPairs) {
  std::srand(28);
  for (const double longest : {60.0, 1e5}) {
    std::vector<CStmRegions::Polygon> bands;
    for (int i = 0; i < 300; ++i) {
      const CDPoint a(Random(0, 1000), Random(0, 1000));
      const double length = i == 0 ? longest : Random(5, 60), angle = i == 0 ? 0.8 : Random(0, 6.3);
      bands.push_back(CStmRegions::Band(a, CDPoint(a.x + length * std::cos(angle), a.y + length * std::sin(angle)),
                                        Random(1, 20)));
    }
    bands.emplace_back();
    const auto skip = [](size_t i, size_t j) { return (i + j) % 7 == 0; };
    std::vector<std::pair<size_t, size_t>> all;
    for (size_t i = 0; i < bands.size(); ++i) {
      for (size_t j = i + 1; j < bands.size(); ++j)
        if (!skip(i, j) && CStmRegions::Overlap(bands[i], bands[j])) all.emplace_back(i, j);
    }
    EXPECT_GT(all.size(), 10u);
    EXPECT_EQ(CStmRegions::OverlappingPairs(bands, skip), all) << longest;
    // Overlap's own arithmetic against the boolean operation the concrete clips with: one band as
    // the concrete, the other clipped to it.
    for (size_t i = 0; i + 1 < bands.size(); ++i) {
      CStmRegions one;
      one.SetConcrete({bands[i]}, {});
      for (size_t j = 0; j + 1 < bands.size(); ++j) {
        if (j == i) continue;
        const double common = CStmRegions::Area(one.Clip(bands[j]));
        const double smaller = std::min(CStmRegions::Area(bands[i]), CStmRegions::Area(bands[j]));
        EXPECT_EQ(CStmRegions::Overlap(bands[i], bands[j]), common > 1e-6 * smaller) << i << ' ' << j;
      }
    }
  }
}

}  // namespace
