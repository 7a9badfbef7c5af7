#include "platform/posix/safe_move.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)  // from <linux/fs.h>; older C libraries lack it
#endif

namespace veskora {

namespace {

// An owned file descriptor, closed when it goes.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

int Renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
  return renameat2(from_dir, from, to_dir, to, flags);
#else
  return static_cast<int>(syscall(SYS_renameat2, from_dir, from, to_dir, to, flags));
#endif
}

// Gives a file a new name without ever replacing what has that name. 0 or an
// errno value; EEXIST when the name is taken. On failure nothing changed.
int RenameNoReplace(int from_dir, const char* from, int to_dir, const char* to) {
  if (Renameat2(from_dir, from, to_dir, to, RENAME_NOREPLACE) == 0) return 0;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return err;
  // The file system refuses the flag: a hard link never replaces either.
  if (linkat(from_dir, from, to_dir, to, 0) != 0) return errno;
  if (unlinkat(from_dir, from, 0) != 0) {
    const int unlink_err = errno;
    unlinkat(to_dir, to, 0);
    return unlink_err;
  }
  return 0;
}

std::string ParentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

Fd OpenFolder(const std::string& path) { return Fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); }

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

constexpr char kTempLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// A hidden name, unlikely to be taken, for a temporary entry; the caller
// creates it exclusively and draws again on EEXIST.
std::string TempName() {
  static std::atomic<std::uint64_t> counter{0};
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t bits = (static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(getpid()) << 32)) +
                       counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL;
  std::string name = ".veskora-";
  for (int i = 0; i < 6; ++i, bits /= 62) name += kTempLetters[bits % 62];
  return name;
}

constexpr int kTempAttempts = 100;

// A temporary file that nothing has changed for this long belongs to no copy
// still running: a copy writes to its file all the time and names it the
// moment it is done. Such a file was left by a run that was killed.
constexpr time_t kStaleTemporarySeconds = 15 * 60;

bool IsTemporaryName(const char* name) {
  if (std::strncmp(name, ".veskora-", 9) != 0 || std::strlen(name) != 15) return false;
  return std::all_of(name + 9, name + 15, [](char c) { return std::strchr(kTempLetters, c) != nullptr; });
}

// Removes this user's stale temporary files from the folder, so that killed
// runs do not pile them up. Removing one that some copy still wanted would
// lose nothing either: that copy fails and its source stays.
void SweepStaleTemporaries(int dir_fd) {
  const int fd = openat(dir_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  while (const dirent* entry = readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat st {};
    if (fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != geteuid()) continue;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
    if (now.tv_sec - st.st_ctim.tv_sec >= kStaleTemporarySeconds) unlinkat(dir_fd, entry->d_name, 0);
  }
  closedir(dir);
}

// True while another process holds the file open for writing: a read lease is
// refused then. Also true when one opens it for writing in the instant the
// lease is held: the lease is then being broken. Where leases are unavailable
// (not the owner, a file system without them) the answer is false and the move
// goes ahead.
bool OpenForWritingElsewhere(int fd) {
  // The kernel tells the holder of a lease that is being broken with a signal,
  // SIGIO unless told otherwise, and SIGIO ends a process that does not handle
  // it. SIGURG is ignored unless handled, and this program never handles it.
  fcntl(fd, F_SETSIG, SIGURG);
  if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    const bool breaking = fcntl(fd, F_GETLEASE) != F_RDLCK;
    fcntl(fd, F_SETLEASE, F_UNLCK);
    return breaking;
  }
  return errno == EAGAIN;
}

// Removes what now has the name in the folder, but only when it is still the
// given file, and makes that lasting.
void Withdraw(int dir_fd, const std::string& name, const struct stat& ours) {
  struct stat st {};
  if (fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(st, ours)) {
    unlinkat(dir_fd, name.c_str(), 0);
    fsync(dir_fd);
  }
}

// The common end of a copy across file systems, once the copy `ours` has its
// final name in the destination folder: make the name lasting, make sure the
// source is still the file that was copied (`start`, as it was when the copy
// began) and that nobody has opened it for writing meanwhile (through
// `source_fd`, -1 for a link), then remove the source. On any failure the copy
// is withdrawn and the source stays.
MoveOutcome FinishCopy(const std::string& source, int source_fd, const struct stat& start, int dir_fd,
                       const std::string& name, const struct stat& ours) {
  if (fsync(dir_fd) != 0) {
    Withdraw(dir_fd, name, ours);
    return MoveOutcome::kFailed;
  }
  // One lstat of the path covers the open source descriptor as well: when the
  // path still names the same inode, both see the same size and time.
  struct stat now {};
  if (lstat(source.c_str(), &now) != 0 || !SameFile(now, start) || now.st_size != start.st_size ||
      now.st_mtim.tv_sec != start.st_mtim.tv_sec || now.st_mtim.tv_nsec != start.st_mtim.tv_nsec) {
    Withdraw(dir_fd, name, ours);
    return MoveOutcome::kSourceChanged;
  }
  // A program that opened the file during the copy may not have written yet;
  // what it writes after the source is removed would be lost.
  if (source_fd >= 0 && OpenForWritingElsewhere(source_fd)) {
    Withdraw(dir_fd, name, ours);
    return MoveOutcome::kInUse;
  }
  if (unlink(source.c_str()) != 0) {
    // ENOENT: renamed or deleted in the instant since the check. Whoever did
    // that decides; a copy kept now would bring back a deleted file or double
    // a renamed one.
    const MoveOutcome outcome = errno == ENOENT ? MoveOutcome::kSourceChanged : MoveOutcome::kFailed;
    Withdraw(dir_fd, name, ours);
    return outcome;
  }
  // The copy is lasting already; should this fail, the source might come back
  // after a crash, which loses nothing.
  if (Fd folder = OpenFolder(ParentOf(source))) fsync(folder.get());
  return MoveOutcome::kMoved;
}

// A temporary file in the destination folder: unnamed (O_TMPFILE) where the
// file system allows, else under a hidden name that goes with the object
// unless it was published.
class TempFile {
 public:
  explicit TempFile(int dir_fd) : dir_fd_(dir_fd) {
#ifdef O_TMPFILE
    fd_ = Fd(openat(dir_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != ENOENT && errno != EINVAL)) return;
#endif
    SweepStaleTemporaries(dir_fd);
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
      std::string name = TempName();
      fd_ = Fd(openat(dir_fd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
      if (fd_) {
        name_ = std::move(name);
        return;
      }
      if (errno != EEXIST) return;
    }
  }
  ~TempFile() {
    if (!name_.empty()) unlinkat(dir_fd_, name_.c_str(), 0);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int get() const { return fd_.get(); }
  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Gives the file its final name without replacing anything: 0 or an errno
  // value (EEXIST when the name is taken).
  int Publish(const std::string& name) {
    if (name_.empty()) return LinkUnnamed(name);
    const int err = RenameNoReplace(dir_fd_, name_.c_str(), dir_fd_, name.c_str());
    if (err == 0) name_.clear();
    return err;
  }

 private:
  int LinkUnnamed(const std::string& name) const {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd_.get());
    if (linkat(AT_FDCWD, proc.c_str(), dir_fd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    int err = errno;
    if (err == ENOENT) {  // perhaps no /proc; this way needs CAP_DAC_READ_SEARCH on older kernels
      if (linkat(fd_.get(), "", dir_fd_, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
      if (errno != EPERM) err = errno;
    }
    return err;
  }

  int dir_fd_;
  Fd fd_;
  std::string name_;  // empty when unnamed or published
};

// Writes all of the bytes, through short writes and interruptions.
bool WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies up to `size` bytes from the current offset of `from` to that of
// `to`: in the kernel where it can, else through a buffer. The number of bytes
// copied (fewer when the source ended early), or -1 with errno set.
std::int64_t CopyBytes(int from, int to, std::uint64_t size) {
  constexpr std::size_t kChunk = 1 << 20;
  std::uint64_t done = 0;
  bool in_kernel = true;
  std::vector<char> buffer;
  while (done < size) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kChunk));
    ssize_t n;
    if (in_kernel) {
      n = copy_file_range(from, nullptr, to, nullptr, want, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
        in_kernel = false;
        continue;
      }
    } else {
      buffer.resize(kChunk);
      n = read(from, buffer.data(), want);
      if (n > 0 && !WriteAll(to, buffer.data(), static_cast<std::size_t>(n))) return -1;
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::uint64_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

MoveOutcome CopyFileAcross(const std::string& source, int source_fd, const std::string& target) {
  struct stat start {};
  if (source_fd < 0 || fstat(source_fd, &start) != 0) return MoveOutcome::kFailed;
  const Fd dir = OpenFolder(ParentOf(target));
  if (!dir) return MoveOutcome::kFailed;
  const std::string name = NameOf(target);
  struct stat st {};
  // Checked first so that a taken name costs no copy; publishing checks again.
  if (fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return MoveOutcome::kTargetExists;

  TempFile temp(dir.get());
  if (!temp) return MoveOutcome::kFailed;
  const std::int64_t copied = CopyBytes(source_fd, temp.get(), static_cast<std::uint64_t>(start.st_size));
  if (copied < 0) return MoveOutcome::kFailed;
  if (copied != start.st_size) return MoveOutcome::kSourceChanged;
  const timespec times[2] = {start.st_atim, start.st_mtim};
  struct stat ours {};
  if (fchmod(temp.get(), start.st_mode & 07777) != 0 || futimens(temp.get(), times) != 0 || fsync(temp.get()) != 0 ||
      fstat(temp.get(), &ours) != 0) {
    return MoveOutcome::kFailed;
  }
  const int err = temp.Publish(name);
  if (err == EEXIST) return MoveOutcome::kTargetExists;
  if (err != 0) return MoveOutcome::kFailed;
  return FinishCopy(source, source_fd, start, dir.get(), name, ours);
}

// A new link with the text under a hidden name in the folder: that name, or
// empty when none could be made.
std::string MakeTempLink(int dir_fd, const char* text) {
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string name = TempName();
    if (symlinkat(text, dir_fd, name.c_str()) == 0) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

// A link is moved as itself: a new link with the same text, made under a
// hidden name and then given the final one.
MoveOutcome CopyLinkAcross(const std::string& source, const struct stat& start, const std::string& target) {
  std::vector<char> text(static_cast<std::size_t>(std::max<off_t>(start.st_size, 255)) + 1);
  ssize_t length;
  while ((length = readlink(source.c_str(), text.data(), text.size())) == static_cast<ssize_t>(text.size())) {
    text.resize(text.size() * 2);
  }
  if (length < 0) return errno == ENOENT ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
  text.resize(static_cast<std::size_t>(length));
  text.push_back('\0');

  const Fd dir = OpenFolder(ParentOf(target));
  if (!dir) return MoveOutcome::kFailed;
  const std::string name = NameOf(target);
  SweepStaleTemporaries(dir.get());
  const std::string temp = MakeTempLink(dir.get(), text.data());
  if (temp.empty()) return MoveOutcome::kFailed;
  struct stat ours {};
  if (fstatat(dir.get(), temp.c_str(), &ours, AT_SYMLINK_NOFOLLOW) != 0) {
    unlinkat(dir.get(), temp.c_str(), 0);
    return MoveOutcome::kFailed;
  }
  const int err = RenameNoReplace(dir.get(), temp.c_str(), dir.get(), name.c_str());
  if (err != 0) {
    unlinkat(dir.get(), temp.c_str(), 0);
    return err == EEXIST ? MoveOutcome::kTargetExists : MoveOutcome::kFailed;
  }
  return FinishCopy(source, -1, start, dir.get(), name, ours);
}

bool SourceGone(const std::string& source) {
  struct stat st {};
  return lstat(source.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace

MoveOutcome SafeMoveFile(const std::string& source, const std::string& target) {
  struct stat start {};
  if (lstat(source.c_str(), &start) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
  }
  const bool is_link = S_ISLNK(start.st_mode);
  if (!is_link && !S_ISREG(start.st_mode)) return MoveOutcome::kSourceMissing;

  // Kept open for a copy across file systems. When it cannot be opened (no
  // read permission) a rename still works.
  Fd source_fd;
  if (!is_link) {
    source_fd = Fd(open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!source_fd && errno == EWOULDBLOCK) return MoveOutcome::kInUse;  // someone holds a write lease
    if (!source_fd && errno == ENOENT) return MoveOutcome::kSourceMissing;
    if (source_fd && OpenForWritingElsewhere(source_fd.get())) return MoveOutcome::kInUse;
  }

  switch (RenameNoReplace(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str())) {
    case 0:
      return MoveOutcome::kMoved;
    case EEXIST:
      return MoveOutcome::kTargetExists;
    case ENOENT:  // the source, or the target's folder
      return SourceGone(source) ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
    case EXDEV:
      return is_link ? CopyLinkAcross(source, start, target) : CopyFileAcross(source, source_fd.get(), target);
    default:
      return MoveOutcome::kFailed;
  }
}

}  // namespace veskora
