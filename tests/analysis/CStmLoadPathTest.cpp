// The load path of whole members: the shapes ESO leaves in deep beams and the input it refuses.
// (Its records through a file: the model file tests, on the example that holds them.)
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "analysis/CStmLoadPath.h"
#include "host/model/CStmModel.h"

namespace {

// A deep beam (mm, kN) in the plane given, (u, v) along the plane's axes: outline 0..span x
// 0..depth, a pin at the left bottom corner, a roller at the right one, one load at the top middle.
struct SDeepBeam {
  CStmModel model;
  CStmLoadPath path;
  int plane;
  int load = 0, pin = 0, roller = 0;

  SDeepBeam(double span, double depth, double cellSize, int planeIn = STM_PLANE_XZ) : plane(planeIn) {
    model.SetPlane(plane);
    model.SetBoundary(STM_BOUNDARY_OUTER, {At(0, 0), At(span, 0), At(span, depth), At(0, depth)});
    pin = Node("A", 0, 0);
    roller = Node("B", span, 0);
    load = Node("L", span / 2, depth);
    model.AddRestraint(pin, Dof(true, true));
    model.AddRestraint(roller, Dof(false, true));
    model.AddLoadConditionStatic("P");
    model.AddLoadNode("P", load, At(0, -500));
    // A truss for the nodal zones: the tied arch the member should show.
    model.AddElement(pin, load, SStmPropElement());
    model.AddElement(load, roller, SStmPropElement());
    model.AddElement(pin, roller, SStmPropElement());
    SStmMaterials m = model.GetMaterials();
    m.dConcreteModulus = 30.0;
    m.dThickness = 300.0;
    m.loadPath.dElementSize = cellSize;
    model.SetMaterials(m);
  }
  CVector At(double u, double v) const {
    return plane == STM_PLANE_XY ? CVector(u, v, 0) : plane == STM_PLANE_YZ ? CVector(0, u, v) : CVector(u, 0, v);
  }
  SStmDof Dof(bool first, bool second) const {
    SStmDof dof;
    const CVector flags = At(first ? 1 : 0, second ? 1 : 0);
    dof.Ux = flags.x != 0, dof.Uy = flags.y != 0, dof.Uz = flags.z != 0;
    return dof;
  }
  int Node(const char* name, double u, double v) {
    CStmObjNode* node = model.AddNode(At(u, v));
    node->SetName(name);
    return node->GetId();
  }
};

CVector Centre(const SStmEsoCell& cell) {
  CVector c;
  for (const CVector& p : cell.corners) c = c + p * 0.25;
  return c;
}

// Whether the step keeps a cell whose centre lies within r of (x, z).
bool KeepsNear(const SStmEsoStep& step, double x, double z, double r) {
  return std::any_of(step.cells.begin(), step.cells.end(), [&](const SStmEsoCell& c) {
    const CVector m = Centre(c);
    return std::hypot(m.x - x, m.z - z) <= r;
  });
}

// Whether the cells of the step join a to b through cells that share a side.
bool Joins(const SStmEsoStep& step, const CVector& a, const CVector& b) {
  using Point = std::array<double, 3>;
  // Side k of cell i, the same whichever of its cells it is read from.
  const auto side = [&](size_t i, size_t k) -> std::pair<Point, Point> {
    const CVector& a = step.cells[i].corners[k];
    const CVector& b = step.cells[i].corners[(k + 1) % 4];
    return std::minmax(Point{a.x, a.y, a.z}, Point{b.x, b.y, b.z});
  };
  std::map<std::pair<Point, Point>, std::vector<size_t>> sides;
  for (size_t i = 0; i < step.cells.size(); ++i) {
    for (size_t k = 0; k < 4; ++k) sides[side(i, k)].push_back(i);
  }
  const auto touches = [&](size_t i, const CVector& p) {
    return std::any_of(step.cells[i].corners.begin(), step.cells[i].corners.end(),
                       [&](const CVector& c) { return (c - p).Length() < 1e-6; });
  };
  std::vector<char> seen(step.cells.size(), 0);
  std::vector<size_t> stack;
  for (size_t i = 0; i < step.cells.size(); ++i) {
    if (touches(i, a)) seen[i] = 1, stack.push_back(i);
  }
  while (!stack.empty()) {
    const size_t i = stack.back();
    stack.pop_back();
    if (touches(i, b)) return true;
    for (size_t k = 0; k < 4; ++k) {
      for (size_t j : sides[side(i, k)]) {
        if (!seen[j]) seen[j] = 1, stack.push_back(j);
      }
    }
  }
  return false;
}

}  // namespace

// Span twice the depth, one load on top: what carries it is an arch from the load down to the
// supports tied by a band along the bottom; the middle of the web under the load carries little.
TEST(CStmLoadPath, DeepBeamEndsAsATiedArch) {
  SDeepBeam beam(2000.0, 1000.0, 50.0);
  CStmLoadPath::SProgress progress;
  ASSERT_TRUE(beam.path.Prepare(beam.model, 0)) << beam.path.GetError().c_str();
  ASSERT_EQ(beam.path.Solve(&progress), CStmLoadPath::kSolved) << beam.path.GetError().c_str();
  beam.path.Apply(beam.model);
  EXPECT_TRUE(beam.path.GetNote().IsEmpty()) << beam.path.GetNote().c_str();
  EXPECT_NEAR(beam.path.GetAreaLeft(), 0.4, 0.02);
  EXPECT_NEAR(progress.dAreaLeft.load(), beam.path.GetAreaLeft(), 1e-12);

  const auto& steps = beam.model.GetEsoSteps();
  ASSERT_GE(steps.size(), 3u);
  EXPECT_EQ(beam.model.GetCurrentStepEso(), static_cast<int>(steps.size()) - 1);
  EXPECT_EQ(static_cast<int>(steps.front().cells.size()), beam.path.GetCountCells());
  for (size_t s = 1; s < steps.size(); ++s) EXPECT_LT(steps[s].cells.size(), steps[s - 1].cells.size());
  const SStmEsoStep& last = steps.back();
  // The web's middle below the load is gone; the bottom band at midspan, and both inclined
  // bands halfway between the load and the supports, stay.
  EXPECT_FALSE(KeepsNear(last, 1000.0, 500.0, 60.0));
  EXPECT_TRUE(KeepsNear(last, 1000.0, 40.0, 60.0));
  EXPECT_TRUE(KeepsNear(last, 500.0, 500.0, 120.0));
  EXPECT_TRUE(KeepsNear(last, 1500.0, 500.0, 120.0));
  EXPECT_TRUE(Joins(last, CVector(1000, 0, 1000), CVector(0, 0, 0)));
  EXPECT_TRUE(Joins(last, CVector(1000, 0, 1000), CVector(2000, 0, 0)));
  EXPECT_GT(beam.model.GetMaxResultEso(0, beam.model.GetCurrentStepEso()),
            beam.model.GetMinResultEso(0, beam.model.GetCurrentStepEso()));

  // The flow of the last step, the mesh in both stores, zones at the three nodes of the truss:
  // the loaded node's zone is compressed both ways, the bottom tie's ends have tension.
  EXPECT_GE(beam.model.GetStressFlow().size(), last.cells.size());
  EXPECT_EQ(beam.model.GetMeshPlane().quads.size(), static_cast<size_t>(beam.path.GetCountCells()));
  EXPECT_EQ(beam.model.GetMeshSpace().coords.size(), beam.model.GetMeshPlane().coords.size());
  EXPECT_EQ(beam.model.GetTypeMesh(), 0);
  ASSERT_EQ(beam.model.GetResultNodalZones().size(), 1u);
  EXPECT_EQ(beam.model.GetCurrentNodalZone(), 0);
  const SStmResultNodalZone& zones = beam.model.GetResultNodalZones()[0];
  const auto& coords = beam.model.GetMeshPlane().coords;
  int compressedUnderLoad = 0, tensionAtSupports = 0;
  for (const SStmNodalZone& z : zones.zones) {
    ASSERT_EQ(z.corners.size(), 4u);
    EXPECT_NE(z.bCompression, z.bTension);
    CDPoint m(0, 0);
    for (int c : z.corners)
      m = CDPoint(m.x + coords[static_cast<size_t>(c)].x / 4, m.y + coords[static_cast<size_t>(c)].y / 4);
    if (m.y > 850 && z.bCompression) ++compressedUnderLoad;
    if (m.y < 150 && z.bTension) ++tensionAtSupports;
  }
  EXPECT_GT(compressedUnderLoad, 0);
  EXPECT_GT(tensionAtSupports, 0);
  EXPECT_TRUE(beam.model.IsLock());
}

// Asked to leave almost nothing, the removal stops where taking more would part the load from
// the supports, says so, and leaves the path it had.
TEST(CStmLoadPath, RemovalStopsBeforeItPartsTheLoadFromTheSupports) {
  SDeepBeam beam(2000.0, 1000.0, 100.0);
  SStmMaterials m = beam.model.GetMaterials();
  m.loadPath.dTargetFraction = 0.02;
  beam.model.SetMaterials(m);
  ASSERT_EQ(beam.path.Run(beam.model, 0), CStmLoadPath::kSolved) << beam.path.GetError().c_str();
  EXPECT_NE(std::string(beam.path.GetNote().c_str()).find("without a path to the supports"), std::string::npos)
      << beam.path.GetNote().c_str();
  EXPECT_GT(beam.path.GetAreaLeft(), 0.02);
  const SStmEsoStep& last = beam.model.GetEsoSteps().back();
  EXPECT_TRUE(Joins(last, CVector(1000, 0, 1000), CVector(0, 0, 0)));
  EXPECT_TRUE(Joins(last, CVector(1000, 0, 1000), CVector(2000, 0, 0)));
}

// The deep beam of the bundled example, a large opening beside the load's line: the removal keeps
// a way around it from the load to each support, and stops short of cutting it.
TEST(CStmLoadPath, DeepBeamWithAnOpeningKeepsAPathAroundIt) {
  SDeepBeam beam(3000.0, 1500.0, 60.0);
  beam.model.SetBoundary(STM_BOUNDARY_INNER,
                         {CVector(1800, 0, 900), CVector(1200, 0, 900), CVector(1200, 0, 500), CVector(1800, 0, 500)});
  ASSERT_EQ(beam.path.Run(beam.model, 0), CStmLoadPath::kSolved);
  const SStmEsoStep& last = beam.model.GetEsoSteps().back();
  EXPECT_FALSE(KeepsNear(last, 1500.0, 700.0, 150.0));  // the opening itself has no cells
  EXPECT_TRUE(Joins(last, CVector(1500, 0, 1500), CVector(0, 0, 0)));
  EXPECT_TRUE(Joins(last, CVector(1500, 0, 1500), CVector(3000, 0, 0)));
  // The load comes down beside the opening, not through it: cells stay on its flanks.
  EXPECT_TRUE(KeepsNear(last, 1100.0, 700.0, 200.0) || KeepsNear(last, 1900.0, 700.0, 200.0));
}

// The same member must give the same steps whichever plane it is drawn in; a combination of
// twice the case, or a property area of half the thickness over all of it, doubles every stress
// and, the removal going by ratios, keeps the very same cells.
TEST(CStmLoadPath, PlaneCombinationsAndAreaThicknessScaleAsTheyShould) {
  const auto run = [](SDeepBeam& beam, int loadCase) {
    EXPECT_EQ(beam.path.Run(beam.model, loadCase), CStmLoadPath::kSolved) << beam.path.GetError().c_str();
    return beam.model.GetEsoSteps().empty() ? SStmEsoStep() : beam.model.GetEsoSteps().back();
  };
  SDeepBeam reference(2000.0, 1000.0, 100.0);
  const SStmEsoStep expected = run(reference, 0);
  ASSERT_FALSE(expected.cells.empty());
  const auto same = [&](const SStmEsoStep& step, double scale, const char* what) {
    ASSERT_EQ(step.cells.size(), expected.cells.size()) << what;
    for (size_t i = 0; i < step.cells.size(); i += 7)
      EXPECT_NEAR(step.cells[i].dValue, scale * expected.cells[i].dValue, 1e-9 * scale * expected.cells[i].dValue)
          << what;
  };
  for (int plane : {STM_PLANE_XY, STM_PLANE_YZ}) {
    SDeepBeam beam(2000.0, 1000.0, 100.0, plane);
    same(run(beam, 0), 1.0, plane == STM_PLANE_XY ? "x-y" : "y-z");
    EXPECT_EQ(beam.model.GetTypeMesh(), plane == STM_PLANE_XY ? 1 : 0);
    EXPECT_EQ(beam.model.GetMeshSpace().coords[5], beam.At(beam.model.GetMeshPlane().coords[5].x,
                                                           beam.model.GetMeshPlane().coords[5].y));
  }
  SDeepBeam combined(2000.0, 1000.0, 100.0);
  combined.model.AddLoadConditionCombo("2P");
  combined.model.AddComboFactor("2P", "P", CStmObjLoadComboFactor::kTypeStatic, 2.0);
  same(run(combined, 1), 2.0, "combination");
  SDeepBeam thin(2000.0, 1000.0, 100.0);
  // Around the beam: up the right side, across the top, down the left and the bottom member, 3.
  std::vector<int> outline;
  const int c = thin.Node("C", 2000, 1000), d = thin.Node("D", 0, 1000);
  for (const auto& [a, b] : {std::pair{thin.roller, c}, {c, d}, {d, thin.pin}})
    outline.push_back(thin.model.AddElement(a, b, SStmPropElement())->GetId());
  outline.push_back(3);
  thin.model.AddPropertyArea(outline)->SetThickness(150.0);
  same(run(thin, 0), 2.0, "area");
}

// Every refusal says what is wrong and leaves the model as it was; a cancelled run gives nothing.
TEST(CStmLoadPath, RefusesWhatCannotCarryALoadAndChangesNothing) {
  struct SCase {
    const char* what;
    void (*spoil)(SDeepBeam&);
    const char* message;
  };
  const SCase cases[] = {
      {"no outline", [](SDeepBeam& b) { b.model.SetEnableBoundary(STM_BOUNDARY_OUTER, 1, 0); }, "no outer outline"},
      {"open outline",
       [](SDeepBeam& b) {
         b.model.SetBoundary(STM_BOUNDARY_OUTER, {CVector(0, 0, 0), CVector(2000, 0, 0)}, 1);
       },
       "does not close"},
      {"load outside", [](SDeepBeam& b) { b.model.GetNode(b.load)->SetCoord(CVector(1000, 0, 1200)); },
       "load on node L lies outside"},
      {"support in an opening",
       [](SDeepBeam& b) {
         b.model.GetNode(b.roller)->SetCoord(CVector(1500, 0, 500));
         b.model.SetBoundary(STM_BOUNDARY_INNER, {CVector(1400, 0, 400), CVector(1600, 0, 400), CVector(1600, 0, 600),
                                                  CVector(1400, 0, 600)});
       },
       "support of node B lies outside"},
      {"no supports",
       [](SDeepBeam& b) {
         b.model.RemoveRestraint(b.pin);
         b.model.RemoveRestraint(b.roller);
       },
       "no supports"},
      {"turns about the pin", [](SDeepBeam& b) { b.model.RemoveRestraint(b.roller); }, "turns about node A"},
      {"slides",
       [](SDeepBeam& b) {
         b.model.AddRestraint(b.pin, SStmDof{0, 0, 1, 0, 0, 0});
       },
       "slides along x"},
      {"no modulus",
       [](SDeepBeam& b) {
         SStmMaterials m = b.model.GetMaterials();
         m.dConcreteModulus = 0.0;
         b.model.SetMaterials(m);
       },
       "modulus of elasticity"},
      {"no load case", [](SDeepBeam& b) { b.model.RemoveLoadCondition(CStmObjLoadComboFactor::kTypeStatic, "P"); },
       "no load case"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    SDeepBeam beam(2000.0, 1000.0, 100.0);
    c.spoil(beam);
    EXPECT_EQ(beam.path.Run(beam.model, 0), CStmLoadPath::kFailed);
    const std::string error = beam.path.GetError().c_str();
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_TRUE(beam.model.GetEsoSteps().empty());
    EXPECT_TRUE(beam.model.GetMeshPlane().quads.empty());
    EXPECT_FALSE(beam.model.IsLock());
  }
  SDeepBeam beam(2000.0, 1000.0, 100.0);
  ASSERT_TRUE(beam.path.Prepare(beam.model, 0));
  std::atomic<bool> cancel{true};
  EXPECT_EQ(beam.path.Solve(nullptr, &cancel), CStmLoadPath::kCancelled);
}
