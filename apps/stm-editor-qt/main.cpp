// stm-editor-qt: edits a strut-and-tie model file in a desktop window.
//   stm-editor-qt [MODEL.stm.json] [--size WxH] [--frames N --screenshot OUT.png] [--autosave SECONDS]
#include <QApplication>
#include <QSurfaceFormat>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "CStmMainWindow.h"
#include "CStmQtRenderWidget.h"
#include "StmPicture.h"
#include "host/platform/StmText.h"

namespace {

constexpr int kMaxSide = 8192;

int Fail(const std::string& message) {
  std::fprintf(stderr, "stm-editor-qt: %s\n", message.c_str());
  return 1;
}

void PrintUsage(FILE* out) {
  std::fprintf(out, "%s\n",
               StmText("usage: stm-editor-qt [MODEL.stm.json] [--size WxH] [--frames N --screenshot OUT.png]\n"
                       "                     [--autosave SECONDS]\n"
                       "  MODEL.stm.json    the model to open; without it the editor starts a new one\n"
                       "  --size WxH        the window's size in pixels (1024x768)\n"
                       "  --frames N        with --screenshot: draw N frames, write the window, leave\n"
                       "  --screenshot OUT  where the picture of the window goes\n"
                       "  --autosave S      how long a change may stay out of the recovery copy (60)\n"
                       "  --help            this text\n"
                       "The window's layout, the recent files and the recovery copy are kept in\n"
                       "$XDG_CONFIG_HOME/stm-editor (~/.config/stm-editor without it).")
                   .c_str());
}

struct SCommandLine {
  CStmMainWindow::SOptions editor;
  bool help = false;
};

CString Formatted(const char* format, const std::string& value) {
  CString text;
  text.Format(StmText(format).c_str(), value.c_str());
  return text;
}

bool ParseArguments(int argc, char** argv, SCommandLine& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (arg == "--size" || arg == "--frames" || arg == "--screenshot" || arg == "--autosave") {
      if (i + 1 >= argc) {
        error = Formatted("%s needs a value", arg).c_str();
        return false;
      }
      const std::string value = argv[++i];
      int w = 0, h = 0;
      char tail = 0;
      if (arg == "--screenshot") {
        options.editor.screenshot = value;
      } else if (arg == "--frames" || arg == "--autosave") {
        if (std::sscanf(value.c_str(), "%d%c", &w, &tail) != 1 || w < 1) {
          error = Formatted(arg == "--frames" ? "--frames must be a positive number, not \"%s\""
                                              : "--autosave must be a positive number of seconds, not \"%s\"",
                            value)
                      .c_str();
          return false;
        }
        if (arg == "--frames") options.editor.frames = w;
        else options.editor.autosave = std::chrono::seconds(w);
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
      error = Formatted("unknown option \"%s\"", arg).c_str();
      return false;
    } else if (options.editor.model.empty()) {
      options.editor.model = arg;
    } else {
      error = Formatted("more than one model file given (\"%s\")", arg).c_str();
      return false;
    }
  }
  if (!options.editor.screenshot.empty() && options.editor.frames == 0) {
    error = StmText("--screenshot needs --frames").c_str();
    return false;
  }
  // A picture that cannot be written is known before any window opens.
  return options.editor.screenshot.empty() || StmCheckPicturePath(options.editor.screenshot, error);
}

}  // namespace

int main(int argc, char** argv) {
  StmFollowUserLanguage();
  StmBindCatalogue(STM_LOCALE_DIR);
  // Before the application: every GL widget gets the profile the scene draws with.
  QSurfaceFormat::setDefaultFormat(CStmQtRenderWidget::CompatibilityFormat());
  QApplication app(argc, argv);
  QApplication::setOrganizationName("stm-editor");
  QApplication::setApplicationName("stm-editor-qt");
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
  if (!options.editor.model.empty() && !StmCheckModelPath(options.editor.model, error)) return Fail(error);
  CStmMainWindow window(options.editor);
  window.show();
  // The view has its size once shown, and the model is fitted into it.
  QApplication::processEvents();
  if (!window.Open(error)) return Fail(error);
  QTimer::singleShot(0, &window, [&window] { window.OfferRecovery(); });
  return app.exec();
}
