#pragma once
// Texts of the application shell, exactly as the user sees them.

#include <QString>

namespace app {

inline const QString kCaption = QStringLiteral("Kovapost envelope printer4.39");

}  // namespace app
