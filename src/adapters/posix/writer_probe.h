#pragma once

#include <sys/types.h>

namespace veskora {

// Whether some other process writes a file, as far as this system can tell.
enum class Writers {
  kNone,     // nobody else holds it open for writing
  kWriting,  // somebody does, or opens it for writing right now
  kUnknown,  // leases are refused here (not our file, a file system without them)
};

// Asks with a read lease, which is refused while another process holds the
// file open for writing. The lease is released at once.
Writers ProbeWriters(int fd);

// Whether leases on this file system see every opener. Network and FUSE file
// systems give leases that only see openers on this machine through this
// mount, so they answer nothing about writers elsewhere.
bool LeasesSeeEveryOpener(int fd);

// A write lease held for as long as the object lives: granted only while no
// other process has the file open, and broken the moment one opens it (the
// opener waits until the lease is let go, so it is let go at once then).
class WriteLease {
 public:
  explicit WriteLease(int fd);
  ~WriteLease();
  WriteLease(const WriteLease&) = delete;
  WriteLease& operator=(const WriteLease&) = delete;

  // Whether it was granted at all.
  bool Held() const { return held_; }
  // True while the lease is held and nobody has asked to open the file.
  bool Intact() const;
  // Not granted because somebody else has the file open (rather than because
  // leases are refused here: not our file, a file system without them).
  bool Busy() const { return busy_; }

 private:
  int fd_;
  bool held_ = false;
  bool busy_ = false;
};

}  // namespace veskora
