// Starts the program exactly as the installed kovapost does (app::RunProgram) and then acts as a
// user would. Copied beside the installed binaries by the install test, so that it finds the
// installed template as the program does.
//   choose N     clicks the size option O1(N) and closes the window;
//   report       prints the index of the size option that is chosen and closes the window;
//   work FILE    imports the CSV file, completes the postcodes, edits a cell and moves the grid's
//                current cell, prints the list once it is kept on disk, then waits to be killed;
//   list         answers the first question with its first button and later ones with the
//                second ("恢复", then "不导出"), prints the questions asked and the grid's list, and
//                closes the window.
// A list is printed one record a line (its four texts and whether the postcode was generated)
// and then the current cell.
#include <QAbstractItemModel>
#include <QApplication>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/program.h"
#include "common/prompts.h"
#include "data/csv_reader.h"
#include "data/kept_records.h"
#include "data/ui/record_grid.h"
#include "editor/envelope_model.h"

namespace {

// Answers the first question with its first button and later ones with the second, and
// remembers what was asked or said.
class Answers final : public common::Prompts {
 public:
  void Message(const QString& text) override { said << text; }
  bool Ask(const QString& text) override {
    said << text;
    return true;
  }
  common::Choice AskYesNoCancel(const QString& text, const QString&, const QString&,
                                const QString&) override {
    said << text;
    return said.size() == 1 ? common::Choice::kYes : common::Choice::kNo;
  }
  std::optional<QString> Input(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  QString OpenFileName(const QString&, const QString&) override { return {}; }
  QString FolderName(const QString&, const QString&) override { return {}; }
  std::optional<common::FontChoice> ChooseFont(const common::FontChoice&) override { return std::nullopt; }
  QStringList said;
};

QString ListText(const std::vector<data::Record>& records, data::GridPosition position) {
  QString text;
  for (const data::Record& record : records)
    text += QStringList(record.begin(), record.end()).join(u'\t') +
            (record.postcodeGenerated ? QStringLiteral("\t蓝\n") : QStringLiteral("\n"));
  return text + QStringLiteral("@%1,%2\n").arg(position.row).arg(position.column);
}

void Print(const QString& text) {
  std::fputs(text.toUtf8().constData(), stdout);
  std::fflush(stdout);
}

data::GridPosition Current(MF& window) {
  const QModelIndex current = window.MSF()->currentIndex();
  return {current.row(), current.column()};
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  const QString command = arguments.value(1);
  Answers prompts;
  return app::RunProgram([&](MF& window) {
    if (command == u"choose") {
      QTest::mouseClick(window.O1(arguments.value(2).toInt()), Qt::LeftButton);
    } else if (command == u"report") {
      for (int i = 0; i < editor::kSizeCount; ++i)
        if (window.O1(i)->isChecked()) std::printf("%d\n", i);
      std::fflush(stdout);
    } else {
      common::SetPrompts(&prompts);
    }
    if (command != u"work") {
      // Closed from the event loop, once the start's questions are answered, as the window
      // manager's close button does.
      QTimer::singleShot(0, &window, [&] {
        if (command == u"list")
          Print(prompts.said.join(u'\n') + u'\n' + ListText(window.records().records(), Current(window)));
        window.close();
      });
      return;
    }
    QTimer::singleShot(0, &window, [&] {
      data::Expressions columns{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
      data::ImportCsv(window.records(), arguments.value(2), 2, std::nullopt, columns, false);
      window.recordGrid()->AfterCommand(data::ui::kImport);
      window.CB_Click(data::ui::kCompletePostcodes);
      QAbstractItemModel* grid = window.MSF()->model();
      grid->setData(grid->index(1, data::kNameColumn), QStringLiteral("改过的名字"));
      window.MSF()->setCurrentIndex(grid->index(7, data::kAddressColumn));
      const QString expected = ListText(window.records().records(), Current(window));
      // Waits until the kept file holds the list, as a reader of it would see it.
      auto* poll = new QTimer(&window);
      QObject::connect(poll, &QTimer::timeout, &window, [poll, expected] {
        const data::KeptList kept = data::ReadKeptRecords(data::KeptRecordsPath());
        if (ListText(kept.records, kept.position) != expected) return;
        poll->stop();
        Print(expected);
      });
      poll->start(50);
    });
  });
}
