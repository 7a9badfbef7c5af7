#include "mover/scan_cycle.h"

#include "mover/arriving.h"
#include "mover/conditions.h"
#include "mover/move_step.h"
#include "mover/rule_matcher.h"
#include "rules/rule_key.h"

namespace veskora {

std::optional<DesktopListing> ScanDesktop(const ScanEnvironment& env) {
  std::string folder = env.desktopFolder ? env.desktopFolder() : std::string();
  if (folder.empty() || !env.files) return std::nullopt;
  auto entries = env.files->List(folder);
  if (!entries) return std::nullopt;
  return DesktopListing{std::move(folder), *std::move(entries)};
}

void RunScanCycle(const RuleList& rules, const ScanEnvironment& env) {
  // No desktop, or one that cannot be listed, makes an empty cycle.
  const auto listing = ScanDesktop(env);
  if (!listing || !env.log) return;
  // Compiled afresh every cycle: every edit of the list counts from the next
  // cycle on, and nothing is kept between cycles.
  const RuleMatcher matcher(rules);
  if (matcher.Empty()) return;
  const FolderListing& entries = listing->entries;
  const auto handle = [&](std::size_t i, const std::optional<RowMatch>& match) {
    // A download still arriving is passed over like a file in use: no move,
    // no line, and the next cycle looks again. Asked only of files a rule
    // wants, so a desktop where nothing matches pays nothing for it.
    if (!match || StillArriving(entries, i)) return;
    const std::string& name = entries[i].name;
    if (env.putBack && !env.putBack->empty()) {
      const auto now = env.files->Identity(listing->folder, name);
      for (const FileIdentity& file : *env.putBack) {
        if (now && Untouched(*now, file)) return;
      }
    }
    // The file as it arrived: what an undo must find there to put it back.
    FileIdentity arrived;
    if (!MoveFileByRule(listing->folder, name, match->destination, *env.files, *env.log, &arrived)) return;
    const std::string key = MakeRuleKey(rules.Row(match->position).rule);
    std::string time;
    if (env.journal)
      time = env.journal->AddMove(listing->folder, name, match->destination, arrived, match->position, key);
    if (env.moved) {
      env.moved->push_back(
          {false, std::move(time), listing->folder, name, match->destination, arrived, match->position, key, {}});
    }
  };
  const auto stopped = [&env] { return env.stop && env.stop->load(); };
  // Files are judged two at a time (the matcher searches two names side by
  // side), and handled one after the other in listing order.
  std::optional<std::size_t> waiting;
  for (std::size_t i = 0; i < entries.size() && !stopped(); ++i) {
    if (!entries[i].file) continue;
    if (!waiting) {
      waiting = i;
      continue;
    }
    const Candidate first(listing->folder, entries[*waiting].name, *env.files);
    const Candidate second(listing->folder, entries[i].name, *env.files);
    const auto [firstMatch, secondMatch] = matcher.FirstMatches(first, second);
    handle(*waiting, firstMatch);
    waiting.reset();
    if (stopped()) break;
    handle(i, secondMatch);
  }
  if (waiting && !stopped()) {
    handle(*waiting, matcher.FirstMatch(Candidate(listing->folder, entries[*waiting].name, *env.files)));
  }
  // One write for the whole cycle, also when it was cut short.
  if (env.journal) env.journal->Flush();
}

}  // namespace veskora
