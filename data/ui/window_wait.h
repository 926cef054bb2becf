#pragma once
// Dialogs (import, worksheet chooser, printer chooser) are ordinary windows; the command that
// opened one waits for it by its caption while the window keeps working.

#include <QString>

namespace data::ui {

// True when a visible window of the program has exactly this caption.
bool WindowIsOpen(const QString& caption);
// Keeps processing window events until no visible window has this caption; returns at once when
// none has.
void WaitWhileWindowOpen(const QString& caption);

}  // namespace data::ui
