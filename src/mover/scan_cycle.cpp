#include "mover/scan_cycle.h"

#include "mover/conditions.h"
#include "mover/folder_facts.h"
#include "mover/move_step.h"
#include "mover/rule_matcher.h"
#include "platform/posix/file_listing.h"

namespace veskora {

std::optional<DesktopListing> ScanDesktop(const ScanEnvironment& env) {
  std::string folder = env.desktopFolder ? env.desktopFolder() : std::string();
  if (folder.empty()) return std::nullopt;
  auto names = ListFolderFiles(folder);
  if (!names) return std::nullopt;
  return DesktopListing{std::move(folder), *std::move(names)};
}

void RunScanCycle(const RuleList& rules, const ScanEnvironment& env) {
  // No desktop, or one that cannot be listed, makes an empty cycle.
  const auto listing = ScanDesktop(env);
  if (!listing || !env.log) return;
  // Compiled afresh every cycle: every edit of the list counts from the next
  // cycle on, and nothing is kept between cycles.
  const RuleMatcher matcher(rules);
  if (matcher.Empty()) return;
  const FolderFacts facts(listing->folder);
  for (const std::string& name : listing->names) {
    const Candidate file(listing->folder, name, facts);
    if (const auto match = matcher.FirstMatch(file)) MoveFileByRule(file.Path(), match->destination, *env.log);
  }
}

}  // namespace veskora
