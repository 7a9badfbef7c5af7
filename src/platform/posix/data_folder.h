#pragma once

#include <string>

namespace veskora {

// The folder that holds the running program (from /proc/self/exe).
std::string ProgramFolder();

// Where the rule file and the move log live: the program's folder when this
// user may write there, else $XDG_DATA_HOME/veskora (by default
// ~/.local/share/veskora), created when missing.
std::string ResolveDataFolder(const std::string& programFolder);

}  // namespace veskora
