// Times what working with a big list costs: sorting and filtering 1,000,000 records, each find
// step over them, and the posting list of 100,000 records as a PDF. Prints a Markdown table.
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
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
  std::printf("| sort order by postcode, the list untouched | %.3f |\n",
              Seconds([&] { data::SortOrder(records.records(), data::kPostcodeColumn, false); }));
  std::printf("| sort by postcode | %.3f |\n", Seconds([&] { records.Sort(data::kPostcodeColumn, false); }));
  std::printf("| sort by postcode, descending | %.3f |\n",
              Seconds([&] { records.Sort(data::kPostcodeColumn, true); }));
  std::printf("| sort by name | %.3f |\n", Seconds([&] { records.Sort(data::kNameColumn, false); }));
  std::printf("| undo a sort | %.3f |\n", Seconds([&] { records.Undo(); }));
  const auto filter = [&](const char* what, const QStringList& settings) {
    data::RecordFilter f;
    for (const QString& s : settings) data::AddFilter(s, &f);
    const double s = Seconds([&] { records.SetFilter(f); });
    std::printf("| filter %s (%d shown) | %.3f |\n", what, records.recordCount(), s);
  };
  filter("text in any column", {QStringLiteral("text=路12")});
  filter("text in the address", {QStringLiteral("address=路12")});
  filter("postcode prefix", {QStringLiteral("postcode=31")});
  filter("province", {QStringLiteral("province=浙江")});
  filter("problem rows", {QStringLiteral("problems")});
  filter("cleared", {});
  // A find step that has to walk the whole list: the text is in no record.
  std::printf("| find step, no match anywhere | %.3f |\n",
              Seconds([&] { records.Find(0, QStringLiteral("没有这个词"), false); }));
  std::printf("| find step, next match | %.3f |\n",
              Seconds([&] { records.Find(n / 2, QStringLiteral("路12"), false); }));

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
