#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

namespace veskora {

// What moves remember from one cycle to the next, so that a file is judged on
// what it did between cycles:
// - a file whose writers no probe can tell is moved only once it has stayed
//   the same (size, modification and change time) across two cycles;
// - a copy that failed is not tried again at once, but after 2, 4, 8, ... up
//   to 128 cycles, unless the file changes; so a copy that cannot succeed
//   costs little.
// Only what was seen in the last cycle is kept.
class MoveMemory {
 public:
  // Called at the start of every cycle.
  void NextCycle();
  // True when the file looked exactly so in the previous cycle too; it is
  // remembered for the next one either way.
  bool Unchanged(const struct stat& st);
  // Whether a copy of this file into the folder should be left alone for now.
  bool Resting(const struct stat& st, const std::string& destination);
  void CopyFailed(const struct stat& st, const std::string& destination);
  // Whether leases on the file system of this open file see every opener;
  // asked of each file system once a cycle.
  bool LeasesSeeEveryOpener(int fd, dev_t device);
  // True the first time a folder is asked about in this run: a folder that
  // files move into is looked through once for what killed runs left there.
  bool FirstVisit(const std::string& folder) { return visited_.insert(folder).second; }

 private:
  using Key = std::tuple<dev_t, ino_t>;
  struct Look {
    off_t size;
    std::int64_t mtime, mtimeNs, ctime, ctimeNs;
    bool operator==(const Look&) const = default;
  };
  // A failed copy is tried again early only when the content may have
  // changed: the rename that gave the file back changed its change time.
  struct Content {
    off_t size;
    std::int64_t mtime, mtimeNs;
    bool operator==(const Content&) const = default;
  };
  struct Failure {
    Content content;
    std::string destination;
    std::uint64_t retryAt;
    std::uint64_t wait;
  };
  static Key KeyOf(const struct stat& st) { return {st.st_dev, st.st_ino}; }
  static Look LookOf(const struct stat& st);
  static Content ContentOf(const struct stat& st) { return {st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec}; }

  std::uint64_t cycle_ = 0;
  std::map<Key, Look> previous_, current_;
  std::map<Key, Failure> failures_;
  std::map<dev_t, bool> leasesSeeAll_;
  std::set<std::string> visited_;
};

}  // namespace veskora
