#pragma once
// Per-user settings of the application "KOVA": the registry on Windows, an INI file under the
// user's configuration folder elsewhere. Sections and keys are the program's own names
// ("Envelop Collate"/"X", "OpenPara"/"2", ...).

#include <QString>
#include <QStringList>

namespace Registry {

inline const QString kApplication = QStringLiteral("KOVA");
inline const QString kCollateSection = QStringLiteral("Envelop Collate");
inline const QString kOpenParaSection = QStringLiteral("OpenPara");

// The stored text, or `fallback` when the key was never written.
QString GetSetting(const QString& section, const QString& key, const QString& fallback = QString());
void SaveSetting(const QString& section, const QString& key, const QString& value);
void DeleteSetting(const QString& section, const QString& key);
// The keys written under `section`.
QStringList SettingKeys(const QString& section);

}  // namespace Registry
