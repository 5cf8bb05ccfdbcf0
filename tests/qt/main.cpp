// The Qt editor's test runner: one application for every test, on the display xvfb-run made.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSurfaceFormat>

#include "CStmQtRenderWidget.h"
#include "host/platform/StmText.h"

int main(int argc, char** argv) {
  StmBindCatalogue(STM_LOCALE_DIR);
  // As the program does: the render widget's context must be the compatibility profile.
  QSurfaceFormat::setDefaultFormat(CStmQtRenderWidget::CompatibilityFormat());
  QApplication app(argc, argv);
  QApplication::setOrganizationName("stm-editor");
  QApplication::setApplicationName("stm-editor");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
