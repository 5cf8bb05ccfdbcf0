// Fuzz target for the model file reader: any bytes are either refused with a message or read
// into a model that writes back and reads again to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CStmModel model;
  std::string error;
  if (!CStmModelFile::FromText(text, "fuzz.stm.json", model, &error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  std::string saved, again;
  if (!CStmModelFile::ToText(model, saved, &error)) {
    std::fprintf(stderr, "read but cannot be written: %s\n", error.c_str());
    std::abort();
  }
  CStmModel back;
  if (!CStmModelFile::FromText(saved, "fuzz-saved.stm.json", back, &error) || !CStmModelFile::ToText(back, again, &error) ||
      again != saved) {
    std::fprintf(stderr, "what was written does not read back the same: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
