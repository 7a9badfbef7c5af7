#include "platform/posix/rename_no_replace.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)  // from <linux/fs.h>; older C libraries lack it
#endif

namespace veskora {

namespace {

int Renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
  return renameat2(fromDir, from, toDir, to, flags);
#else
  return static_cast<int>(syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
#endif
}

}  // namespace

int RenameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
  if (Renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return 0;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return err;
  // The file system refuses the flag: a hard link never replaces either.
  if (linkat(fromDir, from, toDir, to, 0) != 0) return errno;
  if (unlinkat(fromDir, from, 0) != 0) {
    const int unlinkErr = errno;
    unlinkat(toDir, to, 0);
    return unlinkErr;
  }
  return 0;
}

// A read lease is refused while someone holds the file open for writing.
// Where leases are unavailable (not the owner, a file system without them)
// the answer is false and the move goes ahead.
bool OpenForWritingElsewhere(int fd) {
  // The kernel tells the holder of a lease that is being broken with a signal,
  // SIGIO unless told otherwise, and SIGIO ends a process that does not handle
  // it. SIGURG is ignored unless handled, and this program never handles it.
  fcntl(fd, F_SETSIG, SIGURG);
  if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    const bool breaking = fcntl(fd, F_GETLEASE) != F_RDLCK;
    fcntl(fd, F_SETLEASE, F_UNLCK);
    return breaking;
  }
  return errno == EAGAIN;
}

}  // namespace veskora
