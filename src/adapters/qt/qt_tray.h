#pragma once

#include <QIcon>
#include <QSystemTrayIcon>

#include "ports/tray.h"

namespace veskora {

// Through QSystemTrayIcon. The paused picture is the running one with a
// pause mark drawn over its lower right corner.
class QtTray final : public Tray {
 public:
  explicit QtTray(const QIcon& running);

  void SetVisible(bool visible) override;
  void SetState(State state, int waiting) override;
  void OnClick(std::function<void(Click)> handler) override;

  // The icon itself, for tests to click and look at.
  QSystemTrayIcon& Icon() { return icon_; }

 private:
  QSystemTrayIcon icon_;
  QIcon running_;
  QIcon paused_;
  std::function<void(Click)> handler_;
};

// The icon with a pause mark, at every size it has.
QIcon PausedIcon(const QIcon& running);

}  // namespace veskora
