#pragma once

#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "temp_dir.h"

namespace veskora::testing {

// A tmpfs mounted on a fresh folder for as long as the object lives (root only; Mounted() tells, Error() why not).
class TmpfsMount {
 public:
  TmpfsMount(const std::string& folder, const std::string& options, unsigned long flags = 0) : path_(folder) {
    std::filesystem::create_directories(path_);
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", flags, options.c_str()) == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~TmpfsMount() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  // Mounts it again with other options or flags (MS_RDONLY, a new size).
  bool Remount(const std::string& options, unsigned long flags = 0) const {
    return mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | flags, options.c_str()) == 0;
  }

 private:
  std::string path_;
  bool mounted_ = false;
  std::string error_;
};

// A fresh folder on another file system than the temporary folders: a tmpfs of its own where one can be mounted,
// else a folder under /dev/shm. Tests that need two file systems skip with Why() when it is not Usable().
class OtherFileSystem {
 public:
  explicit OtherFileSystem(const std::string& options = "size=512m")
      : mount_(std::make_unique<TmpfsMount>(base_ / "other", options)) {
    if (!mount_->Mounted()) shm_ = std::make_unique<TempDir>("/dev/shm");
    path_ = shm_ ? shm_->Path() : mount_->Path();
    const TempDir here;
    struct stat a {};
    struct stat b {};
    if (stat(here.Path().c_str(), &a) != 0 || stat(path_.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
      why_ = "no second file system: cannot mount a tmpfs (" + mount_->Error() + ") and " + path_ +
             " lies on the same one as " + here.Path();
    }
  }
  const std::string& Path() const { return path_; }
  bool Usable() const { return why_.empty(); }
  const std::string& Why() const { return why_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  TempDir base_;
  std::unique_ptr<TmpfsMount> mount_;
  std::unique_ptr<TempDir> shm_;
  std::string path_;
  std::string why_;
};

}  // namespace veskora::testing
