#include "adapters/qt/instance_lock.h"

#include <QLocalServer>
#include <QLocalSocket>

#include "session/running_instance.h"

namespace veskora {

namespace {
constexpr int kCallTimeoutMs = 1000;
}  // namespace

InstanceLock::InstanceLock(const QString& path) : lock_(path), socketPath_(path + QStringLiteral(".call")) {
  // The lock is held for the whole run, so age must never make it stale; only
  // a holder that no longer runs does.
  lock_.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryLock() {
  if (!lock_.tryLock(0)) return false;
  // Holding the lock, any socket left there is a crashed run's.
  QLocalServer::removeServer(socketPath_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* caller = server_->nextPendingConnection()) caller->deleteLater();
    emit called();
  });
  // Without it a second start still gets its message; only the window stays
  // where it is.
  server_->listen(socketPath_);
  return true;
}

bool InstanceLock::CallHolder() const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  return socket.waitForConnected(kCallTimeoutMs);
}

QString InstanceLock::DefaultPath() { return InstanceLockPath(); }

}  // namespace veskora
