#include "adapters/posix/rename_no_replace.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)  // from <linux/fs.h>; older C libraries lack it
#endif

namespace veskora {

int RenameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
  const int result = renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE);
#else
  const int result = static_cast<int>(syscall(SYS_renameat2, fromDir, from, toDir, to, RENAME_NOREPLACE));
#endif
  return result == 0 ? 0 : errno;
}

bool NoReplaceRefused(int err) { return err == EINVAL || err == ENOSYS || err == ENOTSUP; }

int PublishPrivate(int fromDir, const char* from, int toDir, const char* to) {
  const int err = RenameNoReplace(fromDir, from, toDir, to);
  if (!NoReplaceRefused(err)) return err;
  // A hard link never replaces either.
  if (linkat(fromDir, from, toDir, to, 0) != 0) return errno;
  if (unlinkat(fromDir, from, 0) == 0) return 0;
  const int unlinkErr = errno;
  // Take the new name back, unless something else has taken it meanwhile.
  struct stat ours {};
  struct stat now {};
  if (fstatat(fromDir, from, &ours, AT_SYMLINK_NOFOLLOW) == 0 && fstatat(toDir, to, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
      ours.st_dev == now.st_dev && ours.st_ino == now.st_ino) {
    unlinkat(toDir, to, 0);
  }
  return unlinkErr;
}

}  // namespace veskora
