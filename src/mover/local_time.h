#pragma once

#include <cstdint>

#include "ports/clock.h"

namespace veskora {

// Seconds since the epoch as local time.
LocalTime ToLocalTime(std::int64_t epochSeconds);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);

// The first second whose local time reads `wall` (a local date and time as
// seconds from 1970-01-01 00:00:00, as if it were UTC) or later. A time the
// clocks show twice (the hour summer time ends) is its earlier instant; one
// they skip is the moment they jump past it.
std::int64_t FirstSecondFrom(std::int64_t wall);

}  // namespace veskora
