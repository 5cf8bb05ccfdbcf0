// stm-editor: edits a strut-and-tie model file in a desktop window.
//   stm-editor [MODEL.stm.json] [--size WxH] [--frames N --screenshot OUT.png] [--autosave SECONDS]
#include <QApplication>
#include <QSurfaceFormat>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "CStmMainWindow.h"
#include "CStmQtRenderWidget.h"
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
               StmText("usage: stm-editor [MODEL.stm.json] [--size WxH] [--frames N --screenshot OUT.png]\n"
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

// False with the message for a bad command line.
bool ParseArguments(int argc, char** argv, CStmMainWindow::SOptions& options, std::string& error) {
  const auto autosave = [&options](const std::string& option, const std::string& value, std::string& message) {
    int seconds = 0;
    if (!StmParsePositive(option, value, seconds, message)) return false;
    options.autosave = std::chrono::seconds(seconds);
    return true;
  };
  if (!StmParseEditorCommandLine(argc, argv, {"--autosave"}, autosave, options, error)) return false;
  if (!options.screenshot.empty() && options.frames == 0) {
    error = StmText("--screenshot needs --frames").c_str();
    return false;
  }
  // A picture that cannot be written is known before any window opens.
  return options.screenshot.empty() || StmCheckPicturePath(options.screenshot, error);
}

}  // namespace

int main(int argc, char** argv) {
  StmFollowUserLanguage();
  StmBindCatalogue(STM_LOCALE_DIR);
  // The command line is answered before Qt looks for a display: --help and a bad argument need
  // none, and Qt without one ends the program by aborting it.
  CStmMainWindow::SOptions options;
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
  if (!options.model.empty() && !StmCheckModelPath(options.model, error)) return Fail(error);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    return Fail(StmText("no window could be opened: there is no display (DISPLAY is not set)").c_str());
  // Before the application: every GL widget gets the profile the scene draws with.
  QSurfaceFormat::setDefaultFormat(CStmQtRenderWidget::CompatibilityFormat());
  QApplication app(argc, argv);
  QApplication::setOrganizationName("stm-editor");
  QApplication::setApplicationName("stm-editor");
  CStmMainWindow window(options);
  window.show();
  // The view has its size once shown, and the model is fitted into it.
  QApplication::processEvents();
  if (!window.Open(error)) return Fail(error);
  QTimer::singleShot(0, &window, [&window] { window.OfferRecovery(); });
  return app.exec();
}
