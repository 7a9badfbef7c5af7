#pragma once

#include <string>
#include <string_view>

#include "mover/move_log.h"
#include "platform/file_system.h"

namespace veskora {

// Moves folder/name into the destination folder and logs it. A marker
// destination (or any containing the marker words) does nothing. Every
// failure is swallowed here on purpose: the file stays where it is and the
// next cycle tries again. True when the file was moved (and logged).
bool MoveFileByRule(const std::string& folder, const std::string& name, const std::string& destination,
                    FileSystem& files, MoveLog& log);

}  // namespace veskora
