#pragma once

#include <sys/stat.h>

namespace veskora {

// Who else holds a file open, as far as /proc shows: the descriptors of
// every process this one may look into. Another user's processes keep theirs
// to themselves, and a network or FUSE file system's other machines do not
// show at all.
enum class Holders {
  kNone,    // no other process holds it, and every one could be looked into
  kSome,    // some other process holds it open
  kUnseen,  // none that could be seen holds it, but some could not be seen
};

Holders FindHolders(const struct stat& file);

}  // namespace veskora
