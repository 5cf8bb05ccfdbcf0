// Gmsh's built-in kernel meshes the region with triangles recombined into quadrilaterals, then
// splits every cell once more so that all of them are quadrilaterals.
#include "analysis/StmLoadPathMesh.h"

#include <gmsh.h>

#include <cmath>
#include <exception>
#include <map>
#include <mutex>

namespace {

// Gmsh is one global model per process: two meshes at once would write into each other.
std::mutex g_gmshMutex;

// Gmsh 4.8's quadrilateral front (algorithm 8) crashes on some outlines; Delaunay triangles
// recombined do not, and the subdivision makes every cell a quadrilateral.
constexpr int kAlgorithmDelaunay = 5;
constexpr int kTypeQuad = 3;

// Where a pin sits on a polygon's side: the side's index and the parameter along it.
struct SOnSide {
  int pin;
  double t;
};

double Cross(const std::array<double, 2>& a, const std::array<double, 2>& b, const std::array<double, 2>& p) {
  return (b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0]);
}

// Adds the polygon as a closed loop of lines, the pins that lie on its sides as corners between.
// Pins found on it are marked in used with their point tag.
int AddLoop(const StmPolygon2& polygon, const StmPolygon2& pins, double tolerance, std::vector<int>& pinTag) {
  const size_t n = polygon.size();
  std::vector<int> corners;
  for (size_t i = 0; i < n; ++i) {
    const auto& a = polygon[i];
    const auto& b = polygon[(i + 1) % n];
    const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
    if (!(length > tolerance)) continue;
    std::multimap<double, int> along;
    int atCorner = -1;
    for (size_t p = 0; p < pins.size(); ++p) {
      const auto& q = pins[p];
      const double t = ((q[0] - a[0]) * (b[0] - a[0]) + (q[1] - a[1]) * (b[1] - a[1])) / (length * length);
      if (std::fabs(Cross(a, b, q)) / length > tolerance || t * length < -tolerance || t * length > length + tolerance)
        continue;
      if (t * length <= tolerance) {
        atCorner = static_cast<int>(p);
      } else if (t * length < length - tolerance) {
        along.emplace(t, static_cast<int>(p));
      }
    }
    const int corner = gmsh::model::geo::addPoint(a[0], a[1], 0.0);
    if (atCorner >= 0) pinTag[static_cast<size_t>(atCorner)] = corner;
    corners.push_back(corner);
    for (const auto& [t, p] : along) {
      if (pinTag[static_cast<size_t>(p)] != 0) continue;
      const int tag = gmsh::model::geo::addPoint(pins[static_cast<size_t>(p)][0], pins[static_cast<size_t>(p)][1], 0.0);
      pinTag[static_cast<size_t>(p)] = tag;
      corners.push_back(tag);
    }
  }
  std::vector<int> lines;
  for (size_t i = 0; i < corners.size(); ++i) {
    lines.push_back(gmsh::model::geo::addLine(corners[i], corners[(i + 1) % corners.size()]));
  }
  return gmsh::model::geo::addCurveLoop(lines);
}

}  // namespace

bool StmMeshRegion(const StmPolygon2& outer, const std::vector<StmPolygon2>& holes, const StmPolygon2& pins,
                   double size, SStmQuadMesh& mesh, std::string& error) {
  std::lock_guard<std::mutex> lock(g_gmshMutex);
  mesh = SStmQuadMesh();
  bool ok = false;
  gmsh::initialize(0, nullptr, false);
  try {
    gmsh::option::setNumber("General.Terminal", 0);
    gmsh::option::setNumber("General.NumThreads", 1);
    gmsh::option::setNumber("Mesh.Algorithm", kAlgorithmDelaunay);
    gmsh::option::setNumber("Mesh.RecombineAll", 1);
    gmsh::option::setNumber("Mesh.SubdivisionAlgorithm", 1);
    // The subdivision halves every side, so the first mesh is twice as coarse as asked.
    gmsh::option::setNumber("Mesh.MeshSizeMin", size);
    gmsh::option::setNumber("Mesh.MeshSizeMax", 2.0 * size);
    gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 0);
    gmsh::option::setNumber("Mesh.MeshSizeExtendFromBoundary", 0);
    gmsh::model::add("load path");
    double extent = 0.0;
    for (const auto& p : outer) extent = std::max({extent, std::fabs(p[0]), std::fabs(p[1])});
    const double tolerance = 1e-9 * std::max(extent, 1.0);
    std::vector<int> pinTag(pins.size(), 0);
    std::vector<int> loops{AddLoop(outer, pins, tolerance, pinTag)};
    for (const auto& hole : holes) loops.push_back(AddLoop(hole, pins, tolerance, pinTag));
    const int surface = gmsh::model::geo::addPlaneSurface(loops);
    std::vector<int> inside;
    for (size_t p = 0; p < pins.size(); ++p) {
      if (pinTag[p] == 0) {
        pinTag[p] = gmsh::model::geo::addPoint(pins[p][0], pins[p][1], 0.0);
        inside.push_back(pinTag[p]);
      }
    }
    gmsh::model::geo::synchronize();
    if (!inside.empty()) gmsh::model::mesh::embed(0, inside, 2, surface);
    gmsh::model::mesh::generate(2);

    std::vector<std::size_t> tags;
    std::vector<double> coords, parametric;
    gmsh::model::mesh::getNodes(tags, coords, parametric, -1, -1, false, false);
    std::map<std::size_t, int> index;
    for (size_t i = 0; i < tags.size(); ++i) {
      index.emplace(tags[i], static_cast<int>(mesh.points.size()));
      mesh.points.push_back({coords[3 * i], coords[3 * i + 1]});
    }
    std::vector<int> types;
    std::vector<std::vector<std::size_t>> elementTags, nodeTags;
    gmsh::model::mesh::getElements(types, elementTags, nodeTags, 2, -1);
    size_t others = 0;
    for (size_t t = 0; t < types.size(); ++t) {
      if (types[t] != kTypeQuad) {
        others += elementTags[t].size();
        continue;
      }
      for (size_t e = 0; e + 3 < nodeTags[t].size(); e += 4) {
        mesh.cells.push_back({index.at(nodeTags[t][e]), index.at(nodeTags[t][e + 1]), index.at(nodeTags[t][e + 2]),
                              index.at(nodeTags[t][e + 3])});
      }
    }
    for (size_t p = 0; p < pins.size(); ++p) {
      std::vector<std::size_t> pointTags;
      std::vector<double> pointCoords, pointParams;
      gmsh::model::mesh::getNodes(pointTags, pointCoords, pointParams, 0, pinTag[p], false, false);
      mesh.pinned.push_back(pointTags.empty() ? -1 : index.at(pointTags.front()));
    }
    if (mesh.cells.empty()) {
      error = "Gmsh made no quadrilateral cells";
    } else if (others > 0) {
      error = "Gmsh left " + std::to_string(others) + " cells that are not quadrilaterals";
    } else {
      ok = true;
      for (int p : mesh.pinned) ok = ok && p >= 0;
      if (!ok) error = "Gmsh did not place a mesh point on every load and support";
    }
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    std::string last;
    try {
      gmsh::logger::getLastError(last);
    } catch (...) {
    }
    error = last.empty() ? "Gmsh failed" : last;
  }
  gmsh::finalize();
  if (!ok) mesh = SStmQuadMesh();
  return ok;
}
