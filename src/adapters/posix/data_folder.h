#pragma once

#include <string>

namespace veskora {

// The folder that holds the running program (from /proc/self/exe).
std::string ProgramFolder();

// Where the rule file and the move log live: the program's folder when a
// rule file or log already lies there (a portable copy, a build folder) and
// this user may write there, else $XDG_DATA_HOME/veskora (by default
// ~/.local/share/veskora), created when missing.
std::string ResolveDataFolder(const std::string& programFolder);

// The move journal, in the folder where the program keeps what it remembers
// of its own doings: $XDG_STATE_HOME/veskora, by default
// ~/.local/state/veskora. Only the path; the first append makes the folder.
std::string JournalPath();

// mkdir -p, new folders private to the user. Failures are left to the first
// write into the folder to meet.
void MakeFolders(const std::string& path);

}  // namespace veskora
