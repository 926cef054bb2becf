#include "data/ui/import_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "data/import_state.h"
#include "data/import_texts.h"
#include "data/record_table.h"
#include "data/ui/import_source.h"
#include "data/ui/recent_imports.h"
#include "data/ui/sheet_chooser.h"
#include "store/registry.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_prompts.h"

namespace {

using namespace Qt::Literals::StringLiterals;

QString Fixture(const QString& name) { return QStringLiteral(KOVA_FIXTURES "/import/") + name; }

class ImportDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int i = 2; i <= 6; ++i) Registry::DeleteSetting(Registry::kOpenParaSection, QString::number(i));
    Registry::DeleteSetting(Registry::kOpenParaSection, u"Folder"_s);
    data::importState() = {};
    prompts_ = &test::FreshPrompts();
  }
  // Key presses for ASCII text, as the validators see them; other text is entered as a whole.
  static void Type(QLineEdit* box, const QString& text) {
    box->clear();
    bool ascii = true;
    for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
      QTest::keyClicks(box, text);
    } else {
      box->insert(text);
    }
  }
  static QString Preview(const data::fOpen& dialog, int row, int column) {
    const QTableWidgetItem* item = dialog.MSF()->item(row, column);
    return item ? item->text() : QString();
  }
  test::ScriptedPrompts* prompts_ = nullptr;
  data::RecordTable grid_;
};

TEST_F(ImportDialogTest, ParametersComeBackAfterOkButNotAfterCancel) {
  data::importState().file = Fixture(u"addresses_utf8.csv"_s);
  {
    data::fOpen dialog(grid_);
    EXPECT_EQ(dialog.windowTitle(), data::texts::kImportCaption);
    const QStringList defaults = {dialog.TT(2)->text(), dialog.TT(3)->text(), dialog.TT(4)->text(),
                                  dialog.TT(5)->text(), dialog.TT(6)->text()};
    // The end row is the file's last line that holds data.
    EXPECT_EQ(defaults, (QStringList{u"2"_s, u"A"_s, u"B"_s, u"C"_s, u"11"_s}));
    EXPECT_EQ(Preview(dialog, 0, 0), u"姓名"_s);
    Type(dialog.TT(3), u"A，\" 收\""_s);
    Type(dialog.TT(5), u"C,D"_s);
    Type(dialog.TT(6), u"5"_s);
    dialog.CHK()->setChecked(true);
    QTest::mouseClick(dialog.COM(0), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  ASSERT_EQ(grid_.recordCount(), 4);
  EXPECT_EQ(grid_.record(2), (data::Record{u"2"_s, u"李四 收"_s, u"010001"_s, u"上海市浦东新区"_s}));
  EXPECT_EQ(data::importState().expressions[0], u"A,\" 收\""_s);
  {
    data::fOpen dialog(grid_);
    EXPECT_EQ(dialog.TT(3)->text(), u"A，\" 收\""_s);
    EXPECT_EQ(dialog.TT(6)->text(), u"5"_s);
    Type(dialog.TT(3), u"B"_s);
    Type(dialog.TT(6), u"9"_s);
    QTest::mouseClick(dialog.COM(1), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(grid_.recordCount(), 4);
  data::fOpen again(grid_);
  EXPECT_EQ(again.TT(3)->text(), u"A，\" 收\""_s);
  EXPECT_EQ(again.TT(6)->text(), u"5"_s);
}

TEST_F(ImportDialogTest, RecentFilesAreOfferedAndReimportRepeatsTheLastWithItsMapping) {
  for (int i = 1; i <= data::kRecentImports; ++i)
    Registry::DeleteSetting(u"RecentImports"_s, QString::number(i));
  QTemporaryDir dir;
  const QString first = dir.filePath(u"first.csv"_s);
  ASSERT_TRUE(QFile::copy(Fixture(u"addresses_utf8.csv"_s), first));
  data::importState().file = first;
  {
    data::fOpen dialog(grid_);
    Type(dialog.TT(3), u"A，\" 收\""_s);
    Type(dialog.TT(6), u"5"_s);
    QTest::mouseClick(dialog.COM(0), Qt::LeftButton);
  }
  const std::vector<data::Record> imported = grid_.records();
  ASSERT_EQ(imported.size(), 4u);
  // Eight more files push the first one out; importing one again moves it to the front.
  for (int i = 0; i < data::kRecentImports; ++i)
    data::RememberImport({dir.filePath(u"%1.csv"_s.arg(i)), {}, 2, {}, {u"A"_s, u"B"_s, u"C"_s}, false});
  data::RememberImport(data::RecentImports()[3]);
  std::vector<data::RecentImport> recent = data::RecentImports();
  ASSERT_EQ(recent.size(), std::size_t(data::kRecentImports));
  EXPECT_EQ(recent[0].file, dir.filePath(u"4.csv"_s));
  EXPECT_EQ(recent[1].file, dir.filePath(u"7.csv"_s));
  EXPECT_TRUE(std::none_of(recent.begin(), recent.end(), [&](const auto& r) { return r.file == first; }));

  // The dialog offers them, the files that have gone greyed; choosing one brings its mapping.
  ASSERT_TRUE(QFile::copy(first, dir.filePath(u"5.csv"_s)));
  data::RememberImport({first, {}, 2, 5, {u"A,\" 收\""_s, u"B"_s, u"C"_s}, false});
  {
    data::fOpen dialog(grid_);
    auto* list = dialog.findChild<QComboBox*>(u"Recent"_s);
    ASSERT_EQ(list->count(), 1 + data::kRecentImports);
    const auto* model = qobject_cast<const QStandardItemModel*>(list->model());
    EXPECT_TRUE(model->item(1)->isEnabled()) << "first.csv";
    EXPECT_FALSE(model->item(2)->isEnabled()) << "4.csv was never written";
    const int five = list->findText(u"5.csv"_s);
    ASSERT_GT(five, 0);
    EXPECT_TRUE(model->item(five)->isEnabled());
    emit list->activated(1);
    EXPECT_EQ(dialog.TT(3)->text(), u"A,\" 收\""_s);
    EXPECT_EQ(dialog.TT(6)->text(), u"5"_s);
  }

  grid_.Clear();
  ASSERT_TRUE(data::Reimport(grid_));
  EXPECT_EQ(grid_.records(), imported);
  QFile::remove(first);
  EXPECT_FALSE(data::Reimport(grid_));
  EXPECT_EQ(prompts_->shown, QStringList{data::texts::kRecentFileGone.arg(first)});
}

TEST_F(ImportDialogTest, TheEndRowFollowsTheDataUnlessTyped) {
  // A new user with a 200-record list and a header line gets all 200 by pressing OK, and the
  // next, longer list again in full; an end row once typed is kept, and emptying it follows
  // the data again.
  QTemporaryDir dir;
  const auto list = [&](int records) {
    const QString path = dir.filePath(QStringLiteral("list%1.csv").arg(records));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("姓名,邮编,地址\n");
    for (int i = 1; i <= records; ++i) file.write(QStringLiteral("张%1,100001,北京市\n").arg(i).toUtf8());
    return path;
  };
  const struct {
    int records;
    QString typed;  // typed into the end row box, or null for untouched
    QString shown;  // the end row the dialog offered
    int imported;
  } cases[] = {
      {200, QString(), u"201"_s, 200}, {300, QString(), u"301"_s, 300}, {300, u"51"_s, u"301"_s, 50},
      {200, QString(), u"51"_s, 50},   {200, u""_s, u"51"_s, 200},      {250, QString(), u"251"_s, 250},
  };
  for (const auto& c : cases) {
    data::importState().file = list(c.records);
    data::fOpen dialog(grid_);
    EXPECT_TRUE(dialog.findChild<QLabel*>(u"DataRows"_s)->text().contains(QString::number(c.records + 1)));
    EXPECT_EQ(dialog.TT(6)->text(), c.shown) << c.records;
    if (!c.typed.isNull()) {
      dialog.TT(6)->selectAll();
      QTest::keyClick(dialog.TT(6), Qt::Key_Backspace);
      QTest::keyClicks(dialog.TT(6), c.typed);
    }
    QTest::mouseClick(dialog.COM(0), Qt::LeftButton);
    EXPECT_EQ(grid_.recordCount(), c.imported) << c.records << " " << c.typed.toStdString();
    EXPECT_EQ(grid_.cell(c.imported, 1), QStringLiteral("张%1").arg(c.imported));
  }
}

TEST_F(ImportDialogTest, TheFileDialogOffersEveryKindAndOpensInTheLastFolder) {
  const QString first = Fixture(u"addresses_gbk.csv"_s);
  prompts_->files = {first, QString()};
  data::ChooseImportSource(1);
  data::ChooseImportSource(1);
  ASSERT_EQ(prompts_->openFilters.size(), 2);
  const QString all = prompts_->openFilters[0].section(u";;"_s, 0, 0);
  for (const char16_t* pattern : {u"*.csv", u"*.xls", u"*.xlsx", u"*.ods"})
    EXPECT_TRUE(all.contains(QString::fromUtf16(pattern))) << all.toStdString();
  EXPECT_EQ(prompts_->openFolders, (QStringList{QString(), QFileInfo(first).absolutePath()}));
}

TEST_F(ImportDialogTest, RowBoxesTakeDigitsOnly) {
  data::importState().file = Fixture(u"addresses_utf8.csv"_s);
  data::fOpen dialog(grid_);
  for (int i : {2, 6}) {
    Type(dialog.TT(i), u"1a2-3 4"_s);
    EXPECT_EQ(dialog.TT(i)->text(), u"1234"_s);
  }
  Type(dialog.TT(3), u"A,\"x\""_s);
  EXPECT_EQ(dialog.TT(3)->text(), u"A,\"x\""_s);
}

TEST_F(ImportDialogTest, UnsupportedFilesAreRefusedAndImportNothing) {
  data::importState() = {Fixture(u"README.md"_s), u"地址"_s, {}};
  grid_.ReplaceAll({data::Record{u"1"_s, u"旧"_s, {}, {}}});
  data::fOpen dialog(grid_);
  EXPECT_EQ(prompts_->shown, QStringList{data::texts::kUnsupportedFile});
  EXPECT_EQ(data::importState().file, QString());
  EXPECT_EQ(Preview(dialog, 0, 0), QString());
  QTest::mouseClick(dialog.COM(0), Qt::LeftButton);
  EXPECT_EQ(grid_.cell(1, 1), u"旧"_s);
}

TEST_F(ImportDialogTest, RowRangesThatCannotBeImportedAreRefused) {
  const struct {
    const char16_t* start;
    const char16_t* end;
    QString message;
    int rows;
  } cases[] = {
      {u"5", u"3", data::texts::kEndBeforeStart, -1},
      {u"1", u"99999999", data::texts::kRangeTooLarge, -1},
      {u"5", u"4", QString(), 0},
      {u"", u"1", QString(), 2},
  };
  for (const auto& c : cases) {
    prompts_ = &test::FreshPrompts();
    data::importState().file = Fixture(u"addresses_utf8.csv"_s);
    grid_.ReplaceAll({data::Record{u"1"_s, u"旧"_s, {}, {}}});
    data::fOpen dialog(grid_);
    Type(dialog.TT(2), QString::fromUtf16(c.start));
    Type(dialog.TT(6), QString::fromUtf16(c.end));
    QTest::mouseClick(dialog.COM(0), Qt::LeftButton);
    EXPECT_EQ(prompts_->shown, c.message.isEmpty() ? QStringList() : QStringList{c.message});
    if (c.rows < 0) {
      EXPECT_EQ(dialog.result(), QDialog::Rejected);
      EXPECT_EQ(grid_.cell(1, 1), u"旧"_s);
    } else {
      EXPECT_EQ(grid_.recordCount(), c.rows);
    }
  }
}

TEST_F(ImportDialogTest, AThreeLetterColumnStopsAWorkbookImport) {
  data::importState() = {Fixture(u"addresses.xls"_s), u"地址"_s, {}};
  data::fOpen dialog(grid_);
  EXPECT_EQ(Preview(dialog, 2, 1), u"10001"_s);
  Type(dialog.TT(3), u"ABC"_s);
  QTest::mouseClick(dialog.COM(0), Qt::LeftButton);
  EXPECT_EQ(prompts_->shown, QStringList{data::texts::kColumnOutOfRange});
  // Rows 2 to 11, the sheet's last row that holds data, numbered and empty.
  EXPECT_EQ(grid_.recordCount(), 10);
  EXPECT_EQ(grid_.cell(1, 1), QString());
}

TEST_F(ImportDialogTest, TheChooserTicksOneSheetAtMost) {
  data::importState().file = Fixture(u"addresses.xlsx"_s);
  const auto ticks = [](const data::Sheets& chooser) {
    QStringList column;
    for (int r = 0; r < chooser.SHL()->rowCount(); ++r) column << chooser.SHL()->item(r, 1)->text();
    return column;
  };
  const auto press = [](data::Sheets& chooser, int row, int column) {
    QTableWidget* list = chooser.SHL();
    const QRect cell = list->visualItemRect(list->item(row, column));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, cell.center());
  };
  data::Sheets chooser(1);
  chooser.show();
  ASSERT_TRUE(chooser.listed());
  EXPECT_EQ(chooser.windowTitle(), data::texts::kSheetsCaption);
  EXPECT_EQ(chooser.SHL()->item(1, 2)->text(), u"其他"_s);
  EXPECT_EQ(ticks(chooser), (QStringList{u"√"_s, u""_s}));
  press(chooser, 1, 2);
  EXPECT_EQ(ticks(chooser), (QStringList{u""_s, u"√"_s}));
  press(chooser, 1, 0);
  EXPECT_EQ(ticks(chooser), (QStringList{u""_s, u""_s}));
  QTest::mouseClick(chooser.IMG(0), Qt::LeftButton);
  EXPECT_EQ(data::importState().sheet, QString());

  data::Sheets second(1);
  second.show();
  press(second, 1, 1);
  QTest::mouseClick(second.IMG(0), Qt::LeftButton);
  EXPECT_EQ(data::importState().sheet, u"其他"_s);
  data::Sheets third(1);
  QTest::mouseClick(third.IMG(1), Qt::LeftButton);
  EXPECT_EQ(data::importState().sheet, QString());
}

TEST_F(ImportDialogTest, ASheetlessFileIsReportedByTheChooser) {
  data::importState().file = Fixture(u"addresses_utf8.csv"_s).replace(u".csv"_s, u".xls"_s);
  data::Sheets chooser(1);
  EXPECT_FALSE(chooser.listed());
  EXPECT_EQ(prompts_->shown, QStringList{data::texts::kCannotListSheets});
}

// Answers the modal window that opens next: OK on the chooser, then the given row range on the
// import dialog.
void AnswerNextModal(int step = 0) {
  QTimer::singleShot(0, [step] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* chooser = qobject_cast<data::Sheets*>(modal)) {
      chooser->IMG(0)->click();
      AnswerNextModal(step + 1);
    } else if (auto* dialog = qobject_cast<data::fOpen*>(modal)) {
      dialog->TT(6)->setText(u"6"_s);
      dialog->COM(0)->click();
    } else if (step < 50) {
      AnswerNextModal(step + 1);
    }
  });
}

TEST_F(ImportDialogTest, TheImportCommandRunsFromFileToGrid) {
  const struct {
    QString file;
    QString sheet;
    QString firstName;
  } cases[] = {
      {Fixture(u"addresses_gbk.csv"_s), QString(), u"张三"_s},
      {Fixture(u"addresses.ods"_s), u"地址"_s, u"张三"_s},
      {QString(), QString(), u"旧"_s},
  };
  for (const auto& c : cases) {
    prompts_ = &test::FreshPrompts();
    prompts_->files = {c.file};
    grid_.ReplaceAll({data::Record{u"1"_s, u"旧"_s, {}, {}}});
    AnswerNextModal();
    data::ImportRecords(grid_);
    EXPECT_EQ(data::importState().file, c.file);
    EXPECT_EQ(data::importState().sheet, c.sheet);
    EXPECT_EQ(grid_.cell(1, 1), c.firstName) << c.file.toStdString();
  }
  // Let a pending answer find no window.
  QTest::qWait(20);
}

TEST_F(ImportDialogTest, TheImportButtonOfTheMainWindowFillsItsGrid) {
  MF window;
  prompts_->files = {Fixture(u"addresses.xlsx"_s)};
  AnswerNextModal();
  window.CB(3)->click();
  ASSERT_EQ(window.records().recordCount(), 5);
  EXPECT_EQ(window.records().record(2),
            (data::Record{u"2"_s, u"李四"_s, u"010001"_s, u"上海市//浦东新区"_s}));
  QTest::qWait(20);
}

}  // namespace
