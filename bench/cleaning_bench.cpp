// Times the six cleaning commands and postcode completion on generated lists of 100,000 and
// 1,000,000 records, and prints the figures as a Markdown table.
#include <QCoreApplication>
#include <cstdio>

#include "bench/bench_support.h"
#include "data/cleaning.h"
#include "data/postcodes.h"

namespace {

using Records = std::vector<data::Record>;

// Postcode lookup by walking the whole table once or twice per address, to compare with the index.
QString WalkTheTable(const QString& address, const 生成邮编::PostcodeTable& table) {
  const auto occurs = [](const QString& needle, const QString& text) {
    return !text.isEmpty() && text.contains(needle);
  };
  QString result;
  for (const auto& row : table) {
    if (!occurs(row.省份, address)) continue;
    result = row.邮编.left(1) + QStringLiteral("00000");
    if (occurs(row.地区, QString(address).remove(row.省份))) return row.邮编;
  }
  if (result.isEmpty())
    for (const auto& row : table)
      if (occurs(row.地区, address)) return row.邮编;
  return result;
}

void Row(const char* what, int n, double seconds) { std::printf("| %s | %d | %.3f |\n", what, n, seconds); }

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const 生成邮编::PostcodeTable table = bench::ShippedPostcodeTable();
  std::printf("Postcode table: %d rows\n\n| command | records | seconds (best of 3) |\n|---|---|---|\n",
              int(table.size()));
  for (int n : {100'000, 1'000'000}) {
    const Records list = bench::GenerateAddressList(n, table);
    Records work;
    const auto fresh = [&] { work = list; };
    const struct {
      const char* what;
      std::function<void(Records&)> command;
    } commands[] = {
        {"清除不完整数据 (清除无邮编数据)",
         [](Records& r) { data::RemoveIncomplete(r, data::Rule::kNeedsPostcode); }},
        {"清除  空  格", data::RemoveSpaces},
        {"清除  换行符", data::RemoveLineBreakMarks},
        {"合并  相同项", data::MergeDuplicates},
        {"删除 所有记录", [](Records& r) { r.clear(); }},
        {"删除 选定记录 (rows 2 .. n/2)", [n](Records& r) { data::DeleteRecordRange(r, n / 2, 2); }},
    };
    for (const auto& c : commands) Row(c.what, n, bench::BestSeconds(3, fresh, [&] { c.command(work); }));
    Row("生成缺失邮编 (index + completion)", n, bench::BestSeconds(3, fresh, [&] {
          const 生成邮编::PostcodeIndex index(table);
          生成邮编::CompletePostcodes(work, index);
        }));
    Row("生成缺失邮编, every postcode empty", n,
        bench::BestSeconds(
            3,
            [&] {
              fresh();
              for (data::Record& r : work) r[data::kPostcodeColumn].clear();
            },
            [&] {
              const 生成邮编::PostcodeIndex index(table);
              生成邮编::CompletePostcodes(work, index);
            }));
    if (n == 100'000)
      Row("生成缺失邮编, every postcode empty, walking the table per record", n,
          bench::BestSeconds(1, fresh, [&] {
            for (data::Record& r : work)
              r[data::kPostcodeColumn] = WalkTheTable(r[data::kAddressColumn], table);
          }));
  }
  std::printf("\nPeak resident memory: %.0f MB\n", bench::PeakResidentMb());
  return 0;
}
