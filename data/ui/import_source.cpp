#include "data/ui/import_source.h"

#include <QFileInfo>

#include "common/prompts.h"
#include "data/csv_reader.h"
#include "data/import_state.h"
#include "data/import_texts.h"
#include "data/ui/import_dialog.h"
#include "data/ui/sheet_chooser.h"
#include "store/registry.h"

namespace data {
namespace {

// Beside the import dialog's parameters: the folder of the last file chosen.
const QString kLastFolderKey = QStringLiteral("Folder");

}  // namespace

QString AskImportFile() {
  // The dialog opens where the last file was chosen.
  const QString folder = Registry::GetSetting(Registry::kOpenParaSection, kLastFolderKey);
  const QString path = common::prompts().OpenFileNameIn(QString(), texts::kFileFilter, folder);
  if (!path.isEmpty())
    Registry::SaveSetting(Registry::kOpenParaSection, kLastFolderKey, QFileInfo(path).absolutePath());
  return path;
}

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
