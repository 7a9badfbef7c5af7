#include "adapters/posix/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace veskora {

FileLock::FileLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)) {
  if (!fd_) return;
  int result = 0;
  do {
    result = flock(fd_.Get(), LOCK_EX);
  } while (result != 0 && errno == EINTR);
  held_ = result == 0;
}

}  // namespace veskora
