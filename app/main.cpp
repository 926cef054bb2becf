// The program's entry point: Sub_main (app/program.h).
#include <QApplication>

#include "app/program.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  return app::RunProgram();
}
