// stm-editor: edits a strut-and-tie model file in a window.
//   stm-editor [MODEL.stm.json] [--size WxH] [--frames N] [--screenshot OUT.png] [--idle-fd FD]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CStmEditor.h"
#include "StmPicture.h"
#include "host/platform/StmText.h"

namespace {

constexpr int kMaxSide = 8192;

int Fail(const std::string& message) {
  std::fprintf(stderr, "stm-editor: %s\n", message.c_str());
  return 1;
}

void PrintUsage(FILE* out) {
  std::fprintf(out, "%s\n",
               StmText("usage: stm-editor [MODEL.stm.json] [--size WxH] [--frames N] [--screenshot OUT.png|OUT.jpg]\n"
                       "  MODEL.stm.json    the model to open; without it the editor starts a new one\n"
                       "  --size WxH        the window's size in pixels (1024x768)\n"
                       "  --frames N        leave on its own after N frames\n"
                       "  --screenshot OUT  write the last of those frames as a picture (with --idle-fd:\n"
                       "                    the frame of every report)\n"
                       "  --idle-fd FD      for test harnesses: a line of state on FD whenever the editor\n"
                       "                    waits for input; the Pause key is then the harness's marker\n"
                       "  --help            this text\n"
                       "In the window, F1 lists the keys. The files opened or saved last are listed in\n"
                       "$XDG_CONFIG_HOME/stm-editor/recent (~/.config/stm-editor/recent without it).")
                   .c_str());
}

// False with the message for a bad command line.
struct SCommandLine {
  CStmEditor::SOptions editor;
  bool help = false;
};

bool ParseArguments(int argc, char** argv, SCommandLine& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (arg == "--size" || arg == "--frames" || arg == "--screenshot" || arg == "--idle-fd") {
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
        options.editor.screenshot = value;
      } else if (arg == "--idle-fd") {
        if (std::sscanf(value.c_str(), "%d%c", &w, &tail) != 1 || w < 0) {
          CString text;
          text.Format(StmText("--idle-fd must be an open file descriptor, not \"%s\"").c_str(), value.c_str());
          error = text.c_str();
          return false;
        }
        options.editor.idleFd = w;
      } else if (arg == "--frames") {
        if (std::sscanf(value.c_str(), "%d%c", &w, &tail) != 1 || w < 1) {
          CString text;
          text.Format(StmText("--frames must be a positive number, not \"%s\"").c_str(), value.c_str());
          error = text.c_str();
          return false;
        }
        options.editor.frames = w;
      } else if (std::sscanf(value.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > kMaxSide ||
                 h > kMaxSide) {
        CString text;
        text.Format(StmText("--size must be WIDTHxHEIGHT between 1 and %d, not \"%s\"").c_str(), kMaxSide,
                    value.c_str());
        error = text.c_str();
        return false;
      } else {
        options.editor.width = w;
        options.editor.height = h;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      CString text;
      text.Format(StmText("unknown option \"%s\"").c_str(), arg.c_str());
      error = text.c_str();
      return false;
    } else if (options.editor.model.empty()) {
      options.editor.model = arg;
    } else {
      CString text;
      text.Format(StmText("more than one model file given (\"%s\")").c_str(), arg.c_str());
      error = text.c_str();
      return false;
    }
  }
  if (!options.editor.screenshot.empty() && options.editor.frames == 0 && options.editor.idleFd < 0) {
    error = StmText("--screenshot needs --frames or --idle-fd").c_str();
    return false;
  }
  // A picture that cannot be written is known before any window opens.
  return options.editor.screenshot.empty() || StmCheckPicturePath(options.editor.screenshot, error);
}

}  // namespace

int main(int argc, char** argv) {
  StmFollowUserLanguage();
  StmBindCatalogue(STM_LOCALE_DIR);
  SCommandLine options;
  std::string error;
  if (!ParseArguments(argc, argv, options, error)) {
    if (!error.empty()) Fail(error);
    PrintUsage(stderr);
    return 2;
  }
  if (options.help) {
    PrintUsage(stdout);
    return 0;
  }
  // A harness that stops listening must not take the editor with it.
  if (options.editor.idleFd >= 0) std::signal(SIGPIPE, SIG_IGN);
  if (!options.editor.model.empty() && !StmCheckModelPath(options.editor.model, error)) return Fail(error);
  CStmEditor editor;
  if (!editor.Open(options.editor, error)) return Fail(error);
  if (!editor.Run(error)) return Fail(error);
  return 0;
}
