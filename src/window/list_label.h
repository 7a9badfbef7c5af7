#pragma once

#include <QLabel>

namespace veskora {

// A one-line count whose tooltip lists what it counts; a click, or Space or
// Enter once Tab has reached it, asks for that list to be shown whole, so the
// keyboard reaches it as the mouse does.
class ListLabel : public QLabel {
  Q_OBJECT

 public:
  ListLabel(const QString& name, QWidget* parent);

  // The count's line and the list behind it; an empty line hides the label
  // when `hideWhenEmpty`.
  void Show(const QString& line, const QStringList& list, bool hideWhenEmpty);

 signals:
  void listRequested(const QString& list);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace veskora
