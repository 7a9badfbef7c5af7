#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

namespace veskora {

// One running copy per user: a lock file that names the holding process, so a
// lock left behind by a crash is recognised as stale and taken over. The
// holder is named by its process id and the application name, which must stay
// the program file's name (Qt's default): a live process of another name under
// the same id counts as stale too.
//
// The holder also listens on a local socket beside the lock, so that a second
// start can ask it to come forward before it gives up.
class InstanceLock : public QObject {
  Q_OBJECT

 public:
  explicit InstanceLock(const QString& path);
  ~InstanceLock() override;

  // False while another live process holds the lock. The first to take it
  // starts listening.
  bool TryLock();
  // From a start that did not get the lock: tells the holder. False when
  // nobody answers.
  bool CallHolder() const;

  // veskora.lock in the user's runtime folder ($XDG_RUNTIME_DIR).
  static QString DefaultPath();

 signals:
  // Another start knocked: the holder's window should come forward.
  void called();

 private:
  QLockFile lock_;
  QString socketPath_;
  QLocalServer* server_ = nullptr;
};

}  // namespace veskora
