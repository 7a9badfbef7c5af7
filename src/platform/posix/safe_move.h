#pragma once

#include <string>

namespace veskora {

enum class MoveOutcome {
  kMoved,          // the whole file is at the target and gone from the source
  kTargetExists,   // something already has the target name; nothing changed
  kSourceMissing,  // the source is gone or not a regular file (or link)
  kInUse,          // another process has the source open for writing
  kSourceChanged,  // the source changed during a copy; the copy was dropped
  kFailed,         // any other failure; source untouched, no temporary left
};

// Moves one file to a full target path without ever replacing an existing
// file, also not in a race. Within one file system a rename; across file
// systems a copy that is synced and published under the final name before the
// source is removed. A symbolic link is moved as the link itself.
MoveOutcome SafeMoveFile(const std::string& source, const std::string& target);

}  // namespace veskora
