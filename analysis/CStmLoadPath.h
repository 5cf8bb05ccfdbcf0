// The load path of the concrete member: a linear-elastic plane-stress analysis of the outer
// outline minus its openings, then evolutionary removal of the cells that carry little (ESO),
// so that what is left shows where struts and ties belong. Writes the model's ESO steps, stress
// flow, analysis mesh and result nodal zones; never an edit.
//
// What the records hold after Apply:
// - ESO steps: the first is the whole member, each later one the cells still in after a round
//   of removal (a step is kept when the area has fallen by at least a twentieth since the last
//   one kept, and the last is always kept), each cell with its von Mises stress in the model's
//   force per length squared; the current step is the last.
// - Stress flow: at the centre of every cell of the last step, its two principal stresses as
//   vectors along their directions, centred on the cell, as long as 0.9 of the cell's size times
//   the stress over the largest principal stress of the step (those under a hundredth of it are
//   left out). A flow record has no sign, so tension and compression look alike there; the
//   nodal zones' flags below tell them apart.
// - Analysis mesh: both stores, the plane store in the model's plane coordinates (x, z for the
//   x-z plane, y, z for the y-z plane, x, y for the x-y plane, which the space store shows:
//   the mesh type is 1 there, 0 otherwise).
// - Result nodal zones: one entry (the current one) with, for every node of the truss (a node
//   an enabled element reaches), the cells of the last step whose centres lie in its zone: the
//   checks' nodal zone of that load case where the model has one, else a disc of the zone
//   radius (three cell sizes when the setting is 0). A cell whose principal stresses are both
//   compressive (below a thousandth of the step's largest in size as tension) is flagged
//   bCompression (drawn red); one with any tension is flagged bTension (blue). The entry's flow
//   vectors are those of its cells.
// The model is locked, as after the truss analysis.
//
// Split as the truss analysis is, so that the long part runs away from the thread that owns the
// model: Prepare copies what it needs and refuses bad input, Solve works on that copy alone and
// can be cancelled, Apply writes the records.
#pragma once

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "host/model/StmMaterials.h"
#include "host/model/StmModelTypes.h"
#include "host/platform/CString.h"

class CStmModel;

class CStmLoadPath {
public:
  enum EStatus {
    kNotRun,
    kSolved,
    // Stopped by the cancel flag: nothing to apply.
    kCancelled,
    // Bad input, a mesh that failed or a structure that became a mechanism: GetError says which.
    kFailed,
  };

  // What a progress line shows while Solve runs; written by Solve, read from any thread.
  struct SProgress {
    std::atomic<int> nIteration{0};
    std::atomic<double> dAreaLeft{1.0};  // fraction of the concrete's area still in
    std::atomic<double> dRatio{0.0};     // the rejection ratio in force
  };

  // Takes the outline and openings, the materials and load-path settings, and the loads and
  // supports of the load case or combination given (the analysis's numbering: statics, then
  // combinations). False, with GetError, when the input cannot give a load path.
  bool Prepare(const CStmModel& model, int loadCase);
  // Reads only what Prepare took.
  EStatus Solve(SProgress* progress = nullptr, const std::atomic<bool>* cancel = nullptr);
  // Writes the records of a solved load path (the last step shown); only after kSolved.
  void Apply(CStmModel& model) const;
  // Prepare, Solve and, when solved, Apply.
  EStatus Run(CStmModel& model, int loadCase);

  EStatus GetStatus() const { return m_eStatus; }
  // The reason of a refusal or failure, as the user reads it.
  const CString& GetError() const { return m_strError; }
  // After kSolved: why the removal stopped before the target fraction (empty when it reached it).
  const CString& GetNote() const { return m_strNote; }

  // After kSolved: cells of the mesh, steps kept, iterations run and the fraction of the area left.
  int GetCountCells() const { return static_cast<int>(m_cells.size()); }
  int GetCountSteps() const { return static_cast<int>(m_steps.size()); }
  int GetCountIterations() const { return m_nIterations; }
  // Solves made (rounds that only raised the ratio make none).
  int GetCountSolves() const { return m_nSolves; }
  double GetAreaLeft() const { return m_dAreaLeft; }

private:
  // A model node the mesh must pass through: it carries a load or a support.
  struct SPin {
    int idNode = 0;
    std::string name;
    std::array<double, 2> p{};
    double load[2] = {0.0, 0.0};
    bool fixed[2] = {false, false};
    double angle = 0.0;  // radians, from the plane's first axis
    double spring[2] = {0.0, 0.0};
  };
  struct SZoneNode {
    std::array<double, 2> p{};
    std::vector<std::array<double, 2>> polygon;  // the checks' zone; empty: a disc
  };
  struct SArea {
    std::vector<std::array<double, 2>> polygon;
    double thickness = 0.0;
  };
  struct SStep {
    std::vector<int> cells;
    std::vector<double> values;
  };

  // A support layout that leaves the member free to move: what moves, as the user reads it; empty
  // when the supports hold it.
  std::string NameMotion(const std::vector<const SPin*>& supports) const;
  // Whether every loaded cell still reaches supports that hold it through kept cells sharing sides.
  bool IsCarried(const std::vector<char>& kept) const;
  void BuildResults(const std::vector<std::array<double, 3>>& stresses);

  EStatus m_eStatus = kNotRun;
  CString m_strError;
  CString m_strNote;

  // What Prepare took.
  int m_nPlane = 0;
  int m_nAxis[2] = {0, 2};
  double m_dLevel = 0.0;  // the outline's place across the plane
  std::vector<std::array<double, 2>> m_outer;
  std::vector<std::vector<std::array<double, 2>>> m_holes;
  std::vector<SArea> m_areas;
  double m_dModulus = 0.0, m_dPoisson = 0.0, m_dThickness = 0.0;
  SStmLoadPathSettings m_settings;
  std::vector<SPin> m_pins;
  std::vector<SZoneNode> m_zoneNodes;

  // What Solve found.
  std::vector<std::array<double, 2>> m_points;
  std::vector<std::array<int, 4>> m_cells;
  std::vector<int> m_pinPoint;
  double m_dCellSize = 0.0;
  int m_nIterations = 0;
  int m_nSolves = 0;
  double m_dAreaLeft = 1.0;
  std::vector<SStep> m_steps;
  std::vector<SStmStressFlow> m_flow;
  SStmResultNodalZone m_zones;
  // Cells sharing a side, per cell; and per cell whether it holds a load or a support point.
  std::vector<std::vector<int>> m_neighbours;
  std::vector<char> m_loadedCell, m_supportCell;
};
