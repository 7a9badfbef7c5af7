#pragma once

#include <cstdint>

namespace veskora {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

// The one source of "now": log lines and the year of time rules read it, and
// tests replace it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

// The system's local time; the conversion is made once a second at most
// (a cycle asks once for every move).
class SystemClock final : public Clock {
 public:
  LocalTime Now() const override;

 private:
  mutable std::int64_t second_ = -1;
  mutable LocalTime local_;
};

// Seconds since the epoch as local time.
LocalTime ToLocalTime(std::int64_t epochSeconds);

}  // namespace veskora
