#include "window/rule_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace veskora {

RuleListView::RuleListView(QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("ListView1"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSortingEnabled(false);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::NoContextMenu);
  // The layout sets both column widths itself.
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionsClickable(false);
}

void RuleListView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex box = currentIndex().siblingAtColumn(0);
  if (event->key() != Qt::Key_Space || event->modifiers() != Qt::NoModifier || !box.isValid()) {
    QTreeView::keyPressEvent(event);
    return;
  }
  const bool ticked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
  model()->setData(box, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
  event->accept();
}

void RuleListView::mousePressEvent(QMouseEvent* event) {
  QTreeView::mousePressEvent(event);
  if (event->button() == Qt::RightButton) emit rightButtonPressed(event->globalPosition().toPoint());
}

void RuleListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClickedAnywhere();
}

}  // namespace veskora
