// Times what working with a big list costs: sorting and filtering 1,000,000 records, each find
// step over them, and the posting list of 100,000 records as a PDF. Prints a Markdown table of
// the best of five runs of each step.
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "bench/bench_support.h"
#include "common/allocator.h"
#include "common/font_substitutes.h"
#include "data/postcodes.h"
#include "data/record_table.h"
#include "data/record_view.h"
#include "print/posting_list.h"

namespace {

double Seconds(const std::function<void()>& run) {
  QElapsedTimer timer;
  timer.start();
  run();
  return timer.nsecsElapsed() / 1e9;
}

// The best of five runs, each after `setup` (untimed): the machine is shared, and the best run
// is the one least disturbed.
double Best(const std::function<void()>& setup, const std::function<void()>& run) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    setup();
    best = std::min(best, Seconds(run));
  }
  return best;
}

}  // namespace

int main(int argc, char* argv[]) {
  common::KeepFreedMemoryForReuse();  // as the programs start, so the PDF is written as they write it
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  common::InstallFontSubstitutes();
  const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1'000'000;
  const int listed = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100'000;
  const 生成邮编::PostcodeTable table = bench::ShippedPostcodeTable();
  data::RecordTable records;
  records.ReplaceAll(bench::GenerateAddressList(n, table));
  records.SetPostcodeCheck(std::make_shared<const 生成邮编::PostcodeIndex>(table));

  std::printf("| step, %d records | seconds |\n|---|---|\n", n);
  const auto nothing = [] {};
  const auto unsorted = [&] {
    while (records.undoSteps() > 1) records.Undo();  // the generated order
  };
  std::printf("| sort order by postcode, the list untouched | %.3f |\n",
              Best(nothing, [&] { data::SortOrder(records.records(), data::kPostcodeColumn, false); }));
  std::printf("| sort by postcode | %.3f |\n",
              Best(unsorted, [&] { records.Sort(data::kPostcodeColumn, false); }));
  std::printf("| sort by postcode, descending | %.3f |\n",
              Best(
                  [&] {
                    unsorted();
                    records.Sort(data::kPostcodeColumn, false);
                  },
                  [&] { records.Sort(data::kPostcodeColumn, true); }));
  std::printf("| sort by name | %.3f |\n", Best(unsorted, [&] { records.Sort(data::kNameColumn, false); }));
  std::printf("| sort by address | %.3f |\n",
              Best(unsorted, [&] { records.Sort(data::kAddressColumn, false); }));
  std::printf("| undo a sort | %.3f |\n", Best(
                                              [&] {
                                                unsorted();
                                                records.Sort(data::kNameColumn, false);
                                              },
                                              [&] { records.Undo(); }));
  records.Sort(data::kNameColumn, false);  // the list as a user has it: sorted, its texts spread
  const auto filter = [&](const char* what, const QStringList& settings) {
    data::RecordFilter f;
    for (const QString& s : settings) data::AddFilter(s, &f);
    const double s = Best([&] { records.SetFilter({}); }, [&] { records.SetFilter(f); });
    std::printf("| filter %s (%d shown) | %.3f |\n", what, records.recordCount(), s);
  };
  filter("text in any column", {QStringLiteral("text=路12")});
  filter("text in the address", {QStringLiteral("address=路12")});
  filter("postcode prefix", {QStringLiteral("postcode=31")});
  {
    // The first filter that places addresses reads every one; the list keeps what it read.
    data::RecordFilter f;
    data::AddFilter(QStringLiteral("province=浙江"), &f);
    const auto forget = [&] {
      records.SetFilter({});
      records.ModifyCells([](std::vector<data::Record>&) {});  // no change, but the list forgets
    };
    std::printf("| filter province, the first time (every address read) | %.3f |\n",
                Best(forget, [&] { records.SetFilter(f); }));
  }
  filter("province", {QStringLiteral("province=浙江")});
  filter("problem rows", {QStringLiteral("problems")});
  filter("cleared", {});
  // A find step that has to walk the whole list: the text is in no record.
  std::printf("| find step, no match anywhere | %.3f |\n",
              Best(nothing, [&] { records.Find(0, QStringLiteral("没有这个词"), false); }));
  std::printf("| find step, next match | %.3f |\n",
              Best(nothing, [&] { records.Find(n / 2, QStringLiteral("路12"), false); }));

  QTemporaryDir dir;
  std::vector<data::Record> some(records.records().begin(), records.records().begin() + std::min(n, listed));
  print::PostingList list;
  const double make = Seconds([&] {
    list = print::MakePostingList(some, QStringLiteral("北京市海淀区 张三"), QDate::currentDate());
  });
  const double pdf =
      Seconds([&] { print::WritePostingList(dir.filePath(QStringLiteral("list.pdf")), list); });
  const double xlsx =
      Seconds([&] { print::WritePostingList(dir.filePath(QStringLiteral("list.xlsx")), list); });
  std::printf("| posting list of %d records: sort and count | %.3f |\n", int(some.size()), make);
  std::printf("| posting list of %d records: PDF | %.3f |\n", int(some.size()), pdf);
  std::printf("| posting list of %d records: .xlsx | %.3f |\n", int(some.size()), xlsx);
  std::printf("| resident memory, MB | %.0f |\n", bench::ResidentMb());
  return 0;
}
