#include "mover/judge.h"

#include <algorithm>

#include "mover/arriving.h"
#include "mover/move_step.h"
#include "rules/move_rule.h"

namespace veskora {

PutBackFile PutBackOf(const FileFacts& facts) {
  return {facts.device, facts.inode, facts.size, facts.mtime, facts.ctime};
}

Outcome FromMove(MoveOutcome outcome) {
  switch (outcome) {
    case MoveOutcome::kMoved:
      return Outcome::kMoves;
    case MoveOutcome::kTargetExists:
      return Outcome::kNameTaken;
    case MoveOutcome::kInUse:
    case MoveOutcome::kSourceChanged:
      return Outcome::kInUse;
    case MoveOutcome::kSourceMissing:
      return Outcome::kGone;
    case MoveOutcome::kFailed:
      break;
  }
  return Outcome::kNoDestination;
}

bool Waits(Outcome outcome) {
  return outcome == Outcome::kNoFolder || outcome == Outcome::kInUse || outcome == Outcome::kNameTaken ||
         outcome == Outcome::kNoDestination || outcome == Outcome::kMoveFailed;
}

namespace {

// What would happen to the listed file at `index`, which the row decides.
Outcome Decide(const DesktopListing& listing, std::size_t index, const Candidate& file, const MoveRule& rule,
               const JudgeInput& input) {
  const std::string& destination = rule.destination;
  if (destination.find(kProtectWord) != std::string::npos) return Outcome::kProtected;
  if (!IsMoveDestination(destination)) return Outcome::kNoFolder;
  if (input.putBack && !input.putBack->empty() && file.Facts() && input.putBack->count(PutBackOf(*file.Facts()))) {
    return Outcome::kPutBack;
  }
  if (StillArriving(listing.entries, index)) return Outcome::kInUse;
  if (!input.askPlatform) return Outcome::kMoves;
  return FromMove(input.files.Check(listing.folder, listing.entries[index].name, destination));
}

std::optional<JudgedFile> JudgeEntry(const DesktopListing& listing, std::size_t index, const Candidate& file,
                                     const JudgeInput& input) {
  const auto row = input.matcher.FirstMatch(file);
  if (!row) return std::nullopt;
  return JudgedFile{index, *row, Decide(listing, index, file, input.rules.Row(*row).rule, input)};
}

std::string ComparedValue(int kind, const Candidate& file) {
  switch (kind) {
    case kNameKeyword:
      return file.Name();
    case kExtension:
      return std::string(file.Extension());
    case kSizeSmaller:
    case kSizeLarger:
      return file.Facts() ? std::to_string(file.Facts()->size) : std::string();
    case kTimeOlder:
    case kTimeNewer:
      return file.TimeText() ? *file.TimeText() : std::string();
    default:
      return {};
  }
}

}  // namespace

std::vector<JudgedFile> JudgeListing(const DesktopListing& listing, const JudgeInput& input) {
  std::vector<JudgedFile> judged;
  if (input.matcher.Empty()) return judged;
  const FolderListing& entries = listing.entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].file) continue;
    if (auto file = JudgeEntry(listing, i, Candidate(listing.folder, entries[i].name, input.files), input)) {
      judged.push_back(*file);
    }
  }
  return judged;
}

FileExplanation ExplainFile(const DesktopListing& listing, const std::string& name, const JudgeInput& input) {
  FileExplanation explanation;
  if (!name.empty() && name.front() == '.') {
    explanation.sight = Sight::kHidden;
    return explanation;
  }
  const FolderListing& entries = listing.entries;
  const auto entry =
      std::find_if(entries.begin(), entries.end(), [&name](const FolderEntry& e) { return e.name == name; });
  if (entry == entries.end()) return explanation;
  if (!entry->file) {
    explanation.sight = Sight::kNotAFile;
    return explanation;
  }
  explanation.sight = Sight::kLookedAt;
  const Candidate file(listing.folder, name, input.files);
  explanation.facts = file.Facts();
  explanation.decision = JudgeEntry(listing, static_cast<std::size_t>(entry - entries.begin()), file, input);
  int position = 0;
  for (const RuleRow& row : input.rules.Rows()) {
    ++position;
    const bool matches = row.checked && MeetsCondition(row.rule.kind, row.rule.value, file);
    explanation.rows.push_back({position, row.checked, matches, ComparedValue(row.rule.kind, file)});
  }
  return explanation;
}

}  // namespace veskora
