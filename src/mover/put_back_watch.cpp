#include "mover/put_back_watch.h"

#include "mover/move_journal.h"
#include "mover/paths.h"

namespace veskora {

const PutBackFiles& PutBackWatch::Files(FileSystem& files) {
  const auto now = files.Identity(std::string(ParentOf(path_)), std::string(NameOf(path_)));
  if (now && seen_ && Untouched(*now, *seen_)) return putBack_;
  seen_ = now;
  putBack_.clear();
  if (!now) return putBack_;
  for (const FileIdentity& f : PutBackIdentities(ReadJournal(data_, path_).records)) {
    putBack_.insert({f.device, f.inode, f.size, f.mtime, f.ctime});
  }
  return putBack_;
}

}  // namespace veskora
