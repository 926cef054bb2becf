// Time from process start to the shown main window: the program's own start (single-instance
// lock, fonts, MF with its start sequence and the parameter database) run in a fresh process
// each time, timed by the parent from launching the process to the child's report that the
// window is exposed.
//
//   startup_bench [runs] [Par.mdb]      (default: 15 runs, the Par.mdb the build made)
//
// Runs on whatever QT_QPA_PLATFORM says; `xvfb-run -a build/bench/startup_bench` for a real
// X server.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "common/font_substitutes.h"
#include "store/database.h"

namespace {

const char kChildFlag[] = "--child";

// The child: the start of the program, then "shown" once the window is on screen.
int Child(int argc, char* argv[], const QString& database, const QString& lockPath) {
  QApplication application(argc, argv);
  common::InstallFontSubstitutes();
  QFont song(QStringLiteral("宋体"));
  song.setPointSize(9);
  QApplication::setFont(song);
  DataBase::SetDatabasePath(database);
  app::SingleInstance instance(lockPath);
  if (!instance.Acquire()) return 1;

  MF window;
  window.Load();
  window.show();
  while (!window.windowHandle() || !window.windowHandle()->isExposed())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  std::printf("shown\n");
  std::fflush(stdout);
  window.close();
  return 0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 4 && qstrcmp(argv[1], kChildFlag) == 0)
    return Child(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

  QCoreApplication application(argc, argv);
  const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
  const QString source = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QCoreApplication::applicationDirPath() + QStringLiteral("/../Par.mdb");
  QTemporaryDir dir;
  const QString database = dir.filePath(QStringLiteral("Par.mdb"));
  if (!QFile::copy(source, database)) {
    std::fprintf(stderr, "cannot copy %s\n", qUtf8Printable(source));
    return 1;
  }

  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kChildFlag), database, dir.filePath(QStringLiteral("lock"))});
    while (child.state() != QProcess::NotRunning && !child.canReadLine()) child.waitForReadyRead(10000);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (child.readLine().trimmed() != "shown") {
      std::fprintf(stderr, "run %d: the window was not shown\n", i + 1);
      return 1;
    }
    child.waitForFinished(10000);
    times.push_back(ms);
  }
  std::printf(
      "process start to shown main window (%s): median %.0f ms, min %.0f, max %.0f, %d runs\n",
      qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default platform" : qgetenv("QT_QPA_PLATFORM").constData(),
      Median(times), *std::min_element(times.begin(), times.end()),
      *std::max_element(times.begin(), times.end()), runs);
  return 0;
}
