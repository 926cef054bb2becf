// Times the six cleaning commands and postcode completion on generated lists of 100,000 and
// 1,000,000 records, and prints the figures as a Markdown table.
#include <QCoreApplication>
#include <cstdio>

#include "bench/bench_support.h"
#include "data/cleaning.h"
#include "data/postcodes.h"

namespace {

using Records = std::vector<data::Record>;

void Row(const char* what, int n, double seconds) { std::printf("| %s | %d | %.3f |\n", what, n, seconds); }

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const 生成邮编::PostcodeTable table = bench::ShippedPostcodeTable();
  {
    // What ten undo steps keep, measured first, on a fresh heap: each step holds what its command
    // took away, the texts shared with the list rather than copied.
    const double empty = bench::ResidentMb();
    data::RecordTable grid;
    grid.ReplaceAll(bench::GenerateAddressList(1'000'000, table));
    const double loaded = bench::ResidentMb();
    grid.ModifyCells(data::RemoveSpaces);
    grid.ModifyCells(data::RemoveLineBreakMarks);
    grid.Modify(data::MergeDuplicates);
    grid.ModifyCells([&](Records& r) { 生成邮编::CompletePostcodes(r, 生成邮编::PostcodeIndex(table)); });
    for (int i = 0; i < 5; ++i) grid.Modify([](Records& r) { data::DeleteRecordRange(r, 1, 1000); });
    grid.Clear();
    std::printf(
        "Resident memory: %.0f MB at the start, %.0f MB with 1,000,000 records in the record table, "
        "%.0f MB after ten data commands kept for undo (peak %.0f MB)\n\n",
        empty, loaded, bench::ResidentMb(), bench::PeakResidentMb());
  }
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
    // The same commands in the grid's record table, which keeps each one's undo step.
    data::RecordTable grid;
    const auto load = [&] { grid.ReplaceAll(list); };
    Row("合并  相同项 in the record table, with its undo step", n,
        bench::BestSeconds(3, load, [&] { grid.Modify(data::MergeDuplicates); }));
    Row("清除  空  格 in the record table, with its undo step", n,
        bench::BestSeconds(3, load, [&] { grid.ModifyCells(data::RemoveSpaces); }));
    Row("撤销 合并  相同项", n,
        bench::BestSeconds(
            3,
            [&] {
              load();
              grid.Modify(data::MergeDuplicates);
            },
            [&] { grid.Undo(); }));
    Row("撤销 清除  空  格", n,
        bench::BestSeconds(
            3,
            [&] {
              load();
              grid.ModifyCells(data::RemoveSpaces);
            },
            [&] { grid.Undo(); }));
  }
  std::printf("\nPeak resident memory: %.0f MB\n", bench::PeakResidentMb());
  return 0;
}
