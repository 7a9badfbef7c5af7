#include "adapters/posix/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

// A listed entry while the listing is sorted: eight bytes of its name (from
// some depth on) as one number that orders as the bytes do, and where the
// entry stands.
struct SortKey {
  std::uint64_t word;
  std::uint32_t index;
};

// Eight bytes of the name from `depth`, big-endian, bytes past its end zero.
// A name holds no NUL byte, so a name that ends sorts before every longer one
// that it begins.
std::uint64_t WordAt(const std::string& name, std::size_t depth) {
  std::uint64_t word = 0;
  if (name.size() >= depth + 8) {
    std::memcpy(&word, name.data() + depth, 8);
  } else if (name.size() > depth) {
    std::memcpy(&word, name.data() + depth, name.size() - depth);
  }
  return __builtin_bswap64(word);
}

// Sorts keys whose words hold their names' bytes from `depth` on: by the
// word, then each run that shares it by the next word. Desktop names share
// long beginnings ("Screenshot 2024-05-"), which a comparison of whole names
// would go over again at every step.
void SortFrom(const FolderListing& entries, SortKey* begin, SortKey* end, std::size_t depth) {
  std::sort(begin, end, [](const SortKey& a, const SortKey& b) { return a.word < b.word; });
  for (SortKey* run = begin; run != end;) {
    SortKey* next = run + 1;
    while (next != end && next->word == run->word) ++next;
    // Names that ended inside this word are equal, which a folder never holds.
    if (next - run > 1 && (run->word & 0xFF) != 0) {
      for (SortKey* key = run; key != next; ++key) key->word = WordAt(entries[key->index].name, depth + 8);
      SortFrom(entries, run, next, depth + 8);
    }
    run = next;
  }
}

// Sorts the entries by the bytes of their names (what std::string's < says).
void SortByName(FolderListing& entries) {
  // The first words are read in listing order, which is the order the names
  // were made in memory.
  std::vector<SortKey> keys(entries.size());
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = {WordAt(entries[i].name, 0), static_cast<std::uint32_t>(i)};
  SortFrom(entries, keys.data(), keys.data() + keys.size(), 0);
  // Put each entry in its place, one cycle of the permutation at a time; a
  // key whose entry is in place points at itself.
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::size_t at = i;
    while (keys[at].index != i) {
      const std::size_t from = keys[at].index;
      std::swap(entries[at], entries[from]);
      keys[at].index = static_cast<std::uint32_t>(at);
      at = from;
    }
    keys[at].index = static_cast<std::uint32_t>(at);
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
  if (entries.size() > UINT32_MAX) return std::nullopt;
  SortByName(entries);
  return entries;
}

std::optional<FileFacts> FactsAt(int dirFd, const std::string& name) {
  struct stat st {};
  if (fstatat(dirFd, name.c_str(), &st, 0) != 0) return std::nullopt;
  return FileFacts{static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec)};
}

}  // namespace veskora
