#include "window/picture_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace veskora {

PictureButton::PictureButton(const QString& objectName, Picture picture, QWidget* parent)
    : QAbstractButton(parent), picture_(picture) {
  setObjectName(objectName);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

QSize PictureButton::sizeHint() const { return size(); }

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  picture_(painter, QRectF(rect()), isDown());
  if (!hasFocus()) return;
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

}  // namespace veskora
