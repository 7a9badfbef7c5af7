#include "mover/scan_cycle.h"

#include "mover/move_step.h"
#include "rules/rule_key.h"

namespace veskora {

std::optional<DesktopListing> ScanDesktop(const ScanEnvironment& env) {
  std::string folder = env.desktopFolder ? env.desktopFolder() : std::string();
  if (folder.empty() || !env.files) return std::nullopt;
  auto entries = env.files->List(folder);
  if (!entries) return std::nullopt;
  return DesktopListing{std::move(folder), *std::move(entries)};
}

CycleReport RunScanCycle(const RuleList& rules, const RuleMatcher& matcher, const ScanEnvironment& env) {
  CycleReport report;
  if (env.journal) env.journal->BeginCycle();
  // No desktop, or one that cannot be listed, makes an empty cycle.
  const std::string folder = env.desktopFolder ? env.desktopFolder() : std::string();
  if (folder.empty() || !env.files || !env.log) return report;
  env.files->BeginCycle(folder);
  if (matcher.Empty()) return report;
  auto entries = env.files->List(folder);
  if (!entries) return report;
  const DesktopListing listing{folder, *std::move(entries)};
  report.folder = folder;
  const JudgeInput input{rules, matcher, *env.files, env.putBack, false};
  for (const JudgedFile& judged : JudgeListing(listing, input)) {
    if (env.stop && env.stop->load()) break;
    const std::string& name = listing.entries[judged.index].name;
    const std::string& destination = rules.Row(judged.row).rule.destination;
    Outcome outcome = judged.outcome;
    // The file as it arrived: what an undo must find there to put it back.
    FileIdentity arrived;
    if (outcome == Outcome::kMoves) outcome = FromMove(env.files->Move(folder, name, destination, &arrived));
    if (outcome == Outcome::kMoves) {
      env.log->WriteMoveLog(MoveLogMessage(name, destination));
      if (env.journal) {
        env.journal->AddMove(folder, name, destination, arrived, judged.row, MakeRuleKey(rules.Row(judged.row).rule));
      }
      report.moved.push_back({name, destination, judged.row});
    } else if (Waits(outcome)) {
      report.waiting.push_back({name, judged.row, outcome});
    }
  }
  return report;
}

}  // namespace veskora
