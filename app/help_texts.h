#pragma once
// The built-in help of the help tab (THP) and the text of the about box.

#include <QString>

namespace app {

extern const QString kHelpText;

// Version, licence and the libraries the program is built on, with their licences.
QString AboutText();

}  // namespace app
