#pragma once
// Shared by the benchmark programs: the shipped postcode table, generated address lists, and a
// stopwatch with memory figures.

#include <QElapsedTimer>
#include <functional>
#include <vector>

#include "data/postcodes.h"
#include "data/record_table.h"

namespace bench {

// The table 邮编 as shipped (resources/postcodes.tsv), in the database's order: by province, then
// region.
生成邮编::PostcodeTable ShippedPostcodeTable();

// n records that look like a real mailing list: names, postcodes and addresses made from the
// table's regions, with about 10% repeated records, 15% empty postcodes, a few empty names and
// addresses, addresses without a province or naming no known place, spaces and "//" marks.
// The same seed gives the same list.
std::vector<data::Record> GenerateAddressList(int n, const 生成邮编::PostcodeTable& table, unsigned seed = 1);

// Seconds taken by the fastest of `repeats` runs of `run`; `prepare` runs untimed before each.
double BestSeconds(int repeats, const std::function<void()>& prepare, const std::function<void()>& run);

// Resident and peak resident memory of this process in MB.
double ResidentMb();
double PeakResidentMb();
// CPU time of this process in seconds, user and system: on a shared machine the wall clock also
// counts other programs' work.
double CpuSeconds();

}  // namespace bench
