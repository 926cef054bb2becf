// Envelopes printed to real PDF files and read back with poppler: every box's first line where
// the canvas puts it, for the paper sizes, page orientations, centre feed and printer offsets.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "common/numbers.h"
#include "print/envelope_renderer.h"
#include "print/pdf_device.h"
#include "print/pdf_printer.h"
#include "print/print_run.h"
#include "print/print_texts.h"
#include "print/rotated_renderer.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace {

using common::RoundToInt;

struct Case {
  int size;  // size option
  bool portraitOption;
  bool centreFeed;
  double offX, offY;
};

QList<Case> AllCases() {
  QList<Case> cases;
  for (int size : {2, 4, 5})  // DL, C5, C4
    for (bool portrait : {true, false})
      for (bool centre : {false, true})
        for (auto [x, y] : {std::pair{3.0, 3.0}, {0.0, 0.0}, {-0.5, -12.0}})
          cases.append({size, portrait, centre, x, y});
  return cases;
}

// Where the first line of box i starts on the page, computed from the canvas as the printer
// must place it.
QPointF Expected(const editor::EnvelopeModel& m, int i, const Case& c, double shortSide) {
  const double W = m.W(), H = m.H();
  const QRect g = m.box(i).geometry;
  const int k = i <= 5 ? 1 : 0;
  int X = RoundToInt(W * g.left() / m.canvasSize().width() - c.offX + k);
  int Y = RoundToInt(H * g.top() / m.canvasSize().height() - c.offY + k);
  if (c.portraitOption) {
    Y = RoundToInt(Y + (shortSide - H));
    if (c.centreFeed) Y = RoundToInt(Y - (shortSide - H) / 2);
  } else if (c.centreFeed) {
    X = RoundToInt(X + (shortSide - W) / 2);
  }
  return QPointF(X, Y);
}

// The box on the page, unrounded: where a centred box centres its text.
QRectF PlaceOnPage(const editor::EnvelopeModel& m, int i, const Case& c, double shortSide) {
  const double W = m.W(), H = m.H();
  const QRect g = m.box(i).geometry;
  QPointF corner(-c.offX, -c.offY);
  if (c.portraitOption)
    corner.ry() += c.centreFeed ? (shortSide - H) / 2 : shortSide - H;
  else if (c.centreFeed)
    corner.rx() += (shortSide - W) / 2;
  const double sx = W / m.canvasSize().width(), sy = H / m.canvasSize().height();
  return QRectF(corner.x() + g.left() * sx, corner.y() + g.top() * sy, g.width() * sx, g.height() * sy);
}

void Configure(editor::EnvelopeModel& m, const Case& c) {
  printtest::SetUpEnvelope(m, c.size);
  m.SetOptions(printtest::Options(c.portraitOption, c.centreFeed));
}

TEST(PdfOutput, EveryBoxStartsWhereTheCanvasPutsItWithinHalfAMillimetre) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("envelopes.pdf"));
  const QList<Case> cases = AllCases();
  QList<double> shortSides;
  QList<QSizeF> papers;
  {
    print::PdfDevice pdf(path, print::kPdfPrinterName);
    print::FontSizeCache cache;
    for (const Case& c : cases) {
      editor::EnvelopeModel m;
      Configure(m, c);
      ASSERT_EQ(print::RenderEnvelope(pdf, m, c.offX, c.offY, &cache), print::PrintStatus::kPrinted);
      shortSides.append(print::ShortSide(pdf));
      QSizeF paper = QPageSize(pdf.PaperSize()).size(QPageSize::Millimeter);
      if (pdf.Orientation() == QPageLayout::Landscape) paper.transpose();
      papers.append(paper);
    }
    ASSERT_TRUE(pdf.Finish());
  }
  ASSERT_EQ(printtest::PageCount(path), cases.size()) << "one page per envelope";
  const QList<printtest::Word> words = printtest::ReadWords(path);
  int checked = 0;

  for (int page = 0; page < cases.size(); ++page) {
    const Case& c = cases[page];
    SCOPED_TRACE(testing::Message() << "size " << c.size << (c.portraitOption ? " 纵向" : " 横向")
                                    << (c.centreFeed ? " centre" : "") << " offsets " << c.offX << "/"
                                    << c.offY);
    editor::EnvelopeModel m;
    Configure(m, c);
    for (int i = 0; i < editor::kBoxCount; ++i) {
      const QPointF want = Expected(m, i, c, shortSides[page]);
      if (want.x() < 0 || want.y() < 0 || want.x() + 15 > papers[page].width() ||
          want.y() + 10 > papers[page].height() ||
          (editor::RulesOf(i).centred &&
           PlaceOnPage(m, i, c, shortSides[page]).right() > papers[page].width()))
        continue;  // off the paper: nothing to read back
      const QString text = m.box(i).text;
      const printtest::Word* found = nullptr;
      for (const printtest::Word& w : words)
        if (w.page == page && (i <= 5 ? w.text == text : w.text.startsWith(text.left(2)))) found = &w;
      ASSERT_NE(found, nullptr) << "box " << i << " " << qPrintable(text);
      if (editor::RulesOf(i).centred) {
        // Centred on the canvas, centred on paper: across the box, and a digit down it too.
        const QRectF box = PlaceOnPage(m, i, c, shortSides[page]);
        EXPECT_NEAR(found->mm.center().x(), box.center().x(), 0.5) << "box " << i;
        if (i <= editor::kLastDigitBox)
          EXPECT_NEAR(found->mm.center().y(), box.center().y(), 0.5) << "box " << i;
        else
          EXPECT_NEAR(found->mm.top(), box.top(), 0.5) << "box " << i;
      } else {
        EXPECT_NEAR(found->mm.left(), want.x(), 0.5) << "box " << i;
        EXPECT_NEAR(found->mm.top(), want.y(), 0.5) << "box " << i;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, cases.size() * 8) << "most boxes land on the paper";
}

// The envelope through the PDF printer of a print command: one file, one page per envelope, in
// the folder chosen once.
TEST(PdfPrinter, WritesOneFilePerCommandIntoTheRememberedFolder) {
  QTemporaryDir dir;
  auto& prompts = test::FreshPrompts();
  prompts.files.push_back(dir.path());  // the folder chooser's answer
  QString first;
  {
    auto pdf = print::OpenPdfPrinter(QStringLiteral("信封"));
    ASSERT_NE(pdf, nullptr);
    first = pdf->path();
    editor::EnvelopeModel m;
    printtest::SetUpEnvelope(m, 2);
    for (int n = 0; n < 3; ++n) ASSERT_EQ(print::RenderEnvelope(*pdf, m, 3, 3), print::PrintStatus::kPrinted);
    ASSERT_TRUE(pdf->Finish());
  }
  EXPECT_EQ(printtest::PageCount(first), 3);
  EXPECT_TRUE(first.startsWith(dir.path()));

  prompts.Reset();
  auto second = print::OpenPdfPrinter(QStringLiteral("信封"));
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(prompts.shown.isEmpty()) << "the folder is asked for once";
  EXPECT_NE(second->path(), first) << "a new command never overwrites the last file";
  second->Finish();
  EXPECT_FALSE(QFile::exists(second->path())) << "a command that printed nothing leaves no empty file";
}

// Rotated output is a picture: read its ink back from a raster of the page.
TEST(PdfOutput, RotatedTextLiesAtItsPlaceTurnedByHalfATurn) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("rotated.pdf"));
  struct Rotated {
    bool portraitOption, centreFeed;
    double offX, offY;
    QPointF corner;  // the DL envelope's (220 x 110 mm) corner on the page
  };
  // 纵向打印 lays the envelope against the far long edge of a landscape A4 page (210 - 110 = 100 mm
  // down), centre feed halfway; 横向打印 needs A3 for its 220 mm across, and centre feed centres
  // it on A3's 297 mm.
  const QList<Rotated> cases = {{true, false, 3, 3, {-3, 97}},
                                {true, true, -0.5, -12, {0.5, 62}},
                                {false, false, 0, 0, {0, 0}},
                                {false, true, 3, 3, {35.5, -3}}};
  const double dpi = 300;
  {
    print::PdfDevice pdf(path, print::kPdfPrinterName);
    for (const Rotated& r : cases) {
      editor::EnvelopeModel m;
      printtest::SetUpEnvelope(m, 2);
      for (int i = 0; i < editor::kBoxCount; ++i)
        if (i != editor::kNameBox) m.SetBoxText(i, QString());
      m.SetOptions(printtest::Options(r.portraitOption, r.centreFeed, true));
      ASSERT_EQ(print::RenderRotated(pdf, m, r.offX, r.offY, dpi), print::PrintStatus::kPrinted);
    }
    ASSERT_TRUE(pdf.Finish());
  }
  for (int page = 0; page < cases.size(); ++page) {
    SCOPED_TRACE(testing::Message() << "case " << page);
    editor::EnvelopeModel m;
    printtest::SetUpEnvelope(m, 2);
    const print::RotationCanvas canvas = print::SizeRotationCanvas(m.W(), m.H(), dpi);
    const double ratio = canvas.widthTwips() / m.canvasSize().width();
    const editor::Box& box = m.box(editor::kNameBox);
    common::FontChoice font = box.font;
    font.size = print::FitPictureFontSize(box.font.size, box.font, ratio, box.font.bold);
    // The ink of the text on the upright picture, in mm from the envelope's corner.
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(3780), probe.setDotsPerMeterY(3780);
    const QFontMetricsF fm(print::ToQFont(font), &probe);
    const QRectF ink = fm.tightBoundingRect(box.text);
    const double mmPerTwip = m.W() / canvas.widthTwips();
    const double pxTwips = editor::kTwipsPerPixel;
    const QPointF origin(box.geometry.left() * ratio, box.geometry.top() * ratio + fm.ascent() * pxTwips);
    const QRectF upright(
        QPointF(origin.x() + ink.left() * pxTwips, origin.y() + ink.top() * pxTwips) * mmPerTwip,
        ink.size() * pxTwips * mmPerTwip);
    // Turned by 180 degrees about the envelope's place on the page.
    const QRectF env(cases[page].corner, QSizeF(220, 110));
    const QRectF want(QPointF(env.right() - upright.right(), env.bottom() - upright.bottom()),
                      upright.size());
    const QImage raster =
        printtest::RasterPage(path, page, 300, dir.filePath(QStringLiteral("page%1").arg(page)));
    ASSERT_FALSE(raster.isNull());
    const QRectF got = printtest::InkBox(raster, 300, want.adjusted(-5, -5, 5, 5));
    ASSERT_FALSE(got.isNull()) << "no ink near the turned place";
    EXPECT_NEAR(got.left(), want.left(), 0.5);
    EXPECT_NEAR(got.top(), want.top(), 0.5);
    EXPECT_NEAR(got.right(), want.right(), 0.5);
    EXPECT_NEAR(got.bottom(), want.bottom(), 0.5);
  }
}

// The turned print is the unturned one turned about the envelope: the centred boxes (digits,
// tag) included, whose text sits in the middle of its box either way.
TEST(PdfOutput, TurnedPrintIsTheUnturnedOneTurnedCentredBoxesIncluded) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("both.pdf"));
  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 2);
  for (int i = editor::kLastDigitBox + 1; i < editor::kTagBox; ++i) m.SetBoxText(i, QString());
  const QRectF env(0, 100, 220, 110);  // DL, 纵向打印: against the far edge of landscape A4
  {
    print::PdfDevice pdf(path, print::kPdfPrinterName);
    ASSERT_EQ(print::RenderEnvelope(pdf, m, 0, 0), print::PrintStatus::kPrinted);
    editor::TabOptions o = m.options();
    o.rotate = true;
    m.SetOptions(o);
    ASSERT_EQ(print::RenderRotated(pdf, m, 0, 0, 300), print::PrintStatus::kPrinted);
    ASSERT_TRUE(pdf.Finish());
  }
  const QImage upright = printtest::RasterPage(path, 0, 300, dir.filePath(QStringLiteral("upright")));
  const QImage turned = printtest::RasterPage(path, 1, 300, dir.filePath(QStringLiteral("turned")));
  ASSERT_FALSE(upright.isNull());
  ASSERT_FALSE(turned.isNull());
  const double mmPerTwip = m.W() / m.canvasSize().width();
  const auto turn = [&env](const QRectF& r) {
    const QPointF corner(env.left() + env.right() - r.right(), env.top() + env.bottom() - r.bottom());
    return QRectF(corner, r.size());
  };
  for (int i : {0, 3, 5, int(editor::kTagBox)}) {
    SCOPED_TRACE(testing::Message() << "box " << i);
    const QRect g = m.box(i).geometry;
    const QRectF box(env.topLeft() + QPointF(g.topLeft()) * mmPerTwip, QSizeF(g.size()) * mmPerTwip);
    const QRectF ink = printtest::InkBox(upright, 300, box);
    const QRectF turnedInk = printtest::InkBox(turned, 300, turn(box));
    ASSERT_FALSE(ink.isNull());
    ASSERT_FALSE(turnedInk.isNull());
    EXPECT_NEAR(ink.center().x(), box.center().x(), 0.5) << "centred across its box";
    EXPECT_NEAR(turnedInk.center().x(), turn(ink).center().x(), 0.5);
    EXPECT_NEAR(turnedInk.center().y(), turn(ink).center().y(), 0.5);
  }
}

// The width a text has in the font's own design, in mm at `points`.
double DesignWidthMm(const QFont& font, const QString& text, double points) {
  QRawFont raw = QRawFont::fromFont(font);
  raw.setPixelSize(raw.unitsPerEm());
  double units = 0;
  for (QPointF advance :
       raw.advancesForGlyphIndexes(raw.glyphIndexesForString(text), QRawFont::UseDesignMetrics))
    units += advance.x();
  return units / raw.unitsPerEm() * points * 25.4 / 72;
}

// Fonts past Qt's glyph cache are shaped at a smaller size and scaled back up; measured and
// printed, they must keep the width and line height of the full size, and print as wide as
// they measure.
TEST(PdfOutput, LargeFontsMeasureAndPrintAtTheirFullSize) {
  printtest::MapSongTi();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("sizes.pdf"));
  const QString text = QStringLiteral("北京市海淀区100080");
  const QList<double> sizes = {10, 15, 16, 17.85, 25.65, 48};
  QList<double> widths;
  {
    print::PdfDevice pdf(path, print::kPdfPrinterName);
    QPdfWriter reference(dir.filePath(QStringLiteral("reference.pdf")));
    reference.setResolution(print::PdfDevice::kResolution);
    const double mmPerPixel = 25.4 / print::PdfDevice::kResolution;
    double y = 5;
    for (double size : sizes) {
      SCOPED_TRACE(testing::Message() << size << " pt");
      common::FontChoice font;
      font.name = QStringLiteral("宋体");
      font.size = size;
      pdf.SetFont(font);
      // Qt rounds each glyph's advance a little at any size; a few thousandths of the width.
      const double design = DesignWidthMm(print::ToQFont(font), text, size);
      EXPECT_NEAR(pdf.TextWidth(text), design, design * 0.003);
      const QFontMetricsF full(print::ToQFont(font), &reference);
      EXPECT_NEAR(pdf.TextHeight(text), full.height() * mmPerPixel, 0.05);
      pdf.SetCurrentPosition(QPointF(5, y));
      pdf.PrintText(text);
      widths.append(pdf.TextWidth(text));
      y += pdf.TextHeight(text);
    }
    ASSERT_TRUE(pdf.Finish());
  }
  const QList<printtest::Word> words = printtest::ReadWords(path);
  ASSERT_EQ(words.size(), sizes.size());
  for (int i = 0; i < sizes.size(); ++i) {
    SCOPED_TRACE(testing::Message() << sizes[i] << " pt");
    EXPECT_EQ(words[i].text, text);
    EXPECT_NEAR(words[i].mm.left(), 5, 0.2);
    EXPECT_NEAR(words[i].mm.width(), widths[i], 0.2);
  }
}

// The 3,755 characters of GB 2312 level 1, rows 0xB0 to 0xD7.
QString Gb2312LevelOne() {
  QByteArray bytes;
  for (int row = 0xB0; row <= 0xD7; ++row)
    for (int cell = 0xA1; cell <= (row == 0xD7 ? 0xF9 : 0xFE); ++cell)
      bytes += char(row), bytes += char(cell);
  QStringDecoder gb18030("GB18030");
  return gb18030.decode(bytes);
}

// CJK faces share one glyph between a radical and its ideograph (⼈ and 人); the text read back
// from a PDF must be the printed one, or searching and copying an address fail.
TEST(PdfOutput, EveryCharacterOfGb2312LevelOneReadsBackAsItself) {
  const QString all = Gb2312LevelOne();
  ASSERT_EQ(all.size(), 3755);
  struct Face {
    const char16_t* name;
    bool bold;
  };
  for (const Face face :
       {Face{u"宋体", false}, Face{u"宋体", true}, Face{u"黑体", false}, Face{u"黑体", true}}) {
    SCOPED_TRACE(testing::Message() << QString::fromUtf16(face.name).toStdString()
                                    << (face.bold ? " bold" : ""));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gb2312.pdf"));
    {
      print::PdfDevice pdf(path, print::kPdfPrinterName);
      common::FontChoice font;
      font.name = QString::fromUtf16(face.name);
      font.size = 9;
      font.bold = face.bold;
      pdf.SetFont(font);
      const int perLine = 40;
      for (int i = 0; i < all.size(); i += perLine) {
        const int line = i / perLine;
        if (line > 0 && line % 60 == 0) pdf.NewPage();
        pdf.SetCurrentPosition(QPointF(5, 5 + (line % 60) * 4.5));
        pdf.PrintText(all.mid(i, perLine));
      }
      ASSERT_TRUE(pdf.Finish());
    }
    QString read = printtest::RawText(path);
    read.remove(u'\n');
    QString wrong;
    for (int i = 0; i < std::min(read.size(), all.size()); ++i)
      if (read[i] != all[i]) wrong += all[i] + QStringLiteral("→") + read[i] + u' ';
    EXPECT_EQ(read.size(), all.size());
    EXPECT_TRUE(wrong.isEmpty()) << wrong.left(300).toStdString();
  }
}

// Chinese text is measured from each glyph's advance, kept once per face, and printed as glyph
// runs. Every line of GB 2312 level 1, in each face and at the sizes of addresses, must measure
// and print as wide as Qt's own drawing of it prints, and read back as the same text; a line of
// Latin letters, which Qt shapes, among them. (Larger fonts are measured at a smaller size and
// scaled: LargeFontsMeasureAndPrintAtTheirFullSize.)
TEST(PdfOutput, ChineseTextMeasuresAndPrintsAsWideAsQtPrintsIt) {
  printtest::MapSongTi();
  const QString chinese =
      Gb2312LevelOne() + QStringLiteral("，。、；：？！“”‘’（）《》【】…０１２ＡＢＣ１２０８室");
  const QString latin = QStringLiteral("1208室Room1203,CenturyTower");  // one word to pdftotext
  struct Line {
    common::FontChoice font;
    QString text;
  };
  QList<Line> lines;
  for (const char16_t* name : {u"宋体", u"黑体"}) {
    for (const bool bold : {false, true}) {
      for (const double size : {8.0, 9.75, 11.5}) {
        common::FontChoice font;
        font.name = QString::fromUtf16(name);
        font.bold = bold;
        font.size = size;
        for (qsizetype i = 0; i < chinese.size(); i += 40) lines.append({font, chinese.mid(i, 40)});
        lines.append({font, latin});
      }
    }
  }
  QTemporaryDir dir;
  const QString ours = dir.filePath(QStringLiteral("ours.pdf")), qts = dir.filePath(QStringLiteral("qt.pdf"));
  constexpr int kPerPage = 10;
  const auto top = [](int i) { return 5 + (i % kPerPage) * 18.0; };
  QList<double> measured;
  {
    print::PdfDevice pdf(ours, print::kPdfPrinterName);
    QPdfWriter reference(qts);
    reference.setResolution(print::PdfDevice::kResolution);
    reference.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    QPainter qt(&reference);
    const double pixelsPerMm = print::PdfDevice::kResolution / 25.4;
    for (int i = 0; i < lines.size(); ++i) {
      if (i > 0 && i % kPerPage == 0) {
        pdf.NewPage();
        reference.newPage();
      }
      pdf.SetOrientation(QPageLayout::Landscape);
      pdf.SetFont(lines[i].font);
      pdf.SetCurrentPosition(QPointF(5, top(i)));
      pdf.PrintText(lines[i].text);
      measured.append(pdf.TextWidth(lines[i].text));
      qt.setFont(print::ToQFont(lines[i].font));
      qt.drawText(QPointF(5, top(i) + 10) * pixelsPerMm, lines[i].text);
    }
    ASSERT_TRUE(pdf.Finish());
  }
  const QList<printtest::Word> printed = printtest::ReadWords(ours), reference = printtest::ReadWords(qts);
  ASSERT_EQ(reference.size(), printed.size());
  for (int i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(testing::Message() << lines[i].font.name.toStdString()
                                    << (lines[i].font.bold ? " bold " : " ") << lines[i].font.size
                                    << " pt: " << lines[i].text.toStdString());
    EXPECT_EQ(printed[i].text, reference[i].text);
    EXPECT_NEAR(printed[i].mm.width(), reference[i].mm.width(), 0.02);
    EXPECT_NEAR(measured[i], reference[i].mm.width(), 0.02);
  }
}

// The print shops' PDF: every page the envelope's own size, and every box where it lies on the
// envelope, whatever the offsets, the centre feed or the turning asked for A4 paper.
TEST(PdfOutput, EnvelopeSizedPagesHoldTheEnvelopeAloneAtItsOwnSize) {
  QTemporaryDir dir;
  struct Page {
    int size;
    QSizeF mm;
  };
  for (const Page page : {Page{2, {220, 110}}, Page{4, {229, 162}}, Page{5, {324, 229}}}) {
    SCOPED_TRACE(testing::Message() << "size " << page.size);
    const QString plain = dir.filePath(QStringLiteral("plain.pdf")),
                  shop = dir.filePath(QStringLiteral("shop.pdf"));
    editor::EnvelopeModel m;
    printtest::SetUpEnvelope(m, page.size);
    {  // on A4 (A3 for C4) at the paper's corner: 横向打印, no offsets, no centre feed
      m.SetOptions(printtest::Options(false));
      print::PdfDevice pdf(plain, print::kPdfPrinterName);
      ASSERT_EQ(print::RenderEnvelope(pdf, m, 0, 0), print::PrintStatus::kPrinted);
      ASSERT_TRUE(pdf.Finish());
    }
    {
      m.SetOptions(printtest::Options(true, true, true));
      print::PdfDevice pdf(shop, print::kPdfPrinterName);
      pdf.SetEnvelopeSizedPages(true);
      ASSERT_EQ(print::PrintCurrentEnvelope(pdf, m, 1), print::PrintStatus::kPrinted);
      ASSERT_EQ(print::PrintCurrentEnvelope(pdf, m, 2), print::PrintStatus::kPrinted);
      ASSERT_TRUE(pdf.Finish());
    }
    EXPECT_EQ(printtest::PageCount(shop), 2);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {shop});
    info.waitForFinished(60000);
    const QString size = QString::fromUtf8(info.readAllStandardOutput())
                             .section(QStringLiteral("Page size:"), 1)
                             .section(u'\n', 0, 0);
    const QStringList pts = size.simplified().split(u' ');
    ASSERT_GE(pts.size(), 3);
    EXPECT_NEAR(pts[0].toDouble() * 25.4 / 72, page.mm.width(), 0.3);
    EXPECT_NEAR(pts[2].toDouble() * 25.4 / 72, page.mm.height(), 0.3);
    const QList<printtest::Word> onA4 = printtest::ReadWords(plain), onShop = printtest::ReadWords(shop);
    ASSERT_FALSE(onA4.isEmpty());
    int matched = 0;
    for (const printtest::Word& w : onShop) {
      if (w.page != 0) continue;
      for (const printtest::Word& a : onA4)
        if (a.text == w.text) {
          EXPECT_NEAR(w.mm.left(), a.mm.left(), 0.3) << w.text.toStdString();
          EXPECT_NEAR(w.mm.top(), a.mm.top(), 0.3) << w.text.toStdString();
          ++matched;
          break;
        }
    }
    EXPECT_GE(matched, editor::kBoxCount - 1);
  }
}

}  // namespace
