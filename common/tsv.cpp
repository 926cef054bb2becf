#include "common/tsv.h"

namespace common {

std::vector<TsvLine> SplitTsv(QStringView text) {
  if (text.startsWith(QChar(0xFEFF))) text = text.sliced(1);
  std::vector<TsvLine> lines;
  int number = 0;
  for (const QStringView line : text.tokenize(u'\n')) {
    ++number;
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || line.startsWith(u'#')) continue;
    TsvLine tsv{number, {}};
    for (const QStringView field : line.split(u'\t')) tsv.fields << field.trimmed().toString();
    lines.push_back(std::move(tsv));
  }
  return lines;
}

}  // namespace common
