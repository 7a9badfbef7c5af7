#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>

#include "mover/judge.h"
#include "ports/file_system.h"

namespace veskora {

// Files a move left waiting for what no event of the desktop shows: a name
// taken, a destination missing, not a folder or full, a copy that failed, a
// writer. Each is tried again after 2, 4, 8 … 128 ticks rather than at every
// one, unless it changed in between (renamed, written, replaced), so that a
// thousand such files cost nothing while the desktop rests. Ticks, not
// cycles, are counted: a tick whose cycle was skipped still brings the retry
// nearer.
class BackOff {
 public:
  void Tick() { ++tick_; }
  // Everything waiting is tried at the next cycle.
  void Reset();
  // Whether some file's retry has come.
  bool Due() const { return earliest_ <= tick_; }

  // A cycle on this folder meets each file it would move at most once,
  // between these two; what it did not meet is forgotten.
  void BeginCycle(const std::string& folder);
  void EndCycle();
  // Whether the last cycle left the file waiting; after a cycle, whether it did.
  bool Knew(const std::string& name) const { return last_.count(name) != 0; }
  bool Holds(const std::string& name) const { return next_.count(name) != 0; }
  // The outcome to keep for a file that, looking as it does now, is not to be
  // tried at this tick; std::nullopt when it is to be tried.
  std::optional<Outcome> Resting(const std::string& name, const std::optional<FileFacts>& now);
  // The move of a file that looks so was refused for this reason.
  void Refused(const std::string& name, const FileFacts& now, Outcome outcome);

 private:
  struct Wait {
    FileFacts look;
    Outcome outcome;
    std::uint64_t retryAt;
    std::uint64_t wait;
  };
  // The same file, not written since: the change time is left out, since
  // giving a file back after a failed copy renames it.
  static bool Same(const FileFacts& a, const FileFacts& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.mtime == b.mtime;
  }

  std::uint64_t tick_ = 0;
  std::uint64_t earliest_ = std::numeric_limits<std::uint64_t>::max();
  std::string folder_;
  std::map<std::string, Wait> last_, next_;  // by name: of the last cycle, of this one
};

}  // namespace veskora
