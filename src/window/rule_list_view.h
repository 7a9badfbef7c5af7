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
  // A right-button press anywhere in the rows' area, after the view has
  // handled it; at the pointer's global position.
  void rightButtonPressed(const QPoint& globalPos);
  // A left double-click anywhere in the rows' area, on a row or not.
  void doubleClickedAnywhere();

 protected:
  // Space ticks or unticks the current row, whichever column has the focus.
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace veskora
