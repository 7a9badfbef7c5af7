#include "mover/local_times.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace veskora {
namespace {

// Within one process the zone is read once; each zone is set before its
// first question.
class Zone {
 public:
  explicit Zone(const char* tz) : old_(std::getenv("TZ") ? std::getenv("TZ") : "") {
    setenv("TZ", tz, 1);
    tzset();
  }
  ~Zone() {
    old_.empty() ? unsetenv("TZ") : setenv("TZ", old_.c_str(), 1);
    tzset();
  }

 private:
  std::string old_;
};

TEST(LocalTimes, AgreeWithTheCLibraryInZonesWithSummerTimeAndLeapSeconds) {
  // Rules written out, which need no time zone database, then two from it.
  const char* zones[] = {"UTC0",
                         "CET-1CEST,M3.5.0,M10.5.0/3",
                         "EST5EDT,M3.2.0,M11.1.0",
                         "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0",
                         "right/Europe/Berlin",
                         "Europe/Moscow"};
  for (const char* tz : zones) {
    const bool fromDatabase = std::string(tz).find_first_of(",0") == std::string::npos;
    if (fromDatabase && access(("/usr/share/zoneinfo/" + std::string(tz)).c_str(), R_OK) != 0) continue;
    const Zone zone(tz);
    LocalTimes times;
    std::mt19937_64 rng(7);
    // Every second of the days around the leap second that ended 2016, every
    // 7 minutes through two years (each change of summer time), then times
    // from 1800 to 2200, which also wear out the remembered days.
    std::vector<std::int64_t> samples;
    for (std::int64_t t = 1483142400; t < 1483315300; ++t) samples.push_back(t);
    for (std::int64_t t = 1704067200; t < 1767225600; t += 419) samples.push_back(t);
    for (int i = 0; i < 100000; ++i) {
      samples.push_back(static_cast<std::int64_t>(rng() % 12623040000ULL) - 5364662400LL);
    }
    // The edges of the years of four digits.
    for (const std::int64_t edge : {-62167219200LL, 253402300800LL}) {
      for (std::int64_t t = edge - 90000; t < edge + 90000; t += 1801) samples.push_back(t);
    }
    for (const std::int64_t t : samples) {
      const LocalTime a = times.Of(t);
      const LocalTime b = ToLocalTime(t);
      ASSERT_TRUE(a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
                  a.minute == b.minute && a.second == b.second)
          << tz << " " << t;
      std::int64_t seconds = 0;
      ASSERT_EQ(times.OrdinarySeconds(t, seconds), IsOrdinary(b)) << tz << " " << t;
      if (IsOrdinary(b)) {
        ASSERT_EQ(seconds, LocalSeconds(b)) << tz << " " << t;
      }
    }
  }
}

// Only ordinary times order by local seconds as by their digits: 2024-02-30
// would be 2024-03-01 in seconds but sorts before it in digits.
TEST(LocalTimes, OrdinaryTimesAreRealDaysOfFourDigitYears) {
  EXPECT_TRUE(IsOrdinary({2024, 2, 29, 23, 59, 59}));
  EXPECT_TRUE(IsOrdinary({0, 1, 1, 0, 0, 0}));
  EXPECT_TRUE(IsOrdinary({9999, 12, 31, 0, 0, 0}));
  for (const LocalTime odd : std::vector<LocalTime>{{2023, 2, 29, 0, 0, 0},
                                                    {2024, 2, 30, 0, 0, 0},
                                                    {2024, 4, 31, 0, 0, 0},
                                                    {2024, 13, 1, 0, 0, 0},
                                                    {2024, 0, 1, 0, 0, 0},
                                                    {2024, 1, 0, 0, 0, 0},
                                                    {2024, 1, 1, 24, 0, 0},
                                                    {2024, 1, 1, 0, 60, 0},
                                                    {2024, 1, 1, 0, 0, 60},
                                                    {10000, 1, 1, 0, 0, 0},
                                                    {-1, 12, 31, 0, 0, 0}}) {
    EXPECT_FALSE(IsOrdinary(odd)) << odd.year << "-" << odd.month << "-" << odd.day << " " << odd.hour << ":"
                                  << odd.minute << ":" << odd.second;
  }
  EXPECT_EQ(LocalSeconds({1970, 1, 2, 1, 0, 1}), 86400 + 3601);
}

}  // namespace
}  // namespace veskora
