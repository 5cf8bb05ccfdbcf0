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

  // dir: the editor's settings folder, created when missing; interval: how long a change may
  // stay unsaved in the recovery file.
  explicit CStmAutosave(std::string dir, Clock::duration interval = std::chrono::minutes(1));

  // The recovery file, and the small file beside it that names the model it is a copy of.
  std::string RecoveryPath() const;

  // Called often (a timer) with whether the model differs from its file and that file's path
  // (empty for an untitled model): writes the recovery copy, through a temporary file, once the
  // interval has passed since the model began to differ or since the last copy. True when it
  // wrote; a failed write keeps the earlier copy whole and is reported in error.
  bool Tick(Clock::time_point now, bool modified, const std::string& modelPath, const SaveFn& save,
            std::string& error);

  // A recovery copy left by a session that did not end cleanly: its path and the model file it
  // is a copy of (empty when that model was untitled). False when there is none.
  bool FindRecovery(std::string& recoveryPath, std::string& modelPath) const;

  // The copy is no longer needed: after a save, a clean close, a copy offered and declined or
  // taken.
  void Discard();

private:
  std::string m_dir;
  Clock::duration m_interval;
  // When the model began to differ from its file without a copy since; unset while it does not.
  Clock::time_point m_since{};
  bool m_bPending = false;
};
