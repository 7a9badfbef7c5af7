#include "mover/local_times.h"

#include <limits>

namespace veskora {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::size_t kDaySlots = 1024;  // a desktop's files span a few years

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Days since 1970-01-01 of a proleptic Gregorian date, and back (after
// Howard Hinnant's civil calendar algorithms).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
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

// The offset from UTC that turns `t` into `local`.
std::int64_t OffsetOf(std::int64_t t, const LocalTime& local) {
  return DaysFromCivil(local.year, local.month, local.day) * kDay + local.hour * 3600 + local.minute * 60 +
         local.second - t;
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
  learnt.offset = OffsetOf(first, a);
  // A leap second (a zone that counts them) shows as a field the arithmetic
  // would not give.
  learnt.steady = learnt.offset == OffsetOf(last, b) && Same(CivilFromSeconds(first + learnt.offset), a) &&
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

bool TimeDigits(const LocalTime& t, std::uint64_t& digits) {
  if (t.year < 0 || t.year > 9999) return false;
  digits = static_cast<std::uint64_t>(t.year) * 10000000000ULL + static_cast<std::uint64_t>(t.month) * 100000000ULL +
           static_cast<std::uint64_t>(t.day) * 1000000ULL + static_cast<std::uint64_t>(t.hour) * 10000ULL +
           static_cast<std::uint64_t>(t.minute) * 100ULL + static_cast<std::uint64_t>(t.second);
  return true;
}

}  // namespace veskora
