// .xls workbooks (BIFF in a compound file) through FreeXL. FreeXL can crash on a crafted file,
// so the program calls this only through ReadInChildProcess.
#include <freexl.h>

#include <QFile>

#include "common/numbers.h"
#include "data/workbook.h"
#include "data/xls_merged_cells.h"

namespace data::detail {
namespace {

// The largest sheet of the BIFF8 format.
constexpr int kXlsRows = 65536;
constexpr int kXlsColumns = 256;

// FreeXL's failures as the import's error numbers.
int ErrorFor(int freexlCode) {
  switch (freexlCode) {
    case FREEXL_FILE_NOT_FOUND:
      return kWorkbookCannotOpen;
    case FREEXL_INSUFFICIENT_MEMORY:
      return 7;  // out of memory
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
      return kWorkbookWrongType;  // a compound file without a workbook, such as a .doc
    default:
      return kWorkbookCannotOpen;  // damaged or truncated
  }
}

class Handle {
 public:
  ~Handle() {
    if (handle_) freexl_close(handle_);
  }
  const void** out() { return &handle_; }
  const void* get() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

QString CellText(const FreeXL_CellValue& value) {
  switch (value.type) {
    case FREEXL_CELL_INT:
      return QString::number(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return common::NumberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
    default:
      return {};
  }
}

}  // namespace

int ReadXlsFile(const QString& path, const QString* sheetName, QStringList& names, Worksheet* sheet) {
  Handle xls;
  if (const int code = freexl_open(QFile::encodeName(path).constData(), xls.out()); code != FREEXL_OK)
    return ErrorFor(code);
  unsigned int info = 0;
  // An encrypted workbook cannot be read.
  if (freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
    return kWorkbookCannotOpen;
  unsigned int count = 0;
  if (const int code = freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &count); code != FREEXL_OK)
    return ErrorFor(code);
  int wanted = -1;
  for (unsigned int i = 0; i < count; ++i) {
    const char* name = nullptr;
    if (const int code = freexl_get_worksheet_name(xls.get(), (unsigned short)i, &name); code != FREEXL_OK)
      return ErrorFor(code);
    names << QString::fromUtf8(name ? name : "");
    if (sheetName && wanted < 0 && names.back() == *sheetName) wanted = int(i);
  }
  if (!sheet) return kWorkbookOk;
  if (wanted < 0) return kWorkbookNoSuchSheet;

  if (const int code = freexl_select_active_worksheet(xls.get(), (unsigned short)wanted); code != FREEXL_OK)
    return ErrorFor(code);
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (const int code = freexl_worksheet_dimensions(xls.get(), &rows, &columns); code != FREEXL_OK)
    return ErrorFor(code);
  sheet->SetLimits(kXlsRows, kXlsColumns);
  // FreeXL does not report merged areas; they are read from the file itself.
  QFile file(path);
  if (file.open(QIODevice::ReadOnly))
    for (const MergedArea& area : ReadXlsMergedAreas(file.readAll(), *sheetName))
      sheet->AddMergedArea(area.firstRow, area.firstColumn, area.lastRow, area.lastColumn);
  for (unsigned int r = 0; r < rows && r < unsigned(kXlsRows); ++r) {
    for (unsigned short c = 0; c < columns && c < kXlsColumns; ++c) {
      FreeXL_CellValue value;
      if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK) continue;
      sheet->SetCell(int(r), int(c), CellText(value));
    }
  }
  return kWorkbookOk;
}

}  // namespace data::detail
