#include "data/column_mapping.h"

#include <QList>

#include "common/line_break.h"
#include "data/workbook_errors.h"

namespace data {

QStringView TrimSpaces(QStringView text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first] == u' ') ++first;
  while (last > first && text[last - 1] == u' ') --last;
  return text.sliced(first, last - first);
}

QString WithoutLineBreaks(QString text) {
  text.remove(u'\r');
  text.remove(u'\n');
  return text;
}

QString NormaliseExpression(QString expression) {
  expression.replace(u'”', u'"').replace(u'“', u'"').replace(u'，', u',');
  expression = TrimSpaces(expression).toString();
  if (expression.startsWith(u',')) expression.remove(0, 1);
  if (expression.endsWith(u',')) expression.chop(1);
  return expression;
}

std::optional<int> ColumnNumber(QStringView item) {
  const QString letters = TrimSpaces(item).toString().toUpper();
  if (letters.isEmpty()) return std::nullopt;
  if (letters.size() > 2) return 0;
  // Letters count from A = 1; a character outside ASCII has a negative code in the Chinese
  // code page, which lands below 1 like any other non-letter.
  const auto code = [](QChar c) { return c.unicode() < 0x80 ? int(c.unicode()) : -1; };
  int value = code(letters.back()) - 64;
  if (letters.size() == 2) value += (code(letters.front()) - 64) * 26;
  return value < 1 ? 1 : value;
}

bool IsLiteral(QStringView item) { return !item.isEmpty() && item.front() == u'"' && item.back() == u'"'; }

QStringView LiteralText(QStringView item) {
  return item.size() < 2 ? QStringView() : item.sliced(1, item.size() - 2);
}

QString PadPostcode(QString postcode) {
  if (!postcode.isEmpty() && postcode.size() < 6) postcode = postcode.rightJustified(6, u'0');
  return postcode;
}

QString MarkLineBreaks(QString field) { return field.replace(u'\n', common::kLineBreakMark); }

MappingResult EvaluateMapping(const Expressions& normalised, int row, bool filterLineBreaks,
                              const CellReader& read) {
  MappingResult result;
  for (int e = 0; e < 3; ++e) {
    const QString& expression = normalised[e];
    QString& field = result.fields[e];
    if (expression.isEmpty()) continue;
    for (QStringView rawItem : QStringView(expression).split(u',')) {
      const QString cleaned = WithoutLineBreaks(rawItem.toString());
      const QStringView item = TrimSpaces(cleaned);
      if (IsLiteral(item)) {
        field += LiteralText(item);
        continue;
      }
      const std::optional<int> column = ColumnNumber(item);
      if (!column) {
        result.error = kWorkbookInvalidArgument;
        return result;
      }
      QString text;
      if (const int error = read(row, *column, text)) {
        result.error = error;
        return result;
      }
      field += filterLineBreaks ? WithoutLineBreaks(std::move(text)) : text;
    }
    field = MarkLineBreaks(std::move(field));
  }
  result.fields[kPostcodeField] = PadPostcode(std::move(result.fields[kPostcodeField]));
  return result;
}

}  // namespace data
