// The load path of the editor's model computed beside the frames: the window keeps drawing and
// can be looked around in while the concrete is meshed and its cells removed step by step, and
// Esc (or closing the window) stops it without touching the model.
#pragma once

#include <atomic>
#include <thread>

#include "analysis/CStmLoadPath.h"

class CStmEditorLoadPath {
public:
  // Takes what the computation needs from the model now (on the model's thread, so that a
  // refusal changes nothing); false with the reason in GetError, and no thread started.
  bool Start(const CStmModel& model, int loadCase);
  // Cancels a computation still running and waits for it.
  ~CStmEditorLoadPath();
  CStmEditorLoadPath() = default;
  CStmEditorLoadPath(const CStmEditorLoadPath&) = delete;
  CStmEditorLoadPath& operator=(const CStmEditorLoadPath&) = delete;

  void Cancel() { m_bCancel = true; }
  bool IsCancelling() const { return m_bCancel.load(); }
  bool IsDone() const { return m_bDone.load(); }
  int GetLoadCase() const { return m_nLoadCase; }
  const CStmLoadPath::SProgress& GetProgress() const { return m_progress; }
  // Only once done.
  CStmLoadPath::EStatus GetStatus() const { return m_eStatus; }
  const CStmLoadPath& GetLoadPath() const { return m_loadPath; }
  const CString& GetError() const { return m_loadPath.GetError(); }

private:
  CStmLoadPath m_loadPath;
  CStmLoadPath::SProgress m_progress;
  CStmLoadPath::EStatus m_eStatus = CStmLoadPath::kNotRun;
  int m_nLoadCase = -1;
  std::atomic<bool> m_bCancel{false};
  std::atomic<bool> m_bDone{false};
  std::thread m_thread;
};
