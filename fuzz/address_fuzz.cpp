// Arbitrary text as an address for the shipped division table. Every reading names a division
// of the table; the same address written in full-width forms, or after "中国，", reads the same.
#include <cstddef>
#include <cstdint>

#include "data/divisions.h"

using 生成邮编::Divisions;

namespace {

// ASCII turned into its full-width forms, as Chinese input methods type it.
QString FullWidth(const QString& text) {
  QString wide = text;
  for (QChar& c : wide) {
    if (c == u' ')
      c = QChar(0x3000);
    else if (c.unicode() > 0x20 && c.unicode() < 0x7F)
      c = QChar(char16_t(c.unicode() + 0xFEE0));
  }
  return wide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const Divisions& divisions = Divisions::Shipped();
  if (divisions.all().empty()) __builtin_trap();  // the table must be built in
  const QString address = QString::fromUtf8(reinterpret_cast<const char*>(bytes), qsizetype(size));
  const std::vector<int> read = divisions.Read(address);
  for (const int d : read)
    if (d < 0 || d >= int(divisions.all().size())) __builtin_trap();
  if (divisions.Read(FullWidth(address)) != read) __builtin_trap();
  if (divisions.Read(u"中国，"_qs + address) != read) __builtin_trap();
  return 0;
}
