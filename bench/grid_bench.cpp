// Fills the record grid with 1,000,000 generated records and times what the user waits for:
// the grid filled and painted, a jump to the last record, selecting a range, editing a cell.
// Prints the figures and the resident memory as a Markdown table.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>

#include "bench/bench_support.h"
#include "data/ui/record_grid.h"

namespace {

double Seconds(const std::function<void()>& run) {
  QElapsedTimer timer;
  timer.start();
  run();
  QApplication::processEvents();
  return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1'000'000;
  const 生成邮编::PostcodeTable table = bench::ShippedPostcodeTable();

  QTableView msf;
  QScrollBar ns(Qt::Horizontal);
  QLineEdit num0, num1;
  data::RecordTable records;
  editor::EnvelopeModel envelope;
  data::ui::InitRecordGrid(&msf, &records);
  data::ui::RecordGrid grid({&msf, &ns, &num0, &num1}, &records, &envelope);
  grid.SetPostcodeTableReader([&] { return std::optional(table); });
  msf.resize(1000, 700);
  msf.show();
  QApplication::processEvents();
  const double before = bench::ResidentMb();

  std::vector<data::Record> list = bench::GenerateAddressList(n, table);
  std::printf("| step, %d records | seconds |\n|---|---|\n", n);
  std::printf("| fill the grid and show it | %.3f |\n", Seconds([&] {
                records.ReplaceAll(std::move(list));
                grid.RefreshNavigator(true);
                msf.repaint();
              }));
  std::printf("| jump to the last record | %.3f |\n", Seconds([&] {
                msf.scrollToBottom();
                msf.setCurrentIndex(records.index(n - 1, data::kAddressColumn));
                msf.repaint();
              }));
  std::printf("| select records 10 .. n-10 | %.3f |\n", Seconds([&] {
                msf.selectionModel()->select(QItemSelection(records.index(9, 1), records.index(n - 11, 3)),
                                             QItemSelectionModel::Select);
                msf.repaint();
              }));
  std::printf("| edit a cell (one keystroke) | %.3f |\n", Seconds([&] {
                records.SetCell(n, data::kNameColumn, QStringLiteral("王小明"));
                msf.repaint();
              }));
  std::printf("| page through 100 screens | %.3f |\n", Seconds([&] {
                for (int i = 0; i < 100; ++i) {
                  msf.verticalScrollBar()->setValue(i * n / 100);
                  msf.repaint();
                }
              }));
  if (argc > 2) {  // a picture of the grid at its first records, to look at
    msf.scrollToTop();
    msf.setCurrentIndex(records.index(0, 1));
    msf.grab().save(QString::fromLocal8Bit(argv[2]));
  }
  std::printf("\nResident memory: %.0f MB before, %.0f MB with the grid filled (peak %.0f MB)\n", before,
              bench::ResidentMb(), bench::PeakResidentMb());
  return 0;
}
