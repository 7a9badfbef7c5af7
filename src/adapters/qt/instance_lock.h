#pragma once

#include <QLockFile>
#include <QString>

namespace veskora {

// One running copy per user: a lock file that names the holding process, so a
// lock left behind by a crash is recognised as stale and taken over. The
// holder is named by its process id and the application name, which must stay
// the program file's name (Qt's default): a live process of another name under
// the same id counts as stale too.
class InstanceLock {
 public:
  explicit InstanceLock(const QString& path);

  // False while another live process holds the lock.
  bool TryLock();

  // veskora.lock in the user's runtime folder ($XDG_RUNTIME_DIR).
  static QString DefaultPath();

 private:
  QLockFile lock_;
};

}  // namespace veskora
