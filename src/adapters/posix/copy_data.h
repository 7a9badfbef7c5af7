#pragma once

#include <sys/stat.h>

#include <atomic>
#include <functional>

namespace veskora {

// Copies the first `size` bytes of `from` into `to`, both from offset 0,
// keeping holes: only the data the file has is read and written, and `to` is
// sized to `size` at the end. `goOn` is asked between pieces of at most a
// mebibyte; when it says no, the copy stops. 0, or an errno value (ECANCELED
// when stopped, ENODATA when `from` ended early).
int CopyData(int from, int to, off_t size, const std::function<bool()>& goOn);

// Gives the copy the permissions, owner, extended attributes (ACLs among
// them) and times of the original, as far as this user may: as root the owner
// and group too; where they cannot be kept, setuid and setgid are dropped.
// Fails only when the permissions or times cannot be set.
bool CopyMetadata(int from, const struct stat& st, int to);

// Whether the folder has room for a copy of the file, judged by the blocks the
// file takes (a sparse file takes less than its length).
bool RoomFor(int dirFd, const struct stat& st);

}  // namespace veskora
