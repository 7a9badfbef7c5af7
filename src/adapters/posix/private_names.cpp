#include "adapters/posix/private_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>

#include "adapters/posix/rename_no_replace.h"

namespace veskora {

namespace {

constexpr std::string_view kTempPrefix = ".veskora-tmp-";
constexpr std::string_view kClaimPrefix = ".veskora-claim-";
constexpr std::string_view kLetters = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t kTempRandom = 12;
constexpr std::size_t kClaimRandom = 8;

std::string RandomPart(std::size_t length) {
  static std::atomic<std::uint64_t> counter{0};
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t bits = (static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 30)) +
                       (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ULL;
  std::string part;
  for (std::size_t i = 0; i < length; ++i) {
    part += kLetters[bits % kLetters.size()];
    bits = bits / kLetters.size() + (i + 1) * 0xBF58476D1CE4E5B9ULL;
  }
  return part;
}

std::string Stamp(std::string_view prefix, std::size_t random) {
  std::string name(prefix);
  name.append(std::to_string(getpid())).append("-").append(RandomPart(random));
  return name;
}

// Takes "DIGITS-" off the front; the number, or nothing.
std::optional<pid_t> TakePid(std::string_view& rest) {
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 10) return std::nullopt;
  long long pid = 0;
  for (const char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9') return std::nullopt;
    pid = pid * 10 + (c - '0');
  }
  rest.remove_prefix(dash + 1);
  return pid > 0 && pid <= INT_MAX ? std::optional<pid_t>(static_cast<pid_t>(pid)) : std::nullopt;
}

bool TakeRandom(std::string_view& rest, std::size_t length) {
  if (rest.size() < length || !std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(length),
                                           [](char c) { return kLetters.find(c) != std::string_view::npos; })) {
    return false;
  }
  rest.remove_prefix(length);
  return true;
}

}  // namespace

std::string TempName() { return Stamp(kTempPrefix, kTempRandom); }

std::string ClaimFolderName() { return Stamp(kClaimPrefix, kClaimRandom); }

std::optional<PrivateName> ParsePrivateName(std::string_view name) {
  PrivateName parsed;
  parsed.claim = name.substr(0, kClaimPrefix.size()) == kClaimPrefix;
  if (!parsed.claim && name.substr(0, kTempPrefix.size()) != kTempPrefix) return std::nullopt;
  name.remove_prefix(parsed.claim ? kClaimPrefix.size() : kTempPrefix.size());
  const auto pid = TakePid(name);
  if (!pid || !TakeRandom(name, parsed.claim ? kClaimRandom : kTempRandom)) return std::nullopt;
  parsed.pid = *pid;
  return name.empty() ? std::optional(parsed) : std::nullopt;
}

bool LeftOver(const PrivateName& name) { return name.pid == getpid() || (kill(name.pid, 0) != 0 && errno == ESRCH); }

std::string FreeNameBeside(int dirFd, const std::string& name) {
  const std::size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : std::string();
  for (int n = 2; n < 100; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
    struct stat st {};
    if (candidate.size() <= NAME_MAX && fstatat(dirFd, candidate.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == ENOENT) {
      return candidate;
    }
  }
  return {};
}

int GiveBack(int fromFd, int toFd, const std::string& name) {
  const int err = PublishPrivate(fromFd, name.c_str(), toFd, name.c_str());
  if (err != EEXIST) return err;
  // Only a second name of the very file that has its name: nothing to give.
  struct stat ours {};
  struct stat there {};
  if (fstatat(fromFd, name.c_str(), &ours, AT_SYMLINK_NOFOLLOW) == 0 &&
      fstatat(toFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && ours.st_dev == there.st_dev &&
      ours.st_ino == there.st_ino) {
    return unlinkat(fromFd, name.c_str(), 0) == 0 ? 0 : errno;
  }
  const std::string beside = FreeNameBeside(toFd, name);
  return beside.empty() ? EEXIST : PublishPrivate(fromFd, name.c_str(), toFd, beside.c_str());
}

void RecoverLeftovers(int dirFd, std::string_view name) {
  const auto parsed = ParsePrivateName(name);
  if (!parsed || !LeftOver(*parsed)) return;
  const std::string entry(name);
  struct stat st {};
  if (fstatat(dirFd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != geteuid()) return;
  if (!parsed->claim) {
    if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) unlinkat(dirFd, entry.c_str(), 0);
    return;
  }
  if (!S_ISDIR(st.st_mode)) return;
  const int fd = openat(dirFd, entry.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  DIR* claimed = fdopendir(fd);
  if (!claimed) {
    close(fd);
    return;
  }
  while (const dirent* file = readdir(claimed)) {
    const std::string fileName = file->d_name;
    if (fileName != "." && fileName != "..") GiveBack(fd, dirFd, fileName);
  }
  closedir(claimed);
  unlinkat(dirFd, entry.c_str(), AT_REMOVEDIR);  // fails, keeping it, while something is left inside
}

}  // namespace veskora
