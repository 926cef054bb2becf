#include "app/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace app {

QString SingleInstance::DefaultLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder + QStringLiteral("/kovapost.lock");
}

SingleInstance::SingleInstance(const QString& lockPath) : lock_(lockPath) {
  // Never stale while its owner lives, however long the program runs.
  lock_.setStaleLockTime(0);
}

bool SingleInstance::Acquire() { return lock_.isLocked() || lock_.tryLock(0); }

bool SingleInstance::AnotherHolds() {
  if (!lock_.isLocked()) return !lock_.tryLock(0);
  qint64 pid = 0;
  QString host;
  QString application;
  // Our lock file removed and taken by someone else: another program now runs.
  if (!lock_.getLockInfo(&pid, &host, &application)) return false;
  return pid != QCoreApplication::applicationPid();
}

}  // namespace app
