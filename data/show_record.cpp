#include "data/show_record.h"

#include "common/line_break.h"

namespace data {

std::array<QString, 6> PostcodeDigits(const QString& postcode) {
  // Only the ordinary space is trimmed; other blanks are characters of the postcode.
  qsizetype first = 0, end = postcode.size();
  while (first < end && postcode[first] == u' ') ++first;
  while (end > first && postcode[end - 1] == u' ') --end;
  std::array<QString, 6> digits;
  for (qsizetype i = 0; i < 6 && first + i < end; ++i) digits[i] = postcode[first + i];
  return digits;
}

QString AddressBoxText(const QString& address) {
  return QString(address).replace(common::kLineBreakMark, QStringLiteral("\r\n"));
}

void ShowRecordOn(editor::EnvelopeModel& envelope, const Record* record) {
  if (record) {
    envelope.SetBoxText(editor::kAddressBox, AddressBoxText((*record)[kAddressColumn]));
    envelope.SetBoxText(editor::kNameBox, (*record)[kNameColumn]);
  }
  const std::array<QString, 6> digits = PostcodeDigits(record ? (*record)[kPostcodeColumn] : QString());
  for (int i = 0; i < 6; ++i) envelope.SetBoxText(editor::kFirstDigitBox + i, digits[i]);
}

}  // namespace data
