#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "mover/row_match.h"
#include "mover/scan_cycle.h"

namespace veskora {

// What a cycle would do with a file that a row matches.
enum class PlannedOutcome {
  kMoves,      // into the row's destination
  kProtected,  // the row protects it
  kInUse,      // still arriving, or another program writes it
  kNameTaken,  // the destination already has a file of that name
  kNoFolder,   // the row names no folder, or the folder is missing or none
  kGone,       // the file went away since it was listed
};

struct PlannedFile {
  std::size_t index = 0;  // in the listing
  RowMatch match;
  PlannedOutcome outcome = PlannedOutcome::kMoves;
};

struct CyclePlan {
  DesktopListing listing;
  std::vector<PlannedFile> files;  // in listing order, only files a row matches
};

// What the cycle would do with the listed file at `index`, which `match`
// decides, as the cycle would judge it now; nothing is changed.
PlannedOutcome PlanFile(const DesktopListing& listing, std::size_t index, const RowMatch& match, FileSystem& files);

// One cycle judged and not carried out: the same listing, matcher and
// arriving test as RunScanCycle, and the file system's Check in place of its
// Move. std::nullopt when the desktop cannot be found or listed.
std::optional<CyclePlan> PlanScanCycle(const RuleList& rules, const ScanEnvironment& env);

}  // namespace veskora
