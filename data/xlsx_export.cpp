#include "data/xlsx_export.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "data/data_texts.h"

namespace data {
namespace {

// The most rows a sheet holds.
constexpr int kSheetRows = 1'048'576;

// Why the last system call failed, in the user's words where we have them.
QString SystemReason(int error) {
  if (error == EACCES || error == EROFS || error == EPERM) return kFolderNotWritable;
  if (error == ENOSPC || error == EDQUOT) return kDiskFull;
  return QString::fromLocal8Bit(std::strerror(error));
}

// The library's own reason, in English, kept after the user's words.
QString LibraryReason(lxw_error error) {
  return kXlsxNotWritten + QStringLiteral("（%1）").arg(QString::fromUtf8(lxw_strerror(error)));
}

}  // namespace

QString WriteTextWorkbook(const QString& path, const QString& sheetName, int rowCount,
                          const std::function<void(int row, QStringList& cells)>& row) {
  if (rowCount > kSheetRows) return kTooManyRowsForXlsx.arg(kSheetRows);
  const QFileInfo target(path);
  // A name of our own in the target folder: a read-only folder fails here, before any work.
  QTemporaryFile reserve(target.absolutePath() + QStringLiteral("/.kovapost-XXXXXX.xlsx"));
  if (!reserve.open()) return SystemReason(errno);
  const QByteArray temp = QFile::encodeName(reserve.fileName());
  const QByteArray tempDir = QFile::encodeName(QDir::tempPath());
  reserve.close();

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;  // rows go to disk as they are written: a million fit
  options.tmpdir = const_cast<char*>(tempDir.constData());
  options.use_zip64 = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(temp.constData(), &options);
  if (!book) return kXlsxNotWritten;
  lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.toUtf8().constData());
  lxw_format* text = workbook_add_format(book);
  format_set_num_format(text, "@");
  lxw_error error = LXW_NO_ERROR;
  QStringList cells;
  for (int r = 0; r < rowCount && error == LXW_NO_ERROR; ++r) {
    cells.clear();
    row(r, cells);
    for (int c = 0; c < cells.size() && error == LXW_NO_ERROR; ++c)
      if (!cells[c].isEmpty())
        error =
            worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cells[c].toUtf8().constData(), text);
  }
  if (error != LXW_NO_ERROR) {
    workbook_close(book);
    QFile::remove(reserve.fileName());
    return LibraryReason(error);
  }
  errno = 0;
  error = workbook_close(book);  // the whole file is written here: a full disk shows now
  if (error != LXW_NO_ERROR) {
    const int cause = errno;
    QFile::remove(reserve.fileName());
    return cause ? SystemReason(cause) : LibraryReason(error);
  }
  if (std::rename(temp.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
    const int cause = errno;
    QFile::remove(reserve.fileName());
    return SystemReason(cause);
  }
  return {};
}

QString ExportRecordsXlsx(const QString& path, const std::vector<Record>& records) {
  return WriteTextWorkbook(path, kXlsxSheetName, int(records.size()) + 1, [&](int r, QStringList& cells) {
    const Record& record = r == 0 ? Record{kHeaderTexts[0], kHeaderTexts[1], kHeaderTexts[2], kHeaderTexts[3]}
                                  : records[std::size_t(r - 1)];
    for (const QString& cell : record) cells.append(cell);
  });
}

}  // namespace data
