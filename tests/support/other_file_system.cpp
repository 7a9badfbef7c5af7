#include "other_file_system.h"

#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace veskora::testing {

TmpfsMount::TmpfsMount(const std::string& folder, const std::string& options, unsigned long flags) : path_(folder) {
  std::filesystem::create_directories(path_);
  mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", flags, options.c_str()) == 0;
  if (!mounted_) error_ = std::strerror(errno);
}

TmpfsMount::~TmpfsMount() {
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
}

bool TmpfsMount::Remount(const std::string& options, unsigned long flags) const {
  return mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | flags, options.c_str()) == 0;
}

OtherFileSystem::OtherFileSystem(const std::string& options) {
  mount_ = std::make_unique<TmpfsMount>(base_ / "other", options);
  if (mount_->Mounted()) {
    path_ = mount_->Path();
  } else {
    shm_ = std::make_unique<TempDir>("/dev/shm");
    path_ = shm_->Path();
  }
  TempDir here;
  struct stat a {};
  struct stat b {};
  if (stat(here.Path().c_str(), &a) != 0 || stat(path_.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
    why_ = "no second file system: cannot mount a tmpfs (" + mount_->Error() + ") and " + path_ +
           " lies on the same one as " + here.Path();
  }
}

}  // namespace veskora::testing
