#pragma once

#include <sys/stat.h>

#include <string>

#include "adapters/posix/safe_move.h"

namespace veskora {

// The ways a move may go once the source has been judged; see safe_move.h.

// Across file systems: a claimed copy. `fd` is the source open for reading
// and `st` its state as judged.
MoveOutcome CopyAcross(const MoveSource& from, int fd, const struct stat& st, int destFd, MoveContext& context);

// On a file system that refuses no-replace renames: the file is linked under
// its new name, then its old one claimed and removed. `st` as judged.
MoveOutcome LinkAcross(const MoveSource& from, const struct stat& st, int destFd, struct stat& arrived);

// A symbolic link, `st` as judged.
MoveOutcome MoveLink(const MoveSource& from, const struct stat& st, int destFd, const std::string& destination,
                     struct stat& arrived);

// After a rename into the destination: what arrived must be the very file or
// link judged (`probed`), else (anything swapped in at the last instant: a
// folder, a device, a link that leads elsewhere from there) it is given back.
// `arrived` is what was found there; every way fills it when it moved.
MoveOutcome CheckArrived(const MoveSource& from, const struct stat& probed, int destFd, struct stat& arrived);

bool SameFile(const struct stat& a, const struct stat& b);

}  // namespace veskora
