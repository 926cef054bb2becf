#pragma once
// Which records are shown and in what order: the sort of the record list by one column and the
// filters of the filter bar (and of the batch tool's --filter). Both work on the whole list and
// return indices into it, so a million records are sorted or filtered without copying a text.

#include <QString>
#include <cstdint>
#include <vector>

#include "data/record_table.h"

namespace 生成邮编 {
class PostcodeIndex;
}

namespace data {

// The order of the records sorted by `column`, as indices into `records`: stable, so records
// that compare equal keep their order (descending too). Postcodes sort by their digits as
// written ("010000" before "100000"); record numbers by their value; names and addresses by
// character code. Empty cells go last either way.
std::vector<int> SortOrder(const std::vector<Record>& records, int column, bool descending);

// The filter bar's settings; a record is shown when it passes every one that is set.
struct RecordFilter {
  QString text;         // contained in the column below, case ignored for Latin letters
  int textColumn = -1;  // a Column, or -1 for any column
  QString postcodePrefix;
  QString province;            // a province's full or short name (广东省, 广东)
  bool problemsOnly = false;   // the postcode does not fit the address's province (the pink cells)
  bool generatedOnly = false;  // postcodes filled in by completion
  bool active() const {
    return !text.isEmpty() || !postcodePrefix.isEmpty() || !province.isEmpty() || problemsOnly ||
           generatedOnly;
  }
  // Whether the filter places addresses in their provinces.
  bool readsProvinces() const { return !province.trimmed().isEmpty() || problemsOnly; }
  bool operator==(const RecordFilter&) const = default;
};

// The province each record's address is placed in (Divisions::ProvinceOfAddress in the shipped
// divisions), by record: what the province and problem filters judge. Reading an address costs
// far more than the rest of a filter, so a list keeps them.
using AddressProvinces = std::vector<std::int16_t>;
constexpr std::int16_t kUnreadProvince = -2;
// Reads the addresses whose province is kUnreadProvince; `provinces` has one entry per record.
void ReadProvinces(const std::vector<Record>& records, AddressProvinces& provinces);

// Indices of the records that pass, in list order. `check` judges problem rows; without it no
// row has a problem. Without `provinces` each address is read as the filter needs it.
std::vector<int> FilterRecords(const std::vector<Record>& records, const RecordFilter& filter,
                               const 生成邮编::PostcodeIndex* check,
                               const AddressProvinces* provinces = nullptr);

// The column a name stands for: a header text (with or without its ideographic space) or one of
// number, name, postcode, address. -1 when none.
int ColumnNamed(const QString& name);

// Adds one filter of the batch tool's form to `filter`: text=WORD, COLUMN=WORD, postcode=PREFIX,
// province=NAME, problems or generated. False for anything else.
bool AddFilter(const QString& setting, RecordFilter* filter);

// The index of the next record from `from` (an index into `shown`, excluded) in the direction
// given, wrapping around, that has `text` in any column; -1 when none has. Case is ignored for
// Latin letters.
int FindRecord(const std::vector<Record>& records, const std::vector<int>& shown, int from,
               const QString& text, bool backward);

}  // namespace data
