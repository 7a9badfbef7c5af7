#include "session/running_instance.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <cerrno>

namespace veskora {

QString InstanceLockPath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return QDir::tempPath() + QStringLiteral("/veskora-%1.lock").arg(getuid());
  return folder + QStringLiteral("/veskora.lock");
}

bool InstanceRunning(const QString& path) {
  qint64 pid = 0;
  QString host;
  QString name;
  if (!QLockFile(path).getLockInfo(&pid, &host, &name)) return false;
  if (!host.isEmpty() && host != QSysInfo::machineHostName()) return true;
  if (pid <= 0 || (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) return false;
  // A process id used again by another program is no holder (as QLockFile
  // itself judges a lock stale).
  QString running = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
  running.remove(QStringLiteral(" (deleted)"));
  return running.isEmpty() || QFileInfo(running).fileName() == name;
}

}  // namespace veskora
