#include "adapters/qt/instance_lock.h"

#include <unistd.h>

#include <QDir>
#include <QStandardPaths>

namespace veskora {

InstanceLock::InstanceLock(const QString& path) : lock_(path) {
  // The lock is held for the whole run, so age must never make it stale; only
  // a holder that no longer runs does.
  lock_.setStaleLockTime(0);
}

bool InstanceLock::TryLock() { return lock_.tryLock(0); }

QString InstanceLock::DefaultPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) {
    folder = QDir::tempPath();
    return folder + QStringLiteral("/veskora-%1.lock").arg(getuid());
  }
  return folder + QStringLiteral("/veskora.lock");
}

}  // namespace veskora
