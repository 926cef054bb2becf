#pragma once
// The postcode table 邮编 of the parameter database, read for one completion (or once for the
// grid's postcode check).

#include <optional>

#include "data/postcodes.h"

namespace 生成邮编 {

// The rows in the order "SELECT * FROM 邮编 ORDER BY 省份,地区"; nullopt when the database has no
// table 邮编. A table that cannot be opened gives no rows, after the database layer's message.
std::optional<PostcodeTable> ReadPostcodeTable();

}  // namespace 生成邮编
