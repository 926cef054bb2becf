#include "data/record_view.h"

#include <QStringMatcher>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <future>
#include <utility>

#include "common/prefetch.h"
#include "data/data_texts.h"
#include "data/divisions.h"
#include "data/postcodes.h"

namespace data {
namespace {

// How many records ahead a scan or a sort asks for the texts it will read: after a sort the texts of
// neighbouring records lie anywhere in memory, and waiting for each in turn took most of a scan.
constexpr std::ptrdiff_t kFetchAhead = 16;
// From this many records on, a find step searches the two halves of its way side by side, and
// addresses are read for their provinces in two halves.
constexpr int kTwoHalvesFrom = 100000;

// Each record's sort key: a number that orders like the cell, so that most records are placed
// without touching their text again. `longer` marks a text the number does not hold whole.
struct Key {
  std::uint64_t value;
  int index;
  bool longer;
};

constexpr std::uint64_t kEmptyKey = ~std::uint64_t(0);  // empty cells: last either way

// The postcode's digits as written, other characters skipped: each digit d counts d + 1 in base
// 11, padded with zeros after the last, so "31000" comes before "310000" and "010000" before
// "100000". Twelve digits fit; longer runs are told apart no further (the sort keeps their order).
std::uint64_t PostcodeKey(const QString& postcode) {
  std::uint64_t key = 0;
  int digits = 0;
  for (QChar c : postcode) {
    const char16_t u = c.unicode();
    int digit = u >= u'0' && u <= u'9' ? u - u'0' : -1;
    if (digit < 0 && u > 0x7F && c.isDigit()) digit = c.digitValue();
    if (digit < 0) continue;
    if (digits == 12) break;
    key = key * 11 + std::uint64_t(digit + 1);
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

// Four UTF-16 units of a text from `from` on, so that most comparisons need only the number; a
// text that ends before them comes first.
std::uint64_t UnitsKey(QStringView text, qsizetype from) {
  std::uint64_t key = 0;
  for (qsizetype i = from; i < from + 4; ++i) key = key << 16 | (i < text.size() ? text[i].unicode() : 0u);
  return std::min(key, kEmptyKey - 1);
}

using KeyIterator = std::vector<Key>::iterator;

// Sorts by value, keeping equal values in their order: a radix sort, 11 bits at a time, that
// passes over the digits every key shares. Linear, where comparing a million keys is not.
// `spare` has room for the keys: fresh memory for every run cost more in page faults than the
// sort itself.
void StableSortByValue(KeyIterator first, KeyIterator last, std::vector<Key>& spare) {
  const auto byValue = [](const Key& a, const Key& b) { return a.value < b.value; };
  if (last - first < 256) return std::stable_sort(first, last, byValue);
  constexpr int kBits = 11;
  constexpr std::size_t kBuckets = std::size_t(1) << kBits;
  const std::size_t n = std::size_t(last - first);
  std::vector<std::size_t> start(kBuckets);
  for (int shift = 0; shift < 64; shift += kBits) {
    const auto digit = [&](const Key& k) { return (k.value >> shift) & (kBuckets - 1); };
    std::fill(start.begin(), start.end(), 0);
    for (auto k = first; k != last; ++k) ++start[digit(*k)];
    if (std::find(start.begin(), start.end(), n) != start.end()) continue;  // one digit for all
    std::size_t at = 0;
    for (std::size_t& s : start) at += std::exchange(s, at);
    for (auto k = first; k != last; ++k) spare[start[digit(*k)]++] = *k;
    std::copy(spare.begin(), spare.begin() + std::ptrdiff_t(n), first);
  }
}

// Records whose texts share their first `from` units, ordered by the next four, then the next
// four of those that share them too, and so on: a text is read only as far as it differs.
void SortTexts(const std::vector<Record>& records, int column, bool descending, KeyIterator first,
               KeyIterator last, qsizetype from, std::vector<Key>& spare) {
  for (auto k = first; k != last; ++k) {
    // The records come in sorted order, from anywhere in the list: their cells are asked for
    // first, their texts once the cells are at hand.
    if (last - k > 2 * kFetchAhead) common::PrefetchObject(records[std::size_t(k[2 * kFetchAhead].index)]);
    if (last - k > kFetchAhead)
      common::Prefetch(records[std::size_t(k[kFetchAhead].index)][column].constData());
    const QString& text = records[std::size_t(k->index)][column];
    k->value = UnitsKey(text, from);
    if (descending) k->value = kEmptyKey - 1 - k->value;
    k->longer = text.size() > from + 4;
  }
  StableSortByValue(first, last, spare);
  for (auto run = first; run != last;) {
    const auto end = std::find_if(run, last, [&](const Key& k) { return k.value != run->value; });
    if (end - run > 1 && std::any_of(run, end, [](const Key& k) { return k.longer; }))
      SortTexts(records, column, descending, run, end, from + 4, spare);
    run = end;
  }
}

// A text searched for in cells. Letters with case are matched either way; a text without any
// (Chinese, digits) is matched exactly, inline: most cells are shorter than the text or lack its
// first character, and are passed over without a call.
class TextSearch {
 public:
  explicit TextSearch(const QString& text)
      : text_(text),
        exact_(text.toLower() == text.toUpper()),
        matcher_(text, exact_ ? Qt::CaseSensitive : Qt::CaseInsensitive) {}

  bool In(const QString& cell) const {
    if (text_.isEmpty()) return true;
    if (cell.size() < text_.size()) return false;
    if (!exact_) return matcher_.indexIn(cell) >= 0;
    const char16_t first = text_.front().unicode();
    const QChar* end = cell.constData() + (cell.size() - text_.size()) + 1;
    for (const QChar* at = cell.constData(); at != end; ++at)
      if (at->unicode() == first && QStringView(at, text_.size()) == text_) return true;
    return false;
  }
  // Asks for the cells of a record that In will read (column -1: all of them).
  void Fetch(const Record& r, int column) const {
    const auto fetch = [&](const QString& cell) {
      if (cell.size() >= text_.size()) common::Prefetch(cell.constData());
    };
    if (column >= 0)
      fetch(r[column]);
    else
      std::for_each(r.begin(), r.end(), fetch);
  }
  bool InAny(const Record& r) const {
    return std::any_of(r.begin(), r.end(), [&](const QString& cell) { return In(cell); });
  }

 private:
  QString text_;
  bool exact_;
  QStringMatcher matcher_;
};

}  // namespace

std::vector<int> SortOrder(const std::vector<Record>& records, int column, bool descending) {
  std::vector<Key> keys(records.size());
  const bool texts = column == kNameColumn || column == kAddressColumn;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + std::size_t(kFetchAhead) < records.size())
      common::Prefetch(records[i + std::size_t(kFetchAhead)][column].constData());
    const QString& cell = records[i][column];
    std::uint64_t value = cell.isEmpty()              ? kEmptyKey
                          : column == kPostcodeColumn ? PostcodeKey(cell)
                          : column == kNumberColumn   ? NumberKey(cell)
                                                      : UnitsKey(cell, 0);
    // Descending turns the order of the values round; empty cells stay last.
    if (descending && value != kEmptyKey) value = kEmptyKey - 1 - value;
    keys[i] = {value, int(i), texts && cell.size() > 4};
  }
  std::vector<Key> spare(keys.size());
  StableSortByValue(keys.begin(), keys.end(), spare);
  // Texts that share their first four units are ordered by the rest.
  for (auto run = keys.begin(); run != keys.end();) {
    const auto end = std::find_if(run, keys.end(), [&](const Key& k) { return k.value != run->value; });
    if (run->value != kEmptyKey && end - run > 1 &&
        std::any_of(run, end, [](const Key& k) { return k.longer; }))
      SortTexts(records, column, descending, run, end, 4, spare);
    run = end;
  }
  std::vector<int> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
  return order;
}

void ReadProvinces(const std::vector<Record>& records, AddressProvinces& provinces) {
  const 生成邮编::Divisions& divisions = 生成邮编::Divisions::Shipped();
  const auto read = [&](std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
      if (i + std::size_t(kFetchAhead) < last)
        common::Prefetch(records[i + std::size_t(kFetchAhead)][kAddressColumn].constData());
      if (provinces[i] == kUnreadProvince)
        provinces[i] = std::int16_t(divisions.ProvinceOfAddress(records[i][kAddressColumn]));
    }
  };
  const std::size_t n = records.size();
  if (n < std::size_t(kTwoHalvesFrom)) return read(0, n);
  // Reading addresses is the costliest part of a filter: the second half is read on a thread of
  // its own meanwhile. The divisions are only read, and each half writes its own records' entries.
  std::future<void> later = std::async(std::launch::async, read, n / 2, n);
  read(0, n / 2);
  later.get();
}

std::vector<int> FilterRecords(const std::vector<Record>& records, const RecordFilter& filter,
                               const 生成邮编::PostcodeIndex* check, const AddressProvinces* provinces) {
  const TextSearch text(filter.text);
  const QString prefix = filter.postcodePrefix.trimmed();
  const 生成邮编::Divisions& divisions = 生成邮编::Divisions::Shipped();
  const QString province = filter.province.trimmed();
  const bool readsProvinces = filter.readsProvinces();
  std::vector<int> named;  // the divisions the province's name stands for
  if (!province.isEmpty())
    divisions.ForEachNamed(province, [&](int division, bool) {
      if (divisions.all()[division].level == 生成邮编::Level::kProvince) named.push_back(division);
    });

  std::vector<int> shown;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    if (!filter.text.isEmpty()) {
      if (i + std::size_t(kFetchAhead) < records.size())
        text.Fetch(records[i + std::size_t(kFetchAhead)], filter.textColumn);
      const bool found = filter.textColumn >= 0 ? text.In(r[filter.textColumn]) : text.InAny(r);
      if (!found) continue;
    }
    if (!prefix.isEmpty() && !r[kPostcodeColumn].trimmed().startsWith(prefix)) continue;
    if (filter.generatedOnly && !r.postcodeGenerated) continue;
    if (!readsProvinces) {
      shown.push_back(int(i));
      continue;
    }
    const int placed = provinces ? (*provinces)[i] : divisions.ProvinceOfAddress(r[kAddressColumn]);
    if (filter.problemsOnly && !(check && check->DisagreesWithProvince(r[kPostcodeColumn], placed)))
      continue;
    if (!province.isEmpty() && std::find(named.begin(), named.end(), placed) == named.end()) continue;
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
  const TextSearch search(text);
  const int start = ((from < 0 ? (backward ? 0 : n - 1) : from) % n + n) % n;
  // The row k steps from the start, wrapping around (a division per row cost a fifth of a step).
  const auto row = [&](int k) {
    const int at = backward ? start - k : start + k;
    return std::size_t(at < 0 ? at + n : at >= n ? at - n : at);
  };
  // The first row of steps first..last that matches, or -1; also -1 as soon as `give up` is set.
  const auto scan = [&](int first, int last, const std::atomic<bool>* giveUp) {
    for (int k = first; k <= last; ++k) {
      if (giveUp && k % 4096 == 0 && giveUp->load(std::memory_order_relaxed)) return -1;
      if (k + kFetchAhead <= last) search.Fetch(records[std::size_t(shown[row(k + int(kFetchAhead))])], -1);
      const std::size_t at = row(k);
      if (search.InAny(records[std::size_t(shown[at])])) return int(at);
    }
    return -1;
  };
  if (n < kTwoHalvesFrom) return scan(1, n, nullptr);
  // A step through a long list reads the texts of every record it passes, which after a sort lie
  // all over memory: the second half of the steps is searched on a thread of its own meanwhile.
  // The list does not change while the window waits for the step.
  std::atomic<bool> foundEarlier{false};
  std::future<int> later = std::async(std::launch::async, [&] { return scan(n / 2 + 1, n, &foundEarlier); });
  const int found = scan(1, n / 2, nullptr);
  if (found >= 0) foundEarlier = true;
  const int foundLater = later.get();
  return found >= 0 ? found : foundLater;
}

}  // namespace data
