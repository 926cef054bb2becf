#pragma once
// Helpers of the printing tests: the song-style font mapped as the program maps it, an
// envelope with known texts, and reading positions back from real PDF files with poppler.

#include <QFont>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include "common/font_substitutes.h"
#include "editor/envelope_model.h"
#include "print/print_texts.h"
#include "store/registry.h"

namespace printtest {

// The print options: 纵向 or 横向 printing, centre feed, turned.
inline editor::TabOptions Options(bool portrait, bool centreFeed = false, bool rotate = false) {
  editor::TabOptions o;
  o.portrait = portrait, o.landscape = !portrait, o.centreFeed = centreFeed, o.rotate = rotate;
  return o;
}

// No printer calibrated, nor the settings of earlier versions.
inline void ForgetAllMargins() {
  for (const QString& key : Registry::SettingKeys(print::kPrinterMarginsSection))
    Registry::DeleteSetting(print::kPrinterMarginsSection, key);
  Registry::DeleteSetting(Registry::kCollateSection, print::kMarginXKey);
  Registry::DeleteSetting(Registry::kCollateSection, print::kMarginYKey);
}

// The program maps 宋体 to a CJK serif face at start (the test main does so too).
inline void MapSongTi() { common::InstallFontSubstitutes(); }

// The envelope of a size option, its canvas at the given width (twips) in the right proportions,
// and a recognisable text in every box.
inline void SetUpEnvelope(editor::EnvelopeModel& m, int sizeIndex, int canvasWidth = 9250) {
  MapSongTi();
  m.SetChosenSize(sizeIndex);
  const int canvasHeight = int(canvasWidth * m.H() / m.W());
  m.SetCanvasSize(QSize(canvasWidth, canvasHeight));
  const QStringList texts = {QStringLiteral("1"),
                             QStringLiteral("2"),
                             QStringLiteral("3"),
                             QStringLiteral("4"),
                             QStringLiteral("5"),
                             QStringLiteral("6"),
                             QStringLiteral("北京市海淀区"),
                             QStringLiteral("张三"),
                             QStringLiteral("上海市黄浦区"),
                             QStringLiteral("200001"),
                             QStringLiteral("印刷品")};
  for (int i = 0; i < editor::kBoxCount; ++i) m.SetBoxText(i, texts[i]);
}

struct Word {
  int page;      // from 0
  QRectF mm;     // on the page
  QString text;  // NFKC-normalised
};

// Every word of the PDF with its box, read by pdftotext -bbox.
inline QList<Word> ReadWords(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  p.waitForFinished(60000);
  const QString html = QString::fromUtf8(p.readAllStandardOutput());
  static const QRegularExpression token(QStringLiteral(
      R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
  constexpr double kMmPerPoint = 25.4 / 72;
  QList<Word> words;
  int page = -1;
  for (auto it = token.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    if (m.captured(0).startsWith(QStringLiteral("<page"))) {
      ++page;
      continue;
    }
    const QRectF pt(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                    QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    words.append({page, QRectF(pt.topLeft() * kMmPerPoint, pt.size() * kMmPerPoint),
                  m.captured(5).normalized(QString::NormalizationForm_KC)});
  }
  return words;
}

// The PDF's text as pdftotext gives it, in reading order and without any normalisation.
inline QString RawText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"),
          {QStringLiteral("-raw"), QStringLiteral("-nopgbrk"), pdf, QStringLiteral("-")});
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

inline int PageCount(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {pdf});
  p.waitForFinished(60000);
  static const QRegularExpression pages(QStringLiteral(R"re(Pages:\s+(\d+))re"));
  const auto m = pages.match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// One page of the PDF as a grey image at `dpi`, by pdftoppm.
inline QImage RasterPage(const QString& pdf, int page, int dpi, const QString& stem) {
  QProcess p;
  p.start(QStringLiteral("pdftoppm"),
          {QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
           QStringLiteral("-f"), QString::number(page + 1), QStringLiteral("-l"), QString::number(page + 1),
           QStringLiteral("-singlefile"), pdf, stem});
  p.waitForFinished(120000);
  return QImage(stem + QStringLiteral(".png"));
}

// The bounding box of the ink (pixels darker than mid grey) inside `within` (mm), in mm.
inline QRectF InkBox(const QImage& page, int dpi, const QRectF& within) {
  const double perMm = dpi / 25.4;
  const QRect area = QRectF(within.topLeft() * perMm, within.size() * perMm).toAlignedRect() & page.rect();
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(page.pixel(x, y)) < 128) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < 0) return {};
  return QRectF(QPointF(left / perMm, top / perMm), QPointF((right + 1) / perMm, (bottom + 1) / perMm));
}

}  // namespace printtest
