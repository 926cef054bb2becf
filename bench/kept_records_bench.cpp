// What keeping the working list on disk costs the window with 100,000 records: for each kind of
// command, the window thread's time spent on keeping (the snapshot taken after the command) and,
// beside it, the writer thread's time until the list is in the file. The command's own work is
// not counted. Prints a Markdown table; the best of five runs.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "bench/bench_support.h"
#include "data/kept_records.h"

namespace {

// CPU time of the calling thread in ms: on a shared machine the wall clock also counts other
// programs' work.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100'000;
  const std::vector<data::Record> list = bench::GenerateAddressList(n, bench::ShippedPostcodeTable());
  QTemporaryDir dir;
  data::RecordTable table;
  data::KeptRecords keeper(table, dir.filePath(QStringLiteral("records.db")));

  struct Command {
    const char* name;
    std::function<void()> run;
  } commands[] = {
      {"import (the whole list replaced)", [&] { table.ReplaceAll(list); }},
      {"cleaning command (records removed)",
       [&] { table.Modify([](std::vector<data::Record>& r) { r.erase(r.begin() + r.size() / 2); }); }},
      {"change of every cell's text",
       [&] {
         table.ModifyCells([](std::vector<data::Record>& r) {
           for (data::Record& record : r) record[data::kNameColumn] += u'.';
         });
       }},
      {"cell edit", [&] { table.setData(table.index(n / 3, data::kNameColumn), QStringLiteral("改")); }},
      {"undo", [&] { table.Undo(); }},
  };
  std::printf(
      "| Command, %d records | window thread, CPU (ms) | until in the file, wall (ms) |\n|---|---|---|\n", n);
  for (const Command& command : commands) {
    double window = 1e9, writer = 1e9;
    for (int run = 0; run < 5; ++run) {
      command.run();
      const double before = ThreadMs();
      QCoreApplication::processEvents();  // the snapshot, taken once the command is done
      window = std::min(window, ThreadMs() - before);
      QElapsedTimer timer;
      timer.start();
      keeper.Flush();
      writer = std::min(writer, timer.nsecsElapsed() / 1e6);
    }
    std::printf("| %s | %.1f | %.0f |\n", command.name, window, writer);
  }
  return 0;
}
