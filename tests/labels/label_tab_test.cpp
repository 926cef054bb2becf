// The label tab's widgets: design values, page recount, the landscape swap, the kept picture.
#include "labels/ui/label_tab.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "editor/window_layout.h"
#include "labels/label_memory.h"
#include "labels/label_texts.h"
#include "store/registry.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace labels::ui {
namespace {

struct TabFixture {
  QWidget page;
  editor::EnvelopeModel envelope;
  data::RecordTable records;
  LabelTab* tab;

  explicit TabFixture(int count, bool fresh = true) {
    // Each test starts from a user who never left a sheet behind, unless it is a restart.
    for (int i = 0; i < kNumberCount && fresh; ++i)
      Registry::DeleteSetting(kLabelSection, QStringLiteral("TNum%1").arg(i));
    for (int i = 0; i < kCheckCount && fresh; ++i)
      Registry::DeleteSetting(kLabelSection, QStringLiteral("CK%1").arg(i));
    if (fresh) Registry::DeleteSetting(kLabelSection, QStringLiteral("TagDir"));
    printtest::SetUpEnvelope(envelope, editor::kDefaultSize);
    std::vector<data::Record> rows;
    for (int r = 1; r <= count; ++r)
      rows.push_back({QString::number(r), QStringLiteral("李%1").arg(r), QStringLiteral("310000"),
                      QStringLiteral("浙江省杭州市//西湖区%1号").arg(r)});
    records.ReplaceAll(std::move(rows));
    page.resize(1000, 700);
    tab = new LabelTab(&page, envelope, records, new QPushButton(&page), new QPushButton(&page),
                       [](const QRect& twips) { return editor::TwipsToPixels(twips); });
    tab->LayoutLabelTab(QSize(15000, 10500));
  }
  template <class T>
  T* Find(const QString& name) {
    return page.findChild<T*>(name);
  }
};

// The design values are shown, and they are what the pages and the printing work with.
TEST(LabelTab, StartsWithTheDesignValuesAndUsesThem) {
  TabFixture f(61);
  const char* numbers[] = {"4", "15", "1.5", "210", "297", "1", "0", "0", "0", "0"};
  for (int i = 0; i < kNumberCount; ++i)
    EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("TNum(%1)").arg(i))->text(), QString::fromUtf8(numbers[i]))
        << i;
  const bool ticked[] = {true, true, true, false, false, false, true};
  for (int i = 0; i < kCheckCount; ++i) {
    EXPECT_EQ(f.Find<QCheckBox>(QStringLiteral("CK(%1)").arg(i))->isChecked(), ticked[i]) << i;
    EXPECT_EQ(f.tab->sheet().ticked[size_t(i)], ticked[i]) << i;
  }
  EXPECT_EQ(PerPage(f.tab->sheet()), 60);
  EXPECT_EQ(f.Find<QLabel>(QStringLiteral("PPS"))->text(), QStringLiteral("1/2"))
      << "61 records on sheets of 60";
}

TEST(LabelTab, CountsChangeThePagesAndGoBackToPageOne) {
  TabFixture f(61);
  auto* pps = f.Find<QLabel>(QStringLiteral("PPS"));
  auto* pages = f.Find<QScrollBar>(QStringLiteral("TagHS"));
  EXPECT_EQ(pps->text(), QStringLiteral("1/2"));
  pages->setValue(2);
  EXPECT_EQ(pps->text(), QStringLiteral("2/2"));
  f.Find<QLineEdit>(QStringLiteral("TNum(0)"))->setText(QStringLiteral("2"));
  EXPECT_EQ(pps->text(), QStringLiteral("1/3"));
  EXPECT_EQ(pages->maximum(), 3);
  f.Find<QLineEdit>(QStringLiteral("TNum(1)"))->setText(QStringLiteral("16"));
  EXPECT_EQ(pps->text(), QStringLiteral("1/2"));
  f.Find<QLineEdit>(QStringLiteral("TNum(5)"))->setText(QStringLiteral("30"));  // 29 cells already used
  EXPECT_EQ(pps->text(), QStringLiteral("1/3"));
}

TEST(LabelTab, LandscapeSwapLaysTheSheetOutOnce) {
  TabFixture f(3);
  auto* width = f.Find<QLineEdit>(QStringLiteral("TNum(3)"));
  auto* height = f.Find<QLineEdit>(QStringLiteral("TNum(4)"));
  width->setText(QStringLiteral("210.5"));
  QWidget* sheet = f.Find<QWidget>(QStringLiteral("PTag(0)"));
  ASSERT_GT(sheet->height(), sheet->width());
  f.Find<QCheckBox>(QStringLiteral("TagDir"))->click();
  EXPECT_EQ(width->text(), QStringLiteral("297"));
  EXPECT_EQ(height->text(), QStringLiteral("210"));
  EXPECT_LT(sheet->height(), sheet->width());
  EXPECT_TRUE(f.tab->sheet().landscape);
}

TEST(LabelTab, RefusedCountsKeepTheOldPicture) {
  TabFixture f(3);
  const QImage before = f.tab->picture();
  ASSERT_FALSE(before.isNull());
  f.Find<QLineEdit>(QStringLiteral("TNum(0)"))->setText(QStringLiteral("5"));
  const QImage five = f.tab->picture();
  f.Find<QLineEdit>(QStringLiteral("TNum(1)"))->setText(QStringLiteral("200"));
  EXPECT_EQ(f.tab->picture(), five);
  EXPECT_NE(five, before);
  // What a person sees: the grab of the tab.
  f.page.grab().save(QStringLiteral(KOVA_BUILD_DIR "/label_tab.png"));
}

TEST(LabelTab, PrintingTooManyAcrossSaysSoBeforeAnything) {
  TabFixture f(3);
  auto& prompts = test::FreshPrompts();
  f.Find<QLineEdit>(QStringLiteral("TNum(0)"))->setText(QStringLiteral("101"));
  EXPECT_TRUE(f.tab->PrintCurrentPage().isEmpty());
  EXPECT_EQ(prompts.shown, QStringList{kTooManyToPrint});
}

TEST(LabelTab, APresetFillsTheSheetWhichTheNextStartAndRefusedMarginsKeep) {
  {
    TabFixture f(30);
    auto* presets = f.Find<QComboBox>(QStringLiteral("TagPreset"));
    ASSERT_EQ(presets->count(), int(LabelPresets().size()) + 1);
    presets->setCurrentIndex(4);  // 3 × 7, 63.5 × 38.1 mm
    emit presets->activated(4);
    EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("TNum(0)"))->text(), QStringLiteral("3"));
    EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("TNum(1)"))->text(), QStringLiteral("7"));
    EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("TNum(7)"))->text(), QStringLiteral("7.25"));
    EXPECT_EQ(f.Find<QLabel>(QStringLiteral("PPS"))->text(), QStringLiteral("1/2"));
    EXPECT_EQ(presets->currentIndex(), 4);
    // Every field is checked when it is left: figures that leave no room for a label are
    // refused then, not while they are typed.
    const struct {
      int box;
      const char* typed;
      const char* kept;
      QString message;
    } refused[] = {
        {7, "104", "7.25", kNoRoomForLabels},  // 3 labels and 2 gaps in 2 mm
        {3, "10", "210", kNoRoomForLabels},    // the margins and gaps alone are wider
        {0, "0", "3", kNotASheetFigure},      {1, "abc", "7", kNotASheetFigure},
        {1, "2.5", "7", kNotASheetFigure},    {4, "-297", "297", kNotASheetFigure},
        {2, "0", "1.5", kNotASheetFigure},
    };
    for (const auto& r : refused) {
      SCOPED_TRACE(r.typed);
      auto& prompts = test::FreshPrompts();
      QLineEdit* box = f.Find<QLineEdit>(QStringLiteral("TNum(%1)").arg(r.box));
      box->setText(QString::fromLatin1(r.typed));
      EXPECT_TRUE(prompts.shown.isEmpty()) << "not while typing";
      emit box->editingFinished();
      EXPECT_EQ(prompts.shown, QStringList{r.message});
      EXPECT_EQ(box->text(), QString::fromLatin1(r.kept));
    }
    // Settings are written when a box is left, not on each key; the list names the preset
    // while the figures are its own.
    QLineEdit* across = f.Find<QLineEdit>(QStringLiteral("TNum(0)"));
    across->setText(QStringLiteral("4"));
    EXPECT_EQ(LoadLabelSheet().numbers[kAcross], QStringLiteral("3"));
    EXPECT_EQ(presets->currentIndex(), 0);
    across->setText(QStringLiteral("3"));
    emit across->editingFinished();
    EXPECT_EQ(presets->currentIndex(), 4);
  }
  // The next start shows the preset by its name.
  TabFixture restarted(1, false);
  EXPECT_EQ(restarted.Find<QComboBox>(QStringLiteral("TagPreset"))->currentIndex(), 4);
  // The next start takes the sheet as it was left (the fixture forgets it only when it starts).
  const LabelSheet kept = LoadLabelSheet();
  EXPECT_EQ(kept.numbers[kAcross], QStringLiteral("3"));
  EXPECT_EQ(kept.numbers[kMarginLeft], QStringLiteral("7.25"));
  EXPECT_EQ(kept.numbers[kGapAcross], QStringLiteral("2.5"));
}

}  // namespace
}  // namespace labels::ui
