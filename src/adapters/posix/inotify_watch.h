#pragma once

#include <sys/types.h>

#include <string>

#include "adapters/posix/unique_fd.h"
#include "ports/desktop_watch.h"

namespace veskora {

// One non-recursive inotify watch on the desktop folder, on a descriptor that
// never blocks: each question is one read of whatever has queued up, and one
// look at which folder the path names now (a folder deleted while anyone
// still has it open reports nothing until the last one closes it). The watch
// ends when the folder goes (deleted, moved, unmounted); arming again starts
// a new one.
class InotifyWatch final : public DesktopWatch {
 public:
  WatchReach Arm(const std::string& folder) override;
  WatchNews Poll() override;

 private:
  void Drop();

  UniqueFd fd_;
  int wd_ = -1;
  std::string folder_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// Whether changes on the file system of this folder may be made where the
// kernel here never hears of them (network file systems, FUSE, shared folders
// of a virtual machine): inotify then misses them.
bool OnRemoteFileSystem(const std::string& folder);

}  // namespace veskora
