#pragma once

#include <memory>
#include <string>

#include "temp_dir.h"

namespace veskora::testing {

// A tmpfs mounted on a fresh folder for as long as the object lives (root
// only; Mounted() tells, Error() says why not).
class TmpfsMount {
 public:
  TmpfsMount(const std::string& folder, const std::string& options, unsigned long flags = 0);
  ~TmpfsMount();
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  // Mounts it again with other options or flags (MS_RDONLY, a new size).
  bool Remount(const std::string& options, unsigned long flags = 0) const;

 private:
  std::string path_;
  bool mounted_ = false;
  std::string error_;
};

// A fresh folder on another file system than the temporary folders: a tmpfs
// of its own where one can be mounted, else a folder under /dev/shm. Tests
// that need two file systems skip with Why() when it is not Usable().
class OtherFileSystem {
 public:
  explicit OtherFileSystem(const std::string& options = "size=512m");
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
