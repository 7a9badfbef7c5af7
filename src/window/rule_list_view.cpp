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
  const Qt::KeyboardModifiers keys = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  const bool plain = keys == Qt::NoModifier, ctrl = keys == Qt::ControlModifier;
  if (plain && key == Qt::Key_Space && box.isValid()) {
    const bool ticked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model()->setData(box, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    event->accept();
    return;
  }
  const bool edit = plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2);
  const bool remove = plain && key == Qt::Key_Delete;
  const bool up = ctrl && key == Qt::Key_Up, down = ctrl && key == Qt::Key_Down;
  const bool menu = key == Qt::Key_Menu || (keys == Qt::ShiftModifier && key == Qt::Key_F10);
  if (!(edit || remove || up || down || menu)) {
    QTreeView::keyPressEvent(event);
    return;
  }
  // The commands act on the selected row; at start the first row is current
  // but not selected, and a key there should not do nothing.
  if (box.isValid()) selectionModel()->select(box, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (edit) emit editRequested(true);
  if (remove) emit deleteRequested();
  if (up) emit moveUpRequested();
  if (down) emit moveDownRequested();
  if (menu) {
    // Under the current row, or at the top of the list without one.
    const QRect row = visualRect(currentIndex());
    emit menuRequested(viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint()));
  }
  event->accept();
}

void RuleListView::mousePressEvent(QMouseEvent* event) {
  QTreeView::mousePressEvent(event);
  if (event->button() == Qt::RightButton) emit menuRequested(event->globalPosition().toPoint());
}

void RuleListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit editRequested(false);
}

}  // namespace veskora
