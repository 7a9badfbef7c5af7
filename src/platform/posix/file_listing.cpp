#include "platform/posix/file_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace veskora {

// A 32-bit off_t would make stat fail (EOVERFLOW) on files of 2 GiB and more.
static_assert(sizeof(off_t) >= 8, "file sizes must be 64-bit");

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Whether a directory entry is listed: a regular file, or a link that leads
// to one. Only links and entries whose type the file system did not report
// cost a stat.
bool IsListedFile(int dir_fd, const dirent& entry) {
  switch (entry.d_type) {
    case DT_REG:
      return true;
    case DT_LNK:
    case DT_UNKNOWN: {
      struct stat st {};
      return fstatat(dir_fd, entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    default:
      return false;
  }
}

}  // namespace

std::optional<std::vector<std::string>> ListFolderFiles(const std::string& folder) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return std::nullopt;
  const int dir_fd = dirfd(dir.get());
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (!entry) {
      if (errno != 0) return std::nullopt;
      break;
    }
    if (entry->d_name[0] == '.') continue;
    if (IsListedFile(dir_fd, *entry)) names.emplace_back(entry->d_name);
  }
  // std::string compares as unsigned bytes, so this is byte order, UTF-8 included.
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<FileStat> StatFile(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileStat{static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec)};
}

}  // namespace veskora
