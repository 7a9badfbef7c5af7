#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ports/clock.h"

namespace veskora {

// Local time, and the 14-digit time texts (YYYYMMDDhhmmss) that time rules
// are written in.

// Seconds since the epoch as local time.
LocalTime ToLocalTime(std::int64_t epochSeconds);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);

// The first second whose local time reads `wall` (a local date and time as
// seconds from 1970-01-01 00:00:00, as if it were UTC) or later. A time the
// clocks show twice (the hour summer time ends) is its earlier instant; one
// they skip is the moment they jump past it.
std::int64_t FirstSecondFrom(std::int64_t wall);

// A modification time as the 14 digits YYYYMMDDhhmmss in local time.
std::string TimeStampText(std::int64_t epochSeconds);

// The second at which a time row's value divides the files: an older row
// takes modification times before it, a newer row those from it on. The value
// is read as the time texts compare with it: "2024" is 2024-01-01 00:00:00,
// a time that does not exist (a 13th month, a 25th hour) is the next that does.
std::int64_t TimeBound(int kind, std::string_view value);

}  // namespace veskora
