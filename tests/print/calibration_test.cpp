// Printer margins per printer: what is stored and read back, what the margin boxes show and
// store, the offsets they give, and the check page.
#include "print/calibration.h"

#include <gtest/gtest.h>

#include "print/print_texts.h"
#include "print/recording_device.h"
#include "store/registry.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace {

const QString kLaser = QStringLiteral("HP LaserJet 4250");
const QString kDotMatrix = QStringLiteral("办公室/针式 OKI\\24");  // separators of the settings file

TEST(PrinterOffsets, StoredSettingsOfEarlierVersionsStandForEveryPrinterUntilOneIsCalibrated) {
  struct Row {
    const char *x, *y;
    double offX, offY;
  };
  const Row rows[] = {
      {nullptr, nullptr, 3, 3},                          // nothing stored: 13 mm
      {"10", "10", 0, 0},                                // no correction
      {"9.5", "-2", -0.5, -12}, {"abc", "-", -10, -10},  // no number at all reads as 0, as it always did
      {"12", nullptr, 2, 3},
  };
  for (const Row& r : rows) {
    printtest::ForgetAllMargins();
    if (r.x) Registry::SaveSetting(Registry::kCollateSection, print::kMarginXKey, QString::fromUtf8(r.x));
    if (r.y) Registry::SaveSetting(Registry::kCollateSection, print::kMarginYKey, QString::fromUtf8(r.y));
    for (const QString& printer : {kLaser, kDotMatrix}) {
      const print::PrinterOffsets off = print::ReadPrinterOffsets(printer);
      EXPECT_DOUBLE_EQ(off.x, r.offX) << r.x;
      EXPECT_DOUBLE_EQ(off.y, r.offY) << r.y;
      EXPECT_EQ(print::IsCalibrated(printer), r.x || r.y);
    }
    const print::PrinterOffsets pdf = print::ReadPrinterOffsets(print::kPdfPrinterName);
    EXPECT_EQ(pdf.x, 0);
    EXPECT_EQ(pdf.y, 0);
    EXPECT_TRUE(print::IsCalibrated(print::kPdfPrinterName));
  }
  printtest::ForgetAllMargins();
}

TEST(PrinterOffsets, EachPrinterKeepsItsOwnMarginsAndTheGeneralKeysFollowTheLastCalibrated) {
  printtest::ForgetAllMargins();
  Registry::SaveSetting(Registry::kCollateSection, print::kMarginXKey, QStringLiteral("11"));
  print::StoreMargins(kLaser, QStringLiteral("14。5"), QStringLiteral("12"));
  EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(kLaser).x, 4.5);
  EXPECT_FALSE(print::IsCalibrated(kDotMatrix)) << "once printers have margins of their own";
  EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(kDotMatrix).x, 3);

  print::StoreMargins(kDotMatrix, QStringLiteral("8"), QStringLiteral("-1.5"));
  EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(kDotMatrix).y, -11.5);
  EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(kLaser).x, 4.5) << "the other printer is untouched";
  EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(kLaser).y, 2);
  EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, print::kMarginXKey), QStringLiteral("8"));
  EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, print::kMarginYKey), QStringLiteral("-1.5"));

  // Corrupt or foreign values read as not calibrated, never as a shift.
  for (const char* stored : {"", "12", "12 13 14", "abc def", "1e999 3", "nan 3", "12,5 13", "5000 13"}) {
    Registry::SaveSetting(print::kPrinterMarginsSection, QStringLiteral("HP LaserJet 4250"),
                          QString::fromUtf8(stored));
    EXPECT_FALSE(print::IsCalibrated(kLaser)) << stored;
    EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(kLaser).x, 3) << stored;
  }
  EXPECT_TRUE(print::IsCalibrated(kDotMatrix));
  printtest::ForgetAllMargins();
}

TEST(MarginDialog, ShowsAndStoresNumbers) {
  const std::pair<std::optional<double>, const char*> shown[] = {
      {std::nullopt, "13"}, {12.5, "12.5"}, {-2, "-2"}};
  for (auto [stored, text] : shown) EXPECT_EQ(print::MarginShown(stored), QString::fromUtf8(text));
  const std::pair<const char*, const char*> stored[] = {
      {"12。5", "12.5"}, {"12.5mm", "12.5"}, {"abc", "0"}, {"-", "0"}, {"9.5", "9.5"}, {"-0.5", "-0.5"}};
  for (auto [typed, text] : stored)
    EXPECT_EQ(print::MarginToStore(QString::fromUtf8(typed)), QString::fromUtf8(text));
  for (QChar c : QStringLiteral("0123456789-.")) EXPECT_TRUE(print::MarginKeyAllowed(c)) << int(c.unicode());
  for (QChar c : QStringLiteral("a +,。１")) EXPECT_FALSE(print::MarginKeyAllowed(c)) << int(c.unicode());
}

TEST(CalibrationFigure, PrintsTheSquareAndWhatToMeasureOnA4OnlyWhenTheUserSaysYes) {
  for (bool yes : {true, false}) {
    auto& prompts = test::FreshPrompts();
    prompts.answers.push_back(yes);
    print::RecordingDevice d(kDotMatrix);
    d.SetOrigin(QPointF(5, 5));  // left over from an earlier print
    d.SetOrientation(QPageLayout::Landscape);
    d.SetPaperSize(QPageSize::A3);
    EXPECT_EQ(print::PrintCalibrationFigure(d), yes);
    EXPECT_EQ(prompts.shown, QStringList{print::kCalibrationQuestion});
    EXPECT_EQ(prompts.titles, QStringList{print::kCalibrationTitle});
    if (yes) {
      ASSERT_EQ(d.rects.size(), 1);
      EXPECT_EQ(d.rects[0].rect, QRectF(10, 10, 10, 10));
      EXPECT_EQ(d.rects[0].color, QColor(Qt::black));
      EXPECT_EQ(d.PaperSize(), QPageSize::A4);
      EXPECT_EQ(d.Orientation(), QPageLayout::Portrait);
      ASSERT_EQ(d.texts.size(), 1);
      EXPECT_TRUE(d.texts[0].text.contains(kDotMatrix)) << "names the printer";
      EXPECT_GT(d.texts[0].at.y(), 20) << "below the square";
      EXPECT_LT(d.texts[0].at.x() + d.TextWidth(d.texts[0].text), 200) << "within the sheet";
      EXPECT_EQ(d.jobsEnded, 1);
    } else {
      EXPECT_TRUE(d.rects.isEmpty());
      EXPECT_EQ(d.endDocCalls, 0);
    }
  }
}

}  // namespace
