#include "adapters/posix/safe_move.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/move_steps.h"
#include "adapters/posix/private_names.h"
#include "adapters/posix/rename_no_replace.h"
#include "adapters/posix/unique_fd.h"
#include "adapters/posix/writer_probe.h"

namespace veskora {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

FileIdentity IdentityOf(const struct stat& st) {
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
                      static_cast<std::int64_t>(st.st_ctim.tv_sec)};
}

MoveOutcome CheckArrived(const MoveSource& from, const struct stat& probed, int destFd, struct stat& arrived) {
  if (fstatat(destFd, from.name.c_str(), &arrived, AT_SYMLINK_NOFOLLOW) != 0) return MoveOutcome::kMoved;  // gone on
  if (SameFile(arrived, probed) && (arrived.st_mode & S_IFMT) == (probed.st_mode & S_IFMT)) return MoveOutcome::kMoved;
  GiveBack(destFd, from.dirFd, from.name);
  return MoveOutcome::kSourceChanged;
}

MoveOutcome SafeMove(const MoveSource& from, int destFd, const std::string& destination, MoveContext& context) {
  // Opened without blocking (a FIFO swapped in must not hang us) and without
  // following a link; whatever it turns out to be decides the way.
  struct stat st {};
  const UniqueFd fd(openat(from.dirFd, from.name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  if (fd) {
    if (fstat(fd.Get(), &st) != 0) return MoveOutcome::kFailed;
    if (!S_ISREG(st.st_mode)) return MoveOutcome::kSourceMissing;  // a folder, FIFO or device: never moved
  } else {
    const int err = errno;
    if (err == EWOULDBLOCK) return MoveOutcome::kInUse;  // another process holds a write lease on it
    if (fstatat(from.dirFd, from.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT || errno == ENOTDIR ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
    }
    if (S_ISLNK(st.st_mode)) return MoveLink(from, st, destFd, destination, context.arrived);
    if (!S_ISREG(st.st_mode)) return MoveOutcome::kSourceMissing;
    if (err != EACCES) return MoveOutcome::kFailed;
  }
  // Unreadable, on a file system whose leases see only part of the openers,
  // or not ours to lease: nobody can say who writes it. Such a file waits
  // until it has stayed the same from one cycle to the next.
  const Writers writers =
      fd && context.memory.LeasesSeeEveryOpener(fd.Get(), st.st_dev) ? ProbeWriters(fd.Get()) : Writers::kUnknown;
  if (writers == Writers::kWriting) return MoveOutcome::kInUse;
  if (writers == Writers::kUnknown && !context.memory.Unchanged(st)) return MoveOutcome::kInUse;

  const int err = RenameNoReplace(from.dirFd, from.name.c_str(), destFd, from.name.c_str());
  if (err == 0) return CheckArrived(from, st, destFd, context.arrived);
  if (err == EEXIST) return MoveOutcome::kTargetExists;
  if (err == EXDEV) return fd ? CopyAcross(from, fd.Get(), st, destFd, context) : MoveOutcome::kFailed;
  if (NoReplaceRefused(err)) {
    // The flag is refused before the devices are compared on some systems.
    struct stat there {};
    if (fstat(destFd, &there) == 0 && there.st_dev != st.st_dev) {
      return fd ? CopyAcross(from, fd.Get(), st, destFd, context) : MoveOutcome::kFailed;
    }
    return LinkAcross(from, st, destFd, context.arrived);
  }
  if (err == ENOENT) {
    struct stat now {};
    const bool gone = fstatat(from.dirFd, from.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
    return gone ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
  }
  return MoveOutcome::kFailed;
}

MoveOutcome CheckSafeMove(const MoveSource& from, int destFd, MoveMemory& memory) {
  if (destFd < 0) return MoveOutcome::kFailed;
  struct stat st {};
  const UniqueFd fd(openat(from.dirFd, from.name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  if (fd) {
    if (fstat(fd.Get(), &st) != 0) return MoveOutcome::kFailed;
    if (!S_ISREG(st.st_mode)) return MoveOutcome::kSourceMissing;
  } else {
    const int err = errno;
    if (err == EWOULDBLOCK) return MoveOutcome::kInUse;
    if (fstatat(from.dirFd, from.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT || errno == ENOTDIR ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
    }
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return MoveOutcome::kSourceMissing;
    if (!S_ISLNK(st.st_mode) && err != EACCES) return MoveOutcome::kFailed;
  }
  if (!S_ISLNK(st.st_mode) &&
      (!fd || !memory.LeasesSeeEveryOpener(fd.Get(), st.st_dev) || ProbeWriters(fd.Get()) != Writers::kNone)) {
    return MoveOutcome::kInUse;
  }
  struct stat taken {};
  if (fstatat(destFd, from.name.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) return MoveOutcome::kTargetExists;
  return MoveOutcome::kMoved;
}

}  // namespace veskora
