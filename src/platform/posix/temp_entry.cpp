#include "platform/posix/temp_entry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/posix/rename_no_replace.h"

namespace veskora {

namespace {

constexpr char kTempLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kTempAttempts = 100;

// A temporary file that nothing has changed for this long belongs to no copy
// still running: a copy writes to its file all the time and names it the
// moment it is done. Such a file was left by a run that was killed.
constexpr time_t kStaleTemporarySeconds = 15 * 60;

bool IsTemporaryName(const char* name) {
  if (std::strncmp(name, ".veskora-", 9) != 0 || std::strlen(name) != 15) return false;
  return std::all_of(name + 9, name + 15, [](char c) { return std::strchr(kTempLetters, c) != nullptr; });
}

}  // namespace

std::string TempName() {
  static std::atomic<std::uint64_t> counter{0};
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t bits = (static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(getpid()) << 32)) +
                       counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL;
  std::string name = ".veskora-";
  for (int i = 0; i < 6; ++i, bits /= 62) name += kTempLetters[bits % 62];
  return name;
}

// Removing one that some copy still wanted would lose nothing either: that
// copy fails and its source stays.
void SweepStaleTemporaries(int dirFd) {
  const int fd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  while (const dirent* entry = readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat st {};
    if (fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != geteuid()) continue;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
    if (now.tv_sec - st.st_ctim.tv_sec >= kStaleTemporarySeconds) unlinkat(dirFd, entry->d_name, 0);
  }
  closedir(dir);
}

std::string MakeTempLink(int dirFd, const char* text) {
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string name = TempName();
    if (symlinkat(text, dirFd, name.c_str()) == 0) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

TempFile::TempFile(int dirFd) : dirFd_(dirFd) {
#ifdef O_TMPFILE
  fd_ = UniqueFd(openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != ENOENT && errno != EINVAL)) return;
#endif
  SweepStaleTemporaries(dirFd);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string name = TempName();
    fd_ = UniqueFd(openat(dirFd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
    if (fd_) {
      name_ = std::move(name);
      return;
    }
    if (errno != EEXIST) return;
  }
}

TempFile::~TempFile() {
  if (!name_.empty()) unlinkat(dirFd_, name_.c_str(), 0);
}

int TempFile::Publish(const std::string& name) {
  if (name_.empty()) return LinkUnnamed(name);
  const int err = RenameNoReplace(dirFd_, name_.c_str(), dirFd_, name.c_str());
  if (err == 0) name_.clear();
  return err;
}

int TempFile::LinkUnnamed(const std::string& name) const {
  const std::string proc = "/proc/self/fd/" + std::to_string(fd_.Get());
  if (linkat(AT_FDCWD, proc.c_str(), dirFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  int err = errno;
  if (err == ENOENT) {  // perhaps no /proc; this way needs CAP_DAC_READ_SEARCH on older kernels
    if (linkat(fd_.Get(), "", dirFd_, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    if (errno != EPERM) err = errno;
  }
  return err;
}

}  // namespace veskora
