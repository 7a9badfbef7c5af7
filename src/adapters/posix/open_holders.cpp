#include "adapters/posix/open_holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

namespace veskora {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

using Dir = std::unique_ptr<DIR, DirCloser>;

Dir OpenDir(int fd) {
  if (fd < 0) return nullptr;
  Dir dir(fdopendir(fd));
  if (!dir) close(fd);
  return dir;
}

}  // namespace

Holders FindHolders(const struct stat& file) {
  const Dir proc = OpenDir(open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!proc) return Holders::kUnseen;
  const std::string self = std::to_string(getpid());
  bool unseen = false;
  while (const dirent* process = readdir(proc.get())) {
    const std::string pid = process->d_name;
    if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
    const Dir fds = OpenDir(openat(dirfd(proc.get()), (pid + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fds) {
      unseen = unseen || errno != ENOENT;  // ENOENT: it has just ended
      continue;
    }
    while (const dirent* fd = readdir(fds.get())) {
      struct stat st {};
      if (fd->d_name[0] != '.' && fstatat(dirfd(fds.get()), fd->d_name, &st, 0) == 0 && st.st_dev == file.st_dev &&
          st.st_ino == file.st_ino) {
        return Holders::kSome;
      }
    }
  }
  return unseen ? Holders::kUnseen : Holders::kNone;
}

}  // namespace veskora
