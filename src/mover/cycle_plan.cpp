#include "mover/cycle_plan.h"

#include "mover/arriving.h"
#include "mover/conditions.h"
#include "mover/move_step.h"
#include "mover/rule_matcher.h"
#include "rules/move_rule.h"

namespace veskora {

PlannedOutcome PlanFile(const DesktopListing& listing, std::size_t index, const RowMatch& match, FileSystem& files) {
  const std::string& destination = match.destination;
  if (destination.find(kProtectWord) != std::string::npos) return PlannedOutcome::kProtected;
  if (!IsMoveDestination(destination)) return PlannedOutcome::kNoFolder;
  if (StillArriving(listing.entries, index)) return PlannedOutcome::kInUse;
  switch (files.Check(listing.folder, listing.entries[index].name, destination)) {
    case MoveOutcome::kMoved:
      return PlannedOutcome::kMoves;
    case MoveOutcome::kTargetExists:
      return PlannedOutcome::kNameTaken;
    case MoveOutcome::kInUse:
    case MoveOutcome::kSourceChanged:
      return PlannedOutcome::kInUse;
    case MoveOutcome::kSourceMissing:
      return PlannedOutcome::kGone;
    case MoveOutcome::kFailed:
      break;
  }
  return PlannedOutcome::kNoFolder;
}

std::optional<CyclePlan> PlanScanCycle(const RuleList& rules, const ScanEnvironment& env) {
  auto listing = ScanDesktop(env);
  if (!listing) return std::nullopt;
  CyclePlan plan{*std::move(listing), {}};
  const RuleMatcher matcher(rules);
  if (matcher.Empty()) return plan;
  const FolderListing& entries = plan.listing.entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].file) continue;
    auto match = matcher.FirstMatch(Candidate(plan.listing.folder, entries[i].name, *env.files));
    if (!match) continue;
    const PlannedOutcome outcome = PlanFile(plan.listing, i, *match, *env.files);
    plan.files.push_back({i, *std::move(match), outcome});
  }
  return plan;
}

}  // namespace veskora
