#include "window/rule_book.h"

#include "rules/rule_list_ops.h"

namespace veskora {

RuleBook::RuleBook(DataFiles& files, std::string path, OriginalKept originalKept)
    : file_(files, std::move(path)), originalKept_(std::move(originalKept)) {}

void RuleBook::Load() { file_.LoadRules(rules_); }

void RuleBook::Save() {
  if (file_.SaveRules(rules_) == SaveOutcome::kSavedKeepingOriginal && originalKept_) {
    originalKept_(file_.BackupPath());
  }
}

int RuleBook::Add(RuleRow row) {
  row.checked = true;
  const int position = rules_.Append(std::move(row));
  if (position == 0) return 0;
  rules_.Select(position);
  Save();
  return position;
}

bool RuleBook::Change(int position, RuleRow row) {
  if (!rules_.IsValid(position)) return false;
  row.checked = rules_.Row(position).checked;
  if (!rules_.Replace(position, std::move(row))) return false;
  Save();
  return true;
}

bool RuleBook::SetChecked(int position, bool checked) {
  if (!rules_.IsValid(position)) return false;
  if (rules_.Row(position).checked == checked) return true;
  rules_.SetChecked(position, checked);
  Save();
  return true;
}

// Moving follows the selection: it moved exactly when the selection did.
void RuleBook::MoveSelectedUp() {
  const int before = rules_.Selected();
  MoveSelectedRuleUp(rules_);
  if (rules_.Selected() != before) Save();
}

void RuleBook::MoveSelectedDown() {
  const int before = rules_.Selected();
  MoveSelectedRuleDown(rules_);
  if (rules_.Selected() != before) Save();
}

int RuleBook::Find(const MoveRule& rule) const {
  for (int position = 1; position <= rules_.Count(); ++position) {
    if (rules_.Row(position).rule == rule) return position;
  }
  return 0;
}

void RuleBook::DeleteSelected() {
  if (rules_.Selected() == 0) return;
  DeleteSelectedRule(rules_);
  Save();
}

}  // namespace veskora
