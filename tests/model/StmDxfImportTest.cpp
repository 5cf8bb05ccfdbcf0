// DXF import against hand-written drawings: each outline's area and perimeter against values
// worked out by hand, units, guidelines, and drawings that must be refused without a change.
// Boost.Geometry still pulls in headers Boost has since moved.
#define BOOST_ALLOW_DEPRECATED_HEADERS
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <gtest/gtest.h>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include "host/model/CStmModel.h"
#include "host/model/StmDxfImport.h"

namespace {

namespace bg = boost::geometry;
using Polygon = bg::model::polygon<bg::model::d2::point_xy<double>, false>;

constexpr double kPi = 3.141592653589793;

std::string DataFile(const std::string& name) { return std::string(STM_SOURCE_DIR) + "/tests/data/dxf/" + name; }

// Area and perimeter to 0.1 %.
void ExpectShape(const std::vector<CDPoint>& points, double area, double perimeter, const char* what) {
  Polygon polygon;
  for (const CDPoint& p : points) bg::append(polygon.outer(), bg::model::d2::point_xy<double>(p.x, p.y));
  bg::correct(polygon);
  EXPECT_NEAR(bg::area(polygon), area, area * 1e-3) << what;
  EXPECT_NEAR(bg::perimeter(polygon), perimeter, perimeter * 1e-3) << what;
}

struct SGood {
  const char* file;
  const char* modelUnit;
  double area, perimeter;
};

TEST(StmDxfImport, OutlinesComeOutAtTheirSizeInTheModelsUnit) {
  const SGood cases[] = {
      // R12 POLYLINE/VERTEX, 400 x 200 with a half circle of radius 100 bulging from one end; no
      // unit in the file, so the model's.
      {"r12-polyline-bulge.dxf", "mm", 80000 + kPi * 1e4 / 2, 1000 + kPi * 100},
      // LWPOLYLINE in mm into a model in m: an L of 2000 x 1000 and 1000 x 1000 with a quarter
      // circle of radius 1000 filling the corner.
      {"r2000-mm-bulges.dxf", "m", 3.0 + kPi / 4, 6.0 + kPi / 2},
      // LWPOLYLINE in m into a model in mm: 800 x 500 with a half circle notch of radius 100.
      {"r2000-m-notch.dxf", "mm", 400000 - kPi * 1e4 / 2, 2400 + kPi * 100},
      // Lines and an arc in any direction: a 300 square topped by a half circle.
      {"line-arc-chain.dxf", "mm", 90000 + kPi * 22500 / 2, 900 + kPi * 150},
      // An arc whose normal points down z, as a mirror in CAD leaves it, closed by a line only
      // where x is turned round: a half disc of radius 150.
      {"mirrored-arc.dxf", "mm", kPi * 22500 / 2, 300 + kPi * 150},
  };
  for (const SGood& c : cases) {
    SStmDxfOptions options;
    options.modelUnit = c.modelUnit;
    SStmDxfDrawing drawing;
    std::string error;
    ASSERT_TRUE(StmReadDxf(DataFile(c.file), options, drawing, error)) << error;
    EXPECT_TRUE(drawing.openings.empty()) << c.file;
    ExpectShape(drawing.outer, c.area, c.perimeter, c.file);
  }
}

TEST(StmDxfImport, OpeningsAndGuidelinesGoIntoTheModelsPlane) {
  SStmDxfOptions options;
  options.guideLayer = "guide";
  SStmDxfDrawing drawing;
  std::string error;
  ASSERT_TRUE(StmReadDxf(DataFile("two-openings-guides.dxf"), options, drawing, error)) << error;
  ExpectShape(drawing.outer, 3000.0 * 1500.0, 9000.0, "outer");
  ASSERT_EQ(drawing.openings.size(), 2u);
  // Openings come largest first: the circle of radius 300, then the 500 square.
  ExpectShape(drawing.openings[0], kPi * 9e4, kPi * 600, "circle");
  ExpectShape(drawing.openings[1], 250000.0, 2000.0, "square");
  EXPECT_EQ(drawing.guideU, std::vector<double>{1500.0});
  EXPECT_EQ(drawing.guideV, std::vector<double>{1200.0});
  EXPECT_EQ(drawing.ignored, 1) << "the slanted line on NOTES";
  EXPECT_EQ(drawing.layers, (std::set<std::string>{"OUTLINE", "OPENINGS", "GUIDES", "NOTES"}));

  CStmModel model;
  model.SetPlane(STM_PLANE_YZ);
  ASSERT_TRUE(StmApplyDxfDrawing(drawing, model, error)) << error;
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);
  for (const CVector& p : model.GetBoundary(STM_BOUNDARY_OUTER, -1)) EXPECT_EQ(p.x, 0.0) << "off the y-z plane";
  EXPECT_EQ(model.GetStmDataView()->GetGuideline(1), std::vector<double>{1500.0 * 1000.0});
  EXPECT_EQ(model.GetStmDataView()->GetGuideline(2), std::vector<double>{1200.0 * 1000.0});

  // A second outer outline is refused and the model keeps what it had.
  EXPECT_FALSE(StmApplyDxfDrawing(drawing, model, error));
  EXPECT_NE(error.find("outer outline"), std::string::npos) << error;
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);
}

TEST(StmDxfImport, BadDrawingsNameTheFileAndWhatIsWrong) {
  const struct {
    const char* file;
    const char* unit;
    const char* says;
  } cases[] = {{"bad-not-dxf.dxf", "", "not a DXF"},
               {"bad-open-outline.dxf", "", "no closed outline"},
               {"bad-crossing.dxf", "", "cross"},
               {"r12-polyline-bulge.dxf", "furlong", "unknown unit"},
               {"missing.dxf", "", "cannot be read"}};
  for (const auto& c : cases) {
    SStmDxfOptions options;
    options.unit = c.unit;
    SStmDxfDrawing drawing;
    drawing.unit = "untouched";
    std::string error;
    EXPECT_FALSE(StmReadDxf(DataFile(c.file), options, drawing, error)) << c.file;
    EXPECT_NE(error.find(c.file), std::string::npos) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_EQ(drawing.unit, "untouched");
  }
}

}  // namespace
