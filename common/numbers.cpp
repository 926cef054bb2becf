#include "common/numbers.h"

#include <limits>

namespace common {

int RoundToInt(double value) {
  const double rounded = std::nearbyint(value);
  if (std::isnan(rounded)) return 0;
  if (rounded >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (rounded <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return int(rounded);
}

double Val(QStringView text) {
  QString number;
  bool seenDigit = false, seenPoint = false, seenExponent = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
    if (c.isDigit() && c.unicode() < 128) {
      number += c;
      seenDigit = true;
    } else if ((c == u'+' || c == u'-') && (number.isEmpty() || number.endsWith(u'E'))) {
      number += c;
    } else if (c == u'.' && !seenPoint && !seenExponent) {
      number += c;
      seenPoint = true;
    } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && seenDigit && !seenExponent) {
      number += u'E';
      seenExponent = true;
    } else {
      break;
    }
  }
  // A dangling exponent or sign ("12E", "12E-") is not part of the number.
  while (!number.isEmpty() && (number.endsWith(u'E') || number.endsWith(u'+') || number.endsWith(u'-')))
    number.chop(1);
  bool ok = false;
  const double value = number.toDouble(&ok);
  return ok && std::isfinite(value) ? value : 0.0;
}

QString NumberText(double value) {
  if (value == std::nearbyint(value) && std::fabs(value) < 1e15)
    return QString::number(static_cast<long long>(value));
  return QString::number(value, 'g', 15);
}

}  // namespace common
