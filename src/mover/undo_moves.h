#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "mover/move_journal.h"
#include "mover/move_log.h"
#include "ports/file_system.h"
#include "rules/rule_list.h"

namespace veskora {

enum class UndoOutcome {
  kPutBack,     // back on the desktop (in a dry run: would be)
  kGone,        // nothing of that name in the destination any more
  kChanged,     // what lies there now is not the file that was moved, as it was
  kTakenAgain,  // the rules would move it again at the next cycle
  kNameTaken,   // the desktop has a file of that name: nothing is replaced
  kInUse,       // another program writes it
  kNoDesktop,   // the folder it came from is missing or no folder
  kOtherDesktop,  // it came from a folder that is not the desktop folder now
  kBadRecord,   // the record names no plain file in an absolute folder: nothing is touched
  kFailed,      // any other failure; the file stays where it is
};

struct UndoResult {
  JournalRecord move;
  UndoOutcome outcome = UndoOutcome::kFailed;
  int row = 0;  // for kTakenAgain: the row that would take it
};

// Which moves to undo, of those not undone yet: the newest `last`, or every
// one at or after `since` (a journal time), or all.
struct UndoSelection {
  std::size_t last = 1;
  std::string since;
  bool all = false;
};

// The selected moves, newest first, from the moves not undone (newest first).
std::vector<JournalRecord> SelectMoves(std::vector<JournalRecord> notUndone, const UndoSelection& selection);

struct UndoContext {
  const RuleList& rules;
  std::string desktop;   // the desktop folder now: only files taken from it are put back
  bool automove = true;  // the program moves files by itself: refuse what it would take again
  bool dryRun = false;   // judge only; change, log and journal nothing
  FileSystem& files;
  MoveLog* log = nullptr;
  MoveJournal* journal = nullptr;
  const std::atomic<bool>* stop = nullptr;  // once set, nothing more is put back
};

// Whether undo follows this record at all (see UndoMoves) with `desktop` the
// desktop folder now.
bool RecordFollowed(const JournalRecord& move, const std::string& desktop);

// Puts the files of the given moves back where they came from, in the order
// given, with the same safe move as the cycle, never replacing anything. The
// journal is read as any input: a record is followed only when it names a
// plain file name, a destination that is an absolute path without "." or
// ".." and the desktop folder of now. A file is put back only when the
// destination still holds the very file that was moved (device, inode, size
// and time as they were when it arrived).
// Each file put back gets its log line and is journaled at once, so that no
// move is ever undone twice. Asked to stop, it ends after the file in hand.
std::vector<UndoResult> UndoMoves(const std::vector<JournalRecord>& moves, const UndoContext& context);

}  // namespace veskora
