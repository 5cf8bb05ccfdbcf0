// Fuzz target for one reader of archives, named by STM_FUZZ_READER at build time: the values of
// an archive or the archive of one entity class (see StmArchiveFuzz.h for what is checked).
#include <cstdio>
#include <cstdlib>

#include "fuzz/StmArchiveFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static StmArchiveFuzz::SScene* scene = new StmArchiveFuzz::SScene;  // lives as long as the run
  const std::string problem = StmArchiveFuzz::ReadOne(*scene, STM_FUZZ_READER, data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s: %s\n", STM_FUZZ_READER, problem.c_str());
    std::abort();
  }
  return 0;
}
