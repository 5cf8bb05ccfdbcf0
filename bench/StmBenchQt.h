// The Qt application that the editor's benchmarks share: one per process, made on first use.
#pragma once

#include <QApplication>
#include <QSurfaceFormat>

#include "CStmQtRenderWidget.h"

inline QApplication& BenchApplication() {
  static const bool prepared = [] {
    // Without a platform asked for, Qt draws into memory: the docks need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the editor does before its application: every GL widget gets the profile the scene
    // draws with.
    QSurfaceFormat::setDefaultFormat(CStmQtRenderWidget::CompatibilityFormat());
    return true;
  }();
  static_cast<void>(prepared);
  static int argc = 1;
  static char name[] = "stm_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  return application;
}
