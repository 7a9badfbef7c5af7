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
  if (keys == Qt::NoModifier && key == Qt::Key_Space && box.isValid()) {
    const bool ticked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model()->setData(box, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
  } else if (keys == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)) {
    emit editRequested();
  } else if (keys == Qt::NoModifier && key == Qt::Key_Delete) {
    emit deleteRequested();
  } else if (keys == Qt::ControlModifier && key == Qt::Key_Up) {
    emit moveUpRequested();
  } else if (keys == Qt::ControlModifier && key == Qt::Key_Down) {
    emit moveDownRequested();
  } else if (key == Qt::Key_Menu || (keys == Qt::ShiftModifier && key == Qt::Key_F10)) {
    // Under the current row, or at the top of the list without one.
    const QRect row = visualRect(currentIndex());
    emit menuRequested(viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint()));
  } else {
    QTreeView::keyPressEvent(event);
    return;
  }
  event->accept();
}

void RuleListView::mousePressEvent(QMouseEvent* event) {
  QTreeView::mousePressEvent(event);
  if (event->button() == Qt::RightButton) emit menuRequested(event->globalPosition().toPoint());
}

void RuleListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit editRequested();
}

}  // namespace veskora
