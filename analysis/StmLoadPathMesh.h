// Quadrilateral meshing of a plane region (an outer polygon minus holes) through Gmsh, with
// given points as mesh points, for the load path's finite elements.
#pragma once

#include <array>
#include <string>
#include <vector>

using StmPolygon2 = std::vector<std::array<double, 2>>;

struct SStmQuadMesh {
  std::vector<std::array<double, 2>> points;
  std::vector<std::array<int, 4>> cells;
  // For each point asked for, the mesh point that lies on it.
  std::vector<int> pinned;
};

// Meshes the outer polygon minus the holes with cells of about size. Each pin lies inside the
// region or on its outline (one that lies on an edge splits it there). False, with why in error,
// when Gmsh fails or gives no cells. Gmsh keeps global state: one call runs at a time.
bool StmMeshRegion(const StmPolygon2& outer, const std::vector<StmPolygon2>& holes, const StmPolygon2& pins,
                   double size, SStmQuadMesh& mesh, std::string& error);
