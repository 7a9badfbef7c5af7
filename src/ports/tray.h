#pragma once

#include <functional>

namespace veskora {

// The program's icon in the notification area. The window decides what a
// click means; the icon only says what it was.
class Tray {
 public:
  enum class Click { kPrimary, kContext, kOther };
  enum class State { kRunning, kPaused };
  virtual ~Tray() = default;

  virtual void SetVisible(bool visible) = 0;
  // Running shows the plain icon, paused a marked one; the caption says which,
  // so that a tidier switched off does not look like one at work, and how
  // many files wait to be moved.
  virtual void SetState(State state, int waiting) = 0;
  virtual void OnClick(std::function<void(Click)> handler) = 0;
};

}  // namespace veskora
