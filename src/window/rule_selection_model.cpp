#include "window/rule_selection_model.h"

#include "window/rule_list_model.h"

namespace veskora {

RuleSelectionModel::RuleSelectionModel(RuleListModel* model, QObject* parent)
    : QItemSelectionModel(model, parent), rules_(model) {
  connect(this, &QItemSelectionModel::selectionChanged, this, &RuleSelectionModel::FromView);
  connect(model, &RuleListModel::ruleSelectionChanged, this, &RuleSelectionModel::FromRules);
  FromRules(model->Book().Rules().Selected() - 1);
}

void RuleSelectionModel::FromView() {
  if (syncing_) return;
  const QModelIndexList rows = selectedRows();
  const int position = rows.isEmpty() ? 0 : rows.first().row() + 1;
  if (rules_->Book().Rules().Selected() == position) return;
  syncing_ = true;
  rules_->Book().Select(position);
  syncing_ = false;
}

void RuleSelectionModel::FromRules(int row) {
  if (syncing_) return;
  syncing_ = true;
  if (row < 0) {
    clearSelection();
  } else {
    setCurrentIndex(rules_->index(row, 0), ClearAndSelect | Rows);
  }
  syncing_ = false;
}

}  // namespace veskora
