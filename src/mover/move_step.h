#pragma once

#include <string>
#include <string_view>

#include "mover/move_log.h"

namespace veskora {

// The target of a move: the destination folder, "/", the file's name; a
// destination that already ends in "/" is not given a second one.
std::string TargetPath(std::string_view destination, std::string_view name);

// Moves the file into the destination folder and logs it. A marker
// destination (or any containing the marker words) does nothing. Every
// failure is swallowed here on purpose: the file stays where it is and the
// next cycle tries again. True when the file was moved (and logged).
bool MoveFileByRule(const std::string& path, std::string_view destination, MoveLog& log);

}  // namespace veskora
