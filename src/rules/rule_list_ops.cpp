#include "rules/rule_list_ops.h"

#include "rules/move_rule.h"
#include "rules/rule_description.h"

namespace veskora {

RuleRow MakeRuleRow(bool enabled, int kind, std::string_view value, std::string_view destination) {
  return {{kind, std::string(value), std::string(destination)}, enabled};
}

bool AddRuleItem(RuleList& list, bool enabled, int kind, std::string_view value, std::string_view destination) {
  return list.Append(MakeRuleRow(enabled, kind, value, destination)) != 0;
}

void SwapRuleItems(RuleList& list, int a, int b) { list.Swap(a, b); }

bool FindDuplicateRule(const RuleList& list, std::string_view text, int except) {
  for (int position = 1; position <= list.Count(); ++position) {
    if (position != except && DescribeRule(list.Row(position).rule) == text) return true;
  }
  return false;
}

void MoveSelectedRuleUp(RuleList& list) {
  const int p = list.Selected();
  if (p <= 1) return;
  SwapRuleItems(list, p, p - 1);
  list.Select(p - 1);
}

void MoveSelectedRuleDown(RuleList& list) {
  const int p = list.Selected();
  if (p == 0 || p >= list.Count()) return;
  SwapRuleItems(list, p, p + 1);
  list.Select(p + 1);
}

void DeleteSelectedRule(RuleList& list) {
  const int p = list.Selected();
  if (p == 0) return;
  list.Remove(p);
  list.Select(0);
}

std::optional<std::string> SelectedRuleFolder(const RuleList& list) {
  const int p = list.Selected();
  if (p == 0) return std::nullopt;
  const std::string& destination = list.Row(p).rule.destination;
  if (IsNoDestination(destination) || destination.empty()) return std::nullopt;
  return destination;
}

}  // namespace veskora
