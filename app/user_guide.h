#pragma once
// The user guide ships inside the program; the desktop's browser opens a copy of it on disk.

#include <QString>

namespace app {

// Writes the bundled guide to the user's cache folder and returns its path; empty on failure.
QString WriteUserGuide();

}  // namespace app
