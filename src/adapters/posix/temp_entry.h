#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "adapters/posix/private_names.h"
#include "adapters/posix/unique_fd.h"

namespace veskora {

// A temporary file in a folder: unnamed (O_TMPFILE) where the file system
// allows, else named in a private folder of ours (see private_names.h); it
// goes with the object unless it was published.
class TempFile {
 public:
  explicit TempFile(int dirFd);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int Get() const { return fd_.Get(); }
  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Gives the file its final name in the folder without replacing anything: 0
  // or an errno value (EEXIST when the name is taken).
  int Publish(const std::string& name);

 private:
  int LinkUnnamed(const std::string& name) const;

  int dirFd_;
  std::optional<PrivateFolder> folder_;
  UniqueFd fd_;
  bool named_ = false;  // lies in the private folder, unpublished
};

// A new symbolic link with the text, in a private folder of ours in the
// folder; it goes with the object unless it was published.
class TempLink {
 public:
  TempLink(int dirFd, const char* text);
  ~TempLink();
  TempLink(const TempLink&) = delete;
  TempLink& operator=(const TempLink&) = delete;

  // The link as made; false when none could be.
  bool Stat(struct stat& st) const;
  // As TempFile::Publish.
  int Publish(const std::string& name);

 private:
  int dirFd_;
  PrivateFolder folder_;
  bool named_ = false;
};

}  // namespace veskora
