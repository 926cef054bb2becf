// What the start sequence costs in the parameter database: choose the custom size and then the
// stored one (two format loads), the chosen size, the box texts and the thirteen option reads.
// Measured twice: as the program runs it (one keyed handle kept behind the per-operation
// interface) and with every operation keying a fresh connection, as a plain per-operation
// design would.
//
//   database_start_bench [Par.mdb]     (default: the one the build made)
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "editor/format_store.h"
#include "editor/option_memory.h"
#include "store/database.h"

namespace {

using Clock = std::chrono::steady_clock;

double StartSequenceMs(const QString& path, bool freshKeyEveryOperation) {
  editor::EnvelopeModel model;
  const auto before = [&] {
    if (freshKeyEveryOperation) DataBase::SetDatabasePath(path);  // forgets the kept handle
  };
  const auto click = [&](int size) {
    before();
    格式模块::SizeOptionClick(model, size);
  };
  DataBase::SetDatabasePath(path);
  const Clock::time_point start = Clock::now();
  click(editor::kCustomSize);
  before();
  click(格式模块::LoadChosenSize());
  before();
  格式模块::LoadBoxContents(model);
  if (freshKeyEveryOperation) {
    for (int ord = 0; ord <= OptionMemory::kRotateOrd; ++ord) {
      before();
      OptionMemory::GetLastValue(ord);
    }
  } else {
    OptionMemory::LoadLastSet(model, click);
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QCoreApplication::applicationDirPath() + QStringLiteral("/../Par.mdb");
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Par.mdb"));
  if (!QFile::copy(source, path)) {
    std::fprintf(stderr, "cannot copy %s\n", qUtf8Printable(source));
    return 1;
  }
  constexpr int kRuns = 15;
  for (const bool fresh : {false, true}) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) runs.push_back(StartSequenceMs(path, fresh));
    std::printf("%-44s median %7.1f ms  (min %.1f, max %.1f, %d runs)\n",
                fresh ? "start sequence, key derived per operation:" : "start sequence, kept keyed handle:",
                Median(runs), *std::min_element(runs.begin(), runs.end()),
                *std::max_element(runs.begin(), runs.end()), kRuns);
  }
  return 0;
}
