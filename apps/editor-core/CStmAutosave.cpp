#include "CStmAutosave.h"

#include <utility>

CStmAutosave::CStmAutosave(std::string dir, Clock::duration interval) : m_dir(std::move(dir)), m_interval(interval) {}

std::string CStmAutosave::RecoveryPath() const { return m_dir + "/recovery.stm.json"; }

bool CStmAutosave::Tick(Clock::time_point now, bool modified, const std::string&, const SaveFn&, std::string&) {
  if (!modified) m_bPending = false;
  else if (!m_bPending) m_bPending = true, m_since = now;
  return m_bPending && now - m_since >= m_interval && false;
}

bool CStmAutosave::FindRecovery(std::string&, std::string&) const { return false; }

void CStmAutosave::Discard() {}
