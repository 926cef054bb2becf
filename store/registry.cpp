#include "store/registry.h"

#include <QSettings>

namespace Registry {
namespace {

// The program's settings file. An object per call keeps the file in step with other instances;
// the cost is a file read, which only happens on user actions and at start.
struct ProgramSettings : QSettings {
  ProgramSettings() : QSettings(QSettings::IniFormat, QSettings::UserScope, kApplication, kApplication) {}
};

QString Path(const QString& section, const QString& key) { return section + u'/' + key; }

}  // namespace

QString GetSetting(const QString& section, const QString& key, const QString& fallback) {
  ProgramSettings settings;
  const QVariant value = settings.value(Path(section, key));
  return value.isValid() ? value.toString() : fallback;
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
  ProgramSettings settings;
  settings.setValue(Path(section, key), value);
  settings.sync();
}

void DeleteSetting(const QString& section, const QString& key) {
  ProgramSettings settings;
  settings.remove(Path(section, key));
  settings.sync();
}

QStringList SettingKeys(const QString& section) {
  ProgramSettings settings;
  settings.beginGroup(section);
  return settings.childKeys();
}

}  // namespace Registry
