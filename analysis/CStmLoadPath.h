// The load path of the concrete member: a linear-elastic plane-stress analysis of the outer
// outline minus its openings, then evolutionary removal of the cells that carry little (ESO),
// so that what is left shows where struts and ties belong. Writes the model's ESO steps, stress
// flow, analysis mesh and result nodal zones; never an edit.
//
// Split as the truss analysis is, so that the long part runs away from the thread that owns the
// model: Prepare copies what it needs and refuses bad input, Solve works on that copy alone and
// can be cancelled, Apply writes the records.
#pragma once

#include <atomic>

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

private:
  EStatus m_eStatus = kNotRun;
  CString m_strError;
};
