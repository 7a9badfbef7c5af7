#include "window/twips.h"

#include <QWidget>

namespace veskora {

void PlaceInTwips(QWidget& widget, int left, int top, int width, int height) {
  const TwipsScale twips(widget);
  widget.setGeometry(twips.X(left), twips.Y(top), twips.X(width), twips.Y(height));
}

void MoveInTwips(QWidget& widget, int left, int top) {
  const TwipsScale twips(widget);
  widget.move(twips.X(left), twips.Y(top));
}

}  // namespace veskora
