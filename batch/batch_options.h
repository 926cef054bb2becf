#pragma once
// The command line of kovapost-batch, parsed into what a run needs, without running anything,
// so that every rule about arguments can be checked on its own.

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

#include "data/column_mapping.h"

namespace batch {

enum class Command { kRecords, kEnvelopes, kLabels };

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
  QString database;  // empty: the user's own copy of Par.mdb
  QString output;    // a PDF file
  QString printer;   // an installed printer
};

// A message for the user, shown with the usage text; exit status 2.
struct ArgumentError {
  QString message;
};

// `arguments` without the program name. "--help" gives an error with an empty message.
std::variant<BatchOptions, ArgumentError> ParseArguments(const QStringList& arguments);

}  // namespace batch
