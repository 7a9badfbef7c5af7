#pragma once

#include <optional>
#include <string>
#include <utility>

#include "ports/desktop_watch.h"

namespace veskora::testing {

// A watch that hears nothing, or what the real one it passes to hears; the
// test may put in one piece of news of its own (a lost queue, say).
class FakeDesktopWatch final : public DesktopWatch {
 public:
  explicit FakeDesktopWatch(DesktopWatch* real = nullptr) : real_(real) {}
  WatchReach Arm(const std::string& folder) override { return real_ ? real_->Arm(folder) : WatchReach::kEverything; }
  WatchNews Poll() override {
    const WatchNews heard = real_ ? real_->Poll() : WatchNews::kNothing;
    return news ? *std::exchange(news, std::nullopt) : heard;
  }

  std::optional<WatchNews> news;

 private:
  DesktopWatch* real_;
};

}  // namespace veskora::testing
