#include "data/cleaning.h"

#include <QHash>
#include <unordered_set>

#include "common/line_break.h"

namespace data {
namespace {

constexpr int kFields[] = {kNameColumn, kPostcodeColumn, kAddressColumn};

// Moves the fields of `from` into `to`, leaving the record number of `to` where it is.
void MoveFields(Record& to, Record& from) {
  for (int c : kFields) to[c] = std::move(from[c]);
  to.postcodeGenerated = from.postcodeGenerated;
}

// Keeps the records for which keep(index) is true, in order, and drops the rest; the record
// numbers stay with their positions.
template <typename Keep>
void KeepRecords(std::vector<Record>& records, Keep keep) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!keep(i)) continue;
    if (kept != i) MoveFields(records[kept], records[i]);
    ++kept;
  }
  records.resize(kept);
}

void RemoveFromFields(std::vector<Record>& records, const QString& pattern) {
  for (Record& record : records)
    for (int c : kFields)
      if (record[c].contains(pattern)) record[c].remove(pattern);
}

}  // namespace

bool IsEmptyRecord(const Record& record) {
  return record[kNameColumn].isEmpty() && record[kPostcodeColumn].isEmpty() &&
         record[kAddressColumn].isEmpty();
}

void RemoveIncomplete(std::vector<Record>& records, Rule rule) {
  const int column = int(rule) + 1;
  for (Record& record : records)
    if (record[column].isEmpty())
      for (int c : kFields) record[c].clear();
  CompactRecords(records);
}

void CompactRecords(std::vector<Record>& records) {
  KeepRecords(records, [&](std::size_t i) { return !IsEmptyRecord(records[i]); });
}

void MergeDuplicates(std::vector<Record>& records) {
  // Each record's hash once, so the set never hashes texts again when it grows.
  std::vector<std::size_t> hashes(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    hashes[i] = qHashMulti(0, r[kNameColumn], r[kPostcodeColumn], r[kAddressColumn]);
  }
  const auto hash = [&](std::size_t i) { return hashes[i]; };
  const auto equal = [&](std::size_t i, std::size_t j) {
    const Record& a = records[i];
    const Record& b = records[j];
    return hashes[i] == hashes[j] && a[kNameColumn] == b[kNameColumn] &&
           a[kPostcodeColumn] == b[kPostcodeColumn] && a[kAddressColumn] == b[kAddressColumn];
  };
  // Walk from the end: the first time a record is met there is its last occurrence.
  std::unordered_set<std::size_t, decltype(hash), decltype(equal)> seen(records.size(), hash, equal);
  std::vector<bool> survives(records.size(), false);
  for (std::size_t i = records.size(); i-- > 0;) survives[i] = seen.insert(i).second;
  seen.clear();
  KeepRecords(records, [&](std::size_t i) { return bool(survives[i]); });
}

void DeleteRecordRange(std::vector<Record>& records, int a, int b) {
  const int first = std::max(std::min(a, b), 1);
  const int last = std::min(std::max(a, b), int(records.size()));
  if (last < first) return;
  // Grid row r is records[r - 1].
  KeepRecords(records, [&](std::size_t i) { return int(i) + 1 < first || int(i) + 1 > last; });
}

void DeleteRecordsAt(std::vector<Record>& records, const std::vector<int>& indices) {
  std::vector<bool> gone(records.size(), false);
  for (int i : indices)
    if (i >= 0 && std::size_t(i) < records.size()) gone[std::size_t(i)] = true;
  KeepRecords(records, [&](std::size_t i) { return !gone[i]; });
}

void RemoveSpaces(std::vector<Record>& records) { RemoveFromFields(records, QStringLiteral(" ")); }

void RemoveLineBreakMarks(std::vector<Record>& records) { RemoveFromFields(records, common::kLineBreakMark); }

}  // namespace data
