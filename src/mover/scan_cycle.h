#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "mover/move_journal.h"
#include "mover/move_log.h"
#include "ports/file_system.h"
#include "rules/rule_list.h"

namespace veskora {

// What a cycle needs from its surroundings: where the desktop is (resolved
// afresh every cycle; empty when it cannot be found), the file system, where
// moves are logged, a flag that asks the cycle to end early because the
// program is ending (it then stops before the next file), and, when given,
// the journal that keeps every move exactly enough to undo it, and where the
// cycle's moves are told as the journal keeps them (for its notice), and
// the files put back by an undo, which stay while they are Untouched.
struct ScanEnvironment {
  std::function<std::string()> desktopFolder;
  FileSystem* files = nullptr;
  MoveLog* log = nullptr;
  const std::atomic<bool>* stop = nullptr;
  MoveJournal* journal = nullptr;
  std::vector<JournalRecord>* moved = nullptr;
  const std::vector<FileIdentity>* putBack = nullptr;
};

struct DesktopListing {
  std::string folder;
  FolderListing entries;
};

// Resolves the desktop folder and lists it; std::nullopt when the folder
// cannot be found or listed (the cycle then does nothing).
std::optional<DesktopListing> ScanDesktop(const ScanEnvironment& env);

// One whole cycle: every listed file goes to the first enabled rule whose
// condition it meets, and no further. Reads the rows as they stand now.
void RunScanCycle(const RuleList& rules, const ScanEnvironment& env);

}  // namespace veskora
