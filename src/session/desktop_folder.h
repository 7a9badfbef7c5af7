#pragma once

#include <string>

namespace veskora {

// The user's desktop folder as the desktop names it (XDG_DESKTOP_DIR in
// user-dirs.dirs, else ~/Desktop), looked up afresh on every call. Empty when
// it cannot be determined, and when it is the home folder itself or "/" (as
// after the desktop folder was deleted): no folder to tidy. QtCore only, so
// any program of ours may share it.
std::string DesktopFolderPath();

}  // namespace veskora
