#include "rules/rule_list_ops.h"

#include "rules/move_rule.h"
#include "rules/rule_description.h"
#include "rules/rule_key.h"

namespace veskora {

bool AddRuleItem(RuleList& list, bool enabled, int kind, std::string_view value, std::string_view destination) {
  std::string text = DescribeRule(kind, value);
  std::string key = MakeRuleKey(kind, value, destination);
  if (list.HasKey(key)) return false;
  const int position = list.Append();
  list.SetChecked(position, enabled);
  list.SetText(position, std::move(text));
  list.SetSubItem(position, std::string(destination));
  list.SetKey(position, std::move(key));
  return true;
}

void SwapRuleItems(RuleList& list, int a, int b) {
  if (!list.IsValid(a) || !list.IsValid(b) || a == b) return;
  const RuleRow rowA = list.Row(a);
  const RuleRow rowB = list.Row(b);
  // Empty both keys first: keys are unique, so neither may take the other's
  // while it is still in place.
  for (int position : {a, b}) {
    list.SetText(position, {});
    list.SetSubItem(position, {});
    list.SetKey(position, {});
  }
  list.SetText(a, rowB.text);
  list.SetSubItem(a, rowB.subItem);
  list.SetKey(a, rowB.key);
  list.SetChecked(a, rowB.checked);
  list.SetText(b, rowA.text);
  list.SetSubItem(b, rowA.subItem);
  list.SetKey(b, rowA.key);
  list.SetChecked(b, rowA.checked);
}

bool FindDuplicateRule(const RuleList& list, std::string_view text) {
  for (const RuleRow& row : list.Rows()) {
    if (row.text == text) return true;
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
  RuleKeyParts parts = SplitRuleKey(list.Row(p).key);
  if (IsNoDestination(parts.destination) || parts.destination.empty()) return std::nullopt;
  return std::move(parts.destination);
}

}  // namespace veskora
