#include "adapters/posix/inotify_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace veskora {

namespace {

// Every way a name in the folder can come, go or change; reading a file or
// listing the folder (as the cycle does) is none of them.
constexpr std::uint32_t kMask = IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB |
                                IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kFolderEnds = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

// statfs magic numbers of file systems whose changes may come from elsewhere.
constexpr std::initializer_list<unsigned long> kRemoteTypes = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x65735546,  // FUSE (sshfs, rclone, virtiofs, ...)
    0x01021997,  // 9p
    0x00C36400,  // Ceph
    0x5346414F,  // AFS
    0x6B414653,  // kAFS
    0x73757245,  // Coda
    0x564C,      // NCP
    0x7461636F,  // OCFS2
    0x01161970,  // GFS2
    0x0BD00BD0,  // Lustre
    0x47504653,  // GPFS
    0x786F4256,  // VirtualBox shared folders
};

}  // namespace

bool OnRemoteFileSystem(const std::string& folder) {
  struct statfs fs {};
  // What cannot be told is taken for the worse.
  if (statfs(folder.c_str(), &fs) != 0) return true;
  const auto type = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFUL;
  for (const unsigned long remote : kRemoteTypes) {
    if (type == remote) return true;
  }
  return false;
}

void InotifyWatch::Drop() {
  if (wd_ >= 0) inotify_rm_watch(fd_.Get(), wd_);
  wd_ = -1;
}

WatchReach InotifyWatch::Arm(const std::string& folder) {
  Drop();
  if (!fd_) fd_ = UniqueFd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!fd_) return WatchReach::kNone;
  wd_ = inotify_add_watch(fd_.Get(), folder.c_str(), kMask);
  struct stat st {};
  if (wd_ < 0 || stat(folder.c_str(), &st) != 0) {
    Drop();
    return WatchReach::kNone;
  }
  folder_ = folder;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  return OnRemoteFileSystem(folder) ? WatchReach::kLocalOnly : WatchReach::kEverything;
}

WatchNews InotifyWatch::Poll() {
  if (wd_ < 0) return WatchNews::kCannotWatch;
  alignas(inotify_event) char buffer[16384];
  // What does not fit stays queued for the next question.
  const ssize_t got = read(fd_.Get(), buffer, sizeof buffer);
  if (got < 0 && errno != EAGAIN && errno != EINTR) return WatchNews::kCannotWatch;
  bool changed = false;
  bool overflowed = false;
  bool gone = false;
  for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
    inotify_event event;
    std::memcpy(&event, buffer + at, sizeof event);
    at += static_cast<ssize_t>(sizeof event + event.len);
    if (event.mask & IN_Q_OVERFLOW) {
      overflowed = true;
    } else if (event.wd == wd_) {
      // Events of a watch dropped by an earlier Arm are left out.
      (event.mask & kFolderEnds ? gone : changed) = true;
    }
  }
  struct stat now {};
  gone = gone || stat(folder_.c_str(), &now) != 0 || now.st_dev != device_ || now.st_ino != inode_;
  if (gone) {
    Drop();
    return WatchNews::kFolderGone;
  }
  if (overflowed) return WatchNews::kOverflowed;
  return changed ? WatchNews::kChanged : WatchNews::kNothing;
}

}  // namespace veskora
