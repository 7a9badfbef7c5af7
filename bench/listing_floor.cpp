#include "listing_floor.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace veskora::bench {

std::size_t ListingFloor(const std::string& folder, bool statEach) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return 0;
  const int dirFd = dirfd(dir);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st {};
      regular = fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) names.emplace_back(entry->d_name);
  }
  std::sort(names.begin(), names.end());
  std::size_t sum = names.size();
  if (statEach) {
    for (const std::string& name : names) {
      struct statx st {};
      if (statx(dirFd, name.c_str(), 0, STATX_SIZE | STATX_MTIME, &st) == 0) sum += st.stx_size;
    }
  }
  closedir(dir);
  return sum;
}

}  // namespace veskora::bench
