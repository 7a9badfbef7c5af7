#include "mover/folder_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/posix/file_listing.h"

namespace veskora {

FolderFacts::FolderFacts(const std::string& folder)
    : folderFd_(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

FolderFacts::~FolderFacts() {
  if (folderFd_ >= 0) close(folderFd_);
}

std::optional<FileStat> FolderFacts::StatOf(const Candidate& file) const {
  constexpr unsigned kWanted = STATX_SIZE | STATX_MTIME;
  const std::string_view name = file.Name();
  if (folderFd_ >= 0 && !name.empty() && name.size() <= NAME_MAX && name.find('/') == std::string_view::npos) {
    char terminated[NAME_MAX + 1];
    name.copy(terminated, name.size());
    terminated[name.size()] = '\0';
    struct statx st {};
    // A link is followed, as the listing follows it.
    if (statx(folderFd_, terminated, 0, kWanted, &st) == 0) {
      if ((st.stx_mask & kWanted) == kWanted) {
        return FileStat{st.stx_size, static_cast<std::int64_t>(st.stx_mtime.tv_sec)};
      }
    } else if (errno != ENOSYS) {
      return std::nullopt;
    }
  }
  return StatFile(file.Path());
}

}  // namespace veskora
