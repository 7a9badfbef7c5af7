#include "shell/button_pictures.h"

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

void PaintPlus(QPainter& painter, const QPointF& centre, qreal size) {
  const qreal arm = size / 2;
  const qreal thick = size / 3.2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(kGreen);
  painter.drawRect(QRectF(centre.x() - arm, centre.y() - thick / 2, size, thick));
  painter.drawRect(QRectF(centre.x() - thick / 2, centre.y() - arm, thick, size));
}

}  // namespace

void PaintAddRulePicture(QPainter& painter, const QRectF& rect, bool pressed) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  PaintButtonFace(painter, rect, pressed);
  const QRectF inner = rect.translated(pressed ? 1 : 0, pressed ? 1 : 0);
  const qreal plusSize = inner.height() * 0.5;
  const QPointF plusCentre(inner.left() + inner.height() * 0.55, inner.center().y());
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
  const qreal w = r.width();
  const qreal h = r.height();
  // A shaft and a head pointing down onto a tray line.
  QPainterPath arrow;
  arrow.moveTo(r.left() + w * 0.40, r.top() + h * 0.16);
  arrow.lineTo(r.left() + w * 0.60, r.top() + h * 0.16);
  arrow.lineTo(r.left() + w * 0.60, r.top() + h * 0.44);
  arrow.lineTo(r.left() + w * 0.78, r.top() + h * 0.44);
  arrow.lineTo(r.left() + w * 0.50, r.top() + h * 0.72);
  arrow.lineTo(r.left() + w * 0.22, r.top() + h * 0.44);
  arrow.lineTo(r.left() + w * 0.40, r.top() + h * 0.44);
  arrow.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x5f, 0xbf));
  painter.drawPath(arrow);
  painter.setBrush(kInk);
  painter.drawRect(QRectF(r.left() + w * 0.2, r.top() + h * 0.78, w * 0.6, qMax<qreal>(1.0, h * 0.08)));
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
