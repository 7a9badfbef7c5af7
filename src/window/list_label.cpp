#include "window/list_label.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace veskora {

ListLabel::ListLabel(const QString& name, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  // A label draws no focus of its own.
  setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(highlight); }"));
}

void ListLabel::Show(const QString& line, const QStringList& list, bool hideWhenEmpty) {
  setText(line);
  setToolTip(list.join('\n'));
  setAccessibleDescription(toolTip());
  adjustSize();
  if (hideWhenEmpty) setVisible(!line.isEmpty());
}

void ListLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !toolTip().isEmpty()) emit listRequested(toolTip());
  QLabel::mouseReleaseEvent(event);
}

void ListLabel::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (!toolTip().isEmpty()) emit listRequested(toolTip());
    event->accept();
    return;
  }
  QLabel::keyPressEvent(event);
}

}  // namespace veskora
