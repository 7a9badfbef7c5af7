#pragma once

#include <cstdint>
#include <vector>

#include "platform/posix/clock.h"

namespace veskora {

// The local time of many file times within one cycle. Asking the C library
// costs about as much as the rest of judging a file, so it is asked twice per
// day (UTC) that the times fall on, at the day's first and last second: when
// both give the same offset from UTC, every time of that day is that offset
// away (zones never change their offset twice within a day and back).
// Any other day is asked time by time.
class LocalTimes {
 public:
  // What ToLocalTime gives.
  LocalTime Of(std::int64_t epochSeconds);

 private:
  struct Day {
    std::int64_t day = 0;
    std::int64_t offset = 0;
    bool known = false;
    bool steady = false;
  };
  static Day Learn(std::int64_t day);

  std::vector<Day> days_;  // by day number, modulo its size
};

// The 14 digits YYYYMMDDhhmmss as one number, for years 0 to 9999 (where the
// digits' order is the number's); nothing for other years.
bool TimeDigits(const LocalTime& time, std::uint64_t& digits);

}  // namespace veskora
