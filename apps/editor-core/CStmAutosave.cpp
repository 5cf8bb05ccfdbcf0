#include "CStmAutosave.h"

#include <utility>

CStmAutosave::CStmAutosave(std::string dir, Clock::duration interval) : m_dir(std::move(dir)), m_interval(interval) {}

std::string CStmAutosave::RecoveryPath() const { return m_dir + "/recovery.stm.json"; }

bool CStmAutosave::Tick(Clock::time_point, bool, const std::string&, const SaveFn&, std::string&) { return false; }

bool CStmAutosave::FindRecovery(std::string&, std::string&) const { return false; }

void CStmAutosave::Discard() {}
