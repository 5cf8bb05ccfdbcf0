// The archive readers' fuzz inputs kept in the repository: every seed still loads whole, and
// every input that once broke a reader is now refused or read as the fuzz targets demand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/StmArchiveFuzz.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> Inputs(const char* folder, const std::string& reader) {
  std::vector<fs::path> out;
  const fs::path dir = fs::path(STM_SOURCE_DIR) / "fuzz" / folder / reader;
  if (fs::is_directory(dir))
    for (const auto& entry : fs::directory_iterator(dir)) out.push_back(entry.path());
  return out;
}

// A found input that breaks an entity's reader must throw and leave the entity as it was.
TEST(StmArchiveFuzzFixture, SeedsLoadWholeAndFoundInputsAreRefusedAndChangeNothing) {
  StmArchiveFuzz::SScene scene;
  for (const std::string& reader : StmArchiveFuzz::Readers()) {
    const std::vector<fs::path> seeds = Inputs("corpus", reader);
    EXPECT_FALSE(seeds.empty()) << "no seeds for " << reader;
    for (const fs::path& path : seeds) {
      std::vector<std::uint8_t> bytes = ReadBytes(path);
      EXPECT_EQ(StmArchiveFuzz::ReadOne(scene, reader, bytes.data(), bytes.size()), "") << path;
      if (reader == "CArchive") continue;
      // A seed that no longer loads would only teach the fuzzer the refusals.
      std::unique_ptr<CUbEntityObj> entity(scene.manager.CreateEntityObj(CString(reader)));
      CArchive ar(bytes, CArchive::load);
      EXPECT_NO_THROW(entity->Serialize(ar)) << path;
      EXPECT_EQ(ar.GetRemaining(), 0u) << path;
    }
    for (const fs::path& path : Inputs("crashers", reader)) {
      std::vector<std::uint8_t> bytes = ReadBytes(path);
      EXPECT_EQ(StmArchiveFuzz::ReadOne(scene, reader, bytes.data(), bytes.size()), "") << path;
      if (reader == "CArchive") continue;
      std::unique_ptr<CUbEntityObj> entity(scene.manager.CreateEntityObj(CString(reader)));
      const std::vector<std::uint8_t> before = StmArchiveFuzz::Store(*entity);
      CArchive ar(bytes, CArchive::load);
      EXPECT_THROW(entity->Serialize(ar), CArchiveException) << path;
      EXPECT_EQ(StmArchiveFuzz::Store(*entity), before) << path;
    }
  }
  EXPECT_EQ(scene.manager.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 0);
}

}  // namespace
