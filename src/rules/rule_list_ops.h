#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/rule_list.h"

namespace veskora {

// The row for a rule and its check box.
RuleRow MakeRuleRow(bool enabled, int kind, std::string_view value, std::string_view destination);

// Appends a row built from the rule's fields; fails, adding nothing, when a row
// with the same key is already in the list. The new row is not selected.
bool AddRuleItem(RuleList& list, bool enabled, int kind, std::string_view value, std::string_view destination);

// Exchanges the contents of two rows; positions and selection stay.
void SwapRuleItems(RuleList& list, int a, int b);

// True when some row but `except` (0: none) has exactly this description
// (case counts): the rule being changed is no duplicate of itself.
bool FindDuplicateRule(const RuleList& list, std::string_view text, int except = 0);

// The list commands on the selected row; each does nothing without one.
void MoveSelectedRuleUp(RuleList& list);
void MoveSelectedRuleDown(RuleList& list);
void DeleteSelectedRule(RuleList& list);

// The folder that "open destination" should show for the selected row, or
// nothing when no row is selected or the rule names no folder.
std::optional<std::string> SelectedRuleFolder(const RuleList& list);

}  // namespace veskora
