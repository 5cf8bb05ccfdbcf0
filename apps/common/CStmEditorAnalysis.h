// An analysis of the editor's model that runs beside the frames, so that the window can say how
// far it has got while a large truss is solved.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "analysis/CStmTrussAnalysis.h"

class CStmEditorAnalysis {
public:
  // Takes what the solve needs from the model now; the model may be read and drawn meanwhile,
  // but not edited. An analysis kept from the Analyse before lends its factorisation's pattern.
  explicit CStmEditorAnalysis(const CStmModel& model, CStmTrussAnalysis kept = CStmTrussAnalysis());
  ~CStmEditorAnalysis();
  CStmEditorAnalysis(const CStmEditorAnalysis&) = delete;
  CStmEditorAnalysis& operator=(const CStmEditorAnalysis&) = delete;

  bool IsDone() const { return m_bDone.load(); }
  // Steps finished and all steps, for the progress line.
  int GetStep() const { return m_nStep.load(); }
  int GetCountSteps() const { return m_analysis.GetCountSteps(); }
  double GetSeconds() const;
  // Only once done.
  const CStmTrussAnalysis& GetAnalysis() const { return m_analysis; }
  // For the pass after the solve, once the thread is done.
  CStmTrussAnalysis& GetAnalysis() { return m_analysis; }

private:
  CStmTrussAnalysis m_analysis;
  std::atomic<int> m_nStep{0};
  std::atomic<bool> m_bDone{false};
  std::chrono::steady_clock::time_point m_start;
  std::thread m_thread;
};
