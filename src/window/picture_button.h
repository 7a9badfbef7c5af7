#pragma once

#include <QAbstractButton>

namespace veskora {

// A button that is only a picture (Command0, Command2, Command5): painted by
// a picture function at its current size, with the hand pointer over it and a
// focus frame while it has the focus. Not reached by Tab unless told.
class PictureButton : public QAbstractButton {
  Q_OBJECT

 public:
  using Picture = void (*)(QPainter&, const QRectF&, bool pressed);
  PictureButton(const QString& objectName, Picture picture, QWidget* parent);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Picture picture_;
};

}  // namespace veskora
