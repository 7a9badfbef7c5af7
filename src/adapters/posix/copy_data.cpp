#include "adapters/posix/copy_data.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "adapters/posix/unique_fd.h"

namespace veskora {

namespace {

constexpr off_t kPiece = off_t{1} << 20;

// One piece at the same offset of both files: in the kernel where it can, else
// through a buffer. Bytes copied (0 at the end of `from`), or -1 with errno.
ssize_t CopyPiece(int from, int to, off_t offset, std::size_t length, bool& inKernel, std::vector<char>& buffer) {
  if (inKernel) {
    loff_t in = offset;
    loff_t out = offset;
    const ssize_t n = copy_file_range(from, &in, to, &out, length, 0);
    if (n >= 0 || (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)) return n;
    inKernel = false;
  }
  buffer.resize(static_cast<std::size_t>(kPiece));
  const ssize_t n = pread(from, buffer.data(), length, offset);
  if (n <= 0) return n;
  for (ssize_t done = 0; done < n;) {
    const ssize_t written = pwrite(to, buffer.data() + done, static_cast<std::size_t>(n - done), offset + done);
    if (written < 0) return -1;
    done += written;
  }
  return n;
}

}  // namespace

int CopyData(int from, int to, off_t size, const std::function<bool()>& goOn) {
  bool inKernel = true;
  std::vector<char> buffer;
  off_t position = 0;
  while (position < size) {
    // The next stretch of data; where holes cannot be asked for, all is data.
    off_t data = lseek(from, position, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // only a hole is left
      data = position;
    }
    off_t hole = data < size ? lseek(from, data, SEEK_HOLE) : size;
    if (hole < 0 || hole > size) hole = size;
    for (position = data; position < hole;) {
      if (!goOn()) return ECANCELED;
      const auto length = static_cast<std::size_t>(std::min(hole - position, kPiece));
      const ssize_t n = CopyPiece(from, to, position, length, inKernel, buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (n == 0) return ENODATA;
      position += n;
    }
    position = std::max(position, hole);
  }
  if (!goOn()) return ECANCELED;
  return ftruncate(to, size) == 0 ? 0 : errno;
}

bool CopyMetadata(int from, const struct stat& st, int to) {
  mode_t mode = st.st_mode & 07777;
  // As root the copy belongs to whom the file belonged; anyone else owns the
  // copy, and a setuid or setgid bit must not pass to an owner it was not
  // meant for.
  if (fchown(to, st.st_uid, st.st_gid) != 0) {
    if (st.st_uid != geteuid()) mode &= ~S_ISUID;
    if (fchown(to, static_cast<uid_t>(-1), st.st_gid) != 0) mode &= ~S_ISGID;
  }
  // Extended attributes, ACLs among them, as far as the copy's file system
  // and this user's rights allow; one that cannot be kept loses no data.
  std::vector<char> names(static_cast<std::size_t>(std::max<ssize_t>(flistxattr(from, nullptr, 0), 0)));
  const ssize_t listed = names.empty() ? 0 : flistxattr(from, names.data(), names.size());
  std::vector<char> value;
  for (ssize_t i = 0; i < listed;) {
    const char* name = names.data() + i;
    i += static_cast<ssize_t>(std::char_traits<char>::length(name)) + 1;
    const ssize_t length = fgetxattr(from, name, nullptr, 0);
    if (length < 0) continue;
    value.resize(static_cast<std::size_t>(length));
    const ssize_t got = fgetxattr(from, name, value.data(), value.size());
    if (got >= 0) fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0);
  }
  const timespec times[2] = {st.st_atim, st.st_mtim};
  // Permissions last: the ACL's entry may have changed them, and the mode is
  // what the file had.
  return fchmod(to, mode) == 0 && futimens(to, times) == 0;
}

bool RoomFor(int dirFd, const struct stat& st) {
  struct statvfs fs {};
  if (fstatvfs(dirFd, &fs) != 0) return true;  // let the copy itself find out
  const unsigned long long free = static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
  const unsigned long long needed = static_cast<unsigned long long>(st.st_blocks) * 512ULL;
  return needed <= free;
}

}  // namespace veskora
