#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mover/back_off.h"
#include "mover/judge.h"
#include "mover/move_journal.h"
#include "mover/move_log.h"
#include "ports/file_system.h"
#include "rules/rule_list.h"

namespace veskora {

// What a cycle needs from its surroundings: where the desktop is (resolved
// afresh every cycle; empty when it cannot be found), the file system, where
// moves are logged, a flag that asks the cycle to end early because the
// program is ending (it then stops before the next file), when given the
// journal that keeps every move exactly enough to undo it (each move is
// journaled as soon as it is done), the files the user put back (asked
// after the listing, under the journal's lock, so that an undo is either
// all before it or all after), and when given the back-off of files whose
// moves were refused.
struct ScanEnvironment {
  std::function<std::string()> desktopFolder;
  FileSystem* files = nullptr;
  MoveLog* log = nullptr;
  const std::atomic<bool>* stop = nullptr;
  MoveJournal* journal = nullptr;
  std::function<const PutBackFiles*()> putBack = nullptr;
  // Where each move is told as the journal keeps it (for its notice).
  std::vector<JournalRecord>* moved = nullptr;
  BackOff* backOff = nullptr;
};

// Resolves the desktop folder and lists it, changing nothing; std::nullopt
// when the folder cannot be found or listed.
std::optional<DesktopListing> ScanDesktop(const ScanEnvironment& env);

struct MovedFile {
  std::string name;
  std::string destination;
  int row = 0;
};

struct WaitingFile {
  std::string name;
  int row = 0;
  Outcome outcome = Outcome::kInUse;  // why it stays, perhaps from its last try: Waits(outcome) holds
};

// What one cycle did: the files it moved and those a row wants that stay for
// now, in listing order.
struct CycleReport {
  std::string folder;
  std::vector<MovedFile> moved;
  std::vector<WaitingFile> waiting;
};

// One whole cycle: the file system's cycle step, the listing, the judge, then
// every file the judge says moves is moved, logged and journaled. `matcher`
// is built from `rules` as they stand.
CycleReport RunScanCycle(const RuleList& rules, const RuleMatcher& matcher, const ScanEnvironment& env);

}  // namespace veskora
