#pragma once

#include <string>

#include "adapters/posix/unique_fd.h"

namespace veskora {

// An exclusive advisory lock (flock) on a lock file, held while the object
// lives, so that two processes never rewrite the same file at once. Waits
// for a holder to let go. A lock that cannot be taken (the folder is
// missing, the file system has no locks) is simply not held.
class FileLock {
 public:
  explicit FileLock(const std::string& path);

  bool Held() const { return held_; }

 private:
  UniqueFd fd_;
  bool held_ = false;
};

}  // namespace veskora
