// Every print command, clicked as the user clicks it and answered in the real printer chooser:
// "取消" prints nothing and says so; "确  定" prints to the PDF printer. Labels print the shown
// records in the shown order with the copies set, and the posting list lists that run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "data/data_texts.h"
#include "data/record_view.h"
#include "data/ui/record_grid.h"
#include "editor/ui/box_widget.h"
#include "print/current_printer.h"
#include "print/print_texts.h"
#include "print/ui/printer_chooser.h"
#include "store/registry.h"
#include "tests/print/print_test_support.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

// Presses OK or cancel in the printer chooser as soon as it is open.
void AnswerChooser(bool ok, int tries = 0) {
  QTimer::singleShot(0, [ok, tries] {
    if (auto* chooser = qobject_cast<print::PrnSel*>(QApplication::activeModalWidget()))
      (ok ? chooser->okButton() : chooser->cancelButton())->click();
    else if (tries < 100)
      AnswerChooser(ok, tries + 1);
  });
}

// The window, printing to the PDF printer into a folder of its own.
class PrintCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    Registry::SaveSetting(Registry::kCollateSection, print::kPdfFolderKey, pdfFolder_.path());
    Registry::SaveSetting(Registry::kCollateSection, print::kPrinterKey, print::kPdfPrinterName);
    print::SetCurrentPrinterName(print::kPdfPrinterName);
    window_ = std::make_unique<MF>();
    window_->Load();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void TearDown() override { window_->records().ReplaceAll({}); }

  void Import(std::vector<data::Record> records) {
    window_->records().ReplaceAll(std::move(records));
    window_->recordGrid()->AfterCommand(data::ui::kImport);
  }
  QStringList Pdfs() const { return QDir(pdfFolder_.path()).entryList(QDir::Files); }

  test::ParDatabase database_;  // outlives the window
  QTemporaryDir pdfFolder_;
  std::unique_ptr<MF> window_;
};

TEST_F(PrintCommandsTest, CancelInThePrinterChooserPrintsNothing) {
  Import({{u"1"_qs, u"张三"_qs, u"310012"_qs, u"文三路188号"_qs},
          {u"2"_qs, u"李四"_qs, u"310013"_qs, u"文三路189号"_qs}});

  const struct {
    int command;
    MF::Tab tab;
    bool ok;
    int pdfs;  // files in the PDF folder afterwards
  } cases[] = {
      {0, MF::kEnvelopeTab, false, 0}, {1, MF::kEnvelopeTab, false, 0}, {2, MF::kEnvelopeTab, false, 0},
      {16, MF::kGridTab, false, 0},    {14, MF::kLabelTab, false, 0},   {15, MF::kLabelTab, false, 0},
      {16, MF::kGridTab, true, 1},  // the same setup prints when the printer is confirmed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(app::kCommands[c.command].caption.toStdString() + (c.ok ? " OK" : " cancel"));
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    window_->SST()->setCurrentIndex(c.tab);
    if (c.tab == MF::kGridTab) window_->MSF()->selectRow(0);
    AnswerChooser(c.ok);
    QTest::mouseClick(window_->CB(c.command), Qt::LeftButton);
    EXPECT_EQ(Pdfs().size(), c.pdfs);
    if (!c.ok) {
      EXPECT_EQ(window_->T2()->text(), app::kNothingPrinted);
      EXPECT_EQ(prompts.shown, QStringList()) << "no question after cancel";
    }
  }
}

TEST_F(PrintCommandsTest, LabelsPrintTheShownRecordsWithCopiesAndTheirRunIsThePostingList) {
  Import({{u"1"_qs, u"张三"_qs, u"310012"_qs, u"浙江省杭州市文三路188号"_qs},
          {u"2"_qs, u"李四"_qs, u"100080"_qs, u"北京市海淀区中关村大街1号"_qs},
          {u"3"_qs, u"王五"_qs, u"315000"_qs, u"浙江省宁波市中山西路56号"_qs},
          {u"4"_qs, u"赵六"_qs, u"200000"_qs, u"上海市黄浦区南京东路1号"_qs},
          {u"5"_qs, u"钱七"_qs, u"310000"_qs, u"浙江省杭州市延安路2号"_qs}});
  data::RecordFilter filter;
  filter.postcodePrefix = u"31"_qs;
  window_->records().SetFilter(filter);
  window_->records().Sort(data::kPostcodeColumn, true);
  // The setting beside the envelope count is the labels' too.
  window_->findChild<QSpinBox*>(u"Copies"_qs)->setValue(2);
  EXPECT_EQ(window_->findChild<QSpinBox*>(u"TagCopies"_qs)->value(), 2);

  window_->SST()->setCurrentIndex(MF::kLabelTab);
  test::FreshPrompts();
  AnswerChooser(true);
  QTest::mouseClick(window_->CB(15), Qt::LeftButton);
  const QStringList pdfs = Pdfs();
  ASSERT_EQ(pdfs.size(), 1);
  // The names on the sheet, row by row and left to right.
  QList<printtest::Word> names;
  for (const printtest::Word& w : printtest::ReadWords(pdfFolder_.filePath(pdfs[0])))
    if (QStringList({u"张三"_qs, u"李四"_qs, u"王五"_qs, u"赵六"_qs, u"钱七"_qs}).contains(w.text))
      names.append(w);
  const auto place = [](const printtest::Word& w) {
    return std::tuple(w.page, std::round(w.mm.top()), w.mm.left());
  };
  std::sort(names.begin(), names.end(), [&](const auto& a, const auto& b) { return place(a) < place(b); });
  QStringList printed;
  for (const printtest::Word& w : names) printed.append(w.text);
  EXPECT_EQ(printed, (QStringList{u"王五"_qs, u"王五"_qs, u"张三"_qs, u"张三"_qs, u"钱七"_qs, u"钱七"_qs}));

  // The posting list offers that run, each record once, and lists it by postcode.
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  prompts.choices = {common::Choice::kYes};
  prompts.files = {pdfFolder_.filePath(u"list.csv"_qs)};
  window_->records().SetFilter({});
  window_->SST()->setCurrentIndex(MF::kGridTab);
  QTest::mouseClick(window_->CB(data::ui::kPostingList), Qt::LeftButton);
  EXPECT_EQ(prompts.shown.value(0), data::kPostingSourceQuestion.arg(3).arg(5));
  QFile csv(pdfFolder_.filePath(u"list.csv"_qs));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QString list = QString::fromUtf8(csv.readAll());
  QStringList listed;
  for (const QString& name : {u"钱七"_qs, u"张三"_qs, u"王五"_qs, u"李四"_qs, u"赵六"_qs})
    if (list.count(name) == 1) listed.append(name);
  EXPECT_EQ(listed, (QStringList{u"钱七"_qs, u"张三"_qs, u"王五"_qs}));
  EXPECT_LT(list.indexOf(u"钱七"_qs), list.indexOf(u"张三"_qs));
  EXPECT_LT(list.indexOf(u"张三"_qs), list.indexOf(u"王五"_qs));
  window_->findChild<QSpinBox*>(u"Copies"_qs)->setValue(1);
}

// A run puts every record on the envelope to print it, but the canvas is redrawn only when the
// window next takes its turn: afterwards it shows the last record printed, in every box.
TEST_F(PrintCommandsTest, TheCanvasShowsTheLastRecordOfARun) {
  Import({{u"1"_qs, u"张三"_qs, u"310012"_qs, u"文三路188号"_qs},
          {u"2"_qs, u"李四"_qs, u"200040"_qs, u"南京西路1号//3楼"_qs},
          {u"3"_qs, u"王五"_qs, u"100083"_qs, u"学院路37号"_qs}});
  window_->NS()->setValue(1);
  test::FreshPrompts();
  AnswerChooser(true);
  QTest::mouseClick(window_->CB(1), Qt::LeftButton);
  ASSERT_EQ(Pdfs().size(), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(window_->P1(editor::kNameBox)->toPlainText(), u"王五"_qs);
  EXPECT_EQ(window_->P1(editor::kAddressBox)->toPlainText(), u"学院路37号"_qs);
  QString digits;
  for (int i = 0; i <= editor::kLastDigitBox; ++i) digits += window_->P1(i)->toPlainText();
  EXPECT_EQ(digits, u"100083"_qs);
}

}  // namespace
