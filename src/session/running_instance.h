#pragma once

#include <QString>

namespace veskora {

// veskora.lock in the user's runtime folder ($XDG_RUNTIME_DIR): the lock that
// keeps one running copy per user.
QString InstanceLockPath();

// Whether a live program holds the lock at `path`, asked without taking it
// or calling the holder: the lock names a process that still runs under the
// name that took it (a lock another machine took counts as held).
bool InstanceRunning(const QString& path);

}  // namespace veskora
