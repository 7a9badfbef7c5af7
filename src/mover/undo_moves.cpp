#include "mover/undo_moves.h"

#include <algorithm>

#include "mover/move_step.h"

namespace veskora {

namespace {

UndoOutcome UndoFromMove(MoveOutcome outcome) {
  switch (outcome) {
    case MoveOutcome::kMoved:
      return UndoOutcome::kPutBack;
    case MoveOutcome::kTargetExists:
      return UndoOutcome::kNameTaken;
    case MoveOutcome::kInUse:
      return UndoOutcome::kInUse;
    case MoveOutcome::kSourceMissing:
      return UndoOutcome::kGone;
    case MoveOutcome::kSourceChanged:
      return UndoOutcome::kChanged;
    case MoveOutcome::kFailed:
      break;
  }
  return UndoOutcome::kFailed;
}

// An absolute path none of whose components is "." or "..", and a name that
// is one plain component.
bool PlainAbsolutePath(const std::string& path) {
  const std::string slashed = path + '/';
  return path.starts_with('/') && path.find('\0') == std::string::npos &&
         slashed.find("/./") == std::string::npos && slashed.find("/../") == std::string::npos;
}

bool PlainName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && PlainAbsolutePath('/' + name);
}

bool PlainRecord(const JournalRecord& move) {
  return PlainName(move.name) && PlainAbsolutePath(move.destination);
}

UndoResult UndoOne(const JournalRecord& move, const UndoContext& context) {
  if (!PlainRecord(move)) return {move, UndoOutcome::kBadRecord};
  if (move.desktop != context.desktop) return {move, UndoOutcome::kOtherDesktop};
  FileSystem& files = context.files;
  const auto now = files.Identity(move.destination, move.name);
  if (!now) return {move, UndoOutcome::kGone};
  if (*now != move.arrived) return {move, UndoOutcome::kChanged};
  // Check answers kFailed exactly when the folder to move into is none; the
  // move's kFailed may have other causes, so it is asked only then.
  const auto checked = [&] {
    const MoveOutcome outcome = files.Check(move.destination, move.name, move.desktop);
    return outcome == MoveOutcome::kFailed ? UndoOutcome::kNoDesktop : UndoFromMove(outcome);
  };
  if (context.dryRun) return {move, checked()};
  // The file comes back and its record goes in under the journal's lock,
  // which a cycle holds from its listing on: no cycle sees the file back
  // without the record that tells it to leave the file alone.
  if (context.journal) context.journal->Hold(true);
  FileIdentity putBack;
  const MoveOutcome moved = files.Move(move.destination, move.name, move.desktop, &putBack);
  if (moved == MoveOutcome::kMoved) {
    if (context.log) context.log->WriteMoveLog(PutBackLogMessage(move.name, move.desktop));
    if (context.journal) context.journal->AddUndo(move, putBack);
  }
  if (context.journal) context.journal->Hold(false);
  if (moved == MoveOutcome::kFailed) {
    return {move, checked() == UndoOutcome::kNoDesktop ? UndoOutcome::kNoDesktop : UndoOutcome::kFailed};
  }
  return {move, UndoFromMove(moved)};
}

}  // namespace

bool RecordFollowed(const JournalRecord& move, const std::string& desktop) {
  return PlainRecord(move) && move.desktop == desktop;
}

std::vector<JournalRecord> SelectMoves(std::vector<JournalRecord> notUndone, const UndoSelection& selection) {
  if (selection.all) return notUndone;
  if (!selection.since.empty()) {
    std::erase_if(notUndone, [&](const JournalRecord& move) { return move.time < selection.since; });
    return notUndone;
  }
  notUndone.resize(std::min(notUndone.size(), selection.last));
  return notUndone;
}

std::vector<UndoResult> UndoMoves(const std::vector<JournalRecord>& moves, const UndoContext& context) {
  if (context.journal && !context.dryRun) context.journal->BeginCycle();
  std::vector<UndoResult> results;
  results.reserve(moves.size());
  for (const JournalRecord& move : moves) {
    if (context.stop && context.stop->load()) break;
    results.push_back(UndoOne(move, context));
  }
  return results;
}

}  // namespace veskora
