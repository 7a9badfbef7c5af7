#include "adapters/posix/private_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "adapters/posix/process_owner.h"
#include "adapters/posix/rename_no_replace.h"

namespace veskora {

namespace {

constexpr std::string_view kOurs = ".veskora-";
constexpr std::string_view kFolderPrefix = ".veskora-claim-";
constexpr const char* kOwnerRecord = ".veskora-owner";
constexpr std::string_view kLetters = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t kRandom = 8;

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

// Read back before it is believed, so an error only close reports is no reason
// to give up the move.
bool WriteOwner(int folderFd) {
  const UniqueFd fd(openat(folderFd, kOwnerRecord, O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600));
  return fd && WriteAll(fd.Get(), OwnerText(ThisProcess()));
}

// The owner a private folder records, when the record is this user's own.
std::optional<ProcessOwner> RecordedOwner(int folderFd) {
  const UniqueFd fd(openat(folderFd, kOwnerRecord, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (!fd || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) return std::nullopt;
  char text[256];
  const ssize_t n = read(fd.Get(), text, sizeof text);
  return n > 0 ? ParseOwner(std::string_view(text, static_cast<std::size_t>(n))) : std::nullopt;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// The names in a folder, but "." and "..".
std::vector<std::string> NamesIn(int dirFd) {
  std::vector<std::string> names;
  const int own = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (own < 0) return names;
  const std::unique_ptr<DIR, DirCloser> dir(fdopendir(own));
  if (!dir) {
    close(own);
    return names;
  }
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  return names;
}

}  // namespace

PrivateFolder::PrivateFolder(int dirFd) : dirFd_(dirFd) {
  name_ = std::string(kFolderPrefix) + std::to_string(getpid()) + "-" + RandomPart(kRandom);
  if (mkdirat(dirFd_, name_.c_str(), 0700) != 0) {
    error_ = errno;
    return;
  }
  fd_ = UniqueFd(openat(dirFd_, name_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (fd_ && WriteOwner(fd_.Get())) return;
  error_ = errno != 0 ? errno : EIO;
  if (fd_) unlinkat(fd_.Get(), kOwnerRecord, 0);
  fd_.Reset();
  unlinkat(dirFd_, name_.c_str(), AT_REMOVEDIR);
}

PrivateFolder::~PrivateFolder() {
  if (!fd_) return;
  unlinkat(fd_.Get(), kOwnerRecord, 0);
  // Something could not be given back: it waits, ours and recorded so.
  if (unlinkat(dirFd_, name_.c_str(), AT_REMOVEDIR) != 0 && errno == ENOTEMPTY) WriteOwner(fd_.Get());
}

bool IsPrivateFolderName(std::string_view name) {
  if (!StartsWith(name, kFolderPrefix)) return false;
  name.remove_prefix(kFolderPrefix.size());
  const std::size_t dash = name.find('-');
  const auto letter = [](char c) { return kLetters.find(c) != std::string_view::npos; };
  return dash > 0 && dash <= 10 && dash != std::string_view::npos &&
         std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(dash),
                     [](char c) { return c >= '0' && c <= '9'; }) &&
         name.size() == dash + 1 + kRandom &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dash) + 1, name.end(), letter);
}

std::string FreeNameBeside(int dirFd, const std::string& name) {
  const std::size_t dot = name.rfind('.');
  // An extension too long to keep beside a number is part of the stem.
  const bool hasExtension = dot != std::string::npos && dot > 0 && name.size() - dot < NAME_MAX / 2;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : std::string();
  for (int n = 2; n < 100; ++n) {
    const std::string tail = " (" + std::to_string(n) + ")" + extension;
    // A long stem is cut to fit, never inside a UTF-8 character.
    std::size_t keep = std::min(stem.size(), static_cast<std::size_t>(NAME_MAX) - tail.size());
    while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80) --keep;
    const std::string candidate = stem.substr(0, keep) + tail;
    struct stat st {};
    if (fstatat(dirFd, candidate.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) return candidate;
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
  if (!IsPrivateFolderName(name)) return;
  const std::string entry(name);
  struct stat st {};
  if (fstatat(dirFd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
    return;
  }
  const UniqueFd fd(openat(dirFd, entry.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd) return;
  // A move leaves nothing private behind when it returns, so what this
  // process made is found only between moves: left over too.
  const auto owner = RecordedOwner(fd.Get());
  if (!owner || !(*owner == ThisProcess() || Ended(*owner))) return;
  int kept = 0;
  for (const std::string& inside : NamesIn(fd.Get())) {
    if (inside == kOwnerRecord) continue;
    struct stat what {};
    if (!StartsWith(inside, kOurs)) {
      kept += GiveBack(fd.Get(), dirFd, inside) != 0;
    } else if (fstatat(fd.Get(), inside.c_str(), &what, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(what.st_mode) ||
               unlinkat(fd.Get(), inside.c_str(), 0) != 0) {
      ++kept;
    }
  }
  if (kept > 0) return;
  unlinkat(fd.Get(), kOwnerRecord, 0);
  unlinkat(dirFd, entry.c_str(), AT_REMOVEDIR);
}

void SweepLeftovers(int dirFd) {
  for (const std::string& name : NamesIn(dirFd)) RecoverLeftovers(dirFd, name);
}

void SweepLeftovers(const std::string& path) {
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) SweepLeftovers(fd.Get());
}

}  // namespace veskora
