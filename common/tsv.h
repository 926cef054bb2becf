#pragma once
// The tab-separated text of the program's data sets (division names, the postcode table, the
// default formats), read by one set of rules: UTF-8; a byte-order mark at the start ignored;
// lines end at LF or CR LF; blank lines and lines starting with "#" skipped; each field trimmed
// of spaces, so a stray space or CR never becomes part of a name or a code.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace common {

struct TsvLine {
  int number = 0;  // counted from 1, comments and blank lines included
  QStringList fields;
};

std::vector<TsvLine> SplitTsv(QStringView text);

}  // namespace common
