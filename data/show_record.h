#pragma once
// How a record appears on the envelope: the postcode one character per digit box, the address
// with its "//" marks as line breaks, the name as it stands. The sender boxes and the
// printed-matter box belong to the user and are never touched.

#include "data/record_table.h"
#include "editor/envelope_model.h"

namespace data {

// The texts of the six postcode boxes: the postcode without leading and trailing spaces, one
// character per box; boxes past its end are empty and characters past the sixth are not shown.
std::array<QString, 6> PostcodeDigits(const QString& postcode);
// The address as the address box shows it: every "//" a line break (CR LF).
QString AddressBoxText(const QString& address);

// Fills the address, name and postcode boxes from `record`. Without a record (a number past the
// last one) only the postcode boxes are emptied.
void ShowRecordOn(editor::EnvelopeModel& envelope, const Record* record);

}  // namespace data
