#pragma once
// A batch run: import a source, clean it, and print the records as the TSV of the grid, as
// envelopes or as label sheets, with the layout and options the program has stored.

#include <QString>
#include <QTextStream>
#include <vector>

#include "batch/batch_options.h"
#include "data/record_table.h"

namespace batch {

// Exit statuses.
constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

// One cell for the TSV: backslash, tab, CR and LF written as \\, \t, \r and \n.
QString EscapeTsvCell(const QString& cell);
// One line per record: number, name, postcode, address.
QString RecordsTsv(const std::vector<data::Record>& records);

// Imports the source into `grid` as the import dialog does. Without an end row every row up to
// the format's last is read and the empty records after the last one that holds data are
// dropped. False when the source cannot be read; the reason has been shown.
bool ImportSource(const QString& source, const ImportOptions& options, data::RecordTable& grid);

// Runs the parsed command. Records go to `out`; messages go through common::prompts().
int Run(const BatchOptions& options, QTextStream& out);

}  // namespace batch
