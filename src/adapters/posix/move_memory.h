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
  // For how many cycles before this one the file has looked exactly so (0:
  // it did not in the previous one); it is remembered for the next one.
  std::uint64_t Rested(const struct stat& st);
  bool Unchanged(const struct stat& st) { return Rested(st) > 0; }
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
  struct Seen {
    Look look;
    std::uint64_t since;  // the first cycle it looked so
  };
  std::map<Key, Seen> previous_, current_;
  std::map<Key, Failure> failures_;
  std::map<dev_t, bool> leasesSeeAll_;
  std::set<std::string> visited_;
};

}  // namespace veskora
