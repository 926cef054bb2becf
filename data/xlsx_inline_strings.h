#pragma once
// The cells of an .xlsx sheet that hold their own text (t="inlineStr"), which liborcus skips.

#include <QByteArray>
#include <QString>
#include <functional>

namespace data::detail {

// Calls `add` with each such cell of the named sheet, 0-based; nothing for other formats or
// for a sheet without them.
void ReadXlsxInlineStrings(const QByteArray& bytes, const QString& sheetName,
                           const std::function<void(int row, int column, QString text)>& add);

}  // namespace data::detail
