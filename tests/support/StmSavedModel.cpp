// Saving models for byte comparison and describing where two saved files part.
#include "support/StmSavedModel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "analysis/CStmTrussAnalysis.h"
#include "analysis/StmAnalysisPasses.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

std::string ModelText(const CStmModel& model) {
  std::string text, error;
  EXPECT_TRUE(CStmModelFile::ToText(model, text, &error)) << error;
  return text;
}

std::string SaveModelBytes(CStmModel& model, const std::string& name) {
  const std::filesystem::path folder(STM_TEST_OUT_DIR);
  std::filesystem::create_directories(folder);
  // ctest runs tests side by side, each in a process of its own, and several save under one name.
  const std::string path = (folder / (name + "-" + std::to_string(getpid()) + ".stm.json")).string();
  std::string error;
  if (!CStmModelFile::Save(path, model, &error)) {
    ADD_FAILURE() << "saving " << path << ": " << error;
    return std::string();
  }
  const std::string bytes = ReadFile(path);
  std::filesystem::remove(path);
  return bytes;
}

bool LoadSolved(const std::string& path, CStmModel& model) {
  std::string error;
  EXPECT_TRUE(CStmModelFile::Load(path, model, &error)) << path << ": " << error;
  model.ClearResults();
  CStmTrussAnalysis analysis;
  analysis.Prepare(model);
  analysis.Solve();
  return StmApplyAndCheck(analysis, model, 0) == CStmTrussAnalysis::kSolved;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return std::string();
  const std::vector<std::string> a = Lines(expected);
  const std::vector<std::string> b = Lines(actual);
  size_t line = 0;
  while (line < a.size() && line < b.size() && a[line] == b[line]) ++line;
  constexpr size_t kContext = 6;
  std::ostringstream out;
  out << "files part at line " << line + 1 << ":\n";
  for (size_t i = line > kContext ? line - kContext : 0; i < line; ++i) out << "    " << a[i] << "\n";
  out << "  - " << (line < a.size() ? a[line] : "<end of file>") << "\n";
  out << "  + " << (line < b.size() ? b[line] : "<end of file>") << "\n";
  for (size_t i = line + 1; i < b.size() && i <= line + kContext; ++i) out << "  + " << b[i] << "\n";
  return out.str();
}
