#pragma once

#include <string>

#include "platform/file_system.h"

namespace veskora {

// Moves one file to a full target path without ever replacing an existing
// file, also not in a race. Within one file system a rename; across file
// systems a copy that is synced and published under the final name before the
// source is removed. A symbolic link is moved as the link itself. A file that
// another process holds open for writing is not moved.
MoveOutcome SafeMoveFile(const std::string& source, const std::string& target);

}  // namespace veskora
