#include "platform/posix/copy_across.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "platform/posix/paths.h"
#include "platform/posix/rename_no_replace.h"
#include "platform/posix/temp_entry.h"
#include "platform/posix/unique_fd.h"

namespace veskora {

namespace {

UniqueFd OpenFolder(std::string_view path) {
  return UniqueFd(open(std::string(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes what now has the name in the folder, but only when it is still the
// given file, and makes that lasting.
void Withdraw(int dirFd, const std::string& name, const struct stat& ours) {
  struct stat st {};
  if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(st, ours)) {
    unlinkat(dirFd, name.c_str(), 0);
    fsync(dirFd);
  }
}

// The common end of a copy, once the copy `ours` has its final name in the
// destination folder: make the name lasting, make sure the source is still
// the file that was copied (`start`, as it was when the copy began) and that
// nobody has opened it for writing meanwhile (through `sourceFd`, -1 for a
// link), then remove the source. On any failure the copy is withdrawn.
MoveOutcome FinishCopy(const std::string& source, int sourceFd, const struct stat& start, int dirFd,
                       const std::string& name, const struct stat& ours) {
  if (fsync(dirFd) != 0) {
    Withdraw(dirFd, name, ours);
    return MoveOutcome::kFailed;
  }
  // One lstat of the path covers the open source descriptor as well: when the
  // path still names the same inode, both see the same size and time.
  struct stat now {};
  if (lstat(source.c_str(), &now) != 0 || !SameFile(now, start) || now.st_size != start.st_size ||
      now.st_mtim.tv_sec != start.st_mtim.tv_sec || now.st_mtim.tv_nsec != start.st_mtim.tv_nsec) {
    Withdraw(dirFd, name, ours);
    return MoveOutcome::kSourceChanged;
  }
  // A program that opened the file during the copy may not have written yet;
  // what it writes after the source is removed would be lost.
  if (sourceFd >= 0 && OpenForWritingElsewhere(sourceFd)) {
    Withdraw(dirFd, name, ours);
    return MoveOutcome::kInUse;
  }
  if (unlink(source.c_str()) != 0) {
    // ENOENT: renamed or deleted in the instant since the check. Whoever did
    // that decides; a copy kept now would bring back a deleted file or double
    // a renamed one.
    const MoveOutcome outcome = errno == ENOENT ? MoveOutcome::kSourceChanged : MoveOutcome::kFailed;
    Withdraw(dirFd, name, ours);
    return outcome;
  }
  // The copy is lasting already; should this fail, the source might come back
  // after a crash, which loses nothing.
  if (UniqueFd folder = OpenFolder(ParentOf(source))) fsync(folder.Get());
  return MoveOutcome::kMoved;
}

// Copies up to `size` bytes from the current offset of `from` to that of
// `to`: in the kernel where it can, else through a buffer. The number of bytes
// copied (fewer when the source ended early), or -1 with errno set.
std::int64_t CopyBytes(int from, int to, std::uint64_t size) {
  constexpr std::size_t kChunk = 1 << 20;
  std::uint64_t done = 0;
  bool inKernel = true;
  std::vector<char> buffer;
  while (done < size) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kChunk));
    ssize_t n;
    if (inKernel) {
      n = copy_file_range(from, nullptr, to, nullptr, want, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
        inKernel = false;
        continue;
      }
    } else {
      buffer.resize(kChunk);
      n = read(from, buffer.data(), want);
      if (n > 0 && !WriteAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return -1;
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

}  // namespace

MoveOutcome CopyFileAcross(const std::string& source, int sourceFd, const std::string& target) {
  struct stat start {};
  if (sourceFd < 0 || fstat(sourceFd, &start) != 0) return MoveOutcome::kFailed;
  const UniqueFd dir = OpenFolder(ParentOf(target));
  if (!dir) return MoveOutcome::kFailed;
  const std::string name(NameOf(target));
  struct stat st {};
  // Checked first so that a taken name costs no copy; publishing checks again.
  if (fstatat(dir.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return MoveOutcome::kTargetExists;

  TempFile temp(dir.Get());
  if (!temp) return MoveOutcome::kFailed;
  const std::int64_t copied = CopyBytes(sourceFd, temp.Get(), static_cast<std::uint64_t>(start.st_size));
  if (copied < 0) return MoveOutcome::kFailed;
  if (copied != start.st_size) return MoveOutcome::kSourceChanged;
  const timespec times[2] = {start.st_atim, start.st_mtim};
  struct stat ours {};
  if (fchmod(temp.Get(), start.st_mode & 07777) != 0 || futimens(temp.Get(), times) != 0 || fsync(temp.Get()) != 0 ||
      fstat(temp.Get(), &ours) != 0) {
    return MoveOutcome::kFailed;
  }
  const int err = temp.Publish(name);
  if (err == EEXIST) return MoveOutcome::kTargetExists;
  if (err != 0) return MoveOutcome::kFailed;
  return FinishCopy(source, sourceFd, start, dir.Get(), name, ours);
}

MoveOutcome CopyLinkAcross(const std::string& source, const struct stat& start, const std::string& target) {
  std::vector<char> text(static_cast<std::size_t>(std::max<off_t>(start.st_size, 255)) + 1);
  ssize_t length;
  while ((length = readlink(source.c_str(), text.data(), text.size())) == static_cast<ssize_t>(text.size())) {
    text.resize(text.size() * 2);
  }
  if (length < 0) return errno == ENOENT ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
  text.resize(static_cast<std::size_t>(length));
  text.push_back('\0');

  const UniqueFd dir = OpenFolder(ParentOf(target));
  if (!dir) return MoveOutcome::kFailed;
  const std::string name(NameOf(target));
  SweepStaleTemporaries(dir.Get());
  const std::string temp = MakeTempLink(dir.Get(), text.data());
  if (temp.empty()) return MoveOutcome::kFailed;
  struct stat ours {};
  if (fstatat(dir.Get(), temp.c_str(), &ours, AT_SYMLINK_NOFOLLOW) != 0) {
    unlinkat(dir.Get(), temp.c_str(), 0);
    return MoveOutcome::kFailed;
  }
  const int err = RenameNoReplace(dir.Get(), temp.c_str(), dir.Get(), name.c_str());
  if (err != 0) {
    unlinkat(dir.Get(), temp.c_str(), 0);
    return err == EEXIST ? MoveOutcome::kTargetExists : MoveOutcome::kFailed;
  }
  return FinishCopy(source, -1, start, dir.Get(), name, ours);
}

}  // namespace veskora
