#pragma once
// The cleaning commands of the grid tab. Each works on the records alone (name, postcode and
// address of records 1..n) and never on a file. The record number in column 0 belongs to the
// position, not to the record: when records go, the survivors move up and the numbers stay, so
// the list is still numbered 1..n without gaps.
//
// Every procedure runs in linear time (MergeDuplicates in expected linear time, by hashing).

#include <vector>

#include "data/record_table.h"

namespace data {

// The cleaning rules of the frame "数据清除规则": which field a record must have.
enum class Rule : int { kNeedsName = 0, kNeedsPostcode = 1, kNeedsAddress = 2 };

// A record is empty when its three fields are all the empty text; only spaces is not empty.
bool IsEmptyRecord(const Record& record);

// Empties the three fields of every record whose field of the rule is empty, then compacts.
void RemoveIncomplete(std::vector<Record>& records, Rule rule);
// Drops the empty records; the others keep their order.
void CompactRecords(std::vector<Record>& records);
// Of each group of records with the same name, postcode and address (exact comparison) only the
// last survives; survivors keep the order of their last occurrences.
void MergeDuplicates(std::vector<Record>& records);
// Deletes the records first..last (grid rows, in either order); row 0, the header, never goes,
// and rows past the last record are ignored.
void DeleteRecordRange(std::vector<Record>& records, int a, int b);
// Deletes the records at the given indices (in any order); the record numbers stay with their
// positions, as above.
void DeleteRecordsAt(std::vector<Record>& records, const std::vector<int>& indices);
// Removes every ordinary space U+0020 from the fields; the ideographic space U+3000 stays.
void RemoveSpaces(std::vector<Record>& records);
// Removes every line-break mark "//" from the fields; real line breaks stay.
void RemoveLineBreakMarks(std::vector<Record>& records);

}  // namespace data
