#include "mover/move_history.h"

namespace veskora {

MoveState StateNow(const JournalRecord& move, bool undone, FileSystem& files) {
  if (undone) return MoveState::kPutBack;
  const auto there = files.Identity(move.destination, move.name);
  if (!there) return MoveState::kNotFound;
  return *there == move.arrived ? MoveState::kMoved : MoveState::kChanged;
}

}  // namespace veskora
