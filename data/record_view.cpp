#include "data/record_view.h"

#include <QStringMatcher>
#include <algorithm>
#include <cstdint>

#include "data/data_texts.h"
#include "data/divisions.h"
#include "data/postcodes.h"

namespace data {
namespace {

// Each record's sort key: a number that orders like the cell, and for texts the cell itself to
// settle equal numbers. Sorting these (with the index as the last word, which keeps equal records
// in their order) touches no text for most comparisons: a million records sort in a fraction of a
// second.
struct Key {
  std::uint64_t value;
  int index;
};

constexpr std::uint64_t kEmptyKey = ~std::uint64_t(0);  // empty cells: last either way

// The postcode's digits as written, other characters skipped: each digit d counts d + 1 in base
// 11, padded with zeros after the last, so "31000" comes before "310000" and "010000" before
// "100000". Twelve digits fit; longer runs are told apart no further (the sort keeps their order).
std::uint64_t PostcodeKey(const QString& postcode) {
  std::uint64_t key = 0;
  int digits = 0;
  for (QChar c : postcode) {
    if (!c.isDigit()) continue;
    if (digits == 12) break;
    key = key * 11 + std::uint64_t(c.digitValue() + 1);
    ++digits;
  }
  if (digits == 0) return kEmptyKey;
  for (; digits < 12; ++digits) key *= 11;
  return key;
}

// A record number by value; one that is not a number goes after all that are.
std::uint64_t NumberKey(const QString& number) {
  bool ok = false;
  const double value = number.trimmed().toDouble(&ok);
  if (number.trimmed().isEmpty()) return kEmptyKey;
  if (!ok || !(value >= 0) || value > 1e15) return kEmptyKey - 1;
  return std::uint64_t(value * 1024);  // record numbers are whole; a fraction still orders
}

// The first four UTF-16 units of a text, so that most comparisons need only the number.
std::uint64_t TextKey(const QString& text) {
  if (text.isEmpty()) return kEmptyKey;
  std::uint64_t key = 0;
  for (int i = 0; i < 4; ++i) key = key << 16 | (i < text.size() ? std::uint64_t(text[i].unicode()) : 0);
  return std::min(key, kEmptyKey - 1);
}

// The province an address is placed in, or -1.
int ProvinceOfAddress(const 生成邮编::Divisions& divisions, const QString& address) {
  const std::vector<int> read = divisions.Read(address);
  if (read.empty()) return -1;
  const int province = divisions.ProvinceOf(read.front());
  for (int d : read)
    if (divisions.ProvinceOf(d) != province) return -1;
  return province;
}

bool Contains(const QString& cell, const QStringMatcher& matcher) { return matcher.indexIn(cell) >= 0; }

// Letters with case are matched either way; a text without any (Chinese, digits) is matched
// exactly, which is several times faster.
Qt::CaseSensitivity CaseFor(const QString& text) {
  return text.toLower() == text.toUpper() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

}  // namespace

std::vector<int> SortOrder(const std::vector<Record>& records, int column, bool descending) {
  std::vector<Key> keys(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const QString& cell = records[i][column];
    keys[i] = {column == kPostcodeColumn ? PostcodeKey(cell)
               : column == kNumberColumn ? NumberKey(cell)
                                         : TextKey(cell),
               int(i)};
  }
  const bool texts = column == kNameColumn || column == kAddressColumn;
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    if (a.value != b.value) {
      if (a.value == kEmptyKey || b.value == kEmptyKey) return b.value == kEmptyKey;
      return descending ? a.value > b.value : a.value < b.value;
    }
    if (texts && a.value != kEmptyKey) {
      const int order = QStringView(records[std::size_t(a.index)][column])
                            .mid(4)
                            .compare(QStringView(records[std::size_t(b.index)][column]).mid(4));
      if (order != 0) return descending ? order > 0 : order < 0;
    }
    return a.index < b.index;  // equal cells keep their order
  });
  std::vector<int> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
  return order;
}

std::vector<int> FilterRecords(const std::vector<Record>& records, const RecordFilter& filter,
                               const 生成邮编::PostcodeIndex* check) {
  const QStringMatcher text(filter.text, CaseFor(filter.text));
  const QString prefix = filter.postcodePrefix.trimmed();
  const 生成邮编::Divisions& divisions = 生成邮编::Divisions::Shipped();
  std::vector<int> provinces;  // the divisions the province's name stands for
  if (!filter.province.trimmed().isEmpty())
    divisions.ForEachNamed(filter.province.trimmed(), [&](int division, bool) {
      if (divisions.all()[division].level == 生成邮编::Level::kProvince) provinces.push_back(division);
    });

  std::vector<int> shown;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    if (!filter.text.isEmpty()) {
      const bool found =
          filter.textColumn >= 0
              ? Contains(r[filter.textColumn], text)
              : std::any_of(r.begin(), r.end(), [&](const QString& c) { return Contains(c, text); });
      if (!found) continue;
    }
    if (!prefix.isEmpty() && !r[kPostcodeColumn].trimmed().startsWith(prefix)) continue;
    if (filter.generatedOnly && !r.postcodeGenerated) continue;
    if (filter.problemsOnly && !(check && check->DisagreesWithAddress(r[kPostcodeColumn], r[kAddressColumn])))
      continue;
    if (!filter.province.trimmed().isEmpty()) {
      const int province = ProvinceOfAddress(divisions, r[kAddressColumn]);
      if (province < 0 || std::find(provinces.begin(), provinces.end(), province) == provinces.end())
        continue;
    }
    shown.push_back(int(i));
  }
  return shown;
}

int ColumnNamed(const QString& name) {
  static const QString kEnglish[kColumnCount] = {QStringLiteral("number"), QStringLiteral("name"),
                                                 QStringLiteral("postcode"), QStringLiteral("address")};
  QString plain = name.trimmed();
  plain.remove(QChar(0x3000));
  for (int c = 0; c < kColumnCount; ++c) {
    QString header = kHeaderTexts[c];
    header.remove(QChar(0x3000));
    if (plain == header || plain.compare(kEnglish[c], Qt::CaseInsensitive) == 0) return c;
  }
  return -1;
}

bool AddFilter(const QString& setting, RecordFilter* filter) {
  if (setting == QStringLiteral("problems")) return filter->problemsOnly = true;
  if (setting == QStringLiteral("generated")) return filter->generatedOnly = true;
  const qsizetype equals = setting.indexOf(u'=');
  if (equals <= 0 || equals == setting.size() - 1) return false;
  const QString key = setting.left(equals), value = setting.mid(equals + 1);
  if (key == QStringLiteral("text")) {
    filter->text = value;
    filter->textColumn = -1;
  } else if (key == QStringLiteral("postcode")) {
    if (!std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
      return false;
    filter->postcodePrefix = value;
  } else if (key == QStringLiteral("province")) {
    filter->province = value;
  } else if (const int column = ColumnNamed(key); column >= 0) {
    filter->text = value;
    filter->textColumn = column;
  } else {
    return false;
  }
  return true;
}

int FindRecord(const std::vector<Record>& records, const std::vector<int>& shown, int from,
               const QString& text, bool backward) {
  const int n = int(shown.size());
  if (text.isEmpty() || n == 0) return -1;
  const QStringMatcher matcher(text, CaseFor(text));
  const int step = backward ? n - 1 : 1;
  int at = ((from < 0 ? (backward ? 0 : n - 1) : from) % n + n) % n;
  for (int k = 0; k < n; ++k) {
    at = (at + step) % n;
    const Record& r = records[shown[at]];
    if (std::any_of(r.begin(), r.end(), [&](const QString& c) { return Contains(c, matcher); })) return at;
  }
  return -1;
}

}  // namespace data
