#include "adapters/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <utility>

#include "adapters/posix/folder_listing.h"
#include "mover/paths.h"
#include "adapters/posix/private_names.h"
#include "adapters/posix/safe_move.h"

namespace veskora {

namespace {

// Which mount a folder lies on; 0 when that cannot be told. Two folders on
// one file system but on two mounts of it (a bind mount) still copy.
std::uint64_t MountOf(int dirFd) {
  struct statx stx {};
  if (statx(dirFd, "", AT_EMPTY_PATH, STATX_MNT_ID, &stx) != 0 || !(stx.stx_mask & STATX_MNT_ID)) return 0;
  return stx.stx_mnt_id;
}

}  // namespace

void PosixFileSystem::BeginCycle(const std::string& folder) {
  memory_.NextCycle();
  // Looked up afresh every cycle: the folder may have been replaced.
  destination_.Reset();
  destinationPath_.clear();
  // What a killed run left claimed comes back now, to be listed with the
  // rest: found by the last listing of this folder, or by one of our own when
  // there was none. A listing is used once: the next cycle without one looks
  // for itself.
  const bool listed = folder == std::exchange(oursFolder_, {});
  if (listed && ours_.empty()) return;
  const UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir) return;
  if (!listed) {
    ours_.clear();
    ListFolder(dir.Get(), &ours_);
  }
  for (const std::string& name : ours_) RecoverLeftovers(dir.Get(), name);
  ours_.clear();
}

std::optional<FolderListing> PosixFileSystem::List(const std::string& folder) {
  listed_ = UniqueFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  listedMount_.reset();
  listedPath_ = listed_ ? folder : std::string();
  if (!listed_) return std::nullopt;
  ours_.clear();
  auto listing = ListFolder(listed_.Get(), &ours_);
  oursFolder_ = listing ? folder : std::string();
  return listing;
}

int PosixFileSystem::FolderFd(const std::string& folder) const {
  return listed_ && folder == listedPath_ ? listed_.Get() : AT_FDCWD;
}

int PosixFileSystem::OpenFolder(const std::string& folder, UniqueFd& opened) const {
  const int dirFd = FolderFd(folder);
  if (dirFd != AT_FDCWD) return dirFd;
  opened = UniqueFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return opened ? opened.Get() : -1;
}

std::optional<FileFacts> PosixFileSystem::Facts(const std::string& folder, const std::string& name) {
  const int dirFd = FolderFd(folder);
  return FactsAt(dirFd, dirFd == AT_FDCWD ? JoinPath(folder, name) : name);
}

std::optional<FileIdentity> PosixFileSystem::Identity(const std::string& folder, const std::string& name) {
  const int dirFd = FolderFd(folder);
  struct stat st {};
  if (fstatat(dirFd, (dirFd == AT_FDCWD ? JoinPath(folder, name) : name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return std::nullopt;
  }
  return IdentityOf(st);
}

MoveOutcome PosixFileSystem::Check(const std::string& folder, const std::string& name, const std::string& destination) {
  UniqueFd opened;
  const int dirFd = OpenFolder(folder, opened);
  if (dirFd < 0) return MoveOutcome::kSourceMissing;
  // Opened apart from the moves' own: a first look at a folder by a move
  // clears what killed runs left there, and a check changes nothing.
  const UniqueFd destFd(open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return CheckSafeMove({dirFd, folder, name}, destFd ? destFd.Get() : -1, memory_);
}

MoveOutcome PosixFileSystem::Move(const std::string& folder, const std::string& name, const std::string& destination,
                                  FileIdentity* arrived) {
  UniqueFd opened;
  const int dirFd = OpenFolder(folder, opened);
  if (dirFd < 0) return MoveOutcome::kFailed;
  const int destFd = DestinationFd(destination);
  if (destFd < 0) return MoveOutcome::kFailed;
  MoveContext context{memory_, stop_};
  const MoveOutcome outcome = SafeMove({dirFd, folder, name}, destFd, destination, context);
  if (outcome == MoveOutcome::kMoved && arrived) *arrived = IdentityOf(context.arrived);
  return outcome;
}

int PosixFileSystem::DestinationFd(const std::string& destination) {
  if (!destination_ || destination != destinationPath_) {
    destination_ = UniqueFd(open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    destinationPath_ = destination;
    destinationMount_.reset();
    if (destination_ && memory_.FirstVisit(destination)) SweepLeftovers(destination_.Get());
  }
  return destination_.Get();
}

bool PosixFileSystem::MayCopy(const std::string& folder, const std::string& destination) {
  const int from = FolderFd(folder);
  const int to = DestinationFd(destination);
  if (to < 0) return false;  // the move fails at once
  if (from == AT_FDCWD) return true;
  if (!listedMount_) listedMount_ = MountOf(from);
  if (!destinationMount_) destinationMount_ = MountOf(to);
  return *listedMount_ == 0 || *listedMount_ != *destinationMount_;
}

}  // namespace veskora
