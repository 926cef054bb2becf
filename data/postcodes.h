#pragma once
// Postcode completion: fills empty postcodes from the postcode table by finding the table's
// province and region names in the address text (plain substring search, exact comparison; no
// address parsing). When only a province is recognised, a province-level code is made of the
// first digit of that province's postcode followed by "00000".
//
// The table is indexed once per command, so each address costs one pass over its own text (plus
// one per province found in it) instead of one or two walks through the whole table.

#include <QHash>
#include <QString>
#include <bitset>
#include <cstdint>
#include <vector>

#include "data/record_table.h"
#include "data/substring_matcher.h"

namespace 生成邮编 {

// One row of the table 邮编, with its columns.
struct PostcodeRow {
  QString 省份;
  QString 地区;
  QString 邮编;
  bool operator==(const PostcodeRow&) const = default;
};
// The rows in table order (by province, then region), which decides the winner among matches.
using PostcodeTable = std::vector<PostcodeRow>;

class PostcodeIndex {
 public:
  explicit PostcodeIndex(PostcodeTable rows);

  // The postcode for an address, or the empty text when nothing in it is recognised:
  // - the first row (table order) whose province occurs in the address and whose region occurs
  //   in the address with every occurrence of that province removed gives its code;
  // - else, when some province occurs, the first digit of the code of the last row of such a
  //   province followed by "00000";
  // - else the first row whose region occurs in the whole address gives its code.
  // The empty text occurs in every non-empty text and nothing occurs in the empty text.
  QString LookupPostcode(const QString& address) const;

  // True when some province of the table occurs in the address and the postcode's first two
  // digits begin no code of any such province. Postcodes without two leading digits are not
  // judged.
  bool DisagreesWithAddress(const QString& postcode, const QString& address) const;

  const PostcodeTable& rows() const { return rows_; }

 private:
  static constexpr int kNone = -1;
  struct Province {
    QString name;
    int lastRow = kNone;
    int firstRowWithEmptyRegion = kNone;
    std::bitset<100> prefixes;  // first two digits of its codes
  };
  static std::uint64_t Key(int province, int region) {
    return (std::uint64_t(province) << 32) | unsigned(region);
  }

  PostcodeTable rows_;
  std::vector<Province> provinces_;
  int emptyProvince_ = kNone;  // the province id of rows with an empty province, if any
  data::SubstringMatcher provinceNames_;
  std::vector<int> provinceMatcherIds_;  // province id by pattern id
  data::SubstringMatcher regionNames_;
  std::vector<int> firstRowOfRegion_;  // by region id, over the whole table
  int firstRowWithEmptyRegion_ = kNone;
  QHash<std::uint64_t, int> firstRowOfProvinceRegion_;
};

// Gives every record whose postcode is exactly empty the postcode of its address; other records
// are not touched. Returns how many postcodes were filled.
int CompletePostcodes(std::vector<data::Record>& records, const PostcodeIndex& index);

}  // namespace 生成邮编
