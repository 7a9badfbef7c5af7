#pragma once

#include <string>

namespace veskora {

// The user's desktop folder as the desktop names it (XDG_DESKTOP_DIR in
// user-dirs.dirs, else ~/Desktop), looked up afresh on every call; empty when
// it cannot be determined.
std::string DesktopFolderPath();

}  // namespace veskora
