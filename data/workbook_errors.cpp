#include "data/workbook_errors.h"

#include "data/import_texts.h"

namespace data {

QString WorkbookErrorMessage(int error) {
  switch (error) {
    case kWorkbookCannotOpen:
      return texts::kCannotOpenWorkbook;
    case kWorkbookNoSuchSheet:
      return texts::kNoSuchSheet;
    case kWorkbookWrongType:
      return texts::kNotAWorkbook;
    case kWorkbookCellOutOfRange:
      return texts::kColumnOutOfRange;
    default:
      return texts::kUnknownErrorPrefix + QString::number(error) + texts::kUnknownErrorSuffix;
  }
}

}  // namespace data
