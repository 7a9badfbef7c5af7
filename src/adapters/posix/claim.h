#pragma once

#include <sys/stat.h>

#include <string>

#include "adapters/posix/private_names.h"

namespace veskora {

// A file taken out of everyone's way for the time of a copy: renamed into a
// private folder of ours beside it (see private_names.h), so that nobody can open it by its name, a
// program that saves a new version under the name creates a new file, and
// the copy can only ever remove what it copied. Unless Remove() succeeds, the
// file gets its name back when the claim goes (or, should a new file have
// taken the name meanwhile, a free name beside it: both are kept).
class Claim {
 public:
  Claim(int dirFd, const std::string& name);
  ~Claim();
  Claim(const Claim&) = delete;
  Claim& operator=(const Claim&) = delete;

  // 0 when claimed, else an errno value (EPERM: the file cannot be renamed,
  // so it could not be removed after a copy either).
  int Error() const { return error_; }
  // What the claimed name refers to now (a link is not followed).
  bool Stat(struct stat& st) const;
  // Removes the claimed file, but only while it is still the file `ours`.
  // True when it is gone.
  bool Remove(const struct stat& ours);

 private:
  int dirFd_;
  std::string name_;
  PrivateFolder folder_;
  int error_ = 0;
  bool held_ = false;
};

}  // namespace veskora
