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

int RuleList::Append() {
  const int position = Count() + 1;
  if (observer_) observer_->RowsAboutToBeInserted(position, position);
  rows_.emplace_back();
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

bool RuleList::SetText(int position, std::string text) {
  if (!IsValid(position)) return false;
  At(position).text = std::move(text);
  Changed(position);
  return true;
}

bool RuleList::SetSubItem(int position, std::string subItem) {
  if (!IsValid(position)) return false;
  At(position).subItem = std::move(subItem);
  Changed(position);
  return true;
}

bool RuleList::SetKey(int position, std::string key) {
  if (!IsValid(position)) return false;
  RuleRow& row = At(position);
  if (row.key == key) return true;
  if (!key.empty() && keys_.count(key) != 0) return false;
  if (!row.key.empty()) keys_.erase(row.key);
  if (!key.empty()) keys_.insert(key);
  row.key = std::move(key);
  Changed(position);
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
