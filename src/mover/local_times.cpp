#include "mover/local_times.h"
#include "mover/local_time.h"

#include <limits>

namespace veskora {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::size_t kDaySlots = 1024;  // a desktop's files span a few years

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Days since 1970-01-01 of a proleptic Gregorian date, and back (after
// Howard Hinnant's civil calendar algorithms).
constexpr std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

LocalTime CivilFromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kDay);
  const std::int64_t secs = seconds - days * kDay;
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = yoe + era * 400 + (m <= 2);
  return {static_cast<int>(y),
          static_cast<int>(m),
          static_cast<int>(d),
          static_cast<int>(secs / 3600),
          static_cast<int>(secs / 60 % 60),
          static_cast<int>(secs % 60)};
}

bool Same(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
         a.second == b.second;
}

}  // namespace

LocalTimes::Day LocalTimes::Learn(std::int64_t day) {
  Day learnt;
  learnt.day = day;
  learnt.known = true;
  // Far from the years any file carries, the C library may not answer at all.
  constexpr std::int64_t kFar = std::int64_t{1} << 40;
  if (day < -kFar / kDay || day > kFar / kDay) return learnt;
  const std::int64_t first = day * kDay;
  const std::int64_t last = first + kDay - 1;
  const LocalTime a = ToLocalTime(first);
  const LocalTime b = ToLocalTime(last);
  if (a.month == 0 || b.month == 0) return learnt;  // the library failed
  learnt.offset = LocalSeconds(a) - first;
  // A leap second (a zone that counts them) shows as a field the arithmetic
  // would not give.
  learnt.steady = learnt.offset == LocalSeconds(b) - last && Same(CivilFromSeconds(first + learnt.offset), a) &&
                  Same(CivilFromSeconds(last + learnt.offset), b);
  return learnt;
}

LocalTime LocalTimes::Of(std::int64_t epochSeconds) {
  if (days_.empty()) days_.resize(kDaySlots);
  const std::int64_t day = FloorDiv(epochSeconds, kDay);
  Day& slot = days_[static_cast<std::size_t>(day) % kDaySlots];
  if (!slot.known || slot.day != day) slot = Learn(day);
  return slot.steady ? CivilFromSeconds(epochSeconds + slot.offset) : ToLocalTime(epochSeconds);
}

bool LocalTimes::OrdinarySeconds(std::int64_t epochSeconds, std::int64_t& localSeconds) {
  if (days_.empty()) days_.resize(kDaySlots);
  const std::int64_t day = FloorDiv(epochSeconds, kDay);
  Day& slot = days_[static_cast<std::size_t>(day) % kDaySlots];
  if (!slot.known || slot.day != day) slot = Learn(day);
  if (slot.steady) {
    // Every time of a steady day is ordinary but for its year.
    constexpr std::int64_t kFirst = DaysFromCivil(0, 1, 1) * kDay;
    constexpr std::int64_t kLast = DaysFromCivil(9999, 12, 31) * kDay + kDay - 1;
    localSeconds = epochSeconds + slot.offset;
    return localSeconds >= kFirst && localSeconds <= kLast;
  }
  const LocalTime local = ToLocalTime(epochSeconds);
  if (!IsOrdinary(local)) return false;
  localSeconds = LocalSeconds(local);
  return true;
}

bool IsOrdinary(const LocalTime& t) {
  if (t.year < 0 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1) return false;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59) return false;
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = t.year % 4 == 0 && (t.year % 100 != 0 || t.year % 400 == 0);
  return t.day <= kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0);
}

std::int64_t LocalSeconds(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace veskora
