// Page setup, the line filler, the font size search and the placing of boxes, on the recording
// device and, where the measurements matter, on the PDF printer.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/numbers.h"
#include "print/envelope_renderer.h"
#include "print/line_filler.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"
#include "print/recording_device.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace {

using print::RecordingDevice;
using printtest::Options;

TEST(SetupPrinterPage, ChoosesPaperAndTurnsThePageAgainstTheOptionName) {
  struct Row {
    const char* name;
    double W, H;
    bool portraitOption;
    bool refuseA3;
    QPageSize::PageSizeId paper;
    QPageLayout::Orientation page;
  };
  const Row rows[] = {
      {"HP LaserJet", 220, 110, true, false, QPageSize::A4, QPageLayout::Landscape},    // DL
      {"HP LaserJet", 324, 229, true, false, QPageSize::A3, QPageLayout::Landscape},    // C4: H > 210
      {"HP LaserJet", 324, 229, true, true, QPageSize::Letter, QPageLayout::Portrait},  // A3 refused: not cut
      {"HP LaserJet", 210, 210, true, false, QPageSize::A4, QPageLayout::Landscape},    // strictly greater
      {"HP LaserJet", 229, 162, false, false, QPageSize::A3, QPageLayout::Portrait},    // C5 across: W > 210
      {"HP LaserJet", 162, 114, false, false, QPageSize::A4, QPageLayout::Portrait},
      {"OKI B412", 324, 229, true, false, QPageSize::Letter, QPageLayout::Landscape},  // keeps its paper
      {"oki c332", 220, 110, false, false, QPageSize::Letter, QPageLayout::Portrait},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.name << " " << r.W << "x" << r.H);
    RecordingDevice d(QString::fromUtf8(r.name));
    d.SetPaperSize(QPageSize::Letter);
    d.refuseA3 = r.refuseA3;
    const print::PageSetup want = r.refuseA3 ? print::PageSetup::kPaperRefused : print::PageSetup::kReady;
    EXPECT_EQ(print::SetupPrinterPage(d, r.W, r.H, Options(r.portraitOption)), want);
    EXPECT_EQ(d.PaperSize(), r.paper);
    EXPECT_EQ(d.Orientation(), r.page);
  }
}

TEST(RenderEnvelope, AFailedPageSetupShowsTheMessageAndPrintsNothing) {
  for (const char* name : {"Generic", "OKI 9"}) {  // an OKI printer's failure is reported too
    auto& prompts = test::FreshPrompts();
    RecordingDevice d(QString::fromUtf8(name));
    d.failUnit = true;
    editor::EnvelopeModel m;
    printtest::SetUpEnvelope(m, 2);
    EXPECT_EQ(print::RenderEnvelope(d, m, 3, 3), print::PrintStatus::kPageNotPrepared);
    EXPECT_EQ(prompts.shown, QStringList{print::kPrintError});
    EXPECT_TRUE(d.texts.isEmpty());
    EXPECT_EQ(d.endDocCalls, 0) << "no document is ended";
  }
}

TEST(RenderEnvelope, AJobThePrinterCannotTakeIsReportedAsNotSent) {
  RecordingDevice d;
  d.failEndDoc = true;
  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 2);
  EXPECT_EQ(print::RenderEnvelope(d, m, 3, 3), print::PrintStatus::kJobNotSent);
  EXPECT_NE(print::ErrorNumber(print::PrintStatus::kJobNotSent), 0);
}

TEST(RenderEnvelope, AnEnvelopeWithoutSizeIsRefusedInsteadOfDividingByZero) {
  auto& prompts = test::FreshPrompts();
  RecordingDevice d;
  editor::EnvelopeModel m;
  m.SetChosenSize(-1);  // no size chosen: W = H = 0
  EXPECT_EQ(print::RenderEnvelope(d, m, 3, 3), print::PrintStatus::kPageNotPrepared);
  EXPECT_EQ(prompts.shown, QStringList{print::kPrintError});
}

// The box's place in whole millimetres, halves to even, digit boxes 1 mm further right and down.
TEST(RenderEnvelope, PlacesBoxesInWholeMillimetresRoundingHalvesToEven) {
  struct Row {
    int box;
    int leftTwips, topTwips;  // on a 2200 x 1100 twip canvas: 10 twips per mm
    double offX, offY;
    QPointF at;
  };
  const Row rows[] = {
      {6, 125, 135, 0, 0, {12, 14}},       // 12.5 -> 12, 13.5 -> 14
      {6, 100, 100, 3, 3, {7, 7}},         // offsets move left and up
      {6, 100, 100, -0.5, -12, {10, 22}},  // 10.5 -> 10, and 12 mm down
      {8, 135, 135, 0, 0, {14, 14}},       // 13.5 -> 14
  };  // the centred boxes (digits, tag) are centred: tests/print/pdf_output_test.cpp
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "box " << r.box << " at " << r.leftTwips << "," << r.topTwips);
    editor::EnvelopeModel m;
    printtest::SetUpEnvelope(m, 2, 2200);
    m.SetOptions(Options(false));  // portrait page, no shifts
    for (int i = 0; i < editor::kBoxCount; ++i)
      if (i != r.box) m.SetBoxText(i, QString());
    m.SetBoxGeometry(r.box, QRect(r.leftTwips, r.topTwips, 400, 100));
    RecordingDevice d;
    ASSERT_EQ(print::RenderEnvelope(d, m, r.offX, r.offY), print::PrintStatus::kPrinted);
    ASSERT_FALSE(d.texts.isEmpty());
    EXPECT_EQ(d.texts.front().at, r.at);
  }
}

TEST(RenderEnvelope, LandscapePageShiftAndCentreFeed) {
  struct Row {
    int size;
    bool portraitOption, centreFeed;
    QPointF shift;  // added to the box's own place
  };
  const Row rows[] = {
      {2, true, false, {0, 100}},                             // DL on A4 across: 210 - 110
      {2, true, true, {0, 50}},                               // centred: a further -50
      {0, false, true, {24, 0}},                              // C6 down the page, centred: (210 - 162) / 2
      {0, false, false, {0, 0}},  {5, true, false, {0, 68}},  // C4 on A3: 297 - 229
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "size " << r.size);
    editor::EnvelopeModel m;
    printtest::SetUpEnvelope(m, r.size);
    m.SetOptions(Options(r.portraitOption, r.centreFeed));
    const QRect g = m.box(editor::kNameBox).geometry;
    const QPointF own(common::RoundToInt(m.W() * g.left() / m.canvasSize().width()),
                      common::RoundToInt(m.H() * g.top() / m.canvasSize().height()));
    RecordingDevice d;
    ASSERT_EQ(print::RenderEnvelope(d, m, 0, 0), print::PrintStatus::kPrinted);
    const auto texts = d.TextsOfJob(0);
    const auto name = std::find_if(texts.begin(), texts.end(),
                                   [&](const auto& t) { return t.text == m.box(editor::kNameBox).text; });
    ASSERT_NE(name, texts.end());
    EXPECT_EQ(name->at, own + r.shift);
  }
}

TEST(RenderEnvelope, LineBreaksEmptyLinesAndEmptyBoxes) {
  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 2);
  for (int i = 0; i < editor::kBoxCount; ++i) m.SetBoxText(i, QString());
  m.SetBoxText(editor::kAddressBox, QStringLiteral("\r\n"));
  m.SetBoxText(editor::kNameBox, QStringLiteral("张三\r\n李//王"));
  RecordingDevice d;
  ASSERT_EQ(print::RenderEnvelope(d, m, 0, 0), print::PrintStatus::kPrinted);
  ASSERT_EQ(d.texts.size(), 4);
  EXPECT_EQ(d.texts[0].text, QStringLiteral(" "));  // a lone CR LF: two blank lines
  EXPECT_EQ(d.texts[1].text, QStringLiteral(" "));
  EXPECT_GT(d.texts[1].at.y(), d.texts[0].at.y());
  EXPECT_EQ(d.texts[2].text, QStringLiteral("张三"));
  EXPECT_EQ(d.texts[3].text, QStringLiteral("李//王")) << "only CR LF breaks a line";
  EXPECT_EQ(d.jobsEnded, 1);
}

// A line filler measured in character counts: every character is one unit wide.
QStringList Break(const QString& line, double boxWidth) {
  return print::BreakLine(line, boxWidth, [](const QString& s) { return double(s.size()); });
}

TEST(LineFiller, BreaksFullWidthTextAnywhereAndKeepsWordRunsTogether) {
  struct Row {
    QString line;
    double box;
    QStringList pieces;
  };
  const QString pair = QString::fromUcs4(U"𠮷");  // outside the BMP: two UTF-16 units
  const Row rows[] = {
      {QStringLiteral("北京市海淀区"), 3, {QStringLiteral("北京市"), QStringLiteral("海淀区")}},
      {QStringLiteral("abc,def"), 4.5, {QStringLiteral("abc,def")}},  // one word run, past the edge
      {QStringLiteral("abc,def"), 2, {QStringLiteral("abc,"), QStringLiteral("def")}},  // "," once full
      {QStringLiteral("ab.cd;ef"), 1, {QStringLiteral("ab."), QStringLiteral("cd;"), QStringLiteral("ef")}},
      {QStringLiteral("路12号"), 2, {QStringLiteral("路12"), QStringLiteral("号")}},
      {QStringLiteral(""), 5, {QStringLiteral(" ")}},  // an empty line still takes a line
      {QStringLiteral("北京"), 0, {QStringLiteral("北"), QStringLiteral("京")}},  // no width: one each
      {QStringLiteral("ab"), -3, {QStringLiteral("ab")}},  // a word run stays whole even then
      {QStringLiteral("北京市"),
       2.5,
       {QStringLiteral("北京"), QStringLiteral("市")}},  // the third is given back
      {pair + pair, 0, {pair, pair}},                    // a character outside the BMP is never split
      {QStringLiteral("北京市"), 10, {QStringLiteral("北京市")}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(qPrintable(r.line + QStringLiteral(" in ") + QString::number(r.box)));
    EXPECT_EQ(Break(r.line, r.box), r.pieces);
  }
}

TEST(LineFiller, WordCharactersAndSafeEnds) {
  const std::pair<const char*, bool> rows[] = {
      {"A", true}, {"z", true},  {"0", true},  {".", true},   {",", true},   {"-", true},   {";", true},
      {"", false}, {" ", false}, {"_", false}, {"中", false}, {"Ａ", false}, {"１", false}, {"，", false}};
  for (auto [text, word] : rows) EXPECT_EQ(print::IsWordChar(QString::fromUtf8(text)), word) << text;
  EXPECT_EQ(print::SafeLeft(QString(), 3), QString());
  EXPECT_EQ(print::SafeRight(QStringLiteral("ab"), 5), QStringLiteral("ab"));
  EXPECT_EQ(print::SafeRight(QStringLiteral("abc"), 0), QString());
}

// The stepwise search as it is meant: one size after the other.
float Stepwise(print::PrinterDevice& d, double boxSize, double target) {
  d.SetFontSize(boxSize);
  const bool grow = !(d.TextWidth(print::kFontSample) > target);
  const float step = grow ? 0.01f : -0.1f;
  float size = float(boxSize);
  for (int n = 0; n < print::kFontSearchSteps; ++n) {
    size += step;
    if (size < print::kSmallestFontSize) return print::kSmallestFontSize;
    d.SetFontSize(size);
    const double w = d.TextWidth(print::kFontSample);
    if (grow ? w > target : w < target) break;
  }
  return size;
}

TEST(FitPrinterFontSize, FindsExactlyWhatTheStepwiseSearchFinds) {
  printtest::MapSongTi();
  QTemporaryDir dir;
  print::PdfDevice pdf(dir.filePath(QStringLiteral("m.pdf")), print::kPdfPrinterName);
  editor::Box box;
  box.font.name = QStringLiteral("宋体");
  struct Row {
    double size;
    bool bold;
    double mmPerTwip;
  };
  // DL on a 9250-twip canvas, C4 on a small one, and a canvas drawn bigger than the paper.
  const Row rows[] = {{9.75, true, 220.0 / 9250}, {18, true, 220.0 / 9250},     {26.25, true, 220.0 / 9250},
                      {12, false, 324.0 / 7000},  {11.25, false, 220.0 / 9250}, {18, false, 0.012}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.size << (r.bold ? " bold" : "") << " scale " << r.mmPerTwip);
    box.font.size = r.size;
    box.font.bold = r.bold;
    pdf.SetFont(box.font);
    const double target = print::ScreenSampleTwips(print::kFontSample, r.size, r.bold) * r.mmPerTwip;
    const float stepwise = Stepwise(pdf, r.size, target);
    pdf.SetFont(box.font);
    print::FontSizeCache cache;
    EXPECT_EQ(print::FitPrinterFontSize(pdf, r.size, box, r.mmPerTwip, r.bold, &cache), stepwise);
    EXPECT_EQ(pdf.Font().size, double(stepwise)) << "the device is left at the result";
    EXPECT_EQ(print::FitPrinterFontSize(pdf, r.size, box, r.mmPerTwip, r.bold, &cache), stepwise) << "cached";
  }
}

TEST(FitPrinterFontSize, NeverGoesBelowOnePoint) {
  printtest::MapSongTi();
  RecordingDevice d;
  editor::Box box;
  box.font.name = QStringLiteral("宋体");
  box.font.size = 9;
  d.SetFont(box.font);
  // A canvas so much larger than the envelope that no size is narrow enough.
  EXPECT_EQ(print::FitPrinterFontSize(d, 9, box, 1e-6, false), 1.0f);
  EXPECT_EQ(print::FitPrinterFontSize(d, 0.5, box, 1e-6, false), 1.0f);
}

}  // namespace
