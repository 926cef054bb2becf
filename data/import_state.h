#pragma once
// What the user chose to import, shared by the file and sheet choice, the import dialog and the
// readers: the file (its path as chosen), the sheet (empty for CSV files) and the three mapping
// expressions, which hold their normalised form after an import.

#include <QString>

#include "data/column_mapping.h"

namespace data {

struct ImportState {
  QString file;
  QString sheet;
  Expressions expressions;
};

ImportState& importState();

}  // namespace data
