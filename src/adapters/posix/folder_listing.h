#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ports/file_system.h"

namespace veskora {

// Lists the folder open at dirFd (which stays open): every name not beginning
// with ".", sorted by bytes, each marked whether it is a file the rules may
// take (a regular file or a link that leads to one). Folders, devices, FIFOs,
// sockets and broken links are listed but are no files. std::nullopt when
// the folder cannot be read. Hidden names of this program's own entries
// (".veskora-...") go to `ours` when it is given.
std::optional<FolderListing> ListFolder(int dirFd, std::vector<std::string>* ours = nullptr);

// Size and modification time of the entry `name` of the folder open at dirFd
// (AT_FDCWD for a path); a link is followed.
std::optional<FileFacts> FactsAt(int dirFd, const std::string& name);

}  // namespace veskora
