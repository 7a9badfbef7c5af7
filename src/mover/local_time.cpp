#include "mover/local_time.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <utility>

#include "rules/move_rule.h"

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


std::string TimeStampText(std::int64_t epochSeconds) {
  const LocalTime t = ToLocalTime(epochSeconds);
  char text[80];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

namespace {

constexpr std::int64_t kAllTexts = 100'000'000'000'000;  // above every 14-digit text

// The 14-digit number D for which any time text is less than the value
// exactly when it is less than D, as numbers; kAllTexts when every text is.
std::int64_t TextFloor(std::string_view value) {
  std::int64_t prefix = 0;
  std::size_t digits = 0;
  for (; digits < 14 && digits < value.size() && value[digits] >= '0' && value[digits] <= '9'; ++digits) {
    prefix = prefix * 10 + (value[digits] - '0');
  }
  // A longer value lies above the text of its first 14 digits.
  if (digits == 14) return value.size() > 14 ? prefix + 1 : prefix;
  std::int64_t scale = 1;
  for (std::size_t i = digits; i < 14; ++i) scale *= 10;
  // Every digit sorts below a byte above '9' (bytes compare unsigned).
  if (digits < value.size() && static_cast<unsigned char>(value[digits]) > '9') ++prefix;
  return prefix * scale;
}

// The first second whose time text is at least these 14 digits.
std::int64_t FirstSecondOf(std::int64_t text) {
  if (text <= 0) return std::numeric_limits<std::int64_t>::min();
  if (text >= kAllTexts) return std::numeric_limits<std::int64_t>::max();
  const int second = static_cast<int>(text % 100), minute = static_cast<int>(text / 100 % 100);
  const int hour = static_cast<int>(text / 10'000 % 100), day = static_cast<int>(text / 1'000'000 % 100);
  const int month = static_cast<int>(text / 100'000'000 % 100);
  const std::int64_t year = text / 10'000'000'000;
  // The first real time at or after the digits: a field past its range
  // carries into the one above, a zero month or day starts it.
  if (month == 0) return FirstSecondFrom(DaysFromCivil(year, 1, 1) * 86400);
  if (month > 12) return FirstSecondFrom(DaysFromCivil(year + 1, 1, 1) * 86400);
  const std::int64_t monthStart = DaysFromCivil(year, month, 1);
  const int monthDays = static_cast<int>(DaysFromCivil(year + month / 12, month % 12 + 1, 1) - monthStart);
  if (day == 0) return FirstSecondFrom(monthStart * 86400);
  if (day > monthDays) return FirstSecondFrom((monthStart + monthDays) * 86400);
  const std::int64_t dayStart = (monthStart + day - 1) * 86400;
  if (hour > 23) return FirstSecondFrom(dayStart + 86400);
  if (minute > 59) return FirstSecondFrom(dayStart + (hour + 1) * 3600);
  if (second > 59) return FirstSecondFrom(dayStart + hour * 3600 + (minute + 1) * 60);
  return FirstSecondFrom(dayStart + hour * 3600 + minute * 60 + second);
}

}  // namespace

std::int64_t TimeBound(int kind, std::string_view value) {
  const std::int64_t floor = TextFloor(value);
  // Newer is "not less and not equal": only a value of exactly 14 digits can
  // equal a time text.
  const bool exact = value.size() == 14 && value.find_first_not_of("0123456789") == std::string_view::npos;
  return FirstSecondOf(kind == kTimeNewer && exact ? floor + 1 : floor);
}

}  // namespace veskora
