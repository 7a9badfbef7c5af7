#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/file_system.h"

namespace veskora {

// A move across file systems: a copy into a temporary file in the target's
// folder, synced and given the target's name without replacing anything, and
// only then is the source removed, once it is known to be the file that was
// copied, unchanged and written by nobody. On any failure the copy goes and
// the source stays.
MoveOutcome CopyFileAcross(const std::string& source, int sourceFd, const std::string& target);

// A link is moved as itself: a new link with the same text.
MoveOutcome CopyLinkAcross(const std::string& source, const struct stat& start, const std::string& target);

}  // namespace veskora
