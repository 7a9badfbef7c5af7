#pragma once

#include <sys/stat.h>

#include <atomic>
#include <string>

#include "ports/file_system.h"
#include "adapters/posix/move_memory.h"

namespace veskora {

// Where a move starts: the folder (open, and by path), and the name in it.
struct MoveSource {
  int dirFd;
  const std::string& folder;
  const std::string& name;
};

// What a move consults besides the files: what earlier cycles saw, and the
// flag that asks a long copy to give up because the program is ending.
struct MoveContext {
  MoveMemory& memory;
  const std::atomic<bool>* stop = nullptr;
  struct stat arrived {};  // after a move: the file as it lies in the destination
};

FileIdentity IdentityOf(const struct stat& st);

// Moves one file into the destination folder under the same name without ever
// replacing anything there, also not in a race, and without losing a byte of
// what anybody writes or saves meanwhile. Within one file system a rename;
// across file systems the file is first taken out of everyone's way under a
// private name, copied while nobody may open it, and removed only once the
// copy is whole, synced and named; on any failure it gets its name back. A
// symbolic link is moved as itself, a relative one rewritten so it still
// leads to the same file. A file that somebody writes is not moved, nor one
// whose writers cannot be told until it has stayed the same for two cycles.
// `destFd` is the destination folder, open, and `destination` its path.
MoveOutcome SafeMove(const MoveSource& from, int destFd, const std::string& destination, MoveContext& context);

// What SafeMove would answer now, taking its steps up to the first that
// changes anything; a file whose writers cannot be told counts as in use.
// `destFd` is the destination folder, open, or -1 when it is none.
MoveOutcome CheckSafeMove(const MoveSource& from, int destFd, MoveMemory& memory);

}  // namespace veskora
