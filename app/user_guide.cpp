#include "app/user_guide.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/app_texts.h"

// The resources live in a static library: nothing references them unless asked to.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace app {

QString WriteUserGuide() {
  InitResources();
  QFile bundled(QStringLiteral(":/docs/") + kUserGuideFile);
  if (!bundled.open(QIODevice::ReadOnly)) return {};
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
  const QString path = folder + u'/' + kUserGuideFile;
  QSaveFile copy(path);
  if (!copy.open(QIODevice::WriteOnly) || copy.write(bundled.readAll()) < 0 || !copy.commit()) return {};
  return path;
}

}  // namespace app
