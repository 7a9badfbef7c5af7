#pragma once

#include <QPoint>
#include <QTreeView>

namespace veskora {

// ListView1: the rule list as a report (two columns, a check box per row,
// whole rows selected one at a time, never sorted, no row images).
class RuleListView : public QTreeView {
  Q_OBJECT

 public:
  explicit RuleListView(QWidget* parent = nullptr);

 signals:
  // The row's popup menu, at a global position: a right-button press anywhere
  // in the rows' area (at the pointer, after the view has handled it), the
  // Menu key or Shift+F10 (at the current row).
  void menuRequested(const QPoint& globalPos);
  // A left double-click anywhere in the rows' area, on a row or not; Enter or
  // F2 (byKey).
  void editRequested(bool byKey);
  // Delete; Ctrl+Up and Ctrl+Down.
  void deleteRequested();
  void moveUpRequested();
  void moveDownRequested();

 protected:
  // Space ticks or unticks the current row, whichever column has the focus;
  // the other keys above are the popup's entries, for the current row: it is
  // selected first, as a click would.
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace veskora
