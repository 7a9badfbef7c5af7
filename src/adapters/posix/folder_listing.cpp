#include "adapters/posix/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace veskora {

// A 32-bit off_t would make stat fail (EOVERFLOW) on files of 2 GiB and more.
static_assert(sizeof(off_t) >= 8, "file sizes must be 64-bit");

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Only links and entries whose type the file system did not report cost a
// stat.
bool IsListedFile(int dirFd, const dirent& entry) {
  switch (entry.d_type) {
    case DT_REG:
      return true;
    case DT_LNK:
    case DT_UNKNOWN: {
      struct stat st {};
      return fstatat(dirFd, entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    default:
      return false;
  }
}

}  // namespace

std::optional<FolderListing> ListFolder(int dirFd, std::vector<std::string>* ours) {
  // A descriptor of our own: closedir closes it, the caller's stays open.
  const int own = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (own < 0) return std::nullopt;
  std::unique_ptr<DIR, DirCloser> dir(fdopendir(own));
  if (!dir) {
    close(own);
    return std::nullopt;
  }
  FolderListing entries;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (!entry) {
      if (errno != 0) return std::nullopt;
      break;
    }
    if (entry->d_name[0] == '.') {
      if (ours && std::strncmp(entry->d_name, ".veskora-", 9) == 0) ours->emplace_back(entry->d_name);
      continue;
    }
    entries.push_back({entry->d_name, IsListedFile(dirFd, *entry)});
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

std::optional<FileFacts> FactsAt(int dirFd, const std::string& name) {
  struct stat st {};
  if (fstatat(dirFd, name.c_str(), &st, 0) != 0) return std::nullopt;
  return FileFacts{static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
                   static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::int64_t>(st.st_ctim.tv_sec)};
}

}  // namespace veskora
