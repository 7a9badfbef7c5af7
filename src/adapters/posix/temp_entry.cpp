#include "adapters/posix/temp_entry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/rename_no_replace.h"

namespace veskora {

TempFile::TempFile(int dirFd) : dirFd_(dirFd) {
#ifdef O_TMPFILE
  fd_ = UniqueFd(openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != ENOENT && errno != EINVAL)) return;
#endif
  folder_.emplace(dirFd);
  if (folder_->Error() != 0) return;
  fd_ = UniqueFd(openat(folder_->Fd(), kPrivateTemp, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
  named_ = static_cast<bool>(fd_);
}

TempFile::~TempFile() {
  if (named_) unlinkat(folder_->Fd(), kPrivateTemp, 0);
}

int TempFile::Publish(const std::string& name) {
  if (!named_) return LinkUnnamed(name);
  const int err = PublishPrivate(folder_->Fd(), kPrivateTemp, dirFd_, name.c_str());
  if (err == 0) named_ = false;
  return err;
}

// Through /proc, which any user may do (linking the descriptor itself needs
// a capability); without /proc the copy fails and the file stays.
int TempFile::LinkUnnamed(const std::string& name) const {
  const std::string proc = "/proc/self/fd/" + std::to_string(fd_.Get());
  return linkat(AT_FDCWD, proc.c_str(), dirFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

TempLink::TempLink(int dirFd, const char* text) : dirFd_(dirFd), folder_(dirFd) {
  named_ = folder_.Error() == 0 && symlinkat(text, folder_.Fd(), kPrivateTemp) == 0;
}

TempLink::~TempLink() {
  if (named_) unlinkat(folder_.Fd(), kPrivateTemp, 0);
}

bool TempLink::Stat(struct stat& st) const {
  return named_ && fstatat(folder_.Fd(), kPrivateTemp, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

int TempLink::Publish(const std::string& name) {
  if (!named_) return EINVAL;
  const int err = PublishPrivate(folder_.Fd(), kPrivateTemp, dirFd_, name.c_str());
  if (err == 0) named_ = false;
  return err;
}

}  // namespace veskora
