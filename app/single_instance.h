#pragma once
// One running program per user. The lock file holds the owner's process id, so a program that
// crashed or was killed leaves a lock the next start recognises as stale and takes over.

#include <QLockFile>
#include <QString>

namespace app {

class SingleInstance {
 public:
  // The lock in the user's runtime folder (the temp folder where there is none).
  static QString DefaultLockPath();

  explicit SingleInstance(const QString& lockPath = DefaultLockPath());

  // True when this process now holds the lock: no other instance is running.
  bool Acquire();
  // The repeated test: true when another running instance holds the lock now. Holding it
  // ourselves, or taking it over from a dead owner, is not another instance.
  bool AnotherHolds();

 private:
  QLockFile lock_;
};

}  // namespace app
