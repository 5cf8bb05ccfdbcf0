// The recovery copy: when it is written, that a failed write keeps the earlier one, and that
// the next start finds what a crashed session left and nothing else.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "CStmAutosave.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

std::string FreshDir(const std::string& name) {
  const std::string dir = std::string(STM_TEST_OUT_DIR) + "/autosave-" + name + "-" + std::to_string(getpid());
  fs::remove_all(dir);
  return dir;
}

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Stands for the model's save: writes its text, or half of it and then fails.
CStmAutosave::SaveFn Saving(const std::string& text, bool fail = false) {
  return [text, fail](const std::string& path, std::string& error) {
    std::ofstream(path) << (fail ? text.substr(0, text.size() / 2) : text);
    if (fail) error = "disk full";
    return !fail;
  };
}

TEST(StmAutosave, WritesOneIntervalAfterTheModelBeganToDifferOrTheLastCopyAndNeverWhileItEqualsItsFile) {
  CStmAutosave autosave(FreshDir("interval"), seconds(60));
  const CStmAutosave::Clock::time_point t0{};
  std::string error;
  int writes = 0;
  const auto tick = [&](int at, bool modified) {
    const bool wrote = autosave.Tick(t0 + seconds(at), modified, "/m/beam.stm.json", Saving("v" + std::to_string(at)), error);
    writes += wrote;
    return wrote;
  };
  for (int at = 0; at <= 600; at += 30) EXPECT_FALSE(tick(at, false)) << at;
  EXPECT_FALSE(tick(1000, true));  // begins to differ here, not when the editor started
  EXPECT_FALSE(tick(1059, true));
  EXPECT_TRUE(tick(1060, true));
  EXPECT_EQ(Read(autosave.RecoveryPath()), "v1060");
  EXPECT_FALSE(tick(1119, true));
  EXPECT_TRUE(tick(1120, true));
  // Back to the file (saved, or undone to it): the copy is stale and goes; a new difference
  // waits a whole interval again.
  EXPECT_FALSE(tick(1130, false));
  EXPECT_FALSE(fs::exists(autosave.RecoveryPath()));
  EXPECT_FALSE(tick(1200, true));
  EXPECT_FALSE(tick(1259, true));
  EXPECT_TRUE(tick(1260, true));
  EXPECT_EQ(writes, 3);
  EXPECT_TRUE(error.empty()) << error;
  autosave.Discard();
  EXPECT_FALSE(fs::exists(autosave.RecoveryPath()));
}

TEST(StmAutosave, AFailedWriteKeepsTheEarlierCopyWholeAndIsReportedOncePerInterval) {
  const std::string dir = FreshDir("fail");
  CStmAutosave autosave(dir, seconds(10));
  const CStmAutosave::Clock::time_point t0{};
  std::string error;
  autosave.Tick(t0, true, "", Saving("first"), error);
  ASSERT_TRUE(autosave.Tick(t0 + seconds(10), true, "", Saving("first"), error)) << error;

  EXPECT_FALSE(autosave.Tick(t0 + seconds(20), true, "", Saving("second, longer", true), error));
  EXPECT_NE(error.find("disk full"), std::string::npos) << error;
  EXPECT_EQ(Read(autosave.RecoveryPath()), "first");
  error.clear();
  EXPECT_FALSE(autosave.Tick(t0 + seconds(21), true, "", Saving("second, longer", true), error));
  EXPECT_TRUE(error.empty()) << "retried at once: " << error;
  // Nothing half written is left lying about; the good copy is still the one offered.
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << entry.path();
  CStmAutosave next(dir);
  std::string found, model = "?";
  // The session still runs, so its copy is not a leftover yet.
  EXPECT_FALSE(next.FindRecovery(found, model));
}

TEST(StmAutosave, TheNextStartFindsACrashedSessionsCopyUntilDiscardedOrReplaced) {
  const std::string dir = FreshDir("crash");
  const CStmAutosave::Clock::time_point t0{};
  std::string error, copy;
  {
    CStmAutosave crashed(dir, seconds(1));
    crashed.Tick(t0, true, "/m/beam.stm.json", Saving("beam"), error);
    ASSERT_TRUE(crashed.Tick(t0 + seconds(1), true, "/m/beam.stm.json", Saving("beam"), error)) << error;
    copy = crashed.RecoveryPath();
  }  // gone without Discard, as a killed editor

  CStmAutosave declining(dir);
  CStmAutosave::SRecovery recovery;
  ASSERT_TRUE(declining.FindRecovery(recovery));
  EXPECT_EQ(recovery.path, copy);
  EXPECT_EQ(recovery.modelPath, "/m/beam.stm.json");
  EXPECT_LT(std::chrono::system_clock::now() - recovery.written, std::chrono::minutes(1));
  EXPECT_EQ(Read(recovery.path), "beam");
  declining.Discard();
  EXPECT_FALSE(CStmAutosave(dir).FindRecovery(recovery));
  EXPECT_TRUE(fs::is_empty(dir));

  // An untitled model's copy, taken: it stays until the taking session writes its own.
  {
    CStmAutosave crashed(dir, seconds(1));
    crashed.Tick(t0, true, "", Saving("untitled"), error);
    ASSERT_TRUE(crashed.Tick(t0 + seconds(1), true, "", Saving("untitled"), error)) << error;
  }
  CStmAutosave taking(dir, seconds(1));
  std::string found, model = "?";
  ASSERT_TRUE(taking.FindRecovery(found, model));
  EXPECT_EQ(model, "");
  EXPECT_EQ(Read(found), "untitled");
  taking.Tick(t0, true, "", Saving("untitled, edited"), error);
  EXPECT_TRUE(fs::exists(found));
  ASSERT_TRUE(taking.Tick(t0 + seconds(1), true, "", Saving("untitled, edited"), error)) << error;
  EXPECT_FALSE(fs::exists(found));
  EXPECT_FALSE(CStmAutosave(dir).FindRecovery(found, model)) << "the taking session still runs";
}

}  // namespace
