#include "CStmEditorLoadPath.h"

bool CStmEditorLoadPath::Start(const CStmModel& model, int loadCase) {
  m_nLoadCase = loadCase;
  if (!m_loadPath.Prepare(model, loadCase)) return false;
  m_thread = std::thread([this] {
    m_eStatus = m_loadPath.Solve(&m_progress, &m_bCancel);
    m_bDone = true;
  });
  return true;
}

CStmEditorLoadPath::~CStmEditorLoadPath() {
  m_bCancel = true;
  if (m_thread.joinable()) m_thread.join();
}
