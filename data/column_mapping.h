#pragma once
// The column-mapping language of the import: each record field is built from a list of items
// separated by commas, an item being a literal between double quotes ("收", "//") or a column
// reference of one or two letters (A = 1 ... ZZ = 702). The items' texts are concatenated.

#include <QString>
#include <QStringView>
#include <array>
#include <functional>
#include <optional>

namespace data {

// Index of a field's expression and result: recipient, postcode, address.
enum MappedField : int { kRecipientField = 0, kPostcodeField = 1, kAddressField = 2 };
using Expressions = std::array<QString, 3>;
using MappedFields = std::array<QString, 3>;

// Full-width commas and curly quotes become their ASCII forms, outer spaces go, and one comma
// at each end is dropped.
QString NormaliseExpression(QString expression);

// The column an item names: the letters' codes minus 64, the first of two letters counting 26
// times. Items longer than two characters name column 0; anything else below 1 names column 1.
// An empty item names nothing (nullopt).
std::optional<int> ColumnNumber(QStringView item);

// A literal item: quoted at both ends. Its text is what lies between the quotes; a lone quote
// is an empty literal.
bool IsLiteral(QStringView item);
QStringView LiteralText(QStringView item);

// A postcode stored as a number loses its leading zeros: 1 to 5 characters are padded with
// "0" on the left to 6.
QString PadPostcode(QString postcode);

// Line feeds in a field become the line-break mark.
QString MarkLineBreaks(QString field);

// Reads the text of source cell (row, column), both 1-based; returns 0, or the workbook error
// number that stops the import.
using CellReader = std::function<int(int row, int column, QString& text)>;

struct MappingResult {
  MappedFields fields;
  int error = 0;  // 0, or the workbook error number of the first failing item
};

// Builds the three fields of one workbook row from normalised expressions. Items are cleared
// of line breaks and trimmed; a column item reads its cell, cleared of line breaks when
// `filterLineBreaks` is set. The postcode is padded.
MappingResult EvaluateMapping(const Expressions& normalised, int row, bool filterLineBreaks,
                              const CellReader& read);

// Removes carriage returns and line feeds.
QString WithoutLineBreaks(QString text);
// Removes leading and trailing ASCII spaces only (tabs and ideographic spaces are data).
QStringView TrimSpaces(QStringView text);

}  // namespace data
