#include "print/pdf_printer.h"

#include <QDir>
#include <QFileInfo>

#include "common/prompts.h"
#include "print/print_texts.h"
#include "store/registry.h"

namespace print {
namespace {

bool Writable(const QString& folder) {
  const QFileInfo info(folder);
  return !folder.isEmpty() && info.isDir() && info.isWritable();
}

}  // namespace

QString PdfFolder() {
  QString folder = Registry::GetSetting(Registry::kCollateSection, kPdfFolderKey);
  if (Writable(folder)) return folder;
  QString start = folder.isEmpty() ? QDir::homePath() : folder;
  for (;;) {
    folder = common::prompts().FolderName(kChoosePdfFolder, start);
    if (folder.isEmpty()) return {};
    if (Writable(folder)) break;
    common::prompts().Message(kPdfFolderUnwritable);
    start = folder;
  }
  Registry::SaveSetting(Registry::kCollateSection, kPdfFolderKey, folder);
  return folder;
}

QString NewPdfPath(const QString& folder, const QString& prefix, const QDateTime& now) {
  const QDir dir(folder);
  const QString stem = prefix + u'_' + now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
  QString path = dir.filePath(stem + QStringLiteral(".pdf"));
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = dir.filePath(stem + u'_' + QString::number(n) + QStringLiteral(".pdf"));
  return path;
}

bool EnvelopePagesChosen() {
  return Registry::GetSetting(Registry::kCollateSection, kEnvelopePagesKey) == QStringLiteral("1");
}

std::unique_ptr<PdfDevice> OpenPdfPrinter(const QString& prefix) {
  const QString folder = PdfFolder();
  if (folder.isEmpty()) return nullptr;
  auto pdf =
      std::make_unique<PdfDevice>(NewPdfPath(folder, prefix, QDateTime::currentDateTime()), kPdfPrinterName);
  pdf->SetEnvelopeSizedPages(EnvelopePagesChosen());
  return pdf;
}

}  // namespace print
