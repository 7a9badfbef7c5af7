#include "mover/undo_moves.h"

#include <algorithm>

#include "mover/judge.h"
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

UndoResult UndoOne(const JournalRecord& move, const RuleMatcher& matcher, const UndoContext& context) {
  if (!PlainRecord(move)) return {move, UndoOutcome::kBadRecord};
  if (move.desktop != context.desktop) return {move, UndoOutcome::kOtherDesktop};
  FileSystem& files = context.files;
  const auto now = files.Identity(move.destination, move.name);
  if (!now) return {move, UndoOutcome::kGone};
  if (*now != move.arrived) return {move, UndoOutcome::kChanged};
  if (context.automove) {
    // Judged as if it were back on the desktop, where it would be alone.
    const DesktopListing there{move.destination, {{move.name, true}}};
    const auto judged = JudgeListing(there, {context.rules, matcher, files, nullptr, false});
    if (!judged.empty() && judged[0].outcome == Outcome::kMoves) {
      return {move, UndoOutcome::kTakenAgain, judged[0].row};
    }
  }
  // Check answers kFailed exactly when the folder to move into is none; the
  // move's kFailed may have other causes, so it is asked only then.
  const auto checked = [&] {
    const MoveOutcome outcome = files.Check(move.destination, move.name, move.desktop);
    return outcome == MoveOutcome::kFailed ? UndoOutcome::kNoDesktop : UndoFromMove(outcome);
  };
  if (context.dryRun) return {move, checked()};
  const MoveOutcome moved = files.Move(move.destination, move.name, move.desktop, nullptr);
  if (moved == MoveOutcome::kFailed) {
    return {move, checked() == UndoOutcome::kNoDesktop ? UndoOutcome::kNoDesktop : UndoOutcome::kFailed};
  }
  if (moved != MoveOutcome::kMoved) return {move, UndoFromMove(moved)};
  if (context.log) context.log->WriteMoveLog(MoveLogMessage(move.name, move.desktop));
  if (context.journal) context.journal->AddUndo(move);
  return {move, UndoOutcome::kPutBack};
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
  const RuleMatcher matcher(context.rules);
  if (context.journal && !context.dryRun) context.journal->BeginCycle();
  std::vector<UndoResult> results;
  results.reserve(moves.size());
  for (const JournalRecord& move : moves) {
    if (context.stop && context.stop->load()) break;
    results.push_back(UndoOne(move, matcher, context));
  }
  return results;
}

}  // namespace veskora
