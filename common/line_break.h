#pragma once
// Records carry line breaks as the two characters "//"; the canvas and the printer show them
// as real line breaks, and the import turns line feeds into the mark.

#include <QString>

namespace common {

inline const QString kLineBreakMark = QStringLiteral("//");

}  // namespace common
