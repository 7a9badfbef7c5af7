#include "window/button_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace veskora {

namespace {

const QColor kGreen(0x2e, 0x9d, 0x3a);
const QColor kFrameDark(0x70, 0x70, 0x70);
const QColor kInk(0x20, 0x20, 0x20);

// A raised push-button face; pushed in, its light and shade swap.
void PaintButtonFace(QPainter& painter, const QRectF& rect, bool pressed) {
  const QRectF face = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, pressed ? QColor(0xd0, 0xd0, 0xd0) : QColor(0xfc, 0xfc, 0xfc));
  fill.setColorAt(1, pressed ? QColor(0xe8, 0xe8, 0xe8) : QColor(0xdc, 0xdc, 0xdc));
  painter.setPen(QPen(kFrameDark, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(face, 3, 3);
}

// Edges on whole pixels stay sharp at scale 1, and at whole-number scales
// they fall on whole device pixels as well.
void PaintPlus(QPainter& painter, const QPoint& centre, int size) {
  int thick = qMax(1, qRound(size / 3.2));
  // Bar and arms the same parity, so the cross sits on the pixel grid.
  if ((size - thick) % 2 != 0) ++thick;
  painter.setPen(Qt::NoPen);
  painter.setBrush(kGreen);
  painter.drawRect(QRect(centre.x() - size / 2, centre.y() - thick / 2, size, thick));
  painter.drawRect(QRect(centre.x() - thick / 2, centre.y() - size / 2, thick, size));
}

}  // namespace

void PaintAddRulePicture(QPainter& painter, const QRectF& rect, bool pressed) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  PaintButtonFace(painter, rect, pressed);
  const QRectF inner = rect.translated(pressed ? 1 : 0, pressed ? 1 : 0);
  const int plusSize = 2 * qRound(inner.height() / 4);
  const QPoint plusCentre(qRound(inner.left() + inner.height() * 0.55), qRound(inner.center().y()));
  PaintPlus(painter, plusCentre, plusSize);

  QFont font = painter.font();
  font.setPixelSize(qMax(8, qRound(inner.height() * 0.46)));
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(kInk);
  const QRectF textRect(plusCentre.x() + plusSize * 0.8, inner.top(), inner.right() - plusCentre.x() - plusSize,
                        inner.height());
  painter.drawText(textRect, Qt::AlignCenter, QStringLiteral("新規移動条件を追加"));
  painter.restore();
}

void PaintToTrayPicture(QPainter& painter, const QRectF& rect, bool pressed) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  PaintButtonFace(painter, rect, pressed);
  const QRectF r = rect.translated(pressed ? 1 : 0, pressed ? 1 : 0);
  // Straight edges on whole pixels, so they stay sharp; only the slopes of
  // the head are smoothed.
  auto x = [&r](qreal part) { return r.left() + qRound(r.width() * part); };
  auto y = [&r](qreal part) { return r.top() + qRound(r.height() * part); };
  const qreal middle = (x(0.22) + x(0.78)) / 2;
  // A shaft and a head pointing down onto a tray line.
  QPainterPath arrow;
  arrow.moveTo(x(0.40), y(0.16));
  arrow.lineTo(x(0.60), y(0.16));
  arrow.lineTo(x(0.60), y(0.44));
  arrow.lineTo(x(0.78), y(0.44));
  arrow.lineTo(middle, y(0.44) + (x(0.78) - x(0.22)) / 2);
  arrow.lineTo(x(0.22), y(0.44));
  arrow.lineTo(x(0.40), y(0.44));
  arrow.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x5f, 0xbf));
  painter.drawPath(arrow);
  painter.setBrush(kInk);
  painter.drawRect(QRectF(x(0.2), y(0.78), x(0.8) - x(0.2), qMax(1, qRound(r.height() * 0.08))));
  painter.restore();
}

void PaintClockPicture(QPainter& painter, const QRectF& rect, bool pressed) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  PaintButtonFace(painter, rect, pressed);
  const QRectF r = rect.translated(pressed ? 1 : 0, pressed ? 1 : 0);
  const QPointF centre = r.center();
  const qreal radius = qMin(r.width(), r.height()) * 0.38;
  painter.setPen(QPen(kInk, qMax<qreal>(1.0, radius * 0.14)));
  painter.setBrush(Qt::white);
  painter.drawEllipse(centre, radius, radius);
  // Hands at ten past ten.
  auto hand = [&](qreal degrees, qreal length, qreal width) {
    const qreal radians = qDegreesToRadians(degrees - 90);
    painter.setPen(QPen(kInk, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(std::cos(radians), std::sin(radians)) * length);
  };
  hand(305, radius * 0.55, qMax<qreal>(1.0, radius * 0.18));
  hand(60, radius * 0.8, qMax<qreal>(1.0, radius * 0.12));
  painter.restore();
}

}  // namespace veskora
