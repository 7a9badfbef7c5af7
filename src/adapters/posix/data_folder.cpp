#include "adapters/posix/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "mover/paths.h"

namespace veskora {

namespace {

// An XDG base folder: the variable when it holds an absolute path (the
// standard says to ignore any other), else the default under the home folder.
std::string BaseFolder(const char* variable, const char* underHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return JoinPath(home && *home ? home : "", underHome);
}

}  // namespace

void MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
    if (slash == std::string::npos) break;
  }
}

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
  return std::string(ParentOf(std::string_view(buffer.data(), static_cast<std::size_t>(length))));
}

std::string ResolveDataFolder(const std::string& programFolder) {
  // Beside the program, as it always was, for a copy that already keeps its
  // files there. An installed program's folder is no place for data, even
  // when it is writable (~/.local/bin, or /usr/bin for root).
  const auto lies = [&](const char* name) {
    struct stat st {};
    return lstat(JoinPath(programFolder, name).c_str(), &st) == 0;
  };
  if (!programFolder.empty() && (lies("ZUL.dat") || lies("veskora.log")) && access(programFolder.c_str(), W_OK) == 0) {
    return programFolder;
  }
  std::string folder = JoinPath(BaseFolder("XDG_DATA_HOME", ".local/share"), "veskora");
  MakeFolders(folder);
  return folder;
}

std::string JournalPath() { return BaseFolder("XDG_STATE_HOME", ".local/state") + "/veskora/move-journal.csv"; }

}  // namespace veskora
