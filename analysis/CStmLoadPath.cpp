#include "analysis/CStmLoadPath.h"

#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"

bool CStmLoadPath::Prepare(const CStmModel&, int) {
  m_eStatus = kFailed;
  m_strError = StmText("The load path cannot be computed yet");
  return false;
}

CStmLoadPath::EStatus CStmLoadPath::Solve(SProgress*, const std::atomic<bool>*) { return m_eStatus; }

void CStmLoadPath::Apply(CStmModel&) const {}

CStmLoadPath::EStatus CStmLoadPath::Run(CStmModel& model, int loadCase) {
  if (!Prepare(model, loadCase)) return m_eStatus;
  if (Solve() == kSolved) Apply(model);
  return m_eStatus;
}
