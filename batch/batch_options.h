#pragma once
// The command line of kovapost-batch, parsed into what a run needs, without running anything,
// so that every rule about arguments can be checked on its own.

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

#include "data/column_mapping.h"
#include "data/record_view.h"

namespace batch {

enum class Command { kRecords, kEnvelopes, kLabels, kPostingList };

// One cleaning step, run in the order given. `rule` is used by kRemoveIncomplete only.
struct CleaningStep {
  enum Kind { kRemoveIncomplete, kRemoveSpaces, kRemoveLineBreaks, kMergeDuplicates, kCompletePostcodes };
  Kind kind;
  int rule = 0;  // data::Rule
  bool operator==(const CleaningStep&) const = default;
};

struct ImportOptions {
  QString sheet;  // empty: the workbook's first sheet
  int start = 2;
  std::optional<int> end;  // none: the last row that holds data
  data::Expressions expressions{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
  bool filterLineBreaks = false;
};

// Options left unset keep what the program has stored.
struct EnvelopeOptions {
  std::optional<int> size;  // a design size index
  std::optional<int> customW, customH;
  std::optional<bool> portrait;  // true: 纵向打印, false: 横向打印
  std::optional<bool> centreFeed;
  std::optional<bool> rotate;
  std::optional<double> dpi;
  std::optional<double> marginX, marginY;
  bool envelopePages = false;  // --page envelope: each PDF page the envelope's own size
};

// Unset values keep the label tab's own.
struct LabelOptions {
  std::optional<QString> across, down, shrink, paperWidth, paperHeight;
  bool landscape = false;
  bool separators = true;
  std::optional<std::vector<int>> items;  // labels::Check values to tick; the others are cleared
};

struct BatchOptions {
  Command command = Command::kRecords;
  QString source;
  ImportOptions import;
  std::vector<CleaningStep> cleaning;
  EnvelopeOptions envelope;
  LabelOptions labels;
  // Which records, in what order: the whole list sorted first, then filtered.
  std::optional<std::pair<int, bool>> sort;  // column, descending
  data::RecordFilter filter;
  int copies = 1;    // each envelope or label printed this many times, one after another
  QString database;  // empty: the user's own copy of Par.mdb
  // A PDF file for envelopes and labels; .pdf, .xlsx or .csv for the posting list; .xlsx or .csv
  // for records (without it records go to standard output as TSV).
  QString output;
  QString printer;  // an installed printer
};

// A message for the user, shown with the usage text; exit status 2.
struct ArgumentError {
  QString message;
};

// `arguments` without the program name. "--help" gives an error with an empty message.
std::variant<BatchOptions, ArgumentError> ParseArguments(const QStringList& arguments);

}  // namespace batch
