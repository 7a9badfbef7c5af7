#pragma once

#include <QRectF>

class QPainter;

namespace veskora {

// The pictures of the window's picture buttons,
// drawn as vector shapes so they stay sharp at any scale. Each fills the
// rectangle it is given; "pressed" draws the face pushed in.
void PaintAddRulePicture(QPainter& painter, const QRectF& rect, bool pressed);  // Command0
void PaintToTrayPicture(QPainter& painter, const QRectF& rect, bool pressed);   // Command5
void PaintClockPicture(QPainter& painter, const QRectF& rect, bool pressed);    // Command2

}  // namespace veskora
