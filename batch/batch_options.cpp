#include "batch/batch_options.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <map>

#include "batch/batch_texts.h"
#include "common/numbers.h"
#include "editor/custom_size.h"
#include "editor/editor_texts.h"
#include "editor/envelope_model.h"
#include "labels/label_sheet.h"
#include "print/posting_list.h"

namespace batch {
namespace {

// Which commands take an option.
enum Scope : unsigned { kAll = 15, kPrinting = 6, kEnvelopesOnly = 2, kLabelsOnly = 4 };
unsigned Bit(Command c) {
  switch (c) {
    case Command::kRecords:
      return 1u;
    case Command::kEnvelopes:
      return 2u;
    case Command::kLabels:
      return 4u;
    case Command::kPostingList:
      return 8u;
  }
  return 0u;
}

std::optional<int> PositiveNumber(const QString& text) {
  bool ok = false;
  const int n = text.toInt(&ok);
  if (!ok || n < 1) return std::nullopt;
  return n;
}

std::optional<double> Decimal(const QString& text) {
  bool ok = false;
  const double d = text.toDouble(&ok);
  if (!ok || !std::isfinite(d)) return std::nullopt;
  return d;
}

// "220x110", "220*110" or "220×110", each side a positive number.
std::optional<std::pair<double, double>> Dimensions(const QString& text) {
  static const QRegularExpression pattern(
      QStringLiteral("^\\s*([0-9]+(?:\\.[0-9]+)?)\\s*[xX*×]\\s*([0-9]+(?:\\.[0-9]+)?)\\s*$"));
  const QRegularExpressionMatch m = pattern.match(text);
  if (!m.hasMatch()) return std::nullopt;
  const double w = m.captured(1).toDouble(), h = m.captured(2).toDouble();
  if (w <= 0 || h <= 0) return std::nullopt;
  return std::pair{w, h};
}

// The design size whose caption starts with the name, as "DL: 220*110 毫米" with "DL".
std::optional<int> DesignSize(const QString& name) {
  const auto& sizes = editor::DesignSizeOptions();
  for (int i = 0; i < editor::kCustomSize; ++i)
    if (sizes[i].caption.startsWith(name + u':', Qt::CaseInsensitive)) return i;
  return std::nullopt;
}

const std::map<QString, int>& ItemNames() {
  static const std::map<QString, int> names = {
      {QStringLiteral("postcode"), labels::kPostcodeCheck},
      {QStringLiteral("address"), labels::kAddressCheck},
      {QStringLiteral("name"), labels::kNameCheck},
      {QStringLiteral("sender"), labels::kSenderAddressCheck},
      {QStringLiteral("sender-postcode"), labels::kSenderPostcodeCheck},
      {QStringLiteral("tag"), labels::kTagCheck},
  };
  return names;
}

}  // namespace

std::variant<BatchOptions, ArgumentError> ParseArguments(const QStringList& arguments) {
  BatchOptions o;
  bool bothOrientations = false;
  if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))
    return ArgumentError{};
  if (arguments.isEmpty()) return ArgumentError{kNoCommand};
  const QString& command = arguments.front();
  if (command == u"records")
    o.command = Command::kRecords;
  else if (command == u"envelopes")
    o.command = Command::kEnvelopes;
  else if (command == u"labels")
    o.command = Command::kLabels;
  else if (command == u"posting-list")
    o.command = Command::kPostingList;
  else
    return ArgumentError{kUnknownCommand.arg(command)};

  // Each option: the commands it belongs to, whether it takes a value, and what it does with it
  // (an error text, or empty when the value was taken).
  struct Option {
    unsigned scope;
    bool takesValue;
    std::function<QString(const QString& name, const QString& value)> apply;
  };
  auto flag = [](unsigned scope, std::function<void()> set) {
    return Option{scope, false, [set](const QString&, const QString&) {
                    set();
                    return QString();
                  }};
  };
  auto number = [](unsigned scope, std::function<void(int)> set) {
    return Option{scope, true, [set](const QString& name, const QString& value) {
                    const std::optional<int> n = PositiveNumber(value);
                    if (!n) return kBadNumber.arg(name, value);
                    set(*n);
                    return QString();
                  }};
  };
  auto text = [](unsigned scope, std::function<void(const QString&)> set) {
    return Option{scope, true, [set](const QString&, const QString& value) {
                    set(value);
                    return QString();
                  }};
  };
  auto step = [&o](CleaningStep::Kind kind) {
    return Option{kAll, false, [&o, kind](const QString&, const QString&) {
                    o.cleaning.push_back({kind});
                    return QString();
                  }};
  };
  const std::map<QString, Option> options = {
      {QStringLiteral("--sheet"), text(kAll, [&](const QString& v) { o.import.sheet = v; })},
      {QStringLiteral("--start"), number(kAll, [&](int n) { o.import.start = n; })},
      {QStringLiteral("--end"), Option{kAll, true,
                                       [&](const QString& name, const QString& value) {
                                         // 0 is allowed: with --start 1 it imports nothing.
                                         bool ok = false;
                                         const int n = value.toInt(&ok);
                                         if (!ok || n < 0) return kBadNumber.arg(name, value);
                                         o.import.end = n;
                                         return QString();
                                       }}},
      {QStringLiteral("--recipient"), text(kAll, [&](const QString& v) { o.import.expressions[0] = v; })},
      {QStringLiteral("--postcode"), text(kAll, [&](const QString& v) { o.import.expressions[1] = v; })},
      {QStringLiteral("--address"), text(kAll, [&](const QString& v) { o.import.expressions[2] = v; })},
      {QStringLiteral("--filter-line-breaks"), flag(kAll, [&] { o.import.filterLineBreaks = true; })},
      {QStringLiteral("--remove-incomplete"),
       Option{kAll, true,
              [&](const QString&, const QString& value) {
                static const QStringList rules = {QStringLiteral("name"), QStringLiteral("postcode"),
                                                  QStringLiteral("address")};
                const int rule = int(rules.indexOf(value));
                if (rule < 0) return kBadRule.arg(value);
                o.cleaning.push_back({CleaningStep::kRemoveIncomplete, rule});
                return QString();
              }}},
      {QStringLiteral("--remove-spaces"), step(CleaningStep::kRemoveSpaces)},
      {QStringLiteral("--remove-line-breaks"), step(CleaningStep::kRemoveLineBreaks)},
      {QStringLiteral("--merge-duplicates"), step(CleaningStep::kMergeDuplicates)},
      {QStringLiteral("--complete-postcodes"), step(CleaningStep::kCompletePostcodes)},
      {QStringLiteral("--database"), text(kAll, [&](const QString& v) { o.database = v; })},
      {QStringLiteral("--size"), Option{kPrinting, true,
                                        [&](const QString&, const QString& value) {
                                          if (const std::optional<int> i = DesignSize(value)) {
                                            o.envelope.size = *i;
                                            return QString();
                                          }
                                          const auto wh = Dimensions(value);
                                          if (!wh) return kBadSize.arg(value);
                                          // The same rule as the custom size boxes of the window.
                                          const auto size = editor::AcceptCustomSize(
                                              common::NumberText(wh->first), common::NumberText(wh->second));
                                          if (!size) return editor::kBadProportions;
                                          o.envelope.size = editor::kCustomSize;
                                          o.envelope.customW = size->W;
                                          o.envelope.customH = size->H;
                                          return QString();
                                        }}},
      {QStringLiteral("--portrait-printing"), flag(kEnvelopesOnly,
                                                   [&] {
                                                     bothOrientations =
                                                         bothOrientations || o.envelope.portrait == false;
                                                     o.envelope.portrait = true;
                                                   })},
      {QStringLiteral("--landscape-printing"), flag(kEnvelopesOnly,
                                                    [&] {
                                                      bothOrientations =
                                                          bothOrientations || o.envelope.portrait == true;
                                                      o.envelope.portrait = false;
                                                    })},
      {QStringLiteral("--centre-feed"), flag(kEnvelopesOnly, [&] { o.envelope.centreFeed = true; })},
      {QStringLiteral("--no-centre-feed"), flag(kEnvelopesOnly, [&] { o.envelope.centreFeed = false; })},
      {QStringLiteral("--rotate"), flag(kEnvelopesOnly, [&] { o.envelope.rotate = true; })},
      {QStringLiteral("--no-rotate"), flag(kEnvelopesOnly, [&] { o.envelope.rotate = false; })},
      {QStringLiteral("--page"), Option{kEnvelopesOnly, true,
                                        [&](const QString&, const QString& value) {
                                          if (value == QStringLiteral("envelope"))
                                            o.envelope.envelopePages = true;
                                          else if (value != QStringLiteral("a4"))
                                            return kBadPage.arg(value);
                                          return QString();
                                        }}},
      {QStringLiteral("--dpi"), number(kEnvelopesOnly, [&](int n) { o.envelope.dpi = n; })},
      {QStringLiteral("--margins"), Option{kPrinting, true,
                                           [&](const QString&, const QString& value) {
                                             const QStringList xy = value.split(u',');
                                             const auto x = xy.size() == 2 ? Decimal(xy[0]) : std::nullopt;
                                             const auto y = xy.size() == 2 ? Decimal(xy[1]) : std::nullopt;
                                             if (!x || !y) return kBadMargins.arg(value);
                                             o.envelope.marginX = *x;
                                             o.envelope.marginY = *y;
                                             return QString();
                                           }}},
      {QStringLiteral("-o"), text(kAll, [&](const QString& v) { o.output = v; })},
      {QStringLiteral("--sort"), Option{kAll, true,
                                        [&](const QString&, const QString& value) {
                                          QString name = value;
                                          const bool descending = name.endsWith(QStringLiteral(":desc"));
                                          if (descending || name.endsWith(QStringLiteral(":asc")))
                                            name.chop(descending ? 5 : 4);
                                          const int column = data::ColumnNamed(name);
                                          if (column < 0) return kBadSort.arg(value);
                                          o.sort = std::pair{column, descending};
                                          return QString();
                                        }}},
      {QStringLiteral("--filter"), Option{kAll, true,
                                          [&](const QString&, const QString& value) {
                                            return data::AddFilter(value, &o.filter) ? QString()
                                                                                     : kBadFilter.arg(value);
                                          }}},
      {QStringLiteral("--copies"), number(kPrinting, [&](int n) { o.copies = n; })},
      {QStringLiteral("--printer"), text(kPrinting, [&](const QString& v) { o.printer = v; })},
      {QStringLiteral("--across"), number(kLabelsOnly, [&](int n) { o.labels.across = QString::number(n); })},
      {QStringLiteral("--down"), number(kLabelsOnly, [&](int n) { o.labels.down = QString::number(n); })},
      {QStringLiteral("--shrink"), Option{kLabelsOnly, true,
                                          [&](const QString& name, const QString& value) {
                                            const std::optional<double> x = Decimal(value);
                                            if (!x || *x <= 0) return kBadDecimal.arg(name, value);
                                            o.labels.shrink = value;
                                            return QString();
                                          }}},
      {QStringLiteral("--paper"), Option{kLabelsOnly, true,
                                         [&](const QString&, const QString& value) {
                                           const auto wh = Dimensions(value);
                                           if (!wh) return kBadPaper.arg(value);
                                           o.labels.paperWidth = common::NumberText(wh->first);
                                           o.labels.paperHeight = common::NumberText(wh->second);
                                           return QString();
                                         }}},
      {QStringLiteral("--landscape"), flag(kLabelsOnly, [&] { o.labels.landscape = true; })},
      {QStringLiteral("--no-separators"), flag(kLabelsOnly, [&] { o.labels.separators = false; })},
      {QStringLiteral("--items"), Option{kLabelsOnly, true,
                                         [&](const QString&, const QString& value) {
                                           std::vector<int> items;
                                           for (const QString& name : value.split(u',', Qt::SkipEmptyParts)) {
                                             const auto it = ItemNames().find(name.trimmed());
                                             if (it == ItemNames().end()) return kBadItem.arg(name);
                                             items.push_back(it->second);
                                           }
                                           o.labels.items = items;
                                           return QString();
                                         }}},
  };

  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const auto it = options.find(argument);
    if (it == options.end()) {
      // The one argument that is not an option is the source; "-" alone is no option either.
      if (argument.startsWith(u'-') && argument.size() > 1)
        return ArgumentError{kUnknownOption.arg(argument)};
      if (!o.source.isEmpty()) return ArgumentError{kUnknownOption.arg(argument)};
      o.source = argument;
      continue;
    }
    const Option& option = it->second;
    if (!(option.scope & Bit(o.command))) return ArgumentError{kNotForCommand.arg(argument)};
    QString value;
    if (option.takesValue) {
      if (i + 1 >= arguments.size()) return ArgumentError{kMissingValue.arg(argument)};
      value = arguments[++i];
    }
    if (const QString error = option.apply(argument, value); !error.isEmpty()) return ArgumentError{error};
  }

  if (o.source.isEmpty()) return ArgumentError{kNoSource};
  if (bothOrientations) return ArgumentError{kBothOrientations};
  if (o.import.end && qint64(*o.import.end) < qint64(o.import.start) - 1)
    return ArgumentError{kEndBeforeStart};
  const QString suffix = QFileInfo(o.output).suffix().toLower();
  if (o.command == Command::kRecords && !o.output.isEmpty() && suffix != u"xlsx" && suffix != u"csv")
    return ArgumentError{kBadRecordsOutput.arg(o.output)};
  if (o.command == Command::kPostingList) {
    if (o.output.isEmpty() || !print::IsPostingListSuffix(suffix))
      return ArgumentError{kBadPostingListOutput.arg(o.output)};
  } else if (o.command != Command::kRecords) {
    if (o.output.isEmpty() && o.printer.isEmpty()) return ArgumentError{kNoOutput};
    if (!o.output.isEmpty() && !o.printer.isEmpty()) return ArgumentError{kTwoOutputs};
    if (o.envelope.envelopePages && o.output.isEmpty()) return ArgumentError{kPageNeedsPdf};
  }
  return o;
}

}  // namespace batch
