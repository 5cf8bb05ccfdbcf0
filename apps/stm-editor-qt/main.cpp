// The desktop editor: a Qt main window around the render window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.show();
  return app.exec();
}
