#include "StmEditorCommandLine.h"

#include <algorithm>
#include <cstdio>

#include "host/platform/CString.h"
#include "host/platform/StmText.h"

namespace {

constexpr int kMaxSide = 8192;

std::string Formatted(const char* format, const std::string& value) {
  CString text;
  text.Format(StmText(format).c_str(), value.c_str());
  return text.c_str();
}

}  // namespace

bool StmParsePositive(const std::string& option, const std::string& value, int& out, std::string& error,
                      bool allowZero) {
  int number = 0;
  char tail = 0;
  if (std::sscanf(value.c_str(), "%d%c", &number, &tail) != 1 || number < (allowZero ? 0 : 1)) {
    CString text;
    text.Format(StmText("%s must be a positive number, not \"%s\"").c_str(), option.c_str(), value.c_str());
    error = text.c_str();
    return false;
  }
  out = number;
  return true;
}

bool StmParseEditorCommandLine(int argc, char** argv, const std::vector<std::string>& own,
                               const StmEditorOptionFn& option, SStmEditorCommandLine& line, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      return true;
    }
    const bool mine = std::find(own.begin(), own.end(), arg) != own.end();
    if (mine || arg == "--size" || arg == "--frames" || arg == "--screenshot") {
      if (i + 1 >= argc) {
        error = Formatted("%s needs a value", arg);
        return false;
      }
      const std::string value = argv[++i];
      if (mine) {
        if (!option(arg, value, error)) return false;
      } else if (arg == "--screenshot") {
        line.screenshot = value;
      } else if (arg == "--frames") {
        if (!StmParsePositive(arg, value, line.frames, error)) return false;
      } else {
        int w = 0, h = 0;
        char tail = 0;
        if (std::sscanf(value.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > kMaxSide ||
            h > kMaxSide) {
          CString text;
          text.Format(StmText("--size must be WIDTHxHEIGHT between 1 and %d, not \"%s\"").c_str(), kMaxSide,
                      value.c_str());
          error = text.c_str();
          return false;
        }
        line.width = w;
        line.height = h;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      error = Formatted("unknown option \"%s\"", arg);
      return false;
    } else if (line.model.empty()) {
      line.model = arg;
    } else {
      error = Formatted("more than one model file given (\"%s\")", arg);
      return false;
    }
  }
  return true;
}
