// Starts the program exactly as the installed kovapost does (app::RunProgram) and then acts as a
// user would: `choose N` clicks the size option O1(N) and closes the window; `report` prints the
// index of the size option that is chosen and closes the window. Copied beside the installed
// binaries by the install test, so that it finds the installed template as the program does.
#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/program.h"
#include "editor/envelope_model.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  const bool choose = arguments.value(1) == u"choose";
  const int size = arguments.value(2).toInt();
  return app::RunProgram([&](MF& window) {
    if (choose) {
      QTest::mouseClick(window.O1(size), Qt::LeftButton);
    } else {
      for (int i = 0; i < editor::kSizeCount; ++i)
        if (window.O1(i)->isChecked()) std::printf("%d\n", i);
      std::fflush(stdout);
    }
    // Closed from the event loop, as the window manager's close button does.
    QTimer::singleShot(0, &window, &QWidget::close);
  });
}
