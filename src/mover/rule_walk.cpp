#include "mover/rule_walk.h"

#include <utility>

#include "rules/rule_key.h"

namespace veskora {

std::optional<RowMatch> FirstMatchingRowByWalk(const RuleList& rules, const Candidate& file) {
  int position = 0;
  for (const RuleRow& row : rules.Rows()) {
    ++position;
    if (!row.checked) continue;
    MoveRule rule = row.rule;
    if (rule.kind <= 0) continue;
    if (!MeetsCondition(rule.kind, rule.value, file)) continue;
    return RowMatch{position, std::move(rule.destination)};
  }
  return std::nullopt;
}

}  // namespace veskora
