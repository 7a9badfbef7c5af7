// A symbolic link is moved as itself: renamed where its text means the same in
// the destination, else made anew there with the text that does.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "adapters/posix/claim.h"
#include "adapters/posix/link_text.h"
#include "adapters/posix/move_steps.h"
#include "adapters/posix/rename_no_replace.h"
#include "adapters/posix/temp_entry.h"

namespace veskora {

namespace {

std::optional<std::string> ReadLink(int dirFd, const std::string& name, off_t size) {
  std::vector<char> text(static_cast<std::size_t>(std::max<off_t>(size, 255)) + 1);
  ssize_t length;
  while ((length = readlinkat(dirFd, name.c_str(), text.data(), text.size())) == static_cast<ssize_t>(text.size())) {
    text.resize(text.size() * 2);
  }
  if (length < 0) return std::nullopt;
  return std::string(text.data(), static_cast<std::size_t>(length));
}

MoveOutcome Recreate(const MoveSource& from, const struct stat& st, int destFd, const std::string& text,
                     struct stat& ours) {
  struct stat taken {};
  if (fstatat(destFd, from.name.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) return MoveOutcome::kTargetExists;
  Claim claim(from.dirFd, from.name);
  if (claim.Error() != 0) return claim.Error() == ENOENT ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
  struct stat claimed {};
  if (!claim.Stat(claimed) || !SameFile(claimed, st) || !S_ISLNK(claimed.st_mode)) return MoveOutcome::kSourceChanged;
  TempLink temp(destFd, text.c_str());
  const int err = temp.Stat(ours) ? temp.Publish(from.name) : EIO;
  if (err != 0) return err == EEXIST ? MoveOutcome::kTargetExists : MoveOutcome::kFailed;
  if (fsync(destFd) != 0 || !claim.Remove(claimed)) {
    struct stat now {};
    if (fstatat(destFd, from.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, ours)) {
      unlinkat(destFd, from.name.c_str(), 0);
    }
    return MoveOutcome::kFailed;
  }
  fsync(from.dirFd);
  return MoveOutcome::kMoved;
}

}  // namespace

MoveOutcome MoveLink(const MoveSource& from, const struct stat& st, int destFd, const std::string& destination,
                     struct stat& arrived) {
  const auto text = ReadLink(from.dirFd, from.name, st.st_size);
  if (!text) return errno == ENOENT ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
  const std::string rebased = RebasedLinkText(from.folder, *text, destination);
  if (rebased == *text) {
    const int err = RenameNoReplace(from.dirFd, from.name.c_str(), destFd, from.name.c_str());
    if (err == 0) return CheckArrived(from, st, destFd, arrived);
    if (err == EEXIST) return MoveOutcome::kTargetExists;
    if (err != EXDEV && !NoReplaceRefused(err)) return MoveOutcome::kFailed;
  }
  return Recreate(from, st, destFd, rebased, arrived);
}

}  // namespace veskora
