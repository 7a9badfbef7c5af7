// The compiled matcher against the plain walk it replaces, on generated rules
// and files: the answer, and whether the file system was asked, must agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <random>
#include <sstream>

#include "fake_file_system.h"
#include "mover/keyword_automaton.h"
#include "mover/local_times.h"
#include "mover/rule_matcher.h"
#include "mover/rule_walk.h"
#include "ports/clock.h"
#include "rules/move_rule.h"
#include "rules/rule_key.h"
#include "rules/rule_list_ops.h"
#include "mover/local_time.h"

namespace veskora {
namespace {

using Keyword = KeywordAutomaton::Keyword;
using Pool = std::vector<std::string>;

int BruteForceLowest(const std::vector<Keyword>& keywords, std::string_view text) {
  int best = kNoRow;
  for (const Keyword& keyword : keywords) {
    if (text.find(keyword.text) != std::string_view::npos) best = std::min(best, keyword.position);
  }
  return best;
}

TEST(KeywordAutomaton, AgreesWithAPlainSearchWithinAndBeyondItsBudget) {
  const KeywordAutomaton automaton({{"his", 1}, {"hers", 2}, {"she", 3}, {"he", 4}, {"ＰＨＯＴＯ", 5}});
  EXPECT_EQ(automaton.LowestMatch("ushers"), 2);  // she, he and hers all end in it
  EXPECT_EQ(automaton.LowestMatch("PHOTO.jpg"), kNoRow);
  EXPECT_EQ(automaton.LowestMatch("my ＰＨＯＴＯ.jpg"), 5);
  EXPECT_EQ(KeywordAutomaton({{"", 6}}).LowestMatch(""), 6);
  EXPECT_EQ(KeywordAutomaton().LowestMatch("anything"), kNoRow);
  EXPECT_EQ(KeywordAutomaton({{"a", 1}, {"b", 2}}, 0).Overflow(), 2u);

  // A small alphabet makes keywords overlap and share prefixes and suffixes.
  const std::string alphabet[] = {"a", "b", "c", "\xe5", "\x86", "写"};
  for (std::uint64_t seed = 1; seed <= 2000; ++seed) {
    std::mt19937_64 rng(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto word = [&](std::size_t maxLength) {
      std::string text;
      for (std::size_t n = pick(maxLength + 1); n > 0; --n) text += alphabet[pick(std::size(alphabet))];
      return text;
    };
    std::vector<std::string> texts(pick(12));
    for (std::string& text : texts) text = word(5);
    std::vector<Keyword> keywords;
    for (const std::string& text : texts) keywords.push_back({text, static_cast<int>(pick(20)) + 1});
    const std::size_t budget = seed % 3 == 0 ? pick(200) : KeywordAutomaton::kDefaultCellBudget;
    const KeywordAutomaton automaton(keywords, budget);
    for (int probe = 0; probe < 20; ++probe) {
      const std::string text = word(12);
      const std::string other = word(14);
      ASSERT_EQ(automaton.LowestMatch(text), BruteForceLowest(keywords, text)) << "seed " << seed << " " << text;
      // Side by side, half the time in a fresh automaton whose rows are made
      // during the paired search.
      const KeywordAutomaton fresh(keywords, budget);
      const auto [inText, inOther] = (probe % 2 ? fresh : automaton).LowestMatches(text, other);
      ASSERT_EQ(inText, BruteForceLowest(keywords, text)) << "seed " << seed << " " << text;
      ASSERT_EQ(inOther, BruteForceLowest(keywords, other)) << "seed " << seed << " " << other;
    }
  }
}

// Times around which rules and files are made: the first second of a day,
// the epoch, far past and future (a five-digit year, a negative one).
// clang-format off
// Then the seconds where the odd time values below would fall, were they read as real times.
constexpr std::int64_t kBaseTimes[] = {1224990000, 1224979200, 0, -1, 1700000000, 951782400, 4102444800,
                                       253402300800, -62167219200, -100000000000,
                                       1709251200, 1704153600, 1704070800, 1704067260};
constexpr std::int64_t kTimeOffsets[] = {0, 1, -1, 59, -60, 3600, 86400};
constexpr std::uint64_t kSizes[] = {0, 1, 9, 10, 11, 99, 100, 101, 1023, 1024, 1025, 10240, 102399, 102400, 1048575,
    1048576, 1048577, 104857600, 1073741823, 1073741824, 1073741825, 2147483648, 4294967295, 4294967296, 4294967297,
    5368709120, 9007199254740993ULL, std::numeric_limits<std::uint64_t>::max()};
// The editor's sizes first, then texts no editor writes.
const Pool kSizeTexts = {"10", "100", "1K", "10K", "100K", "1M", "10M", "100M", "1G", "", "0", "-5", "1KM", "5G",
    "G", "K", "abc", " 7", "+3", "1k", "4G", "1025", "4294967296", "9007199254740993", "99999999999999999999999",
    "2MK", "-1K", "1G1"};
const Pool kKeywords = {"", "PHOTO", "photo", "IMG", "写真", "ＰＨＯＴＯ", "a", ".", ".jpg", "jpg", "mp3", "テスト",
    "\xff", "\xe5\x86", "\x99", " ", "tar.gz", "2024", "IMG_2024", "(1)", "ト."};
const Pool kExtensions = {"jpg", "JPG", ".jpg", "", "gz", "tar.gz", "写真", "mp3", "MP3", "bak", "\xff", "jpg ", ".",
    "jp", "jpgx", "abcdefg", "abcdefgh", "abcdefgha", "写真写真"};
const Pool kDestinations = {"/dest/a", "/dest/b", std::string(kProtectMarker), std::string(kUndefinedMarker), "",
    "rel", "/d,with,comma", "/移動を禁止する/x", "\"q\""};
const Pool kNameStarts = {"PHOTO", "photo", "IMG_", "写真", "ＰＨＯＴＯ", "report", "a", "", "テスト", "\xff\xfe", " "};
const Pool kNameMiddles = {"", "", "-copy", "(1)", ".tar", "2024", "写", "."};
const Pool kNameEnds = {".jpg", ".JPG", ".tar.gz", "", ".", ".mp3.bak", ".写真", ".mp3", ".gz", ".\xff", "jpg", ".a",
    ".jp", ".jpgx", ".abcdefg", ".abcdefgh", ".abcdefgha", ".写真写真", ".abcdefg\xff"};
const Pool kOddKeys = {"", "1", "3,1K", "x,PHOTO,/d", " 1,a,/d", "+2,jpg,/d", "01,jpg,/d", "1,\"a,b\",/d",
    "1,a,b,c,d", "5,20081026120000", "6", "abc"};
// clang-format on

// Rules and files drawn from one seed, biased towards the places where a
// compiled matcher could part from the walk: boundaries, duplicates, odd keys.
class CaseGenerator {
 public:
  explicit CaseGenerator(std::uint64_t seed) : rng_(seed) {}

  std::size_t Pick(std::size_t n) { return static_cast<std::size_t>(rng_() % n); }
  bool Chance(int percent) { return static_cast<int>(Pick(100)) < percent; }
  const std::string& From(const Pool& pool) { return pool[Pick(pool.size())]; }
  std::int64_t Time(std::size_t offsets) {
    return kBaseTimes[Pick(std::size(kBaseTimes))] + kTimeOffsets[Pick(offsets)];
  }

  std::string TimeText() {
    const std::string text = TimeStampText(Time(3));
    switch (Pick(8)) {
      case 0:
        return text.substr(0, Pick(text.size() + 1));
      case 1:
        return text + std::string(1 + Pick(2), '0');
      case 2:
        // Not a real time: they order as text, never as seconds.
        return From({"abc", "9", "\xff", "２００８", " 2008", "-1", "20240230000000", "20230229120000",
                     "20241301000000", "20240101240000", "20240101006000", "20240101000060", "99991231235959"});
      default:
        return text;
    }
  }

  std::string Name() { return From(kNameStarts) + std::to_string(Pick(40)) + From(kNameMiddles) + From(kNameEnds); }

  std::string Value(int kind) {
    if (Chance(15)) kind = static_cast<int>(Pick(6)) + 1;  // a value of another kind's form
    if (kind == kNameKeyword && Chance(25)) {
      const std::string name = Name();
      const std::size_t from = Pick(name.size() + 1);
      return name.substr(from, Pick(name.size() - from + 1));
    }
    switch (kind) {
      case kNameKeyword:
        return From(kKeywords);
      case kExtension:
        return From(kExtensions);
      case kSizeSmaller:
      case kSizeLarger:
        return From(kSizeTexts);
      default:
        return TimeText();
    }
  }

  RuleList Rules() {
    RuleList rules;
    for (std::size_t n = Pick(30); n > 0; --n) {
      int kind = static_cast<int>(Pick(6)) + 1;
      if (Chance(10)) kind = std::vector<int>{0, 7, -1, 32767, 65537, std::numeric_limits<int>::min()}[Pick(6)];
      const std::string key = Chance(5) ? From(kOddKeys) : MakeRuleKey(kind, Value(kind), From(kDestinations));
      const bool checked = Chance(80);
      rules.Append({SplitRuleKey(key), checked});
    }
    return rules;
  }

  std::optional<FileFacts> Facts() {
    if (Chance(5)) return std::nullopt;
    return FileFacts{Chance(90) ? kSizes[Pick(std::size(kSizes))] : rng_(), Time(std::size(kTimeOffsets))};
  }

 private:
  std::mt19937_64 rng_;
};

std::string Show(const std::optional<RowMatch>& match) {
  return match ? "row " + std::to_string(match->position) + " -> \"" + match->destination + "\"" : "no row";
}

std::string Describe(std::uint64_t seed, const RuleList& rules, const std::string& name,
                     const std::optional<FileFacts>& facts) {
  std::ostringstream out;
  out << "seed " << seed << "\nfile \"" << name << "\" ";
  if (facts) out << "size " << facts->size << " time " << TimeStampText(facts->mtime);
  for (int position = 1; position <= rules.Count(); ++position) {
    out << "\n  " << position << (rules.Row(position).checked ? " [x] " : " [ ] ") << MakeRuleKey(rules.Row(position).rule);
  }
  return out.str();
}

TEST(RuleMatcher, AgreesWithTheWalkAndAsksTheFileSystemNoMoreThanItWould) {
  const std::string desk = "/desk";
  int matched = 0;
  int asked = 0;
  for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
    CaseGenerator generate(seed);
    const RuleList rules = generate.Rules();
    const RuleMatcher matcher(rules);
    // The file before, for judging two side by side.
    std::string lastName;
    std::optional<FileFacts> lastFacts;
    std::string lastExpected;
    for (int file = 0; file < 25; ++file) {
      const std::string name = generate.Name();
      testing::FakeFileSystem walkFiles;
      testing::FakeFileSystem matcherFiles;
      walkFiles.facts = matcherFiles.facts = generate.Facts();
      const auto expected = FirstMatchingRowByWalk(rules, Candidate(desk, name, walkFiles));
      const auto actual = matcher.FirstMatch(Candidate(desk, name, matcherFiles));
      ASSERT_EQ(Show(actual), Show(expected)) << Describe(seed, rules, name, walkFiles.facts);
      ASSERT_EQ(matcherFiles.factsAsked, walkFiles.factsAsked) << Describe(seed, rules, name, walkFiles.facts);
      ASSERT_LE(matcherFiles.factsAsked, 1);
      matched += expected.has_value();
      asked += matcherFiles.factsAsked;
      if (file > 0) {
        testing::FakeFileSystem firstFiles;
        testing::FakeFileSystem secondFiles;
        firstFiles.facts = lastFacts;
        secondFiles.facts = walkFiles.facts;
        const auto [first, second] =
            matcher.FirstMatches(Candidate(desk, lastName, firstFiles), Candidate(desk, name, secondFiles));
        ASSERT_EQ(Show(first), lastExpected) << Describe(seed, rules, lastName, lastFacts);
        ASSERT_EQ(Show(second), Show(expected)) << Describe(seed, rules, name, walkFiles.facts);
      }
      lastName = name;
      lastFacts = walkFiles.facts;
      lastExpected = Show(expected);
    }
  }
  // The generator must reach both sides of every question, or agreeing says little.
  EXPECT_GT(matched, 20000);
  EXPECT_LT(matched, 65000);
  EXPECT_GT(asked, 10000);

  RuleList disabledOrUnknown;
  AddRuleItem(disabledOrUnknown, false, 1, "", "/x");
  AddRuleItem(disabledOrUnknown, true, 9, "", "/x");
  EXPECT_TRUE(RuleMatcher(disabledOrUnknown).Empty());
  AddRuleItem(disabledOrUnknown, true, 1, "a", kUndefinedMarker);
  EXPECT_FALSE(RuleMatcher(disabledOrUnknown).Empty());
}

TEST(TimeStampText, WritesFourteenDigitsAndOddYearsInFull) {
  // The quick digit writer must give what the formatter gives, for any time.
  std::mt19937_64 rng(42);
  std::vector<std::int64_t> times(std::begin(kBaseTimes), std::end(kBaseTimes));
  for (int i = 0; i < 2000; ++i) times.push_back(static_cast<std::int64_t>(rng() % 20000000000ULL) - 5000000000LL);
  for (const std::int64_t time : times) {
    const LocalTime t = ToLocalTime(time);
    char expected[80];
    std::snprintf(expected, sizeof expected, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    ASSERT_EQ(TimeStampText(time), expected) << time;
  }
  EXPECT_EQ(TimeStampText(253402300800).size(), 15u);  // year 10000
  EXPECT_EQ(TimeStampText(-62167219200 - 86400 * 366).front(), '-');
}

// Local times are worked out once or twice a day of file times: they must
// agree with the C library's, second by second, through changes of summer
// time and a leap second, in zones written out and from the database.
TEST(LocalTimes, AgreeWithTheCLibraryInZonesWithSummerTimeAndLeapSeconds) {
  const std::string old = std::getenv("TZ") ? std::getenv("TZ") : "";
  for (const char* tz : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
                         "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "right/Europe/Berlin", "Europe/Moscow"}) {
    setenv("TZ", tz, 1);
    tzset();
    LocalTimes times;
    std::mt19937_64 rng(7);
    // The days around the leap second that ended 2016, two years by 7
    // minutes, random times from 1800 to 2200, and the edges of the years
    // of four digits.
    std::vector<std::int64_t> samples;
    for (std::int64_t t = 1483142400; t < 1483315300; ++t) samples.push_back(t);
    for (std::int64_t t = 1704067200; t < 1767225600; t += 419) samples.push_back(t);
    for (int i = 0; i < 100000; ++i)
      samples.push_back(static_cast<std::int64_t>(rng() % 12623040000ULL) - 5364662400LL);
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
  old.empty() ? unsetenv("TZ") : setenv("TZ", old.c_str(), 1);
  tzset();
  EXPECT_EQ(LocalSeconds({1970, 1, 2, 1, 0, 1}), 86400 + 3601);
  EXPECT_FALSE(IsOrdinary({2023, 2, 29, 0, 0, 0}) || IsOrdinary({10000, 1, 1, 0, 0, 0}) ||
               IsOrdinary({-1, 12, 31, 0, 0, 0}));
}

}  // namespace
}  // namespace veskora
