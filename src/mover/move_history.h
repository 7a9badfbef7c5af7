#pragma once

#include "mover/move_journal.h"
#include "ports/file_system.h"

namespace veskora {

// What became of a journaled move, as things stand now.
enum class MoveState {
  kMoved,     // the file lies in the destination as it arrived
  kPutBack,   // a later record undid the move
  kChanged,   // the destination holds the name, but not the file as it arrived
  kNotFound,  // nothing of that name in the destination
};

// The state of `move` now; `undone` as UndoneMoves tells it. One answer for
// the window's history and the command line's.
MoveState StateNow(const JournalRecord& move, bool undone, FileSystem& files);

}  // namespace veskora
