#pragma once
// Number helpers shared by every subsystem. The program rounds halves to the even neighbour
// everywhere (2.5 -> 2, 3.5 -> 4); std::round must not be used for stored or printed values.

#include <QString>
#include <QStringView>
#include <cmath>

namespace common {

// Rounds to a whole number, halves to even (default floating-point rounding mode).
inline double RoundHalfEven(double value) { return std::nearbyint(value); }

// Rounds to a whole int, halves to even; out-of-range values are clamped rather than undefined.
int RoundToInt(double value);

// Rounds to hundredths, halves to even on the scaled value.
inline double RoundToHundredths(double value) { return std::nearbyint(value * 100.0) / 100.0; }

// Reads the number a text starts with, in the manner of a BASIC Val(): blanks, tabs and line
// feeds are skipped anywhere, then an optional sign, digits, one decimal point and an exponent.
// Reading stops at the first other character; no number at all gives 0.
double Val(QStringView text);

// Writes a number the way the program stores it in text: whole numbers without a fraction,
// others with up to 15 significant digits and no trailing zeros.
QString NumberText(double value);

}  // namespace common
