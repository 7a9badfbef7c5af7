#include "window/rule_list_model.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QStyle>

#include "rules/rule_description.h"

namespace veskora {

namespace {

constexpr int kColumns = 2;

// Bounds are checked here rather than with checkIndex(), which warns about
// the invalid indexes that views legitimately ask about.
bool InBounds(const QModelIndex& index, const QAbstractItemModel* model, int rows) {
  return index.isValid() && index.model() == model && !index.parent().isValid() && index.row() < rows &&
         index.column() < kColumns;
}

}  // namespace

RuleListModel::RuleListModel(RuleBook& book, QObject* parent)
    : QAbstractTableModel(parent), book_(book), rules_(book.Rules()) {
  book_.SetObserver(this);
}

RuleListModel::~RuleListModel() { book_.SetObserver(nullptr); }

int RuleListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rules_.Count(); }

int RuleListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant RuleListModel::data(const QModelIndex& index, int role) const {
  if (!InBounds(index, this, rules_.Count())) return {};
  const RuleRow& row = rules_.Row(index.row() + 1);
  QStringList waiting;
  if (index.column() == 0 && (role == Qt::ToolTipRole || role == Qt::DecorationRole)) {
    for (const auto& [rule, line] : waiting_) {
      if (rule == row.rule) waiting << line;
    }
  }
  switch (role) {
    // A cell cut at the column's edge is read whole in its tooltip, with the
    // files its row leaves waiting.
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
      QString text = QString::fromStdString(index.column() == 0 ? DescribeRule(row.rule) : row.rule.destination);
      if (role == Qt::ToolTipRole && !waiting.isEmpty()) text += '\n' + waiting.join('\n');
      return text;
    }
    case Qt::DecorationRole: {
      if (index.column() != 0 || waiting_.empty()) return {};
      if (!waiting.isEmpty()) return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
      // While any row shows the warning, the others keep its room, so that
      // every row's text starts at the same place.
      const int side = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
      QPixmap blank(side, side);
      blank.fill(Qt::transparent);
      return QIcon(blank);
    }
    case Qt::FontRole: {
      if (!marked_ || row.rule != *marked_) return {};
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    case Qt::CheckStateRole:
      if (index.column() == 0) return row.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    default:
      return {};
  }
}

QVariant RuleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 0) return QStringLiteral("移動条件");
  if (section == 1) return QStringLiteral("移動先フォルダ");
  return {};
}

Qt::ItemFlags RuleListModel::flags(const QModelIndex& index) const {
  if (!InBounds(index, this, rules_.Count())) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool RuleListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != 0 || !InBounds(index, this, rules_.Count())) return false;
  const bool checked = value.toInt() == Qt::Checked;
  changingRoles_ = {Qt::CheckStateRole};
  const bool changed = book_.SetChecked(index.row() + 1, checked);
  changingRoles_.clear();
  return changed;
}

void RuleListModel::Mark(const std::optional<MoveRule>& rule) {
  marked_ = rule;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::FontRole});
}

void RuleListModel::SetWaiting(std::vector<std::pair<MoveRule, QString>> waiting) {
  // Most ticks change nothing here: the list is then left alone.
  if (waiting == waiting_) return;
  waiting_ = std::move(waiting);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole, Qt::ToolTipRole});
}

void RuleListModel::RowsAboutToBeInserted(int first, int last) { beginInsertRows({}, first - 1, last - 1); }

void RuleListModel::RowsInserted() { endInsertRows(); }

void RuleListModel::RowsAboutToBeRemoved(int first, int last) { beginRemoveRows({}, first - 1, last - 1); }

void RuleListModel::RowsRemoved() { endRemoveRows(); }

void RuleListModel::RowChanged(int position) {
  const int row = position - 1;
  if (!changingRoles_.isEmpty()) {
    emit dataChanged(index(row, 0), index(row, 0), changingRoles_);
  } else {
    emit dataChanged(index(row, 0), index(row, kColumns - 1));
  }
}

void RuleListModel::SelectionChanged(int position) { emit ruleSelectionChanged(position - 1); }

}  // namespace veskora
