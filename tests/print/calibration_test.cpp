// Printer margins: what the margin boxes show and store, the offsets they give, and the square.
#include <gtest/gtest.h>

#include "print/calibration.h"
#include "print/print_texts.h"
#include "print/recording_device.h"
#include "store/registry.h"
#include "tests/support/scripted_prompts.h"

namespace {

void StoreMargins(const QString& x, const QString& y) {
  for (auto [key, value] : {std::pair{print::kMarginXKey, x}, {print::kMarginYKey, y}}) {
    if (value.isNull())
      Registry::DeleteSetting(Registry::kCollateSection, key);
    else
      Registry::SaveSetting(Registry::kCollateSection, key, value);
  }
}

TEST(PrinterOffsets, AreTheStoredMarginsLessTenMillimetres) {
  struct Row {
    QString x, y;
    double offX, offY;
  };
  const Row rows[] = {
      {QString(), QString(), 3, 3},                            // nothing stored: 13 mm
      {QStringLiteral(""), QStringLiteral(""), 3, 3},
      {QStringLiteral("10"), QStringLiteral("10"), 0, 0},      // no correction
      {QStringLiteral("9.5"), QStringLiteral("-2"), -0.5, -12},
      {QStringLiteral("abc"), QStringLiteral("-"), -10, -10},  // no number at all reads as 0
  };
  for (const Row& r : rows) {
    StoreMargins(r.x, r.y);
    const print::PrinterOffsets off = print::ReadPrinterOffsets();
    EXPECT_DOUBLE_EQ(off.x, r.offX) << qPrintable(r.x);
    EXPECT_DOUBLE_EQ(off.y, r.offY) << qPrintable(r.y);
  }
  StoreMargins(QString(), QString());
}

TEST(MarginDialog, ShowsAndStoresNumbers) {
  const std::pair<const char*, const char*> shown[] = {{"", "13"}, {"12.50", "12.5"}, {"-2", "-2"}, {"x", "0"}};
  for (auto [stored, text] : shown) EXPECT_EQ(print::MarginShown(QString::fromUtf8(stored)), QString::fromUtf8(text));
  const std::pair<const char*, const char*> stored[] = {
      {"12。5", "12.5"}, {"12.5mm", "12.5"}, {"abc", "0"}, {"-", "0"}, {"9.5", "9.5"}, {"-0.5", "-0.5"}};
  for (auto [typed, text] : stored) EXPECT_EQ(print::MarginToStore(QString::fromUtf8(typed)), QString::fromUtf8(text));
  for (QChar c : QStringLiteral("0123456789-.")) EXPECT_TRUE(print::MarginKeyAllowed(c)) << int(c.unicode());
  for (QChar c : QStringLiteral("a +,。１")) EXPECT_FALSE(print::MarginKeyAllowed(c)) << int(c.unicode());
}

TEST(CalibrationFigure, PrintsTheSquareOnlyWhenTheUserSaysYes) {
  for (bool yes : {true, false}) {
    auto& prompts = test::FreshPrompts();
    prompts.answers.push_back(yes);
    print::RecordingDevice d;
    d.SetOrigin(QPointF(5, 5));  // left over from an earlier print
    EXPECT_EQ(print::PrintCalibrationFigure(d), yes);
    EXPECT_EQ(prompts.shown, QStringList{print::kCalibrationQuestion});
    if (yes) {
      ASSERT_EQ(d.rects.size(), 1);
      EXPECT_EQ(d.rects[0].rect, QRectF(10, 10, 10, 10));
      EXPECT_EQ(d.rects[0].color, QColor(Qt::black));
      EXPECT_EQ(d.jobsEnded, 1);
    } else {
      EXPECT_TRUE(d.rects.isEmpty());
      EXPECT_EQ(d.endDocCalls, 0);
    }
  }
}

}  // namespace
