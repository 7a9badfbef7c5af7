#pragma once

#include <cstdint>
#include <vector>

#include "ports/clock.h"
#include "mover/local_time.h"

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
  // The local seconds (below) of what ToLocalTime gives, when that is an
  // ordinary time; false for any other.
  bool OrdinarySeconds(std::int64_t epochSeconds, std::int64_t& localSeconds);

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

// An ordinary time: a year of four digits (0 to 9999), a day its month has,
// hours to 23, minutes and seconds to 59. Its "local seconds" count from
// 1970-01-01 00:00:00 as if every day had 86,400 seconds, and ordinary times
// order by them exactly as by their 14 digits YYYYMMDDhhmmss.
bool IsOrdinary(const LocalTime& time);
std::int64_t LocalSeconds(const LocalTime& time);

}  // namespace veskora
