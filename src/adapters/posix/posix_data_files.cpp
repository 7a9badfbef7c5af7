#include "adapters/posix/posix_data_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "adapters/posix/data_folder.h"
#include "adapters/posix/diagnostics.h"
#include "adapters/posix/unique_fd.h"
#include "mover/paths.h"

namespace veskora {

namespace {

// Opened without ever blocking on what is no regular file (a FIFO, a device),
// which is refused with EINVAL; the folder is made when it is missing and
// the flags create the file.
UniqueFd OpenRegularFile(const std::string& path, int flags, struct stat& st, int& error) {
  flags |= O_NONBLOCK | O_CLOEXEC;
  UniqueFd fd(open(path.c_str(), flags, 0600));
  if (!fd && errno == ENOENT && (flags & O_CREAT)) {
    MakeFolders(std::string(ParentOf(path)));
    fd = UniqueFd(open(path.c_str(), flags, 0600));
  }
  error = !fd || fstat(fd.Get(), &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
  return error == 0 ? std::move(fd) : UniqueFd();
}

// Told with what was lost, if anything: a log line at least survives there.
int Failed(const char* what, const std::string& path, int error, std::string_view lost = {}) {
  Diagnose(std::string("cannot ") + what + " " + path + " (" + std::strerror(error) + ")" + (lost.empty() ? "" : ": ") +
           std::string(lost));
  return error;
}

// Where a link leads, through any chain of links (a rule file kept in a
// dotfiles repository); the path itself when it is no link.
std::string LinkedPath(std::string path) {
  std::vector<char> text(4096);
  for (int hop = 0; hop < 40; ++hop) {
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) break;
    const std::string target(text.data(), static_cast<std::size_t>(length));
    path = target[0] == '/' ? target : JoinPath(ParentOf(path), target);
  }
  return path;
}

// Lets go of the lock and gives the lock file back to be kept for next time.
class FdLock final : public HeldLock {
 public:
  FdLock(PosixDataFiles::Kept kept, PosixDataFiles::Kept& slot) : kept_(std::move(kept)), slot_(slot) {}
  ~FdLock() override {
    flock(kept_.fd.Get(), LOCK_UN);
    slot_ = std::move(kept_);
  }

 private:
  PosixDataFiles::Kept kept_;
  PosixDataFiles::Kept& slot_;
};

// The path names the very file kept, and it has the size we left it at.
bool StillThere(const std::string& path, const PosixDataFiles::Kept& kept, bool follow, bool sized) {
  struct stat st {};
  return kept.fd && (follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) == 0 &&
         st.st_dev == kept.device && st.st_ino == kept.inode && (!sized || st.st_size == kept.size);
}

// Still linked, and as large as we left it: not deleted, replaced or grown by
// another writer since.
bool Unchanged(const PosixDataFiles::Kept& kept) {
  struct stat st {};
  return kept.fd && fstat(kept.fd.Get(), &st) == 0 && st.st_nlink > 0 && st.st_size == kept.size;
}

// Appends to the file kept, which ends as we left it.
int AppendKept(const std::string& path, PosixDataFiles::Kept& kept, std::string_view bytes) {
  const std::string mended = kept.last == '\n' ? std::string() : std::string(1, '\n').append(bytes);
  const std::string_view text = mended.empty() ? bytes : mended;
  if (!WriteAll(kept.fd.Get(), text)) {
    kept = {};
    return Failed("append to", path, errno, bytes);
  }
  kept.size += static_cast<off_t>(text.size());
  kept.last = text.back();
  return 0;
}

}  // namespace

ReadResult PosixDataFiles::Read(const std::string& path) {
  ReadResult result;
  struct stat st {};
  const UniqueFd fd = OpenRegularFile(path, O_RDONLY, st, result.error);
  if (!fd) return result;
  result.ownedAlone = st.st_uid == geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  std::vector<char> buffer(1 << 16);
  while (true) {
    const ssize_t got = read(fd.Get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ReadResult{{}, errno};
    if (got == 0) return result;
    result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
  }
}

int PosixDataFiles::Append(const std::string& path, std::string_view bytes) {
  Kept& kept = appends_[path];
  const auto now = std::chrono::steady_clock::now();
  const bool recent = now - kept.looked < lookAgain_;
  // As we left it, the file ends with what we wrote last.
  if (recent ? !Unchanged(kept) : !StillThere(path, kept, true, true)) {
    kept = {};
    struct stat st {};
    int error = 0;
    // Read access too, to see the last byte.
    UniqueFd fd = OpenRegularFile(path, O_RDWR | O_APPEND | O_CREAT, st, error);
    if (!fd) return Failed("append to", path, error, bytes);
    char last = '\n';
    if (st.st_size > 0 && pread(fd.Get(), &last, 1, st.st_size - 1) != 1) last = '\n';
    kept = {std::move(fd), st.st_dev, st.st_ino, st.st_size, last, now};
  } else if (!recent) {
    kept.looked = now;
  }
  return bytes.empty() ? 0 : AppendKept(path, kept, bytes);
}

int PosixDataFiles::AppendAgain(const std::string& path, std::string_view bytes) {
  const auto kept = appends_.find(path);
  if (kept == appends_.end() || !kept->second.fd) return Append(path, bytes);
  return bytes.empty() ? 0 : AppendKept(path, kept->second, bytes);
}

int PosixDataFiles::WriteAtomically(const std::string& link, std::string_view bytes) {
  const std::string path = LinkedPath(link);
  const std::string folder(ParentOf(path));
  // What was kept open for appending is the file about to be replaced.
  appends_.erase(link);
  // One fixed temporary name: a save that was killed before its rename
  // leaves at most this one file, which the next save replaces.
  std::string tempName = ".";  // built so: gcc 12 at -O3 warns falsely of "." + name
  tempName.append(NameOf(path)).append(".tmp");
  const std::string temp = JoinPath(folder, tempName);
  unlink(temp.c_str());
  UniqueFd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd) return Failed("write", path, errno);
  // Keep the permissions of the file being replaced; a new one gets the usual
  // permissions of a user's document.
  struct stat old {};
  if (stat(path.c_str(), &old) == 0) {
    fchmod(fd.Get(), old.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd.Get(), 0666 & ~mask);
  }
  const bool written = WriteAll(fd.Get(), bytes) && fsync(fd.Get()) == 0;
  if (!fd.Reset() || !written || rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno != 0 ? errno : EIO;
    unlink(temp.c_str());
    return Failed("write", path, error);
  }
  if (const UniqueFd dir{open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)}) fsync(dir.Get());
  return 0;
}

int PosixDataFiles::KeepCopy(const std::string& from, const std::string& to) {
  // The file a link leads to, never the link: the file is replaced later.
  if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno == EEXIST) return EEXIST;
  const ReadResult read = Read(from);
  if (read.error != 0) return read.error;
  UniqueFd fd(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd) return errno;
  if (!WriteAll(fd.Get(), read.bytes) || fsync(fd.Get()) != 0 || !fd.Reset()) {
    const int error = errno != 0 ? errno : EIO;
    unlink(to.c_str());
    return error;
  }
  return 0;
}

LockAttempt PosixDataFiles::Lock(const std::string& path, std::chrono::milliseconds wait) {
  Kept& slot = locks_[path];
  // Out of the slot while locked: a second lock of the same path opens its own and waits as another process would.
  Kept kept = std::exchange(slot, {});
  if (!StillThere(path, kept, false, false)) {
    struct stat st {};
    int error = 0;
    UniqueFd fd = OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW, st, error);
    if (!fd) return {nullptr, error};
    kept = {std::move(fd), st.st_dev, st.st_ino, 0, '\n', {}};
  }
  const int fd = kept.fd.Get();
  // Tried again and again rather than waited for: a holder that never lets
  // go (a stopped process, a hung network lock) costs at most `wait`.
  const auto until = std::chrono::steady_clock::now() + wait;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return {nullptr, errno};
    if (std::chrono::steady_clock::now() >= until) {
      slot = std::move(kept);
      return {nullptr, EWOULDBLOCK};
    }
    // Often: a holder that keeps it across a run of moves gives way only briefly.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {std::make_unique<FdLock>(std::move(kept), slot), 0};
}

}  // namespace veskora
