#include "rules/rule_list.h"

namespace veskora {

void RuleList::Clear() {
  if (rows_.empty()) return;
  if (observer_) observer_->RowsAboutToBeRemoved(1, Count());
  rows_.clear();
  keys_.clear();
  selected_ = 0;
  if (observer_) observer_->RowsRemoved();
}

int RuleList::Append(RuleRow row) {
  if (!row.key.empty() && keys_.count(row.key) != 0) return 0;
  const int position = Count() + 1;
  if (observer_) observer_->RowsAboutToBeInserted(position, position);
  if (!row.key.empty()) keys_.insert(row.key);
  rows_.push_back(std::move(row));
  if (observer_) observer_->RowsInserted();
  return position;
}

bool RuleList::Remove(int position) {
  if (!IsValid(position)) return false;
  if (observer_) observer_->RowsAboutToBeRemoved(position, position);
  if (!At(position).key.empty()) keys_.erase(At(position).key);
  rows_.erase(rows_.begin() + (position - 1));
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
  if (row.key != old.key) {
    if (!row.key.empty() && keys_.count(row.key) != 0) return false;
    if (!old.key.empty()) keys_.erase(old.key);
    if (!row.key.empty()) keys_.insert(row.key);
  }
  old = std::move(row);
  Changed(position);
  return true;
}

bool RuleList::Swap(int a, int b) {
  if (!IsValid(a) || !IsValid(b)) return false;
  if (a == b) return true;
  // The set of keys stays the same: no row ever shares another's key.
  std::swap(At(a), At(b));
  Changed(a);
  Changed(b);
  return true;
}

bool RuleList::SetChecked(int position, bool checked) {
  if (!IsValid(position)) return false;
  if (At(position).checked == checked) return true;
  At(position).checked = checked;
  Changed(position);
  return true;
}

bool RuleList::HasKey(std::string_view key) const { return keys_.count(std::string(key)) != 0; }

void RuleList::Select(int position) {
  const int next = IsValid(position) ? position : 0;
  if (next == selected_) return;
  selected_ = next;
  if (observer_) observer_->SelectionChanged(selected_);
}

void RuleList::Changed(int position) {
  if (observer_) observer_->RowChanged(position);
}

}  // namespace veskora
