#include "adapters/posix/writer_probe.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/vfs.h>

#include <cerrno>

namespace veskora {

namespace {

// The kernel tells the holder of a lease that is being broken with SIGIO,
// which ends a process that does not handle it. Handled once per process, by
// nothing: the lease's state is asked for when it matters. A handler, unlike
// ignoring it, is not passed on to the programs this one starts.
void RouteLeaseSignal() {
  static const bool routed = [] {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGIO, &action, nullptr) == 0;
  }();
  (void)routed;
}

bool SetLease(int fd, int type) {
  RouteLeaseSignal();
  return fcntl(fd, F_SETLEASE, type) == 0;
}

}  // namespace

// Somebody who opens the file for writing in the instant the lease is held
// waits until it is let go, then writes into the file wherever a rename has
// taken it: nothing is lost, so that instant needs no answer of its own.
Writers ProbeWriters(int fd) {
  if (SetLease(fd, F_RDLCK)) {
    fcntl(fd, F_SETLEASE, F_UNLCK);
    return Writers::kNone;
  }
  return errno == EAGAIN ? Writers::kWriting : Writers::kUnknown;
}

bool LeasesSeeEveryOpener(int fd) {
  struct statfs fs {};
  if (fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x65735546UL:  // FUSE
    case 0x6969UL:      // NFS
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x00C36400UL:  // Ceph
    case 0x01021997UL:  // 9P
    case 0x5346414FUL:  // AFS
    case 0x6B414653UL:  // kAFS
      return false;
    default:
      return true;
  }
}

WriteLease::WriteLease(int fd) : fd_(fd), held_(SetLease(fd, F_WRLCK)), busy_(!held_ && errno == EAGAIN) {}

WriteLease::~WriteLease() {
  if (held_) fcntl(fd_, F_SETLEASE, F_UNLCK);
}

bool WriteLease::Intact() const { return held_ && fcntl(fd_, F_GETLEASE) == F_WRLCK; }

}  // namespace veskora
