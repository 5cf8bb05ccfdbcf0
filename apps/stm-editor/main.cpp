// stm-editor: edits a strut-and-tie model file in a window.
//   stm-editor [MODEL.stm.json] [--size WxH] [--frames N] [--screenshot OUT.png] [--idle-fd FD]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CStmEditor.h"
#include "StmEditorCommandLine.h"
#include "StmPicture.h"
#include "host/platform/StmText.h"

namespace {

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
bool ParseArguments(int argc, char** argv, CStmEditor::SOptions& options, std::string& error) {
  const auto idleFd = [&options](const std::string&, const std::string& value, std::string& message) {
    int fd = -1;
    char tail = 0;
    if (std::sscanf(value.c_str(), "%d%c", &fd, &tail) != 1 || fd < 0) {
      CString text;
      text.Format(StmText("--idle-fd must be an open file descriptor, not \"%s\"").c_str(), value.c_str());
      message = text.c_str();
      return false;
    }
    options.idleFd = fd;
    return true;
  };
  if (!StmParseEditorCommandLine(argc, argv, {"--idle-fd"}, idleFd, options, error)) return false;
  if (!options.screenshot.empty() && options.frames == 0 && options.idleFd < 0) {
    error = StmText("--screenshot needs --frames or --idle-fd").c_str();
    return false;
  }
  // A picture that cannot be written is known before any window opens.
  return options.screenshot.empty() || StmCheckPicturePath(options.screenshot, error);
}

}  // namespace

int main(int argc, char** argv) {
  StmFollowUserLanguage();
  StmBindCatalogue(STM_LOCALE_DIR);
  CStmEditor::SOptions options;
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
  if (options.idleFd >= 0) std::signal(SIGPIPE, SIG_IGN);
  if (!options.model.empty() && !StmCheckModelPath(options.model, error)) return Fail(error);
  CStmEditor editor;
  if (!editor.Open(options, error)) return Fail(error);
  if (!editor.Run(error)) return Fail(error);
  return 0;
}
