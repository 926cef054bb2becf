#include "labels/label_sheet.h"

#include <gtest/gtest.h>

namespace labels {
namespace {

LabelSheet Sheet(const QString& across, const QString& down, const QString& start = QStringLiteral("1")) {
  LabelSheet s;
  s.numbers[kAcross] = across;
  s.numbers[kDown] = down;
  s.numbers[kStartCell] = start;
  return s;
}

LabelSheet Paper(const char* width, const char* height) {
  LabelSheet s;
  s.numbers[kPaperWidth] = QString::fromUtf8(width);
  s.numbers[kPaperHeight] = QString::fromUtf8(height);
  return s;
}

TEST(LabelSheet, PageCountCoversEveryRecord) {
  struct Case {
    const char* across;
    const char* down;
    const char* start;
    int records;
    int pages;
  } cases[] = {
      {"4", "15", "1", 60, 1},
      {"4", "15", "1", 61, 2},
      {"4", "15", "1", 0, 1},  // an empty grid still shows one sheet
      {"4", "15", "1", 121, 3},
      {"4", "15", "5", 57, 2},  // four cells of the first sheet already used
      {"4", "15", "5", 56, 1},
      {"4", "15", "99", 1, 1},    // a start beyond the sheet means its last cell
      {"4.5", "15", "1", 61, 2},  // 4.5 is 4 (halves to even), as for the drawing
      {"x", "", "1", 3, 3},       // non-numbers count as one label per sheet
      {"100000", "100000", "1", 5, 1},
  };
  for (const Case& c : cases) {
    const LabelSheet s =
        Sheet(QString::fromUtf8(c.across), QString::fromUtf8(c.down), QString::fromUtf8(c.start));
    EXPECT_EQ(PageCount(s, c.records), c.pages) << c.across << "x" << c.down << " start " << c.start;
  }
}

TEST(LabelSheet, RecordsFillCellsRowByRowAfterTheStartCell) {
  EXPECT_EQ(RecordAt(Sheet(QStringLiteral("4"), QStringLiteral("15")), 2, 0), 61);
  EXPECT_EQ(RecordAt(Sheet(QStringLiteral("4"), QStringLiteral("15")), 1, 5), 6);
  const LabelSheet started = Sheet(QStringLiteral("4"), QStringLiteral("15"), QStringLiteral("3"));
  EXPECT_EQ(RecordAt(started, 1, 0), -1);  // free cells
  EXPECT_EQ(RecordAt(started, 1, 2), 1);
  EXPECT_EQ(RecordAt(started, 2, 0), 59);
}

TEST(LabelSheet, NumbersAreReadAsTheProgramReadsThem) {
  struct Case {
    const char* text;
    int whole;
    double shrink;
  } cases[] = {
      {"1.5", 2, 1.5}, {"2.5", 2, 2.5}, {"0.5", 0, 1}, {"abc", 0, 1}, {"", 0, 1}, {"-3", -3, 1}, {" 2", 2, 2},
  };
  for (const Case& c : cases) {
    LabelSheet s;
    s.numbers[kShrink] = QString::fromUtf8(c.text);
    EXPECT_EQ(WholeNumber(QString::fromUtf8(c.text)), c.whole) << c.text;
    EXPECT_DOUBLE_EQ(ShrinkFactor(s), c.shrink) << c.text;
  }
  EXPECT_EQ(Across(Sheet(QStringLiteral("0"), QStringLiteral("-2"))), 1);
  EXPECT_EQ(Down(Sheet(QStringLiteral("0"), QStringLiteral("-2"))), 1);
}

TEST(LabelSheet, PreviewAndPrintHaveTheirOwnLimits) {
  struct Case {
    const char* across;
    const char* down;
    bool preview;
    bool print;
  } cases[] = {
      {"4", "15", true, true},     {"5", "200", false, true}, {"201", "1", false, false},
      {"200", "100", true, false}, {"101", "1", true, false}, {"100", "200", false, true},
      {"5", "150", false, true},   {"0", "15", false, false}, {"abc", "15", false, false},
      {"4", "201", false, false},
  };
  for (const Case& c : cases) {
    const LabelSheet s = Sheet(QString::fromUtf8(c.across), QString::fromUtf8(c.down));
    EXPECT_EQ(PreviewDraws(s), c.preview) << c.across << "x" << c.down;
    EXPECT_EQ(PrintPrints(s), c.print) << c.across << "x" << c.down;
  }
}

TEST(LabelSheet, LandscapeSwapExchangesThePaperSides) {
  struct Case {
    const char* width;
    const char* height;
    const char* newWidth;
    const char* newHeight;
  } cases[] = {
      {"210", "297", "297", "210"},
      {"210.5", "297", "297", "210"},  // halves to even
      {"211.5", "297", "297", "212"},
      {"abc", "100", "100", "0"},
  };
  for (const Case& c : cases) {
    LabelSheet s = Paper(c.width, c.height);
    SwapPaperSides(s);
    EXPECT_EQ(s.numbers[kPaperWidth], QString::fromUtf8(c.newWidth)) << c.width;
    EXPECT_EQ(s.numbers[kPaperHeight], QString::fromUtf8(c.newHeight)) << c.width;
  }
}

TEST(LabelSheet, PageTextShowsPageSlashCount) {
  EXPECT_EQ(PageText(1, 2), QStringLiteral("1/2"));
  EXPECT_EQ(PageText(12, 345), QStringLiteral("12/345"));
}

TEST(LabelTabLayout, SheetKeepsThePaperProportionsAndFallsBackToA4) {
  struct Case {
    const char* width;
    const char* height;
    double ratio;  // height / width of the sheet
  } cases[] = {
      {"210", "297", 297.0 / 210}, {"297", "210", 210.0 / 297}, {"100", "50", 0.5},
      {"9", "297", 297.0 / 210},   {"abc", "", 297.0 / 210},
  };
  for (const Case& c : cases) {
    const LabelTabLayout l = LayoutLabelTab(Paper(c.width, c.height), QSize(15000, 9000), 3000, 255, 255);
    EXPECT_EQ(l.tag1, QRect(40, 440, 15000 - 3000 - 240, 9000 - 520));
    EXPECT_EQ(l.sheet.topLeft(), QPoint(200, 200));
    EXPECT_EQ(l.sheet.width(), l.tag1.width() - 600 - 255);
    EXPECT_NEAR(double(l.sheet.height()) / l.sheet.width(), c.ratio, 1e-3) << c.width << "x" << c.height;
    EXPECT_EQ(l.shadow, l.sheet.translated(200, 200));
    EXPECT_EQ(l.vertical, QRect(l.tag1.width() - 255, 0, 255, l.tag1.height() - 255));
    EXPECT_EQ(l.horizontal, QRect(0, l.tag1.height() - 255, l.tag1.width() - 255, 255));
    EXPECT_EQ(l.verticalMax, l.sheet.height() / l.tag1.height() * 3 + 1);
    EXPECT_EQ(l.panel, QRect(l.tag1.right() + 1 + 120, 340, 3000, l.tag1.height() + 100));
  }
}

TEST(LabelTabLayout, ScrollingMovesTheSheetByThirdsOfTheViewport) {
  EXPECT_EQ(SheetTopForScroll(0, 9000), 200);
  EXPECT_EQ(SheetTopForScroll(3, 9000), 200 - 9000);
  EXPECT_EQ(SheetTopForScroll(1, 9000), 200 - 3000);
}

}  // namespace
}  // namespace labels
