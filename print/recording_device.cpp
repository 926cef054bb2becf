#include "print/recording_device.h"

#include <cmath>

#include "print/painter_device.h"

namespace print {
namespace {
constexpr double kMmPerInch = 25.4;
}

RecordingDevice::RecordingDevice(QString name)
    : name_(std::move(name)), measuring_(1, 1, QImage::Format_RGB32) {
  const int dotsPerMeter = static_cast<int>(std::lround(kResolution / kMmPerInch * 1000));
  measuring_.setDotsPerMeterX(dotsPerMeter);
  measuring_.setDotsPerMeterY(dotsPerMeter);
  font_.name = QStringLiteral("宋体");
}

bool RecordingDevice::SetPaperSize(QPageSize::PageSizeId size) {
  if (refuseA3 && size == QPageSize::A3) return false;
  paper_ = size;
  return true;
}

bool RecordingDevice::SetOrientation(QPageLayout::Orientation orientation) {
  orientation_ = orientation;
  return true;
}

bool RecordingDevice::SetOrigin(QPointF mm) {
  origin_ = mm;
  return true;
}

QSizeF RecordingDevice::DrawableSize() const {
  QSizeF paper = QPageSize(paper_).size(QPageSize::Millimeter);
  if (orientation_ == QPageLayout::Landscape) paper.transpose();
  return {paper.width() - unprintable.left() - unprintable.right(),
          paper.height() - unprintable.top() - unprintable.bottom()};
}

void RecordingDevice::SetFont(const common::FontChoice& font) {
  font_ = font;
  metrics_.reset();
}

bool RecordingDevice::SetFontSize(double points) {
  if (!(points > 0) || points < smallestFontSize) return false;
  font_.size = points;
  metrics_.reset();
  return true;
}

const QFontMetricsF& RecordingDevice::Metrics() const {
  if (!metrics_) metrics_.emplace(ToQFont(font_), &measuring_);
  return *metrics_;
}

double RecordingDevice::TextWidth(const QString& text) const {
  return Metrics().horizontalAdvance(text) * kMmPerInch / kResolution;
}

double RecordingDevice::TextHeight(const QString&) const {
  return Metrics().height() * kMmPerInch / kResolution;
}

void RecordingDevice::PrintText(const QString& text) {
  texts.append({position_ + origin_, text, font_, job_});
  drawn_ = true;
  position_.rx() += TextWidth(text);
}

void RecordingDevice::DrawLine(QPointF from, QPointF to, const QColor&) {
  lines.append({from + origin_, to + origin_, job_});
  drawn_ = true;
}

void RecordingDevice::FillRect(const QRectF& rect, const QColor& color) {
  rects.append({rect.translated(origin_), color, job_});
  drawn_ = true;
}

void RecordingDevice::DrawImage(QPointF corner, QSizeF extent, const QImage& image, const QRect& source) {
  images.append({corner + origin_, extent, image.size(), source, job_});
  drawn_ = true;
}

bool RecordingDevice::EndDoc() {
  ++endDocCalls;
  if (failEndDoc) return false;
  if (drawn_) {
    ++jobsEnded;
    ++job_;
  }
  drawn_ = false;
  return true;
}

QList<RecordingDevice::Text> RecordingDevice::TextsOfJob(int job) const {
  QList<Text> out;
  for (const Text& t : texts)
    if (t.job == job) out.append(t);
  return out;
}

}  // namespace print
