#include "data/postcodes.h"

#include <algorithm>

namespace 生成邮编 {
namespace {

constexpr int kNoPrefix = -1;

// The first two characters of a code as a number 0..99, when both are ASCII digits.
int TwoDigitPrefix(QStringView code) {
  if (code.size() < 2) return kNoPrefix;
  const char16_t a = code[0].unicode();
  const char16_t b = code[1].unicode();
  if (a < u'0' || a > u'9' || b < u'0' || b > u'9') return kNoPrefix;
  return (a - u'0') * 10 + (b - u'0');
}

void KeepFirst(int& slot, int row) {
  if (slot < 0) slot = row;
}

}  // namespace

PostcodeIndex::PostcodeIndex(PostcodeTable rows) : rows_(std::move(rows)) {
  QHash<QString, int> provinceIds;
  for (int row = 0; row < int(rows_.size()); ++row) {
    const PostcodeRow& r = rows_[row];
    int province = provinceIds.value(r.省份, kNone);
    if (province == kNone) {
      province = int(provinces_.size());
      provinceIds.insert(r.省份, province);
      Province added;
      added.name = r.省份;
      provinces_.push_back(added);
      if (r.省份.isEmpty()) {
        emptyProvince_ = province;
      } else {
        // Distinct names get consecutive pattern ids.
        provinceNames_.Add(r.省份);
        provinceMatcherIds_.push_back(province);
      }
    }
    Province& p = provinces_[province];
    p.lastRow = row;
    if (const int prefix = TwoDigitPrefix(r.邮编); prefix != kNoPrefix) p.prefixes.set(prefix);

    if (r.地区.isEmpty()) {
      KeepFirst(p.firstRowWithEmptyRegion, row);
      KeepFirst(firstRowWithEmptyRegion_, row);
      continue;
    }
    const int region = regionNames_.Add(r.地区);
    if (region == int(firstRowOfRegion_.size())) firstRowOfRegion_.push_back(row);
    if (!firstRowOfProvinceRegion_.contains(Key(province, region)))
      firstRowOfProvinceRegion_.insert(Key(province, region), row);
  }
}

QString PostcodeIndex::LookupPostcode(const QString& address) const {
  if (address.isEmpty()) return {};

  // The provinces occurring in the address; the empty province occurs in every address.
  std::vector<int> found;
  provinceNames_.ForEachOccurrence(address, [&](int id) { found.push_back(provinceMatcherIds_[id]); });
  if (emptyProvince_ != kNone) found.push_back(emptyProvince_);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());

  // First pass: the earliest row whose province occurs and whose region occurs in the rest.
  int match = kNone;
  int lastVisited = kNone;
  const auto earlier = [&match](int row) {
    if (row != kNone && (match == kNone || row < match)) match = row;
  };
  for (int province : found) {
    const Province& p = provinces_[province];
    lastVisited = std::max(lastVisited, p.lastRow);
    const QString rest = p.name.isEmpty() ? address : QString(address).remove(p.name);
    if (rest.isEmpty()) continue;
    earlier(p.firstRowWithEmptyRegion);
    regionNames_.ForEachOccurrence(
        rest, [&](int region) { earlier(firstRowOfProvinceRegion_.value(Key(province, region), kNone)); });
  }
  QString result;
  if (match != kNone)
    result = rows_[match].邮编;
  else if (lastVisited != kNone)
    result = rows_[lastVisited].邮编.left(1) + QStringLiteral("00000");
  if (!result.isEmpty()) return result;

  // Second pass: the earliest row whose region occurs in the whole address.
  match = kNone;
  earlier(firstRowWithEmptyRegion_);
  regionNames_.ForEachOccurrence(address, [&](int region) { earlier(firstRowOfRegion_[region]); });
  return match == kNone ? QString() : rows_[match].邮编;
}

bool PostcodeIndex::DisagreesWithAddress(const QString& postcode, const QString& address) const {
  const int prefix = TwoDigitPrefix(QStringView(postcode).trimmed());
  if (prefix == kNoPrefix) return false;
  bool found = false;
  bool agrees = false;
  provinceNames_.ForEachOccurrence(address, [&](int id) {
    found = true;
    agrees = agrees || provinces_[provinceMatcherIds_[id]].prefixes.test(prefix);
  });
  return found && !agrees;
}

int CompletePostcodes(std::vector<data::Record>& records, const PostcodeIndex& index) {
  int filled = 0;
  for (data::Record& record : records) {
    if (!record[data::kPostcodeColumn].isEmpty()) continue;
    record[data::kPostcodeColumn] = index.LookupPostcode(record[data::kAddressColumn]);
    if (!record[data::kPostcodeColumn].isEmpty()) ++filled;
  }
  return filled;
}

}  // namespace 生成邮编
