#pragma once

#include <QItemSelectionModel>

namespace veskora {

class RuleListModel;

// The view's selection and the rule list's selected row are one: a click in
// the view selects the rule, and a rule selected by a command (moved up or
// down, newly added) is selected in the view. At most one row.
class RuleSelectionModel : public QItemSelectionModel {
  Q_OBJECT

 public:
  explicit RuleSelectionModel(RuleListModel* model, QObject* parent = nullptr);

 private:
  void FromView();
  void FromRules(int row);

  RuleListModel* rules_;
  bool syncing_ = false;
};

}  // namespace veskora
