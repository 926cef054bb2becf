#pragma once
// The error numbers of workbook reading. Each names a condition the user can act on and picks
// the message shown for it; any other number is reported as unknown, with the number.

#include <QString>

namespace data {

enum WorkbookError : int {
  kWorkbookOk = 0,
  // The file cannot be read or parsed, or a column item is empty.
  kWorkbookInvalidArgument = 5,
  kWorkbookCannotOpen = 5,
  // No worksheet of the requested name.
  kWorkbookNoSuchSheet = 9,
  // The file is readable but is no workbook at all.
  kWorkbookWrongType = 438,
  // Row 0, column 0, or beyond the last row or column a sheet of this format can have.
  kWorkbookCellOutOfRange = 1004,
};

// The message for an error number.
QString WorkbookErrorMessage(int error);

}  // namespace data
