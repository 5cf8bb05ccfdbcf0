// stm-editor: edits a strut-and-tie model file in a window.
//   stm-editor MODEL.stm.json [--size WxH] [--frames N] [--screenshot OUT.png]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CStmEditor.h"
#include "host/platform/StmText.h"

namespace {

constexpr int kMaxSide = 8192;

int Fail(const std::string& message) {
  std::fprintf(stderr, "stm-editor: %s\n", message.c_str());
  return 1;
}

void PrintUsage() {
  std::fprintf(stderr, "%s\n",
               StmText("usage: stm-editor MODEL.stm.json [--size WxH] [--frames N] [--screenshot OUT.png]").c_str());
}

// False with the message for a bad command line.
bool ParseArguments(int argc, char** argv, CStmEditor::SOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--size" || arg == "--frames" || arg == "--screenshot") {
      if (i + 1 >= argc) {
        CString text;
        text.Format(StmText("%s needs a value").c_str(), arg.c_str());
        error = text.c_str();
        return false;
      }
      const std::string value = argv[++i];
      int w = 0, h = 0;
      char tail = 0;
      if (arg == "--screenshot") {
        options.screenshot = value;
      } else if (arg == "--frames") {
        if (std::sscanf(value.c_str(), "%d%c", &w, &tail) != 1 || w < 1) {
          CString text;
          text.Format(StmText("--frames must be a positive number, not \"%s\"").c_str(), value.c_str());
          error = text.c_str();
          return false;
        }
        options.frames = w;
      } else if (std::sscanf(value.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > kMaxSide ||
                 h > kMaxSide) {
        CString text;
        text.Format(StmText("--size must be WIDTHxHEIGHT between 1 and %d, not \"%s\"").c_str(), kMaxSide,
                    value.c_str());
        error = text.c_str();
        return false;
      } else {
        options.width = w;
        options.height = h;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      CString text;
      text.Format(StmText("unknown option \"%s\"").c_str(), arg.c_str());
      error = text.c_str();
      return false;
    } else if (options.model.empty()) {
      options.model = arg;
    } else {
      CString text;
      text.Format(StmText("more than one model file given (\"%s\")").c_str(), arg.c_str());
      error = text.c_str();
      return false;
    }
  }
  if (options.model.empty()) {
    error = StmText("no model file given").c_str();
    return false;
  }
  if (!options.screenshot.empty() && options.frames == 0) {
    error = StmText("--screenshot needs --frames").c_str();
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  StmBindCatalogue(STM_LOCALE_DIR);
  CStmEditor::SOptions options;
  std::string error;
  if (!ParseArguments(argc, argv, options, error)) {
    if (!error.empty()) Fail(error);
    PrintUsage();
    return 2;
  }
  CStmEditor editor;
  if (!editor.Open(options, error)) return Fail(error);
  if (!editor.Run(error)) return Fail(error);
  return 0;
}
