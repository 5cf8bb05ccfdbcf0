#include "CStmEditorAnalysis.h"

#include <utility>

CStmEditorAnalysis::CStmEditorAnalysis(const CStmModel& model, CStmTrussAnalysis kept)
    : m_analysis(std::move(kept)), m_start(std::chrono::steady_clock::now()) {
  // The widths the last second pass solved with are that model's, not this one's.
  m_analysis.SetMemberStiffness({});
  m_analysis.Prepare(model);
  m_thread = std::thread([this] {
    m_analysis.Solve(&m_nStep);
    m_bDone = true;
  });
}

CStmEditorAnalysis::~CStmEditorAnalysis() {
  if (m_thread.joinable()) m_thread.join();
}

double CStmEditorAnalysis::GetSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}
