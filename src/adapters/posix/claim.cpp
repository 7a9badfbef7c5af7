#include "adapters/posix/claim.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/diagnostics.h"
#include "adapters/posix/private_names.h"
#include "adapters/posix/rename_no_replace.h"

namespace veskora {

Claim::Claim(int dirFd, const std::string& name) : dirFd_(dirFd), name_(name), folderName_(ClaimFolderName()) {
  if (mkdirat(dirFd_, folderName_.c_str(), 0700) != 0) {
    error_ = errno;
    return;
  }
  folder_ = UniqueFd(openat(dirFd_, folderName_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  error_ = folder_ ? RenameNoReplace(dirFd_, name_.c_str(), folder_.Get(), name_.c_str()) : errno;
  // Where the file system refuses the flag, a plain rename: the folder is
  // ours alone and empty, so there is nothing it could replace. But only where
  // hard links work, for without either no name could ever be given back
  // without the risk of replacing a file that took it meanwhile.
  if (NoReplaceRefused(error_)) {
    error_ = linkat(dirFd_, name_.c_str(), folder_.Get(), name_.c_str(), 0) == 0 ? 0 : errno;
    if (error_ == 0 && unlinkat(folder_.Get(), name_.c_str(), 0) != 0) error_ = errno;
    if (error_ == 0) error_ = renameat(dirFd_, name_.c_str(), folder_.Get(), name_.c_str()) == 0 ? 0 : errno;
  }
  held_ = error_ == 0;
  if (!held_) {
    unlinkat(folder_.Get(), name_.c_str(), 0);  // a link made to find out, if any
    unlinkat(dirFd_, folderName_.c_str(), AT_REMOVEDIR);
  }
}

Claim::~Claim() {
  if (held_ && GiveBack(folder_.Get(), dirFd_, name_) != 0) {
    // Left for the next listing of the folder to give back; nobody else can
    // be told from down here.
    Diagnose("could not give a file back its name; it waits in " + folderName_);
    return;
  }
  if (folder_) unlinkat(dirFd_, folderName_.c_str(), AT_REMOVEDIR);
}

bool Claim::Stat(struct stat& st) const {
  return held_ && fstatat(folder_.Get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool Claim::Remove(const struct stat& ours) {
  struct stat now {};
  if (!Stat(now) || now.st_dev != ours.st_dev || now.st_ino != ours.st_ino) return false;
  if (unlinkat(folder_.Get(), name_.c_str(), 0) != 0) return false;
  held_ = false;
  return true;
}

}  // namespace veskora
