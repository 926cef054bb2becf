#include "data/record_view.h"

#include <QStringMatcher>
#include <algorithm>
#include <numeric>

#include "data/data_texts.h"
#include "data/divisions.h"
#include "data/postcodes.h"

namespace data {
namespace {

// The digits of a postcode as written, other characters skipped.
QString Digits(const QString& postcode) {
  QString digits;
  digits.reserve(postcode.size());
  for (QChar c : postcode)
    if (c.isDigit()) digits.append(QChar(u'0' + c.digitValue()));
  return digits;
}

template <typename Key, typename Less>
std::vector<int> StableOrder(const std::vector<Record>& records, Key key, Less less, bool descending) {
  using K = decltype(key(records.front()));
  std::vector<std::pair<K, bool>> keys;  // the key, and whether the cell is empty
  keys.reserve(records.size());
  for (const Record& r : records) {
    K k = key(r);
    const bool empty = k == K{};
    keys.emplace_back(std::move(k), empty);
  }
  std::vector<int> order(records.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const auto& [ka, emptyA] = keys[a];
    const auto& [kb, emptyB] = keys[b];
    if (emptyA || emptyB) return !emptyA && emptyB;
    return descending ? less(kb, ka) : less(ka, kb);
  });
  return order;
}

// Record numbers compare by value; a number that is not one goes after all that are.
double NumberKey(const Record& r) {
  bool ok = false;
  const double value = r[kNumberColumn].trimmed().toDouble(&ok);
  return ok ? value + 1.0 : 0.0;  // 0 is "empty" to StableOrder; values are shifted past it
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

}  // namespace

std::vector<int> SortOrder(const std::vector<Record>& records, int column, bool descending) {
  if (records.empty()) return {};
  if (column == kNumberColumn) return StableOrder(records, NumberKey, std::less<double>(), descending);
  if (column == kPostcodeColumn)
    return StableOrder(
        records, [](const Record& r) { return Digits(r[kPostcodeColumn]); }, std::less<QString>(),
        descending);
  return StableOrder(
      records, [column](const Record& r) { return r[column]; }, std::less<QString>(), descending);
}

std::vector<int> FilterRecords(const std::vector<Record>& records, const RecordFilter& filter,
                               const 生成邮编::PostcodeIndex* check) {
  const QStringMatcher text(filter.text, Qt::CaseInsensitive);
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
  const QStringMatcher matcher(text, Qt::CaseInsensitive);
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
