#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>

// The runner reaches a real display: a window shows and is exposed.
TEST(StmQtWindow, ShowsOnTheDisplay) {
  QMainWindow window;
  window.resize(320, 200);
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
}
