// The label renderer on the recording device: where each item lands, how text breaks, which
// lines are drawn, and what the print commands send.
#include <gtest/gtest.h>

#include "labels/label_renderer.h"
#include "labels/label_texts.h"
#include "print/calibration.h"
#include "print/print_texts.h"
#include "print/recording_device.h"
#include "store/registry.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace labels {
namespace {

using print::RecordingDevice;

// A canvas of 10000 x 5000 twips with the postcode at the corner, so positions are easy to read.
struct Fixture {
  editor::EnvelopeModel envelope;
  data::RecordTable records;
  LabelSheet sheet;

  explicit Fixture(int count = 3) {
    printtest::MapSongTi();
    envelope.SetCanvasSize(QSize(10000, 5000));
    envelope.SetBoxGeometry(editor::kFirstDigitBox, QRect(0, 0, 300, 300));
    envelope.SetBoxGeometry(editor::kAddressBox, QRect(1000, 1000, 9000, 600));
    envelope.SetBoxGeometry(editor::kNameBox, QRect(2000, 2500, 4000, 600));
    std::vector<data::Record> rows;
    for (int r = 1; r <= count; ++r)
      rows.push_back({QString::number(r), QStringLiteral("张%1").arg(r), QStringLiteral("100080"),
                      QStringLiteral("海淀区%1号").arg(r)});
    records.ReplaceAll(std::move(rows));
  }
  LabelSource source() const { return {sheet, envelope, records}; }
  void SetCounts(const QString& across, const QString& down) {
    sheet.numbers[kAcross] = across;
    sheet.numbers[kDown] = down;
  }
};

QList<RecordingDevice::Text> TextsNamed(const RecordingDevice& d, const QString& text) {
  QList<RecordingDevice::Text> found;
  for (const auto& t : d.texts)
    if (t.text == text) found.append(t);
  return found;
}

// ---- the preview ---------------------------------------------------------------------------

TEST(LabelPreview, SecondPageOfSixtyOneRecordsHoldsOneLabelTopLeft) {
  Fixture f(61);
  f.sheet.page = 2;
  RecordingDevice picture;
  ASSERT_TRUE(DrawLabelPage(picture, f.source()));
  ASSERT_EQ(picture.texts.size(), 3);  // postcode, address, name of record 61
  EXPECT_EQ(picture.texts[0].text, QStringLiteral("100080"));
  EXPECT_NEAR(picture.texts[0].at.x(), 0, 1e-9);
  EXPECT_NEAR(picture.texts[0].at.y(), 0, 1e-9);
  EXPECT_EQ(picture.texts[1].text, QStringLiteral("海淀区61号"));
  EXPECT_EQ(picture.texts[2].text, QStringLiteral("张61"));
  // Scaled from the canvas to the cell, separately across and down.
  const QSizeF cell(210.0 / 4, 297.0 / 15);
  EXPECT_NEAR(picture.texts[2].at.x(), cell.width() * 0.2, 1e-9);
  // The address at the smallest type runs past the name's place: the name moves down below it.
  EXPECT_GT(picture.texts[2].at.y(), cell.height() * 0.5);
}

TEST(LabelPreview, RefusesSheetsBeyondItsLimitsAndKeepsTheOldPicture) {
  Fixture f;
  SheetDevice picture(QSize(8000, 11314));
  ASSERT_TRUE(DrawLabelPage(picture, f.source()));
  const QImage before = picture.picture();
  ASSERT_FALSE(before.isNull());
  const char* refused[][2] = {{"5", "200"}, {"201", "1"}, {"0", "15"}, {"abc", "15"}};
  for (const auto& counts : refused) {
    f.SetCounts(QString::fromUtf8(counts[0]), QString::fromUtf8(counts[1]));
    EXPECT_FALSE(DrawLabelPage(picture, f.source())) << counts[0] << "x" << counts[1];
    EXPECT_EQ(picture.picture(), before);
  }
}

TEST(LabelPreview, SeparatorLinesAreTheInnerOnesOnly) {
  struct Case {
    const char* across;
    const char* down;
    bool ticked;
    int lines;
  } cases[] = {
      {"4", "15", true, 3 + 14}, {"4", "15", false, 0}, {"1", "1", true, 0}, {"200", "100", true, 199 + 99}};
  for (const Case& c : cases) {
    Fixture f;
    f.SetCounts(QString::fromUtf8(c.across), QString::fromUtf8(c.down));
    f.sheet.ticked[kLinesCheck] = c.ticked;
    RecordingDevice picture;
    ASSERT_TRUE(DrawLabelPage(picture, f.source()));
    EXPECT_EQ(picture.lines.size(), c.lines) << c.across << "x" << c.down;
  }
}

TEST(LabelPreview, EmptyGridShowsOnlyTheLines) {
  Fixture f(0);
  RecordingDevice picture;
  ASSERT_TRUE(DrawLabelPage(picture, f.source()));
  EXPECT_TRUE(picture.texts.isEmpty());
  EXPECT_EQ(picture.lines.size(), 17);
}

TEST(LabelPreview, FontsAreTheBoxSizesOverTheShrinkFactorZoomedLikeTheCanvas) {
  struct Case {
    const char* shrink;
    double divisor;
  } cases[] = {{"1.5", 1.5}, {"2", 2}, {"0.5", 1}, {"abc", 1}};
  for (const Case& c : cases) {
    Fixture f(1);
    f.SetCounts(QStringLiteral("1"), QStringLiteral("1"));  // room enough: no item is set smaller
    f.sheet.numbers[kShrink] = QString::fromUtf8(c.shrink);
    RecordingDevice picture;
    ASSERT_TRUE(DrawLabelPage(picture, f.source()));
    ASSERT_EQ(picture.texts.size(), 3);
    // The sheet shows the paper at its own scale, as the canvas shows the envelope.
    const double zoom = picture.DrawableSize().width() / 210 * kTwipsPerMm / editor::kReferenceTwipsPerMm;
    EXPECT_DOUBLE_EQ(picture.texts[1].font.size,
                     f.envelope.box(editor::kAddressBox).font.size / c.divisor * zoom)
        << c.shrink;
  }
}

// A label too full for its sizes shrinks to the same smallest address on screen and on paper, so
// the preview breaks its lines where the print does.
TEST(LabelPreview, AFullLabelBreaksItsLinesAsItPrints) {
  Fixture f(1);
  f.records.SetCell(1, data::kAddressColumn,
                    QStringLiteral("浙江省杭州市西湖区文三路188号华星科技大厦十二楼"));
  f.envelope.SetBoxFont(editor::kAddressBox, [&] {
    common::FontChoice font = f.envelope.box(editor::kAddressBox).font;
    font.size = 16;
    return font;
  }());
  RecordingDevice picture, printer;
  ASSERT_TRUE(DrawLabelPage(picture, f.source()));
  ASSERT_EQ(PrintLabelPage(printer, f.source(), 1, {0, 0}), PagePrinted::kPrinted);
  const auto texts = [](const RecordingDevice& d) {
    QStringList all;
    for (const auto& t : d.texts) all.append(t.text);
    return all;
  };
  EXPECT_GT(texts(printer).size(), 3) << "the address takes more than one line";
  EXPECT_EQ(texts(picture), texts(printer));
}

TEST(LabelPreview, StartCellLeavesTheFirstCellsFreeAndShowsThem) {
  Fixture f(2);
  f.sheet.numbers[kStartCell] = QStringLiteral("6");
  RecordingDevice picture;
  ASSERT_TRUE(DrawLabelPage(picture, f.source()));
  // The sheet, then the five used cells.
  ASSERT_EQ(picture.rects.size(), 1 + 5);
  const QSizeF cell(210.0 / 4, 297.0 / 15);
  EXPECT_EQ(picture.rects[5].rect.topLeft(), QPointF(0, cell.height()));
  const auto postcodes = TextsNamed(picture, QStringLiteral("100080"));
  ASSERT_EQ(postcodes.size(), 2);
  EXPECT_NEAR(postcodes[0].at.x(), cell.width(), 1e-9);  // cell 6: second column, second row
  EXPECT_NEAR(postcodes[0].at.y(), cell.height(), 1e-9);
  // Page 2 carries on with no free cells.
  f.sheet.page = 2;
  RecordingDevice second;
  ASSERT_TRUE(DrawLabelPage(second, f.source()));
  EXPECT_EQ(second.rects.size(), 1);
  EXPECT_TRUE(second.texts.isEmpty());
}

TEST(LabelPreview, ItemsFollowTheirCheckBoxes) {
  Fixture f(1);
  f.envelope.SetBoxText(editor::kSenderAddressBox, QStringLiteral("上海市"));
  f.envelope.SetBoxText(editor::kTagBox, QStringLiteral("印刷品"));
  f.envelope.SetBoxGeometry(editor::kTagBox, QRect(7000, 0, 3000, 600));
  f.envelope.SetBoxGeometry(editor::kSenderAddressBox, QRect(0, 3000, 8000, 600));
  f.sheet.ticked = {false, true, false, true, false, true, false};
  RecordingDevice picture;
  ASSERT_TRUE(DrawLabelPage(picture, f.source()));
  QStringList drawn;
  for (const auto& t : picture.texts) drawn << t.text;
  drawn.sort();
  QStringList ticked = {QStringLiteral("海淀区1号"), QStringLiteral("上海市"), QStringLiteral("印刷品")};
  ticked.sort();
  EXPECT_EQ(drawn, ticked);
}

// ---- text output -----------------------------------------------------------------------------

TEST(LabelText, BreaksAtTheMarkAndBetweenCharacters) {
  struct Case {
    const char* text;
    double maxWidth;  // in widths of one full-width character
    bool wrap;
    QStringList lines;
  } cases[] = {
      {"A//B", 100, true, {QStringLiteral("A"), QStringLiteral("B")}},
      {"甲乙丙丁戊", 2.5, true, {QStringLiteral("甲乙"), QStringLiteral("丙丁"), QStringLiteral("戊")}},
      {"甲乙丙丁戊",
       0.1,
       true,
       {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁"),
        QStringLiteral("戊")}},
      {"100080", 0.1, false, {QStringLiteral("100080")}},  // the postcode never wraps
      {"ab cd", 100, true, {QStringLiteral("ab cd")}},
      {"甲//", 100, true, {QStringLiteral("甲"), QStringLiteral("")}},
  };
  for (const Case& c : cases) {
    RecordingDevice d;
    d.SetFont(common::FontChoice{QStringLiteral("宋体"), 12});
    const double em = d.TextWidth(QStringLiteral("甲"));
    const double lineHeight = d.TextHeight(kLineHeightSample);
    PrintLabelText(d, QString::fromUtf8(c.text), QPointF(5, 7), c.maxWidth * em, c.wrap);
    QStringList printed;
    for (int i = 0; i < d.texts.size(); ++i) {
      printed << d.texts[i].text;
      EXPECT_NEAR(d.texts[i].at.x(), 5, 1e-9) << c.text;  // every line at the box's left edge
      EXPECT_NEAR(d.texts[i].at.y(), 7 + i * lineHeight, 1e-9) << c.text;
    }
    printed.removeAll(QString());
    QStringList expected = c.lines;
    expected.removeAll(QString());
    EXPECT_EQ(printed, expected) << c.text;
  }
}

TEST(LabelText, KeepsSurrogatePairsWhole) {
  RecordingDevice d;
  d.SetFont(common::FontChoice{QStringLiteral("宋体"), 12});
  const QString wide = QString::fromUcs4(U"𠀀𠀁");
  PrintLabelText(d, wide, QPointF(0, 0), 0.1, true);
  ASSERT_EQ(d.texts.size(), 2);
  EXPECT_EQ(d.texts[0].text, QString::fromUcs4(U"𠀀"));
  EXPECT_EQ(d.texts[1].text, QString::fromUcs4(U"𠀁"));
}

// ---- printing --------------------------------------------------------------------------------

TEST(LabelPrint, CellsStartAtTheCornerLessTheOffsets) {
  Fixture f(6);
  RecordingDevice printer;
  ASSERT_EQ(PrintLabelPage(printer, f.source(), 1, {3, 3}), PagePrinted::kPrinted);
  const auto postcodes = TextsNamed(printer, QStringLiteral("100080"));
  ASSERT_EQ(postcodes.size(), 6);
  EXPECT_NEAR(postcodes[0].at.x(), -3, 1e-9);
  EXPECT_NEAR(postcodes[0].at.y(), -3, 1e-9);
  EXPECT_NEAR(postcodes[1].at.x(), 52.5 - 3, 1e-9);
  EXPECT_NEAR(postcodes[4].at.y(), 19.8 - 3, 1e-9);
  EXPECT_EQ(printer.jobsEnded, 1);
  EXPECT_EQ(printer.PaperSize(), QPageSize::A4);
}

TEST(LabelPrint, CentreFeedMovesNarrowPortraitSheets) {
  struct Case {
    const char* width;
    bool centreFeed;
    bool landscape;
    double firstX;
  } cases[] = {
      {"100", true, false, 55 - 3},
      {"100", false, false, -3},
      {"100", true, true, -3},
      {"210", true, false, -3},
  };
  for (const Case& c : cases) {
    Fixture f(1);
    f.sheet.numbers[kPaperWidth] = QString::fromUtf8(c.width);
    f.sheet.landscape = c.landscape;
    editor::TabOptions options = f.envelope.options();
    options.centreFeed = c.centreFeed;
    f.envelope.SetOptions(options);
    RecordingDevice printer;
    ASSERT_EQ(PrintLabelPage(printer, f.source(), 1, {3, 3}), PagePrinted::kPrinted);
    ASSERT_FALSE(printer.texts.isEmpty());
    EXPECT_NEAR(printer.texts[0].at.x(), c.firstX, 1e-9) << c.width << " " << c.centreFeed << c.landscape;
    EXPECT_EQ(printer.Orientation(), c.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  }
}

TEST(LabelPrint, SeparatorLinesIncludeTheFarEdges) {
  Fixture f(1);
  RecordingDevice printer;
  ASSERT_EQ(PrintLabelPage(printer, f.source(), 1, {3, 3}), PagePrinted::kPrinted);
  ASSERT_EQ(printer.lines.size(), 15 + 4);
  EXPECT_EQ(printer.lines[14].from, QPointF(0, 297 - 3));
  EXPECT_EQ(printer.lines[14].to, QPointF(210 - 6, 297 - 3));
  EXPECT_EQ(printer.lines[18].from, QPointF(210 - 3, 0));
  EXPECT_EQ(printer.lines[18].to, QPointF(210 - 3, 297 - 6));

  // Paper narrower than A4 takes no horizontal offset for the lines; centre feed moves them
  // along with the labels.
  f.sheet.numbers[kPaperWidth] = QStringLiteral("100");
  editor::TabOptions options = f.envelope.options();
  options.centreFeed = true;
  f.envelope.SetOptions(options);
  RecordingDevice narrow;
  ASSERT_EQ(PrintLabelPage(narrow, f.source(), 1, {3, 3}), PagePrinted::kPrinted);
  EXPECT_EQ(narrow.lines[18].from, QPointF(55 + 100, 0));
  EXPECT_EQ(narrow.lines[0].from, QPointF(55, 297.0 / 15 - 3));

  f.sheet.ticked[kLinesCheck] = false;
  RecordingDevice none;
  ASSERT_EQ(PrintLabelPage(none, f.source(), 1, {3, 3}), PagePrinted::kPrinted);
  EXPECT_TRUE(none.lines.isEmpty());
}

TEST(LabelPrint, CountLimitsDecideWhetherAPageIsPrinted) {
  struct Case {
    const char* across;
    const char* down;
    PagePrinted result;
  } cases[] = {{"101", "1", PagePrinted::kTooMany},
               {"1", "200", PagePrinted::kPrinted},
               {"5", "150", PagePrinted::kPrinted},
               {"1", "201", PagePrinted::kTooMany},
               {"0", "1", PagePrinted::kTooMany}};
  for (const Case& c : cases) {
    Fixture f(2);
    f.SetCounts(QString::fromUtf8(c.across), QString::fromUtf8(c.down));
    RecordingDevice printer;
    EXPECT_EQ(PrintLabelPage(printer, f.source(), 1, {3, 3}), c.result) << c.across << "x" << c.down;
    EXPECT_EQ(printer.jobsEnded, c.result == PagePrinted::kPrinted ? 1 : 0);
    EXPECT_EQ(printer.texts.isEmpty(), c.result != PagePrinted::kPrinted);
  }
}

TEST(LabelPrint, NoRecordsStillPrintsTheLines) {
  Fixture f(0);
  RecordingDevice printer;
  ASSERT_EQ(PrintLabelPage(printer, f.source(), 1, {3, 3}), PagePrinted::kPrinted);
  EXPECT_TRUE(printer.texts.isEmpty());
  EXPECT_EQ(printer.lines.size(), 19);
  EXPECT_EQ(printer.jobsEnded, 1);
}

TEST(LabelPrint, CommandsPrintOneJobPerPageFromTheShownOne) {
  Fixture f(150);  // three pages of 60
  test::FreshPrompts();
  RecordingDevice printer;
  EXPECT_EQ(PrintLabelPages(printer, f.source(), 2, 3), 2);
  EXPECT_EQ(printer.jobsEnded, 2);
  EXPECT_EQ(printer.TextsOfJob(0).front().text, QStringLiteral("100080"));
  int postcodes = 0;
  for (const auto& t : printer.TextsOfJob(1)) postcodes += t.text == QStringLiteral("100080");
  EXPECT_EQ(postcodes, 30);  // records 121 to 150
  EXPECT_TRUE(test::FreshPrompts().shown.isEmpty());
}

TEST(LabelPrint, CommandsSayWhyNothingWasPrinted) {
  Fixture f(5);
  auto& prompts = test::FreshPrompts();
  f.SetCounts(QStringLiteral("101"), QStringLiteral("1"));
  RecordingDevice printer;
  EXPECT_EQ(PrintLabelPages(printer, f.source(), 1, 3), 0);
  EXPECT_EQ(prompts.shown, QStringList{kTooManyToPrint});

  prompts.Reset();
  f.SetCounts(QStringLiteral("4"), QStringLiteral("1"));
  RecordingDevice failing;
  failing.failEndDoc = true;
  EXPECT_EQ(PrintLabelPages(failing, f.source(), 1, 2), 0);
  EXPECT_EQ(prompts.shown, QStringList{print::kPrintError});  // once for the command
}

// The first cell starts at the paper's corner less the printer's own offsets; the PDF printer
// has none, so its first row and column are not cut.
TEST(LabelPrint, CommandsUseTheOffsetsOfThePrinterTheyPrintOn) {
  Fixture f(1);
  print::StoreMargins(QStringLiteral("Laser 1"), QStringLiteral("9.5"), QStringLiteral("-2"));
  const struct {
    QString printer;
    QPointF first;  // the first item's place, against the PDF printer's
  } rows[] = {{print::kPdfPrinterName, {0, 0}},
              {QStringLiteral("Laser 1"), {0.5, 12}},
              {QStringLiteral("针式 2"), {-3, -3}}};
  QPointF atPdf;
  for (const auto& r : rows) {
    RecordingDevice printer(r.printer);
    EXPECT_EQ(PrintLabelPages(printer, f.source(), 1, 1), 1);
    ASSERT_FALSE(printer.texts.isEmpty());
    if (r.printer == print::kPdfPrinterName) atPdf = printer.texts[0].at;
    EXPECT_NEAR((printer.texts[0].at - atPdf).x(), r.first.x(), 1e-9) << qPrintable(r.printer);
    EXPECT_NEAR((printer.texts[0].at - atPdf).y(), r.first.y(), 1e-9) << qPrintable(r.printer);
  }
  printtest::ForgetAllMargins();
}

// ---- the font size search ------------------------------------------------------------------

// The search as a printer would run it, one step at a time.
float StepwiseSize(print::PrinterDevice& printer, double size, double target) {
  float s = float(size);
  printer.SetFontSize(s);
  const bool grow = !(printer.TextWidth(print::kFontSample) > target);
  const float step = grow ? 0.01f : -0.1f;
  for (int n = 0; n < print::kFontSearchSteps; ++n) {
    s += step;
    if (!grow && s < print::kSmallestFontSize) return print::kSmallestFontSize;
    printer.SetFontSize(s);
    const double w = printer.TextWidth(print::kFontSample);
    if (grow ? w > target : w < target) return s;
  }
  return s;
}

TEST(FitLabelFontSize, GivesTheStepwiseSearchsAnswer) {
  printtest::MapSongTi();
  struct Case {
    double size;
    double mmPerTwip;
    bool bold;
  } cases[] = {{8, 210.0 / 8000, false},
               {12, 210.0 / 8000, true},
               {10.5, 210.0 / 14000, false},
               {6.5, 100.0 / 8000, false},
               {20, 297.0 / 6000, false}};
  for (const Case& c : cases) {
    common::FontChoice font{QStringLiteral("宋体"), c.size, c.bold};
    RecordingDevice printer;
    printer.SetFont(font);
    SheetDevice sheet;
    sheet.SetFont(font);
    const double target = sheet.TextWidth(print::kFontSample) * kTwipsPerMm * c.mmPerTwip;
    const float expected = StepwiseSize(printer, c.size, target);
    print::FontSizeCache cache;
    EXPECT_FLOAT_EQ(FitLabelFontSize(printer, c.size, font, c.mmPerTwip, &cache), expected) << c.size;
    EXPECT_FLOAT_EQ(float(printer.Font().size), expected);
    EXPECT_FLOAT_EQ(FitLabelFontSize(printer, c.size, font, c.mmPerTwip, &cache), expected);  // cached
  }
}

TEST(FitLabelFontSize, ShrinkHalvesTheSizeBeforeTheSearch) {
  Fixture f(1);
  f.SetCounts(QStringLiteral("1"), QStringLiteral("1"));  // room enough: no item is set smaller
  RecordingDevice halved, whole;
  f.sheet.numbers[kShrink] = QStringLiteral("2");
  ASSERT_EQ(PrintLabelPage(halved, f.source(), 1, {0, 0}), PagePrinted::kPrinted);
  f.sheet.numbers[kShrink] = QStringLiteral("1");
  ASSERT_EQ(PrintLabelPage(whole, f.source(), 1, {0, 0}), PagePrinted::kPrinted);
  const double box = f.envelope.box(editor::kAddressBox).font.size;
  const double mmPerTwip = 1.0 / editor::kReferenceTwipsPerMm;
  RecordingDevice reference;
  reference.SetFont(f.envelope.box(editor::kAddressBox).font);
  EXPECT_FLOAT_EQ(float(halved.texts[1].font.size),
                  FitLabelFontSize(reference, box / 2, f.envelope.box(editor::kAddressBox).font, mmPerTwip));
  EXPECT_LT(halved.texts[1].font.size, whole.texts[1].font.size * 0.6);
}

}  // namespace
}  // namespace labels
