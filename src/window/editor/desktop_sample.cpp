#include "window/editor/desktop_sample.h"

#include "mover/rule_matcher.h"
#include "mover/scan_cycle.h"
#include "rules/rule_list.h"
#include "rules/rule_list_ops.h"

namespace veskora {

void DesktopSample::Take() { listing_ = ScanDesktop(ScanEnvironment{desktopFolder_, &files_}); }

std::vector<std::string> DesktopSample::Decided(const RuleList& rules, int position, const MoveRule& rule) const {
  std::vector<std::string> names;
  if (!listing_) return names;
  // The list as it would stand with the rule in place; where another row
  // already holds the same rule, that row decides and this one nothing.
  RuleList trial;
  int placed = 0;
  const auto place = [&] { placed = trial.Append(MakeRuleRow(true, rule.kind, rule.value, rule.destination)); };
  for (int row = 1; row <= rules.Count(); ++row) {
    if (row == position) {
      place();
    } else {
      trial.Append(rules.Row(row));
    }
  }
  if (position == 0 || position > rules.Count()) place();
  if (placed == 0) return names;
  const RuleMatcher matcher(trial);
  // Whether each file could move is no question here: only which row takes it.
  for (const JudgedFile& file : JudgeListing(*listing_, {trial, matcher, files_, nullptr, false})) {
    if (file.row == placed) names.push_back(listing_->entries[file.index].name);
  }
  return names;
}

}  // namespace veskora
