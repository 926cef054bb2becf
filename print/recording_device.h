#pragma once
// A printer device that remembers what was drawn instead of printing it, for the tests. It
// measures text like a real printer at `kResolution` dots per inch, and it can be told to
// behave like awkward printers: refuse A3, carry an "OKI" name, fail at setting the unit or at
// ending the document, or refuse font sizes below a limit.

#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <optional>

#include "print/printer_device.h"

namespace print {

class RecordingDevice final : public PrinterDevice {
 public:
  struct Text {
    QPointF at;  // mm, top-left corner, origin applied
    QString text;
    common::FontChoice font;
    int job;  // 0 for the first job
  };
  struct Image {
    QPointF corner;
    QSizeF extent;
    QSize imageSize;
    QRect source;
    int job;
  };
  struct Rect {
    QRectF rect;
    QColor color;
    int job;
  };
  struct Line {
    QPointF from, to;
    int job;
  };

  explicit RecordingDevice(QString name = QStringLiteral("Recorder"));

  // How the printer misbehaves.
  bool refuseA3 = false;
  bool failUnit = false;
  bool failEndDoc = false;
  double smallestFontSize = 0;  // sizes below this are refused
  QMarginsF unprintable;        // on the oriented page, mm

  // What it was asked to do.
  QList<Text> texts;
  QList<Image> images;
  QList<Rect> rects;
  QList<Line> lines;
  int jobsEnded = 0;  // EndDoc calls that sent something
  int endDocCalls = 0;

  static constexpr int kResolution = 600;

  QString DeviceName() const override { return name_; }
  QPageSize::PageSizeId PaperSize() const override { return paper_; }
  bool SetPaperSize(QPageSize::PageSizeId size) override;
  bool SetUnitMillimetres() override { return !failUnit; }
  QPageLayout::Orientation Orientation() const override { return orientation_; }
  bool SetOrientation(QPageLayout::Orientation orientation) override;
  bool SetOrigin(QPointF mm) override;
  QSizeF DrawableSize() const override;

  void SetFont(const common::FontChoice& font) override;
  bool SetFontSize(double points) override;
  const common::FontChoice& Font() const override { return font_; }

  QPointF CurrentPosition() const override { return position_; }
  void SetCurrentPosition(QPointF mm) override { position_ = mm; }
  double TextWidth(const QString& text) const override;
  double TextHeight(const QString& text) const override;
  void PrintText(const QString& text) override;

  void DrawLine(QPointF from, QPointF to, const QColor& color) override;
  void FillRect(const QRectF& rect, const QColor& color) override;
  void DrawImage(QPointF corner, QSizeF extent, const QImage& image, const QRect& source = QRect()) override;

  bool NewPage() override { return true; }
  bool EndDoc() override;

  // The texts of one job, in the order printed.
  QList<Text> TextsOfJob(int job) const;

 private:
  const QFontMetricsF& Metrics() const;

  QString name_;
  QPageSize::PageSizeId paper_ = QPageSize::A4;
  QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
  QPointF origin_;
  QPointF position_;
  common::FontChoice font_;
  QImage measuring_;
  mutable std::optional<QFontMetricsF> metrics_;
  int job_ = 0;
  bool drawn_ = false;
};

}  // namespace print
