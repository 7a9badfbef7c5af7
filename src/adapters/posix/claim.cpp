#include "adapters/posix/claim.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/diagnostics.h"
#include "adapters/posix/rename_no_replace.h"

namespace veskora {

Claim::Claim(int dirFd, const std::string& name) : dirFd_(dirFd), name_(name), folder_(dirFd) {
  // Names of that form are ours inside the folder (and never listed).
  if (name_.rfind(".veskora-", 0) == 0) error_ = EINVAL;
  if (error_ != 0 || (error_ = folder_.Error()) != 0) return;
  const int folder = folder_.Fd();
  error_ = RenameNoReplace(dirFd_, name_.c_str(), folder, name_.c_str());
  // Where the file system refuses the flag, a plain rename: nothing in the
  // folder but our record could be replaced. But only where hard links work,
  // for without either no name could ever be given back without the risk of
  // replacing a file that took it meanwhile.
  if (NoReplaceRefused(error_)) {
    error_ = linkat(dirFd_, name_.c_str(), folder, name_.c_str(), 0) == 0 ? 0 : errno;
    if (error_ == 0 && unlinkat(folder, name_.c_str(), 0) != 0) error_ = errno;
    if (error_ == 0) error_ = renameat(dirFd_, name_.c_str(), folder, name_.c_str()) == 0 ? 0 : errno;
  }
  held_ = error_ == 0;
  if (!held_) unlinkat(folder, name_.c_str(), 0);  // a link made to find out, if any
}

Claim::~Claim() {
  // Else left for a later recovery of the folder to give back (the private
  // folder stays while it holds it); nobody else can be told from down here.
  if (held_ && GiveBack(folder_.Fd(), dirFd_, name_) != 0) {
    Diagnose("could not give a file back its name; it waits in " + folder_.Name());
  }
}

bool Claim::Stat(struct stat& st) const {
  return held_ && fstatat(folder_.Fd(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool Claim::Remove(const struct stat& ours) {
  struct stat now {};
  if (!Stat(now) || now.st_dev != ours.st_dev || now.st_ino != ours.st_ino) return false;
  if (unlinkat(folder_.Fd(), name_.c_str(), 0) != 0) return false;
  held_ = false;
  return true;
}

}  // namespace veskora
