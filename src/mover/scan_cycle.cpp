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

namespace {

// The move, unless the file sits out its back-off; a refusal that may pass by
// itself starts or lengthens one.
Outcome TryMove(const ScanEnvironment& env, const std::string& folder, const std::string& name,
                const std::string& destination, FileIdentity* arrived) {
  BackOff* backOff = env.backOff;
  if (backOff && backOff->Knew(name)) {
    if (const auto resting = backOff->Resting(name, env.files->Facts(folder, name))) return *resting;
  }
  // A copy may take long: nobody waits for the journal meanwhile.
  if (env.journal && env.files->MayCopy(folder, destination)) env.journal->LetGo();
  const MoveOutcome moved = env.files->Move(folder, name, destination, arrived);
  Outcome outcome = FromMove(moved);
  // Check fails exactly when the destination is no folder: any other failure
  // (a full disk, a copy cut short) is the move's own, and said so.
  if (moved == MoveOutcome::kFailed) {
    const MoveOutcome now = env.files->Check(folder, name, destination);
    outcome = now == MoveOutcome::kMoved ? Outcome::kMoveFailed : FromMove(now);
  }
  if (backOff && Waits(outcome)) {
    if (const auto now = env.files->Facts(folder, name)) backOff->Refused(name, *now, outcome);
  }
  return outcome;
}

}  // namespace

CycleReport RunScanCycle(const RuleList& rules, const RuleMatcher& matcher, const ScanEnvironment& env) {
  CycleReport report;
  if (env.journal) env.journal->BeginCycle();
  // No desktop, or one that cannot be listed, makes an empty cycle.
  const std::string folder = env.desktopFolder ? env.desktopFolder() : std::string();
  if (folder.empty() || !env.files || !env.log) return report;
  env.files->BeginCycle(folder);
  if (matcher.Empty()) return report;
  // An undo puts a file back and journals it under the journal's lock: held
  // from the listing on, no file lies back without its record.
  if (env.journal) env.journal->Hold(true);
  auto entries = env.files->List(folder);
  if (!entries) {
    if (env.journal) env.journal->Hold(false);
    return report;
  }
  const DesktopListing listing{folder, *std::move(entries)};
  report.folder = folder;
  if (env.backOff) env.backOff->BeginCycle(folder);
  const JudgeInput input{rules, matcher, *env.files, env.putBack ? env.putBack() : nullptr, false};
  for (const JudgedFile& judged : JudgeListing(listing, input)) {
    if (env.stop && env.stop->load()) break;
    const std::string& name = listing.entries[judged.index].name;
    const std::string& destination = rules.Row(judged.row).rule.destination;
    Outcome outcome = judged.outcome;
    // The file as it arrived: what an undo must find there to put it back.
    FileIdentity arrived;
    if (outcome == Outcome::kMoves) outcome = TryMove(env, folder, name, destination, &arrived);
    if (outcome == Outcome::kMoves) {
      env.log->WriteMoveLog(MoveLogMessage(name, destination));
      const std::string key = MakeRuleKey(rules.Row(judged.row).rule);
      JournalRecord record = env.journal
                                 ? env.journal->AddMove(folder, name, destination, arrived, judged.row, key)
                                 : JournalRecord{false, {}, {}, folder, name, destination, arrived, judged.row, key, {}};
      if (env.moved) env.moved->push_back(std::move(record));
      report.moved.push_back({name, destination, judged.row});
    } else if (Waits(outcome)) {
      report.waiting.push_back({name, judged.row, outcome});
    }
  }
  if (env.journal) env.journal->Hold(false);
  if (env.backOff) env.backOff->EndCycle();
  return report;
}

}  // namespace veskora
