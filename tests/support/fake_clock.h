#pragma once

#include "ports/clock.h"

namespace veskora::testing {

// A clock that says what the test tells it.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(LocalTime now) : now_(now) {}
  LocalTime Now() const override { return now_; }
  void Set(LocalTime now) { now_ = now; }

 private:
  LocalTime now_;
};

}  // namespace veskora::testing
