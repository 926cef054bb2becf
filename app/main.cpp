// The program's entry point: Sub_main (app/program.h).
#include <QApplication>

#include "app/program.h"
#include "common/allocator.h"

int main(int argc, char* argv[]) {
  common::KeepFreedMemoryForReuse();
  QApplication application(argc, argv);
  return app::RunProgram();
}
