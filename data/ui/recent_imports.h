#pragma once
// The last imports, newest first: each file with the sheet, rows and mapping it was imported
// with, so the import dialog can offer them again and "重新导入" can repeat the last one.

#include <QString>
#include <optional>
#include <vector>

#include "data/column_mapping.h"

namespace data {

class RecordTable;

struct RecentImport {
  QString file;
  QString sheet;  // empty for CSV files
  int start = 2;
  std::optional<int> end;  // none: to the last row that holds data
  Expressions expressions;
  bool filterLineBreaks = false;
  bool operator==(const RecentImport&) const = default;
};

constexpr int kRecentImports = 8;

// At most kRecentImports, newest first.
std::vector<RecentImport> RecentImports();
// Puts the import first; an earlier import of the same file goes.
void RememberImport(const RecentImport& import);

// Imports `import` again without asking; false (with a message) when its file has gone or cannot
// be read.
bool RunImport(RecordTable& grid, const RecentImport& import);
// "重新导入": the last import again. False with a message when there is none.
bool Reimport(RecordTable& grid);

}  // namespace data
