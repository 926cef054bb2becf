// Sub_main: the program's entry point.
#include <QApplication>
#include <QMainWindow>

#include "app/app_texts.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(app::kCaption);
  window.show();
  return app.exec();
}
