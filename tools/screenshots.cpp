// Starts the program as the installed kovapost does (app::RunProgram), fills the grid with a few
// sample addresses, and saves a picture of the whole screen for each tab and for the print
// preview into the folder given as the first argument. scripts/screenshots.sh runs it under
// Xvfb at the screen sizes and scales the user guide and the README show.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/program.h"
#include "data/ui/record_grid.h"

namespace {

std::vector<data::Record> SampleRecords() {
  const char16_t* rows[][3] = {
      {u"欧阳建国", u"310012", u"浙江省杭州市西湖区文三路188号华星科技大厦十二楼"},
      {u"李明", u"100073", u"北京市丰台区丽泽路16号院2号楼"},
      {u"王小红", u"200030", u"上海市徐汇区虹桥路1号港汇中心"},
      {u"陈静", u"510620", u"广东省广州市天河区体育西路191号"},
  };
  std::vector<data::Record> records;
  for (const auto& row : rows)
    records.push_back({QString::number(records.size() + 1), QString::fromUtf16(row[0]),
                       QString::fromUtf16(row[1]), QString::fromUtf16(row[2])});
  return records;
}

void Save(const QString& path) {
  QCoreApplication::processEvents();
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
  if (!shot.save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QDir out(QApplication::arguments().value(1, QStringLiteral(".")));
  return app::RunProgram([&](MF& window) {
    window.records().ReplaceAll(SampleRecords());
    window.recordGrid()->AfterCommand(data::ui::kImport);
    // Pictures are taken from the event loop, once the window has been drawn.
    QTimer::singleShot(1500, &window, [&window, out] {
      const char* names[] = {"envelope-tab", "grid-tab", "label-tab", "help-tab"};
      for (int tab = 0; tab < window.SST()->count(); ++tab) {
        window.SST()->setCurrentIndex(tab);
        Save(out.filePath(QString::fromLatin1(names[tab]) + QStringLiteral(".png")));
      }
      window.SST()->setCurrentIndex(MF::kEnvelopeTab);
      window.PreviewButton()->click();
      QTimer::singleShot(800, &window, [&window, out] {
        Save(out.filePath(QStringLiteral("preview.png")));
        for (QDialog* dialog : window.findChildren<QDialog*>()) dialog->close();
        window.records().ReplaceAll({});  // the samples were never the user's: no export question
        window.close();
      });
    });
  });
}
