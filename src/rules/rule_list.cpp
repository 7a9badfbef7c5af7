#include "rules/rule_list.h"

#include "rules/rule_key.h"

namespace veskora {

void RuleList::Clear() {
  if (rows_.empty()) return;
  if (observer_) observer_->RowsAboutToBeRemoved(1, Count());
  rows_.clear();
  keys_.clear();
  selected_ = 0;
  ++version_;
  if (observer_) observer_->RowsRemoved();
}

int RuleList::Append(RuleRow row) {
  std::string key = MakeRuleKey(row.rule);
  if (keys_.count(key) != 0) return 0;
  const int position = Count() + 1;
  if (observer_) observer_->RowsAboutToBeInserted(position, position);
  keys_.insert(std::move(key));
  rows_.push_back(std::move(row));
  ++version_;
  if (observer_) observer_->RowsInserted();
  return position;
}

bool RuleList::Remove(int position) {
  if (!IsValid(position)) return false;
  if (observer_) observer_->RowsAboutToBeRemoved(position, position);
  keys_.erase(MakeRuleKey(At(position).rule));
  rows_.erase(rows_.begin() + (position - 1));
  ++version_;
  const int before = selected_;
  if (selected_ == position) {
    selected_ = 0;
  } else if (selected_ > position) {
    --selected_;
  }
  if (observer_) {
    observer_->RowsRemoved();
    if (selected_ != before) observer_->SelectionChanged(selected_);
  }
  return true;
}

bool RuleList::Replace(int position, RuleRow row) {
  if (!IsValid(position)) return false;
  RuleRow& old = At(position);
  if (row.rule != old.rule) {
    std::string key = MakeRuleKey(row.rule);
    if (keys_.count(key) != 0) return false;
    keys_.erase(MakeRuleKey(old.rule));
    keys_.insert(std::move(key));
  }
  old = std::move(row);
  Changed(position);
  return true;
}

bool RuleList::Swap(int a, int b) {
  if (!IsValid(a) || !IsValid(b)) return false;
  if (a == b) return true;
  // The set of rules stays the same; each row keeps the bytes it was read from.
  std::swap(At(a), At(b));
  Changed(a);
  Changed(b);
  return true;
}

bool RuleList::SetChecked(int position, bool checked) {
  if (!IsValid(position)) return false;
  if (At(position).checked == checked) return true;
  At(position).checked = checked;
  At(position).readTick.clear();
  Changed(position);
  return true;
}

bool RuleList::Contains(const MoveRule& rule) const { return keys_.count(MakeRuleKey(rule)) != 0; }

void RuleList::Select(int position) {
  const int next = IsValid(position) ? position : 0;
  if (next == selected_) return;
  selected_ = next;
  if (observer_) observer_->SelectionChanged(selected_);
}

void RuleList::Changed(int position) {
  ++version_;
  if (observer_) observer_->RowChanged(position);
}

}  // namespace veskora
