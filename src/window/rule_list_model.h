#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "rules/rule_list.h"
#include "window/rule_book.h"

namespace veskora {

// The Qt face of the one copy of the rules: two columns ("移動条件" with the
// rule's check box, "移動先フォルダ"), one row per rule, in priority order.
// Follows every change of the list, whoever makes it; a tick is handed to the
// rule book as a command.
class RuleListModel : public QAbstractTableModel, private RuleListObserver {
  Q_OBJECT

 public:
  explicit RuleListModel(RuleBook& book, QObject* parent = nullptr);
  ~RuleListModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Only the check box of the first column can be changed, and only that.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  RuleBook& Book() { return book_; }
  // Shows the row holding this rule in bold (the one the editor changes);
  // none for no mark.
  void Mark(const std::optional<MoveRule>& rule);
  // The files the last cycle left waiting, each with its rule and its line:
  // such a row shows a warning and the lines in its tooltip.
  void SetWaiting(std::vector<std::pair<MoveRule, QString>> waiting);

 signals:
  // The list's selected row changed (0-based; -1 for none).
  void ruleSelectionChanged(int row);

 private:
  void RowsAboutToBeInserted(int first, int last) override;
  void RowsInserted() override;
  void RowsAboutToBeRemoved(int first, int last) override;
  void RowsRemoved() override;
  void RowChanged(int position) override;
  void SelectionChanged(int position) override;

  RuleBook& book_;
  const RuleList& rules_;
  std::optional<MoveRule> marked_;
  std::vector<std::pair<MoveRule, QString>> waiting_;
  // The roles a change through setData touches; empty (all roles) otherwise.
  QList<int> changingRoles_;
};

}  // namespace veskora
