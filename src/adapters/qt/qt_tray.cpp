#include "adapters/qt/qt_tray.h"

#include <QPainter>
#include <QPixmap>

namespace veskora {

namespace {
const QString kCaption = QStringLiteral("VESKORA");
}  // namespace

QIcon PausedIcon(const QIcon& running) {
  QIcon paused;
  for (const QSize& size : running.availableSizes()) {
    QPixmap pixmap = running.pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A dark disc with two light bars, over a quarter of the icon: read at
    // 16 pixels, and on light and dark panels alike.
    const QRectF disc(size.width() * 0.45, size.height() * 0.45, size.width() * 0.55, size.height() * 0.55);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawEllipse(disc);
    painter.setBrush(Qt::white);
    const qreal barWidth = disc.width() * 0.18, barHeight = disc.height() * 0.5;
    const qreal top = disc.center().y() - barHeight / 2;
    painter.drawRect(QRectF(disc.center().x() - barWidth * 1.5, top, barWidth, barHeight));
    painter.drawRect(QRectF(disc.center().x() + barWidth * 0.5, top, barWidth, barHeight));
    painter.end();
    paused.addPixmap(pixmap);
  }
  return paused;
}

QtTray::QtTray(const QIcon& running) : running_(running), paused_(PausedIcon(running)) {
  icon_.setObjectName(QStringLiteral("trayIcon"));
  QObject::connect(&icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
    if (!handler_) return;
    if (reason == QSystemTrayIcon::Trigger) {
      handler_(Click::kPrimary);
    } else if (reason == QSystemTrayIcon::Context) {
      handler_(Click::kContext);
    } else {
      handler_(Click::kOther);
    }
  });
  SetState(State::kRunning, 0);
}

void QtTray::SetVisible(bool visible) { icon_.setVisible(visible); }

void QtTray::SetState(State state, int waiting) {
  const bool paused = state == State::kPaused;
  icon_.setIcon(paused ? paused_ : running_);
  QString caption = kCaption + (paused ? QStringLiteral(" — 自動移動は停止中") : QStringLiteral(" — 自動移動は実行中"));
  if (waiting > 0) caption += QStringLiteral("\n%1件のファイルが移動待ちです").arg(waiting);
  icon_.setToolTip(caption);
}

void QtTray::OnClick(std::function<void(Click)> handler) { handler_ = std::move(handler); }

}  // namespace veskora
