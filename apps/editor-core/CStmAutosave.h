// Never lose work: while the model differs from its file, a copy of it is written every so often
// to a recovery file beside the editor's settings; a session that ends without a clean close
// leaves it behind, and the next start offers it back.
#pragma once

#include <chrono>
#include <functional>
#include <string>

class CStmAutosave {
public:
  using Clock = std::chrono::steady_clock;
  // Writes the model to the path given; false with the message when it could not.
  using SaveFn = std::function<bool(const std::string& path, std::string& error)>;

  // A copy left behind by a session that did not end cleanly.
  struct SRecovery {
    std::string path;       // the copy, a model file
    std::string modelPath;  // the file it is a copy of; empty for an untitled model
    std::chrono::system_clock::time_point written;
  };

  // dir: the editor's settings folder, created when missing (empty: no copies are kept);
  // interval: how long a change may stay unsaved in the recovery file.
  explicit CStmAutosave(std::string dir, Clock::duration interval = std::chrono::minutes(1));
  // Leaves the copy where it is, as a crash would: only Discard removes it.
  ~CStmAutosave();
  CStmAutosave(const CStmAutosave&) = delete;
  CStmAutosave& operator=(const CStmAutosave&) = delete;

  // The recovery file of this session (each running editor has its own, so two editors never
  // write over each other's copy); the small file beside it names the model it is a copy of.
  std::string RecoveryPath() const;

  // Called often (a timer) with whether the model differs from its file and that file's path
  // (empty for an untitled model): writes the recovery copy, through a temporary file, once the
  // interval has passed since the model began to differ or since the last copy. True when it
  // wrote; a failed write keeps the earlier copy whole and is reported in error (once an
  // interval, not at every tick). A model that equals its file again needs no copy: it goes.
  bool Tick(Clock::time_point now, bool modified, const std::string& modelPath, const SaveFn& save,
            std::string& error);

  // A recovery copy left by a session that did not end cleanly: its path and the model file it
  // is a copy of (empty when that model was untitled). False when there is none. A copy of an
  // editor still running is not offered. With several, the newest. Declined: Discard removes
  // it; taken: it stays until this session's first copy or Discard, so a crash in between
  // still finds it.
  bool FindRecovery(std::string& recoveryPath, std::string& modelPath) const;
  bool FindRecovery(SRecovery& recovery) const;

  // The copy is no longer needed: after a save, a clean close, a copy offered and declined or
  // taken.
  void Discard();

private:
  std::string Base(const std::string& token) const;
  bool WriteCopy(const std::string& modelPath, const SaveFn& save, std::string& error);
  void RemoveOwn();
  void RemoveFound();

  std::string m_dir;
  Clock::duration m_interval;
  // Names this session's files; unique among the sessions sharing the folder.
  std::string m_token;
  // When the model began to differ from its file, or the last copy, whichever came later.
  Clock::time_point m_since{};
  bool m_bPending = false;
  bool m_bWritten = false;
  // Held locked while this session has a copy, so that others see it is alive; the kernel
  // lets go of it when the process dies, however it dies.
  int m_nLockFd = -1;
  // The leftover copy FindRecovery offered, removed with this session's own by Discard.
  mutable std::string m_strFound;
};
