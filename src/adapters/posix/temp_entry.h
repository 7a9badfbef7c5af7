#pragma once

#include <string>

#include "adapters/posix/unique_fd.h"

namespace veskora {

// Cleans up what killed runs left in the folder (see private_names.h).
void SweepLeftovers(int dirFd);

// A new link with the text under a temporary name in the folder: that name, or
// empty when none could be made.
std::string MakeTempLink(int dirFd, const char* text);

// A temporary file in a folder: unnamed (O_TMPFILE) where the file system
// allows, else under a temporary name that goes with the object unless it was
// published.
class TempFile {
 public:
  explicit TempFile(int dirFd);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int Get() const { return fd_.Get(); }
  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Gives the file its final name without replacing anything: 0 or an errno
  // value (EEXIST when the name is taken).
  int Publish(const std::string& name);

 private:
  int LinkUnnamed(const std::string& name) const;

  int dirFd_;
  UniqueFd fd_;
  std::string name_;  // empty when unnamed or published
};

}  // namespace veskora
