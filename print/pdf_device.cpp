#include "print/pdf_device.h"

#include <QFile>

namespace print {

PdfDevice::PdfDevice(const QString& path, const QString& deviceName)
    : path_(path), name_(deviceName), writer_(std::make_unique<QPdfWriter>(path)) {
  writer_->setResolution(kResolution);
  writer_->setCreator(QStringLiteral("Kovapost"));
  writer_->setPageLayout(layout());
}

PdfDevice::~PdfDevice() { Finish(); }

QPainter* PdfDevice::BeginPage(const QPageLayout& layout, bool) {
  if (finished_) return nullptr;
  writer_->setPageLayout(layout);
  if (!painter_.isActive()) {
    if (!painter_.begin(writer_.get())) return nullptr;
  } else if (!writer_->newPage()) {
    return nullptr;
  }
  ++pages_;
  return &painter_;
}

bool PdfDevice::FinishJob() { return painter_.isActive(); }

bool PdfDevice::Finish() {
  if (finished_) return true;
  finished_ = true;
  const bool painted = painter_.isActive();
  const bool ok = painted ? painter_.end() : true;
  writer_.reset();  // flushes and closes the file
  if (!painted) QFile::remove(path_);
  return ok && (!painted || QFile::exists(path_));
}

}  // namespace print
