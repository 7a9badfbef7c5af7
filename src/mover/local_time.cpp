#include "mover/local_time.h"

#include <ctime>
#include <utility>

namespace veskora {

namespace {

// How far local time is ahead of UTC at that second.
std::int64_t OffsetAt(std::int64_t epochSeconds) {
  const std::time_t t = static_cast<std::time_t>(epochSeconds);
  std::tm tm{};
  return localtime_r(&t, &tm) ? tm.tm_gmtoff : 0;
}

}  // namespace

LocalTime ToLocalTime(std::int64_t epochSeconds) {
  const std::time_t t = static_cast<std::time_t>(epochSeconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return {};
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

std::int64_t FirstSecondFrom(std::int64_t wall) {
  // The offsets a day either side cover any change of the clocks near it.
  const std::int64_t offsets[] = {OffsetAt(wall - 86400), OffsetAt(wall + 86400)};
  std::int64_t first = 0;
  bool found = false;
  for (const std::int64_t offset : offsets) {
    const std::int64_t at = wall - offset;
    if (OffsetAt(at) == offset && (!found || at < first)) first = at, found = true;
  }
  if (found) return first;
  // Skipped by the clocks: the jump lies between the two readings.
  std::int64_t low = wall - offsets[0], high = wall - offsets[1];
  if (low > high) std::swap(low, high);
  while (low < high) {
    const std::int64_t middle = low + (high - low) / 2;
    if (middle + OffsetAt(middle) >= wall) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

}  // namespace veskora
