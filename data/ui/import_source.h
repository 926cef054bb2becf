#pragma once
// Choosing what to import: the file dialog, then, for a workbook, the sheet chooser; and the
// import command that goes on to the import dialog.

#include <QString>

class QWidget;

namespace data {

class RecordTable;

// The chosen file's full path, or empty when the user cancelled.
QString AskImportFile();

// Sets the import file and, for a workbook, the import sheet (both empty when cancelled).
void ChooseImportSource(int selectionMode, QWidget* parent = nullptr);

// The import command: choose the source, then run the import dialog when there is something to
// import. Returns when the dialog has closed.
void ImportRecords(RecordTable& grid, QWidget* parent = nullptr);

}  // namespace data
