#pragma once
// Postcode completion: fills empty postcodes from the postcode table 邮编. The address is read
// from its start as province -> prefecture -> county (see divisions.h); the code is the table's
// row for the county where it has one, else for the prefecture (or a municipality's district).
// An address that cannot be placed below its province, or that reads two ways with different
// codes, gets no code: a guess would send the letter astray.

#include <QString>
#include <bitset>
#include <vector>

#include "data/divisions.h"
#include "data/record_table.h"

namespace 生成邮编 {

// One row of the table 邮编, with its columns.
struct PostcodeRow {
  QString 省份;
  QString 地区;
  QString 邮编;
  bool operator==(const PostcodeRow&) const = default;
};
// The rows in table order (by province, then region); the first row of a region counts.
using PostcodeTable = std::vector<PostcodeRow>;

class PostcodeIndex {
 public:
  // Ties each row to its division: the province whose names hold 省份, then the prefecture or
  // county of that province whose names hold 地区. Rows whose code is not six ASCII digits, or
  // that name no division, are left out. `divisions` must outlive the index (the shipped set
  // lives as long as the program).
  explicit PostcodeIndex(PostcodeTable rows, const Divisions& divisions = Divisions::Shipped());

  // The postcode for an address, or the empty text when it cannot be placed.
  QString LookupPostcode(const QString& address) const;

  // True when the address is placed in a province and the postcode's first two digits begin no
  // code of that province in the table. Postcodes without two leading digits are not judged.
  bool DisagreesWithAddress(const QString& postcode, const QString& address) const;
  // The same for an address already placed: `province` as Divisions::ProvinceOfAddress gives it.
  bool DisagreesWithProvince(const QString& postcode, int province) const;

  const PostcodeTable& rows() const { return rows_; }
  // The rows of the table that name no division (renamed or merged regions).
  const std::vector<int>& unplacedRows() const { return unplacedRows_; }

 private:
  int RowFor(int division) const;

  PostcodeTable rows_;
  const Divisions& divisions_;
  std::vector<int> rowOfDivision_;                  // by division, -1 for none
  std::vector<std::bitset<100>> provincePrefixes_;  // by division; set for provinces only
  std::vector<int> unplacedRows_;
};

struct CompletionCounts {
  int filled = 0;        // postcodes written
  int unrecognised = 0;  // empty postcodes left empty although the address is not
};

// Gives every record whose postcode is exactly empty the postcode of its address and marks it as
// generated; other records are not touched.
CompletionCounts CompletePostcodes(std::vector<data::Record>& records, const PostcodeIndex& index);

}  // namespace 生成邮编
