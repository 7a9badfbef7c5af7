#include "mover/put_back_watch.h"

#include "mover/move_journal.h"
#include "mover/paths.h"

namespace veskora {

const std::vector<FileIdentity>& PutBackWatch::Files(FileSystem& files) {
  const auto now = files.Identity(std::string(ParentOf(path_)), std::string(NameOf(path_)));
  if (now && seen_ && Untouched(*now, *seen_)) return putBack_;
  seen_ = now;
  putBack_ = now ? PutBackFiles(ReadJournal(path_).records) : std::vector<FileIdentity>{};
  return putBack_;
}

}  // namespace veskora
