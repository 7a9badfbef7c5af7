#include "mover/scan_cycle.h"

#include "mover/conditions.h"
#include "mover/move_step.h"
#include "platform/posix/file_listing.h"
#include "rules/rule_key.h"

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
  const FileSystemFacts facts;
  for (const std::string& name : listing->names) {
    const Candidate file(listing->folder, name, facts);
    for (const RuleRow& row : rules.Rows()) {
      if (!row.checked) continue;
      const RuleKeyParts parts = SplitRuleKey(row.key);
      if (parts.kind <= 0) continue;
      if (!MeetsCondition(parts.kind, parts.value, file)) continue;
      MoveFileByRule(file.Path(), parts.destination, *env.log);
      break;
    }
  }
}

}  // namespace veskora
