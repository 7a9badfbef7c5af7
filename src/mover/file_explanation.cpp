#include "mover/file_explanation.h"

#include <algorithm>

#include "mover/conditions.h"
#include "rules/rule_key.h"

namespace veskora {

namespace {

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

FileExplanation ExplainFile(const RuleList& rules, const DesktopListing& listing, const std::string& name,
                            FileSystem& files) {
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
  const Candidate file(listing.folder, name, files);
  explanation.facts = file.Facts();
  int position = 0;
  for (const RuleRow& row : rules.Rows()) {
    ++position;
    if (!row.checked) continue;
    MoveRule rule = row.rule;
    const bool matches = rule.kind > 0 && MeetsCondition(rule.kind, rule.value, file);
    if (matches && !explanation.decision) {
      const auto index = static_cast<std::size_t>(entry - entries.begin());
      const RowMatch match{position, rule.destination};
      explanation.decision = PlannedFile{index, match, PlanFile(listing, index, match, files)};
    }
    std::string compared = ComparedValue(rule.kind, file);
    explanation.rows.push_back({position, std::move(rule), matches, std::move(compared)});
  }
  return explanation;
}

}  // namespace veskora
