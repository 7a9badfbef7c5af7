#pragma once

#include <cstddef>

#include "ports/file_system.h"

namespace veskora {

// Whether the file listed at `index` is a download that has not finished, as
// its name and the names beside it tell: its own name is one only an
// unfinished download carries, a download tool's marker for it lies in the
// same folder, or it is itself such a marker with its file beside it (moving
// either half would break the download). The listing must be sorted by bytes,
// as FileSystem::List gives it; nothing is asked of the file system. A file
// held open for writing is caught by the move itself.
bool StillArriving(const FolderListing& listing, std::size_t index);

}  // namespace veskora
