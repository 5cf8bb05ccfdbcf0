// The recovery copy: when it is written, that a failed write keeps the earlier one, and that
// the next start finds what a crashed session left and nothing else.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "CStmAutosave.h"
#include "support/StmSavedModel.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

std::string FreshDir(const std::string& name) {
  const std::string dir = std::string(STM_TEST_OUT_DIR) + "/autosave-" + name + "-" + std::to_string(getpid());
  fs::remove_all(dir);
  return dir;
}

// Stands for the model's save: writes its text, or half of it and then fails.
CStmAutosave::SaveFn Saving(const std::string& text, bool fail = false) {
  return [text, fail](const std::string& path, std::string& error) {
    std::ofstream(path) << (fail ? text.substr(0, text.size() / 2) : text);
    if (fail) error = "disk full";
    return !fail;
  };
}

// A copy one interval after the model began to differ, as a crashing session leaves it.
std::string CopyNow(CStmAutosave& autosave, const std::string& model, const std::string& text) {
  std::string error;
  const CStmAutosave::Clock::time_point t0{};
  autosave.Tick(t0, true, model, Saving(text), error);
  EXPECT_TRUE(autosave.Tick(t0 + std::chrono::minutes(1), true, model, Saving(text), error)) << error;
  return autosave.RecoveryPath();
}

TEST(StmAutosave, WritesOneIntervalAfterTheModelBeganToDifferOrTheLastCopyAndNeverWhileItEqualsItsFile) {
  CStmAutosave autosave(FreshDir("interval"), seconds(60));
  std::string error;
  const auto tick = [&](int at, bool modified) {
    return autosave.Tick(CStmAutosave::Clock::time_point{} + seconds(at), modified, "/m/beam.stm.json",
                         Saving("v" + std::to_string(at)), error);
  };
  for (int at = 0; at <= 600; at += 30) EXPECT_FALSE(tick(at, false)) << at;
  EXPECT_FALSE(tick(1000, true));  // begins to differ here, not when the editor started
  EXPECT_FALSE(tick(1059, true));
  EXPECT_TRUE(tick(1060, true));
  EXPECT_FALSE(tick(1119, true));
  EXPECT_TRUE(tick(1120, true));
  EXPECT_EQ(ReadFile(autosave.RecoveryPath()), "v1120");
  // Back to the file (saved, or undone to it): the stale copy goes, and a new difference waits
  // a whole interval again.
  EXPECT_FALSE(tick(1130, false));
  EXPECT_FALSE(fs::exists(autosave.RecoveryPath()));
  EXPECT_FALSE(tick(1200, true));
  EXPECT_FALSE(tick(1259, true));
  EXPECT_TRUE(tick(1260, true));
  EXPECT_TRUE(error.empty()) << error;
}

TEST(StmAutosave, AFailedWriteKeepsTheEarlierCopyWholeAndIsReportedOncePerInterval) {
  const std::string dir = FreshDir("fail");
  CStmAutosave autosave(dir, std::chrono::minutes(1));
  const std::string copy = CopyNow(autosave, "", "first");
  const CStmAutosave::Clock::time_point later = CStmAutosave::Clock::time_point{} + std::chrono::hours(1);
  std::string error;
  EXPECT_FALSE(autosave.Tick(later, true, "", Saving("second, longer", true), error));
  EXPECT_NE(error.find("disk full"), std::string::npos) << error;
  EXPECT_EQ(ReadFile(copy), "first");
  error.clear();
  EXPECT_FALSE(autosave.Tick(later + seconds(1), true, "", Saving("second, longer", true), error));
  EXPECT_TRUE(error.empty()) << "retried at once: " << error;
  // The session still runs, so its copy is no leftover.
  std::string found, model;
  EXPECT_FALSE(CStmAutosave(dir).FindRecovery(found, model));
}

TEST(StmAutosave, TheNextStartFindsACrashedSessionsCopyUntilDiscardedOrReplaced) {
  const std::string dir = FreshDir("crash");
  std::string copy;
  {
    CStmAutosave crashed(dir);
    copy = CopyNow(crashed, "/m/beam.stm.json", "beam");
  }  // gone without Discard, as a killed editor
  CStmAutosave declining(dir);
  CStmAutosave::SRecovery recovery;
  ASSERT_TRUE(declining.FindRecovery(recovery));
  EXPECT_EQ(recovery.path, copy);
  EXPECT_EQ(recovery.modelPath, "/m/beam.stm.json");
  EXPECT_LT(std::chrono::system_clock::now() - recovery.written, std::chrono::minutes(1));
  declining.Discard();
  EXPECT_FALSE(CStmAutosave(dir).FindRecovery(recovery));
  EXPECT_TRUE(fs::is_empty(dir));

  // An untitled model's copy, taken: it stays until the taking session has its own.
  {
    CStmAutosave crashed(dir);
    CopyNow(crashed, "", "untitled");
  }
  CStmAutosave taking(dir);
  std::string found, model = "?";
  ASSERT_TRUE(taking.FindRecovery(found, model));
  EXPECT_EQ(model, "");
  EXPECT_EQ(ReadFile(found), "untitled");
  CopyNow(taking, "", "untitled, edited");
  EXPECT_FALSE(fs::exists(found));
}

}  // namespace
