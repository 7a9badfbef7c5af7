#include "adapters/posix/temp_entry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/private_names.h"
#include "adapters/posix/rename_no_replace.h"

namespace veskora {

namespace {

constexpr int kTempAttempts = 100;

}  // namespace

void SweepLeftovers(int dirFd) {
  const int fd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  while (const dirent* entry = readdir(dir)) RecoverLeftovers(dirFd, entry->d_name);
  closedir(dir);
}

std::string MakeTempLink(int dirFd, const char* text) {
  SweepLeftovers(dirFd);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string name = TempName();
    if (symlinkat(text, dirFd, name.c_str()) == 0) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

TempFile::TempFile(int dirFd) : dirFd_(dirFd) {
#ifdef O_TMPFILE
  fd_ = UniqueFd(openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != ENOENT && errno != EINVAL)) return;
#endif
  SweepLeftovers(dirFd);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string name = TempName();
    fd_ = UniqueFd(openat(dirFd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
    if (fd_) {
      name_ = std::move(name);
      return;
    }
    if (errno != EEXIST) return;
  }
}

TempFile::~TempFile() {
  if (!name_.empty()) unlinkat(dirFd_, name_.c_str(), 0);
}

int TempFile::Publish(const std::string& name) {
  if (name_.empty()) return LinkUnnamed(name);
  const int err = PublishPrivate(dirFd_, name_.c_str(), dirFd_, name.c_str());
  if (err == 0) name_.clear();
  return err;
}

// Through /proc, which any user may do (linking the descriptor itself needs
// a capability); without /proc the copy fails and the file stays.
int TempFile::LinkUnnamed(const std::string& name) const {
  const std::string proc = "/proc/self/fd/" + std::to_string(fd_.Get());
  return linkat(AT_FDCWD, proc.c_str(), dirFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

}  // namespace veskora
