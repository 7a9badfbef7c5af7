#include "adapters/posix/unique_fd.h"

#include <unistd.h>

#include <cerrno>

namespace veskora {

bool UniqueFd::Reset() {
  if (fd_ < 0) return true;
  // Not retried on EINTR: on Linux the descriptor is gone either way.
  const bool closed = close(std::exchange(fd_, -1)) == 0;
  return closed;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace veskora
