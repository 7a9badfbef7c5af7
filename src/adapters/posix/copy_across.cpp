// Moves across file systems and onto file systems that refuse no-replace
// renames: the file is claimed first, so nothing can be removed but what was
// copied or linked.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>

#include "adapters/posix/claim.h"
#include "adapters/posix/copy_data.h"
#include "adapters/posix/move_steps.h"
#include "adapters/posix/open_holders.h"
#include "adapters/posix/temp_entry.h"
#include "adapters/posix/writer_probe.h"

namespace veskora {

namespace {

bool StillSame(int fd, const struct stat& start) {
  struct stat now {};
  return fstat(fd, &now) == 0 && SameFile(now, start) && now.st_size == start.st_size &&
         now.st_mtim.tv_sec == start.st_mtim.tv_sec && now.st_mtim.tv_nsec == start.st_mtim.tv_nsec &&
         now.st_ctim.tv_sec == start.st_ctim.tv_sec && now.st_ctim.tv_nsec == start.st_ctim.tv_nsec;
}

// Removes a published copy again, but only while the name is still ours.
void Withdraw(int destFd, const std::string& name, const struct stat& ours) {
  struct stat now {};
  if (fstatat(destFd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, ours)) {
    unlinkat(destFd, name.c_str(), 0);
    fsync(destFd);
  }
}

// The claim taken and checked: it must hold the very file that was judged.
bool Claimed(const Claim& claim, const struct stat& st) {
  struct stat claimed {};
  return claim.Stat(claimed) && SameFile(claimed, st) && (claimed.st_mode & S_IFMT) == (st.st_mode & S_IFMT);
}

// A file whose writers this system cannot show (another owner's, on a
// network or FUSE file system) may still be held open by a writer that writes
// again later: once the original is removed, all it wrote from then on would
// be lost. Keeping the original as a second name until the writer is gone
// would need to see the writer too, so instead such a file is not copied while
// any process that can be looked into holds it, and where some cannot be
// (other users' processes, other machines) only after it has rested for far
// longer than the two cycles that do within one file system.
constexpr std::uint64_t kLongRest = 150;  // five minutes of cycles

bool HeldUnseen(const struct stat& st, bool remote, MoveMemory& memory) {
  if (remote && memory.Rested(st) < kLongRest) return true;
  const Holders holders = FindHolders(st);
  return holders == Holders::kSome || (holders == Holders::kUnseen && memory.Rested(st) < kLongRest);
}

MoveOutcome ClaimFailure(const Claim& claim) {
  return claim.Error() == ENOENT ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
}

}  // namespace

MoveOutcome CopyAcross(const MoveSource& from, int fd, const struct stat& st, int destFd, MoveContext& context) {
  struct stat taken {};
  // Looked at before anything is copied, so that no copy is made in vain.
  if (fstatat(destFd, from.name.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) return MoveOutcome::kTargetExists;
  if (!RoomFor(destFd, st)) return MoveOutcome::kFailed;

  // Held for the whole copy where leases see every opener: granted only while
  // nobody else has the file open, broken the moment somebody opens it. Where
  // it is refused for other reasons, the file has already shown that it rests.
  std::optional<WriteLease> lease;
  const bool remote = !context.memory.LeasesSeeEveryOpener(fd, st.st_dev);
  if (!remote) {
    lease.emplace(fd);
    if (lease->Busy() || (lease->Held() && !lease->Intact())) return MoveOutcome::kInUse;
    if (!lease->Held()) lease.reset();
  }
  if (!lease && HeldUnseen(st, remote, context.memory)) return MoveOutcome::kInUse;
  // A file that cannot be renamed (immutable, another owner's in a sticky
  // folder) could not be removed after the copy either: nothing is copied.
  Claim claim(from.dirFd, from.name);
  if (claim.Error() != 0) return ClaimFailure(claim);
  struct stat start {};
  if (!Claimed(claim, st) || fstat(fd, &start) != 0) return MoveOutcome::kSourceChanged;
  // Claimed, nobody opens it by its name any more: one last look.
  if (!lease && FindHolders(st) == Holders::kSome) return MoveOutcome::kInUse;

  const auto goOn = [&] { return !(context.stop && context.stop->load()) && (!lease || lease->Intact()); };
  TempFile temp(destFd);
  if (!temp) return MoveOutcome::kFailed;  // nothing copied yet: no reason to wait
  const int err = CopyData(fd, temp.Get(), start.st_size, goOn);
  if (err == ECANCELED) return lease && !lease->Intact() ? MoveOutcome::kInUse : MoveOutcome::kFailed;
  if (err == ENODATA) return MoveOutcome::kSourceChanged;
  struct stat ours {};
  if (err != 0 || !CopyMetadata(fd, start, temp.Get()) || fsync(temp.Get()) != 0 || fstat(temp.Get(), &ours) != 0) {
    return MoveOutcome::kFailed;
  }
  if (!StillSame(fd, start)) return MoveOutcome::kSourceChanged;
  if (!goOn()) return lease && !lease->Intact() ? MoveOutcome::kInUse : MoveOutcome::kFailed;
  const int published = temp.Publish(from.name);
  if (published == EEXIST) return MoveOutcome::kTargetExists;
  if (published != 0) return MoveOutcome::kFailed;

  // Named and lasting; the source goes only if it is still what was copied
  // and nobody has asked to open it meanwhile.
  if (fsync(destFd) != 0) {
    Withdraw(destFd, from.name, ours);
    return MoveOutcome::kFailed;
  }
  if (!StillSame(fd, start) || !goOn() || !claim.Remove(start)) {
    Withdraw(destFd, from.name, ours);
    return MoveOutcome::kSourceChanged;
  }
  // The copy is lasting already; should this fail, the source might come back
  // after a crash, which loses nothing.
  fsync(from.dirFd);
  context.arrived = ours;
  return MoveOutcome::kMoved;
}

MoveOutcome LinkAcross(const MoveSource& from, const struct stat& st, int destFd, struct stat& linked) {
  // A hard link never replaces; it is made first, from the name as judged,
  // and must be the file judged.
  if (linkat(from.dirFd, from.name.c_str(), destFd, from.name.c_str(), 0) != 0) {
    return errno == EEXIST ? MoveOutcome::kTargetExists : MoveOutcome::kFailed;
  }
  if (fstatat(destFd, from.name.c_str(), &linked, AT_SYMLINK_NOFOLLOW) != 0) return MoveOutcome::kFailed;
  if (!SameFile(linked, st)) {
    Withdraw(destFd, from.name, linked);
    return MoveOutcome::kSourceChanged;
  }
  // The name is then taken away from the desktop, never by unlinking it there:
  // a new version saved over it in the meantime is given back, beside or in
  // place of what was moved, and whoever still writes the moved file writes
  // into it, since it keeps its inode.
  Claim claim(from.dirFd, from.name);
  if (claim.Error() != 0) {
    Withdraw(destFd, from.name, linked);
    return ClaimFailure(claim);
  }
  struct stat claimed {};
  if (!claim.Stat(claimed) || !SameFile(claimed, linked)) return MoveOutcome::kMoved;  // a newer one comes back
  if (claim.Remove(linked)) return MoveOutcome::kMoved;
  Withdraw(destFd, from.name, linked);
  return MoveOutcome::kFailed;
}

}  // namespace veskora
