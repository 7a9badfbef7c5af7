#include "bench_desktop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "mover/conditions.h"
#include "mover/rule_matcher.h"
#include "adapters/posix/posix_file_system.h"
#include "rules/rule_list_ops.h"

namespace veskora::bench {

namespace {

std::string MakeTempFolder(const std::string& base) {
  std::string pattern = base + "/veskora-bench-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder under " + base);
  return pattern;
}

// What lies on a desktop: photos, screenshots, documents, Japanese names.
std::string DesktopName(std::size_t i) {
  char name[160];
  const unsigned n = static_cast<unsigned>(i);
  switch (i % 10) {
    case 0:
      std::snprintf(name, sizeof name, "IMG_%05u.jpg", n);
      break;
    case 1:
      std::snprintf(name, sizeof name, "Screenshot 2024-05-%02u at %02u.%02u.%05u.png", n % 28 + 1, n % 24, n % 60, n);
      break;
    case 2:
      std::snprintf(name, sizeof name, "スクリーンショット 2024-05-01 %06u.png", n);
      break;
    case 3:
      std::snprintf(name, sizeof name, "report-%u (final).docx", n);
      break;
    case 4:
      std::snprintf(name, sizeof name, "invoice_%05u.pdf", n);
      break;
    case 5:
      std::snprintf(name, sizeof name, "写真 %u.heic", n);
      break;
    case 6:
      std::snprintf(name, sizeof name, "notes %u.txt", n);
      break;
    case 7:
      std::snprintf(name, sizeof name, "data-%u.xlsx", n);
      break;
    case 8:
      std::snprintf(name, sizeof name, "movie_%u.mp4", n);
      break;
    default:
      std::snprintf(name, sizeof name, "ドキュメント%u.md", n);
      break;
  }
  return name;
}

void CreateSparseFile(const std::string& path, long size, const timespec& mtime) {
  const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + path);
  const timespec times[2] = {mtime, mtime};
  const bool ok = ftruncate(fd, size) == 0 && futimens(fd, times) == 0;
  close(fd);
  if (!ok) throw std::runtime_error("cannot set up " + path);
}

// Files come to a desktop over a year: each its own time, spread over the
// days and hours of kBenchFileYear (from 2 January to 28 December, whatever
// the zone), so that a time rule meets many different days.
timespec BenchFileTime(std::size_t i) {
  std::tm tm{};
  tm.tm_year = kBenchFileYear - 1900;
  tm.tm_mon = 0;
  tm.tm_mday = 2;
  tm.tm_isdst = -1;
  const std::time_t start = std::mktime(&tm);
  return {start + static_cast<std::time_t>(i * 7919 % 360) * 86400 + static_cast<std::time_t>(i * 104729 % 86400), 0};
}

constexpr std::array<const char*, 24> kWords = {"budget", "contract",  "resume",   "receipt", "tax",    "draft",
                                                "backup", "wallpaper", "meeting",  "scanned", "年賀状", "請求書",
                                                "見積書", "議事録",    "履歴書",   "旅行",    "family", "Thesis",
                                                "slides", "minutes",   "passport", "ticket",  "manual", "PHOTO"};

constexpr std::array<const char*, 32> kExtensions = {"psd",  "ai",      "dmg", "iso",  "exe", "mp3",  "wav",  "flac",
                                                     "epub", "key",     "odt", "rtf",  "csv", "json", "xml",  "log",
                                                     "bak",  "torrent", "7z",  "rar",  "deb", "svg",  "tiff", "cr2",
                                                     "mov",  "mkv",     "ogg", "html", "py",  "JPG",  "PNG",  "PDF"};

// Sizes no 2048-byte file is below (kind 3) or above (kind 4).
constexpr std::array<const char*, 3> kSmallerThan = {"10", "100", "1K"};
constexpr std::array<const char*, 6> kLargerThan = {"10K", "100K", "1M", "10M", "100M", "1G"};

std::string TimeValue(int year, std::size_t j) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02zu%02zu%02zu%02zu00", year, j % 12 + 1, j % 28 + 1, j % 24, j % 60);
  return text;
}

}  // namespace

BenchDesktop::BenchDesktop(const std::string& base, std::size_t count, Naming naming)
    : root_(MakeTempFolder(base)), desktop_(root_ + "/Desktop") {
  if (mkdir(desktop_.c_str(), 0755) != 0) throw std::runtime_error("cannot create " + desktop_);
  names_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    char moveName[32];
    std::snprintf(moveName, sizeof moveName, "move-%05zu.dat", i);
    names_.push_back(naming == Naming::kDesktopMixture ? DesktopName(i) : moveName);
    CreateSparseFile(desktop_ + "/" + names_.back(), naming == Naming::kDesktopMixture ? kBenchFileSize : 0,
                     BenchFileTime(i));
  }
}

BenchDesktop::~BenchDesktop() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

RuleList RulesMatchingNothing(std::size_t count, RuleMix mix) {
  RuleList rules;
  for (std::size_t j = 0; j < count; ++j) {
    int kind = static_cast<int>(j % 6) + 1;
    if (mix == RuleMix::kNamesOnly) kind = static_cast<int>(j % 2) + 1;
    if (mix == RuleMix::kRealistic) kind = j % 10 < 7 ? 2 : j % 10 < 9 ? 1 : static_cast<int>((j / 10) % 4) + 3;
    const std::size_t round = j / 6;
    std::string value;
    switch (kind) {
      case 1:
        value = std::string(kWords[j % kWords.size()]) + "_" + std::to_string(1990 + j / kWords.size());
        break;
      case 2:
        value = kExtensions[j % kExtensions.size()];
        break;
      case 3:
        value = kSmallerThan[round % kSmallerThan.size()];
        break;
      case 4:
        value = kLargerThan[round % kLargerThan.size()];
        break;
      case 5:
        value = TimeValue(kBenchFileYear - 1 - static_cast<int>(round % 20), j);
        break;
      default:
        value = TimeValue(kBenchFileYear + 1 + static_cast<int>(round % 20), j);
        break;
    }
    const std::string destination = "/home/user/整理/" + std::to_string(j);
    if (!AddRuleItem(rules, true, kind, value, destination)) throw std::logic_error("duplicate bench rule");
  }
  return rules;
}

bool NothingMatches(const BenchDesktop& desktop, const RuleList& rules) {
  PosixFileSystem files;
  const auto listing = files.List(desktop.Desktop());
  if (!listing || listing->size() != desktop.Names().size()) return false;
  const RuleMatcher matcher(rules);
  for (const FolderEntry& entry : *listing) {
    if (matcher.FirstMatch(Candidate(desktop.Desktop(), entry.name, files))) return false;
  }
  return true;
}

std::string FileSystemName(const std::string& folder) {
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return "?";
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x01021994UL:
      return "tmpfs";
    case 0xEF53UL:
      return "ext4";
    case 0x58465342UL:
      return "xfs";
    case 0x9123683EUL:
      return "btrfs";
    case 0x794C7630UL:
      return "overlayfs";
    default: {
      char hex[32];
      std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(info.f_type));
      return hex;
    }
  }
}

}  // namespace veskora::bench
