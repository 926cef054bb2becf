#include "data/ui/import_source.h"

#include "common/prompts.h"
#include "data/csv_reader.h"
#include "data/import_state.h"
#include "data/import_texts.h"
#include "data/ui/import_dialog.h"
#include "data/ui/sheet_chooser.h"

namespace data {

QString AskImportFile() { return common::prompts().OpenFileName(QString(), texts::kFileFilter); }

void ChooseImportSource(int selectionMode, QWidget* parent) {
  ImportState& state = importState();
  state.file.clear();
  state.sheet.clear();
  // The path keeps its letters as they are: a lower-cased path need not exist.
  state.file = AskImportFile();
  if (state.file.isEmpty() || IsCsvPath(state.file)) return;
  Sheets chooser(selectionMode, parent);
  if (chooser.listed()) chooser.exec();
}

void ImportRecords(RecordTable& grid, QWidget* parent) {
  ChooseImportSource(1, parent);
  const ImportState& state = importState();
  if ((state.file.isEmpty() || state.sheet.isEmpty()) && !IsCsvPath(state.file)) return;
  fOpen dialog(grid, parent);
  dialog.exec();
}

}  // namespace data
