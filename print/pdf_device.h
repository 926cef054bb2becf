#pragma once
// The built-in PDF printer "PDF 文件": every job becomes one page of one PDF file, in order,
// so that a whole print command ends up in a single file. The file is complete after Finish().

#include <QPdfWriter>
#include <memory>

#include "print/painter_device.h"

namespace print {

class PdfDevice final : public PainterDevice {
 public:
  explicit PdfDevice(const QString& path, const QString& deviceName);

  // Pages of each envelope's own size instead of A4 (the print shops' PDF).
  void SetEnvelopeSizedPages(bool on) { envelopePages_ = on; }
  bool EnvelopeSizedPages() const override { return envelopePages_; }
  ~PdfDevice() override;

  QString DeviceName() const override { return name_; }

  // Closes the file. False when it could not be written. A file without a single page is
  // removed rather than left behind empty.
  bool Finish();
  int pageCount() const { return pages_; }
  const QString& path() const { return path_; }

  // The PDF printer's resolution: fine enough that font sizes resolve to 0.06 pt.
  static constexpr int kResolution = 1200;

 protected:
  QPainter* BeginPage(const QPageLayout& layout, bool firstOfJob) override;
  bool FinishJob() override;
  const QPaintDevice* MeasuringDevice() const override { return writer_.get(); }
  double Resolution() const override { return kResolution; }

 private:
  QString path_;
  QString name_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  int pages_ = 0;
  bool finished_ = false;
  bool envelopePages_ = false;
};

}  // namespace print
