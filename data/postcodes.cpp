#include "data/postcodes.h"

#include <algorithm>

namespace 生成邮编 {
namespace {

constexpr int kNone = -1;

// The first two characters of a code as a number 0..99, when both are ASCII digits.
int TwoDigitPrefix(QStringView code) {
  if (code.size() < 2) return kNone;
  const char16_t a = code[0].unicode();
  const char16_t b = code[1].unicode();
  if (a < u'0' || a > u'9' || b < u'0' || b > u'9') return kNone;
  return (a - u'0') * 10 + (b - u'0');
}

bool IsPostcode(const QString& code) {
  return code.size() == 6 &&
         std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

PostcodeIndex::PostcodeIndex(PostcodeTable rows, const Divisions& divisions)
    : rows_(std::move(rows)),
      divisions_(divisions),
      rowOfDivision_(divisions.all().size(), kNone),
      provincePrefixes_(divisions.all().size()) {
  const std::vector<Division>& all = divisions.all();
  for (int row = 0; row < int(rows_.size()); ++row) {
    const PostcodeRow& r = rows_[row];
    if (!IsPostcode(r.邮编)) continue;  // a bad code is no code: the cell stays empty
    // The highest division of the province that carries the region's name: the city 吉林 before
    // any county of that name.
    int found = kNone;
    divisions.ForEachNamed(r.地区, [&](int d, bool) {
      const int province = divisions.ProvinceOf(d);
      if (d == province || !all[province].names.contains(r.省份)) return;
      if (found == kNone || all[d].level < all[found].level) found = d;
    });
    if (found == kNone) {
      unplacedRows_.push_back(row);
      continue;
    }
    if (rowOfDivision_[found] == kNone) rowOfDivision_[found] = row;
    provincePrefixes_[divisions.ProvinceOf(found)].set(TwoDigitPrefix(r.邮编));
  }
}

int PostcodeIndex::RowFor(int division) const {
  for (int d = division; d >= 0; d = divisions_.all()[d].parent)
    if (rowOfDivision_[d] != kNone) return rowOfDivision_[d];
  return kNone;
}

QString PostcodeIndex::LookupPostcode(const QString& address) const {
  QString code;
  for (int division : divisions_.Read(address)) {
    const int row = RowFor(division);
    if (row == kNone) return {};
    if (!code.isEmpty() && rows_[row].邮编 != code) return {};  // two readings, two codes
    code = rows_[row].邮编;
  }
  return code;
}

bool PostcodeIndex::DisagreesWithAddress(const QString& postcode, const QString& address) const {
  // The prefix first: reading the address costs far more.
  return TwoDigitPrefix(QStringView(postcode).trimmed()) != kNone &&
         DisagreesWithProvince(postcode, divisions_.ProvinceOfAddress(address));
}

bool PostcodeIndex::DisagreesWithProvince(const QString& postcode, int province) const {
  const int prefix = TwoDigitPrefix(QStringView(postcode).trimmed());
  if (prefix == kNone || province < 0) return false;
  const std::bitset<100>& prefixes = provincePrefixes_[std::size_t(province)];
  return prefixes.any() && !prefixes.test(std::size_t(prefix));
}

CompletionCounts CompletePostcodes(std::vector<data::Record>& records, const PostcodeIndex& index) {
  CompletionCounts counts;
  for (data::Record& record : records) {
    if (!record[data::kPostcodeColumn].isEmpty()) continue;
    record[data::kPostcodeColumn] = index.LookupPostcode(record[data::kAddressColumn]);
    if (!record[data::kPostcodeColumn].isEmpty()) {
      record.postcodeGenerated = true;
      ++counts.filled;
    } else if (!record[data::kAddressColumn].isEmpty()) {
      ++counts.unrecognised;
    }
  }
  return counts;
}

}  // namespace 生成邮编
