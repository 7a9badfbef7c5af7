#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

namespace veskora {

// What moves remember from one cycle to the next, so that a file is judged on
// what it did between cycles: a file whose writers no probe can tell is moved
// only once it has stayed the same (size, modification and change time) from
// one look to a later one. A refused move is tried again only after a while
// (the cycle's back-off), so a look is kept until it is older than the longest
// wait.
class MoveMemory {
 public:
  // Called at the start of every cycle.
  void NextCycle();
  // For how many cycles before this one the file has looked exactly so (0:
  // it did not at its last look); it is remembered for later cycles.
  std::uint64_t Rested(const struct stat& st);
  bool Unchanged(const struct stat& st) { return Rested(st) > 0; }
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
  static Key KeyOf(const struct stat& st) { return {st.st_dev, st.st_ino}; }
  static Look LookOf(const struct stat& st);

  std::uint64_t cycle_ = 0;
  struct Seen {
    Look look;
    std::uint64_t since;  // the first cycle it looked so
    std::uint64_t last;   // the last cycle it was looked at
  };
  std::map<Key, Seen> seen_;
  std::map<dev_t, bool> leasesSeeAll_;
  std::set<std::string> visited_;
};

}  // namespace veskora
