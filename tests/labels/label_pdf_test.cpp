// Label sheets printed to real PDF files and read back with poppler.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <map>

#include "editor/format_store.h"
#include "labels/label_renderer.h"
#include "labels/label_texts.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"
#include "tests/print/print_test_support.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace labels {
namespace {

constexpr double kTolerance = 0.5;  // mm

struct PdfFixture {
  QTemporaryDir dir;
  editor::EnvelopeModel envelope;
  data::RecordTable records;
  LabelSheet sheet;

  explicit PdfFixture(int count, const QString& address = QStringLiteral("海淀区")) {
    printtest::MapSongTi();
    envelope.SetCanvasSize(QSize(10000, 5000));
    // The postcode at a tenth of the width and a fifth of the height of the cell.
    envelope.SetBoxGeometry(editor::kFirstDigitBox, QRect(1000, 1000, 300, 300));
    envelope.SetBoxGeometry(editor::kAddressBox, QRect(1000, 2500, 8000, 600));
    std::vector<data::Record> rows;
    for (int r = 1; r <= count; ++r)
      rows.push_back({QString::number(r), QString(), QStringLiteral("100080"), address});
    records.ReplaceAll(std::move(rows));
    sheet.ticked[kNameCheck] = false;
  }
  LabelSource source() const { return {sheet, envelope, records}; }
  QString path(const QString& name) const { return dir.filePath(name); }

  // Prints pages first..last into one file and reads its words back.
  QList<printtest::Word> Print(const QString& name, int first = 1, int last = 1) {
    {
      print::PdfDevice pdf(path(name), print::kPdfPrinterName);
      for (int page = first; page <= last; ++page) PrintLabelPage(pdf, source(), page, {3, 3});
      pdf.Finish();
    }
    return printtest::ReadWords(path(name));
  }
};

QList<printtest::Word> Named(const QList<printtest::Word>& words, const QString& text) {
  QList<printtest::Word> found;
  for (const auto& w : words)
    if (w.text == text) found.append(w);
  return found;
}

// Where dark runs cross a one-pixel line of the raster: the centres, in mm.
QList<double> DarkRuns(const QImage& page, int dpi, bool horizontal, double at) {
  const double perMm = dpi / 25.4;
  const int fixed = int(at * perMm);
  const int length = horizontal ? page.width() : page.height();
  QList<double> centres;
  int start = -1;
  for (int i = 0; i <= length; ++i) {
    const bool dark = i < length && qGray(horizontal ? page.pixel(i, fixed) : page.pixel(fixed, i)) < 200;
    if (dark && start < 0) start = i;
    if (!dark && start >= 0) {
      centres.append((start + i) / 2.0 / perMm);
      start = -1;
    }
  }
  return centres;
}

TEST(LabelPdf, FourByFifteenOnA4GivesCellsOf52_5By19_8FromMinusThree) {
  PdfFixture f(8);
  const auto postcodes = Named(f.Print(QStringLiteral("grid.pdf")), QStringLiteral("100080"));
  ASSERT_EQ(postcodes.size(), 8);
  // The first cell starts at (-3, -3); the postcode sits at its scaled box place inside it.
  EXPECT_NEAR(postcodes[0].mm.left(), -3 + 52.5 * 0.1, kTolerance);
  EXPECT_NEAR(postcodes[0].mm.top(), -3 + 19.8 * 0.2, 1.0);
  for (int c = 1; c < 4; ++c) {
    EXPECT_NEAR(postcodes[c].mm.left() - postcodes[0].mm.left(), 52.5 * c, kTolerance) << c;
    EXPECT_NEAR(postcodes[c].mm.top(), postcodes[0].mm.top(), kTolerance) << c;
  }
  EXPECT_NEAR(postcodes[4].mm.top() - postcodes[0].mm.top(), 19.8, kTolerance);
  EXPECT_NEAR(postcodes[4].mm.left(), postcodes[0].mm.left(), kTolerance);
}

TEST(LabelPdf, CentreFeedMovesNarrowPaperFiftyFiveMillimetresRight) {
  PdfFixture plain(1), centred(1);
  plain.sheet.numbers[kPaperWidth] = centred.sheet.numbers[kPaperWidth] = QStringLiteral("100");
  editor::TabOptions options = centred.envelope.options();
  options.centreFeed = true;
  centred.envelope.SetOptions(options);
  const auto a = Named(plain.Print(QStringLiteral("plain.pdf")), QStringLiteral("100080"));
  const auto b = Named(centred.Print(QStringLiteral("centred.pdf")), QStringLiteral("100080"));
  ASSERT_EQ(a.size(), 1);
  ASSERT_EQ(b.size(), 1);
  EXPECT_NEAR(b[0].mm.left() - a[0].mm.left(), 55, kTolerance);
  EXPECT_NEAR(b[0].mm.top(), a[0].mm.top(), kTolerance);
}

TEST(LabelPdf, SeparatorLinesIncludeTheFarEdges) {
  PdfFixture f(0);
  f.Print(QStringLiteral("lines.pdf"));
  constexpr int kDpi = 254;  // ten pixels per mm
  const QImage page =
      printtest::RasterPage(f.path(QStringLiteral("lines.pdf")), 0, kDpi, f.path(QStringLiteral("lines")));
  ASSERT_FALSE(page.isNull());
  const QList<double> columns = DarkRuns(page, kDpi, true, 150);
  const QList<double> expectedColumns = {52.5 - 3, 105 - 3, 157.5 - 3, 210 - 3};
  ASSERT_EQ(columns.size(), expectedColumns.size());
  for (int k = 0; k < columns.size(); ++k) EXPECT_NEAR(columns[k], expectedColumns[k], kTolerance) << k;
  const QList<double> rows = DarkRuns(page, kDpi, false, 30);
  ASSERT_EQ(rows.size(), 15);
  for (int k = 0; k < rows.size(); ++k) EXPECT_NEAR(rows[k], (k + 1) * 19.8 - 3, kTolerance) << k;
}

TEST(LabelPdf, PostcodeNeverWrapsAndTheMarkBreaksTheAddress) {
  PdfFixture f(1, QStringLiteral("甲乙//丙丁"));
  f.envelope.SetBoxGeometry(editor::kFirstDigitBox, QRect(1000, 1000, 1, 300));
  const auto words = f.Print(QStringLiteral("text.pdf"));
  EXPECT_EQ(Named(words, QStringLiteral("100080")).size(), 1);
  const auto first = Named(words, QStringLiteral("甲乙")), second = Named(words, QStringLiteral("丙丁"));
  ASSERT_EQ(first.size(), 1);
  ASSERT_EQ(second.size(), 1);
  EXPECT_NEAR(second[0].mm.left(), first[0].mm.left(), kTolerance);
  EXPECT_GT(second[0].mm.top(), first[0].mm.bottom() - kTolerance);
}

TEST(LabelPdf, TooManyAcrossPrintsNothingAndTwoHundredDownPrints) {
  PdfFixture wide(3), tall(3);
  wide.sheet.numbers[kAcross] = QStringLiteral("101");
  wide.Print(QStringLiteral("wide.pdf"));
  EXPECT_FALSE(QFile::exists(wide.path(QStringLiteral("wide.pdf"))));
  tall.sheet.numbers[kAcross] = QStringLiteral("1");
  tall.sheet.numbers[kDown] = QStringLiteral("200");
  const auto postcodes = Named(tall.Print(QStringLiteral("tall.pdf")), QStringLiteral("100080"));
  ASSERT_EQ(postcodes.size(), 3);
  EXPECT_NEAR(postcodes[1].mm.top() - postcodes[0].mm.top(), 297.0 / 200, kTolerance);
}

TEST(LabelPdf, ACommandPutsAllItsPagesInOneFile) {
  PdfFixture f(150);
  test::FreshPrompts();
  const QString file = f.path(QStringLiteral("command.pdf"));
  {
    print::PdfDevice pdf(file, print::kPdfPrinterName);
    EXPECT_EQ(PrintLabelPages(pdf, f.source(), 1, 3), 3);
    ASSERT_TRUE(pdf.Finish());
  }
  EXPECT_EQ(printtest::PageCount(file), 3);
  const auto words = printtest::ReadWords(file);
  EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const auto& w) { return w.page == 2; }), 30 * 2);
}

// Every preset on A4: the postcode of the first label and of the last one on the page lie where
// the sheet's stated margins, label size and gaps put them, with no printer offsets.
TEST(LabelPdf, PresetsPlaceEveryLabelOnTheSheetsMarginsAndGaps) {
  // The label size each sheet is sold as, in mm.
  const std::map<std::pair<int, int>, QSizeF> stated = {
      {{2, 4}, {99.1, 67.7}}, {{2, 5}, {99.1, 57}},    {{2, 7}, {99.1, 38.1}},
      {{3, 7}, {63.5, 38.1}}, {{3, 8}, {70, 37.125}},  {{3, 9}, {70, 33}},
      {{3, 10}, {70, 29.7}},  {{4, 10}, {52.5, 29.7}}, {{5, 13}, {38.1, 21.2}}};
  for (const LabelPreset& preset : LabelPresets()) {
    SCOPED_TRACE(PresetCaption(preset).toStdString());
    PdfFixture f(preset.across * preset.down);
    ApplyPreset(f.sheet, preset);
    const QSizeF label = stated.at({preset.across, preset.down});
    {
      print::PdfDevice pdf(f.path(QStringLiteral("preset.pdf")), print::kPdfPrinterName);
      ASSERT_EQ(PrintLabelPage(pdf, f.source(), 1, {0, 0}), PagePrinted::kPrinted);
      pdf.Finish();
    }
    const auto postcodes =
        Named(printtest::ReadWords(f.path(QStringLiteral("preset.pdf"))), QStringLiteral("100080"));
    ASSERT_EQ(postcodes.size(), preset.across * preset.down);
    // The postcode box sits at a tenth of the width and a fifth of the height of the canvas.
    const auto expected = [&](int c, int r) {
      return QPointF(preset.left + c * (label.width() + preset.gapAcross) + label.width() / 10,
                     preset.top + r * (label.height() + preset.gapDown) + label.height() / 5);
    };
    const QList<std::pair<int, int>> corners = {{0, 0}, {preset.across - 1, preset.down - 1}};
    for (const auto& [c, r] : corners) {
      const printtest::Word& w = postcodes[r * preset.across + c];
      EXPECT_NEAR(w.mm.left(), expected(c, r).x(), kTolerance) << c << "," << r;
      EXPECT_NEAR(w.mm.top(), expected(c, r).y(), kTolerance) << c << "," << r;
    }
  }
}

// The height pdftotext gives a line of 宋体 printed at `points`.
double WordHeightAt(double points) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("reference.pdf"));
  {
    print::PdfDevice pdf(path, print::kPdfPrinterName);
    common::FontChoice font;
    font.name = QStringLiteral("宋体");
    font.size = points;
    pdf.SetFont(font);
    pdf.SetCurrentPosition(QPointF(20, 20));
    pdf.PrintText(QStringLiteral("北京市海淀区"));
    pdf.Finish();
  }
  const QList<printtest::Word> words = printtest::ReadWords(path);
  return words.isEmpty() ? 0 : words[0].mm.height();
}

// The default sheet (4 x 15, shrink 1.5) and every preset, with the shipped DL format and
// addresses as long as real ones: the address at 8 pt or more, every line break kept, no house
// number cut in two, and no item printed over another.
TEST(LabelPdf, EverySheetPrintsTheWholeAddressLegiblyAndNoItemOverAnother) {
  test::ParDatabase db;
  const double eightPoints = WordHeightAt(8);
  ASSERT_GT(eightPoints, 2);
  std::vector<std::optional<LabelPreset>> sheets = {std::nullopt};
  for (const LabelPreset& preset : LabelPresets()) sheets.push_back(preset);
  const QStringList addresses = {QStringLiteral("浙江省杭州市西湖区文三路88//2幢301室"),
                                 QStringLiteral("内蒙古自治区呼和浩特市赛罕区大学西街235号内蒙古大学南校区"),
                                 QStringLiteral("北京市海淀区中关村大街1208室"),
                                 QStringLiteral("Room 1203, 88 Century Ave, Pudong")};
  for (const auto& preset : sheets) {
    PdfFixture f(0);
    f.envelope.SetChosenSize(editor::kDefaultSize);
    格式模块::LoadEnvelopeFormat(f.envelope, [&] { f.envelope.SetCanvasSize(f.envelope.ReferenceCanvas()); });
    f.sheet = LabelSheet();
    if (preset) ApplyPreset(f.sheet, *preset);
    SCOPED_TRACE(preset ? PresetCaption(*preset).toStdString() : std::string("4 × 15 default"));
    std::vector<data::Record> rows;
    const int count = Across(f.sheet) * Down(f.sheet);
    for (int r = 0; r < count; ++r)
      rows.push_back({QString::number(r + 1), QStringLiteral("欧阳建国"), QStringLiteral("300000"),
                      addresses[r % addresses.size()]});
    f.records.ReplaceAll(std::move(rows));
    int tooFull = 0;
    {
      print::PdfDevice pdf(f.path(QStringLiteral("sheet.pdf")), print::kPdfPrinterName);
      ASSERT_EQ(PrintLabelPage(pdf, f.source(), 1, {3, 3}, nullptr, &tooFull), PagePrinted::kPrinted);
      pdf.Finish();
    }
    EXPECT_EQ(tooFull, 0);
    const QList<printtest::Word> words = printtest::ReadWords(f.path(QStringLiteral("sheet.pdf")));
    QString joined;
    for (const printtest::Word& w : words) {
      joined += w.text + u'|';
      if (w.text == QStringLiteral("300000") || w.text == QStringLiteral("欧阳建国")) continue;
      EXPECT_GE(w.mm.height(), eightPoints - 0.05) << w.text.toStdString() << " below 8 pt";
    }
    EXPECT_EQ(joined.count(QStringLiteral("88|2幢301室|")), (count + 3) / 4) << "the line break is kept";
    EXPECT_EQ(joined.count(QStringLiteral("1208")), (count + 1) / 4) << "the number is not cut";
    EXPECT_EQ(joined.count(QStringLiteral("Century")), count / 4) << "the word is not cut";
    for (qsizetype i = 0; i < words.size(); ++i)
      for (qsizetype j = i + 1; j < words.size(); ++j) {
        const QRectF both = words[i].mm.intersected(words[j].mm);
        EXPECT_FALSE(both.width() > 0.3 && both.height() > 0.3)
            << words[i].text.toStdString() << " / " << words[j].text.toStdString();
      }
  }
}

TEST(LabelSheet, MarginsAndGapsThatLeaveNoRoomAreRefused) {
  const int fields[] = {kAcross, kMarginTop, kMarginLeft, kGapAcross};
  const struct {
    const char* numbers[4];
    bool fits;
  } cases[] = {{{"3", "10", "5", "2.5"}, true}, {{"3", "0", "105", "0"}, false},
               {{"3", "150", "0", "0"}, false}, {{"3", "0", "0", "105"}, false},
               {{"3", "-1", "0", "0"}, false},  {{"1", "0", "104.9", "500"}, true}};
  for (const auto& c : cases) {
    LabelSheet sheet;
    for (int i = 0; i < 4; ++i) sheet.numbers[fields[i]] = QString::fromLatin1(c.numbers[i]);
    EXPECT_EQ(GridOf(sheet, {210, 297}).has_value(), c.fits) << c.numbers[1] << " " << c.numbers[2];
    if (c.fits) continue;
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    editor::EnvelopeModel envelope;
    data::RecordTable records;
    QTemporaryDir dir;
    print::PdfDevice pdf(dir.filePath(QStringLiteral("none.pdf")), print::kPdfPrinterName);
    EXPECT_EQ(PrintLabelPages(pdf, {sheet, envelope, records}, 1, 1), 0);
    EXPECT_EQ(prompts.shown, QStringList{kNoRoomForLabels});
  }
}

}  // namespace
}  // namespace labels
