#include "platform/posix/safe_move.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/copy_across.h"
#include "platform/posix/rename_no_replace.h"
#include "platform/posix/unique_fd.h"

namespace veskora {

namespace {

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
  const bool isLink = S_ISLNK(start.st_mode);
  if (!isLink && !S_ISREG(start.st_mode)) return MoveOutcome::kSourceMissing;

  // Kept open for a copy across file systems. When it cannot be opened (no
  // read permission) a rename still works.
  UniqueFd sourceFd;
  if (!isLink) {
    sourceFd = UniqueFd(open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!sourceFd && errno == EWOULDBLOCK) return MoveOutcome::kInUse;  // someone holds a write lease
    if (!sourceFd && errno == ENOENT) return MoveOutcome::kSourceMissing;
    if (sourceFd && OpenForWritingElsewhere(sourceFd.Get())) return MoveOutcome::kInUse;
  }

  switch (RenameNoReplace(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str())) {
    case 0:
      return MoveOutcome::kMoved;
    case EEXIST:
      return MoveOutcome::kTargetExists;
    case ENOENT:  // the source, or the target's folder
      return SourceGone(source) ? MoveOutcome::kSourceMissing : MoveOutcome::kFailed;
    case EXDEV:
      return isLink ? CopyLinkAcross(source, start, target) : CopyFileAcross(source, sourceFd.Get(), target);
    default:
      return MoveOutcome::kFailed;
  }
}

}  // namespace veskora
