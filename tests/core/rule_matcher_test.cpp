#include "mover/rule_matcher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "mover/conditions.h"
#include "mover/keyword_automaton.h"
#include "mover/rule_walk.h"
#include "platform/posix/clock.h"
#include "platform/posix/folder_listing.h"
#include "platform/posix/posix_file_system.h"
#include "rules/move_rule.h"
#include "rules/rule_key.h"
#include "rules/rule_list.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using Keyword = KeywordAutomaton::Keyword;

// Length and time handed in by the test instead of the file system.
class FixedFacts {
 public:
  explicit FixedFacts(std::optional<FileFacts> facts) { files_.facts = facts; }
  operator FileSystem&() const { return files_; }
  int Calls() const { return files_.factsAsked; }

 private:
  mutable testing::FakeFileSystem files_;
};

std::string Show(const std::optional<RowMatch>& match) {
  return match ? "row " + std::to_string(match->position) + " -> \"" + match->destination + "\"" : "no row";
}

int BruteForceLowest(const std::vector<Keyword>& keywords, std::string_view text) {
  int best = kNoRow;
  for (const Keyword& keyword : keywords) {
    if (text.find(keyword.text) != std::string_view::npos) best = std::min(best, keyword.position);
  }
  return best;
}

// ---------------------------------------------------------------- automaton

// The generated test below covers overlaps, duplicates, empty and multi-byte
// keywords; these pin what it cannot: overflow counts and full-width letters.
TEST(KeywordAutomaton, FocusedCases) {
  const KeywordAutomaton automaton({{"his", 1}, {"hers", 2}, {"she", 3}, {"he", 4}, {"ＰＨＯＴＯ", 5}});
  EXPECT_EQ(automaton.LowestMatch("ushers"), 2);  // she, he and hers all end in it
  EXPECT_EQ(automaton.LowestMatch("shx"), kNoRow);
  EXPECT_EQ(automaton.LowestMatch("PHOTO.jpg"), kNoRow);
  EXPECT_EQ(automaton.LowestMatch("my ＰＨＯＴＯ.jpg"), 5);
  EXPECT_EQ(automaton.LowestPosition(), 1);
  EXPECT_EQ(automaton.Overflow(), 0u);
  EXPECT_EQ(KeywordAutomaton({{"", 6}}).LowestMatch(""), 6);
  EXPECT_TRUE(KeywordAutomaton().Empty());
  EXPECT_EQ(KeywordAutomaton().LowestMatch("anything"), kNoRow);

  const std::vector<Keyword> keywords = {{"report", 1}, {"photo", 2}, {"invoice", 3}, {"a", 4}, {"", 5}};
  const KeywordAutomaton tight(keywords, 40);
  EXPECT_GT(tight.Overflow(), 0u);
  EXPECT_LT(tight.Overflow(), 4u);
  const KeywordAutomaton none(keywords, 0);
  EXPECT_EQ(none.Overflow(), 4u);
  for (const char* text : {"photo-report", "invoice", "a", "b", "", "xphotox", "reporta"}) {
    EXPECT_EQ(tight.LowestMatch(text), BruteForceLowest(keywords, text)) << text;
    EXPECT_EQ(none.LowestMatch(text), BruteForceLowest(keywords, text)) << text;
  }
}

TEST(KeywordAutomaton, AgreesWithAPlainSearchOnGeneratedKeywords) {
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
    std::vector<std::string> texts;
    std::vector<Keyword> keywords;
    const std::size_t count = pick(12);
    texts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) texts.push_back(word(5));
    for (std::size_t i = 0; i < count; ++i) keywords.push_back({texts[i], static_cast<int>(pick(20)) + 1});
    const KeywordAutomaton automaton(keywords, seed % 3 == 0 ? pick(200) : KeywordAutomaton::kDefaultCellBudget);
    for (int probe = 0; probe < 20; ++probe) {
      const std::string text = word(12);
      ASSERT_EQ(automaton.LowestMatch(text), BruteForceLowest(keywords, text)) << "seed " << seed << " text " << text;
    }
  }
}

// ------------------------------------------------------- generated rule lists

// Times around which rules and files are made: the first second of a day,
// the epoch, far past and future (a five-digit year, a negative one).
constexpr std::int64_t kBaseTimes[] = {
    1224990000, 1224979200, 0, -1, 1700000000, 951782400, 4102444800, 253402300800, -62167219200, -100000000000};
constexpr std::int64_t kTimeOffsets[] = {0, 1, -1, 59, -60, 3600, 86400};

constexpr std::uint64_t kSizes[] = {0,
                                    1,
                                    9,
                                    10,
                                    11,
                                    99,
                                    100,
                                    101,
                                    1023,
                                    1024,
                                    1025,
                                    10240,
                                    102399,
                                    102400,
                                    1048575,
                                    1048576,
                                    1048577,
                                    104857600,
                                    1073741823,
                                    1073741824,
                                    1073741825,
                                    2147483648,
                                    4294967295,
                                    4294967296,
                                    4294967297,
                                    5368709120,
                                    9007199254740993ULL,
                                    std::numeric_limits<std::uint64_t>::max()};

// The editor's list first, then texts no editor writes.
const std::vector<std::string> kSizeTexts = {"10",
                                             "100",
                                             "1K",
                                             "10K",
                                             "100K",
                                             "1M",
                                             "10M",
                                             "100M",
                                             "1G",
                                             "",
                                             "0",
                                             "-5",
                                             "1KM",
                                             "5G",
                                             "G",
                                             "K",
                                             "abc",
                                             " 7",
                                             "+3",
                                             "1k",
                                             "4G",
                                             "3M",
                                             "1025",
                                             "4294967296",
                                             "9007199254740993",
                                             "99999999999999999999999",
                                             "2MK",
                                             "-1K",
                                             "1G1"};

const std::vector<std::string> kKeywords = {"",       "PHOTO", "photo",    "IMG",    "写真", "ＰＨＯＴＯ", "a",    ".",
                                            ".jpg",   "jpg",   "mp3",      "テスト", "\xff", "\xe5\x86",   "\x99", " ",
                                            "tar.gz", "2024",  "IMG_2024", "copy",   "(1)",  "ト."};

const std::vector<std::string> kExtensions = {"jpg", "JPG", ".jpg", "",     "gz",   "tar.gz", "写真", "mp3",
                                              "txt", "MP3", "bak",  "\xff", "jpg ", "a",      "."};

const std::vector<std::string> kDestinations = {"/dest/a",
                                                "/dest/b",
                                                std::string(kProtectMarker),
                                                std::string(kUndefinedMarker),
                                                "",
                                                "rel",
                                                "/d,with,comma",
                                                "/移動を禁止する/x",
                                                "\"q\""};

const std::vector<std::string> kNameStarts = {"PHOTO", "photo",  "IMG_",     "写真", "ＰＨＯＴＯ", "report",  "a",
                                              "",      "テスト", "\xff\xfe", " ",    "2024",       "copy of "};
const std::vector<std::string> kNameMiddles = {"", "", "-copy", "(1)", ".tar", "2024", "写", "."};
const std::vector<std::string> kNameEnds = {".jpg", ".JPG", ".tar.gz", "",      ".",   ".mp3.bak", ".写真",
                                            ".mp3", ".txt", ".gz",     ".\xff", "jpg", ".a"};

// Rules and files drawn from one seed, biased towards the places where a
// compiled matcher could part from the walk: boundaries, duplicates, odd keys.
class CaseGenerator {
 public:
  explicit CaseGenerator(std::uint64_t seed) : rng_(seed) {}

  std::size_t Pick(std::size_t n) { return static_cast<std::size_t>(rng_() % n); }
  bool Chance(int percent) { return static_cast<int>(Pick(100)) < percent; }
  template <typename T>
  const T& From(const std::vector<T>& pool) {
    return pool[Pick(pool.size())];
  }

  std::string TimeText() {
    std::string text = TimeStampText(kBaseTimes[Pick(std::size(kBaseTimes))] + kTimeOffsets[Pick(3)]);
    switch (Pick(8)) {
      case 0:
        return text.substr(0, Pick(text.size() + 1));  // any shorter length, empty included
      case 1:
        return text + std::string(1 + Pick(2), '0');
      case 2:
        return From(std::vector<std::string>{"abc", "9", "\xff", "２００８", " 2008", "-1"});
      default:
        return text;
    }
  }

  std::string Name() { return From(kNameStarts) + std::to_string(Pick(40)) + From(kNameMiddles) + From(kNameEnds); }

  std::string Value(int kind) {
    if (Chance(15)) kind = static_cast<int>(Pick(6)) + 1;  // a value of another kind's form
    switch (kind) {
      case kNameKeyword:
        if (Chance(25)) {
          const std::string name = Name();
          const std::size_t from = Pick(name.size() + 1);
          return name.substr(from, Pick(name.size() - from + 1));
        }
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

  std::string Key() {
    if (Chance(5)) {
      return From(std::vector<std::string>{"", "1", "2", "3,1K", "x,PHOTO,/d", " 1,a,/d", "+2,jpg,/d", "01,jpg,/d",
                                           "1,\"a,b\",/d", "1,a,b,c,d", "5,20081026120000", "6", "abc"});
    }
    int kind = static_cast<int>(Pick(6)) + 1;
    if (Chance(10)) kind = From(std::vector<int>{0, 7, -1, -32768, 32767, 65537, std::numeric_limits<int>::min()});
    return MakeRuleKey(kind, Value(kind), From(kDestinations));
  }

  RuleList Rules() {
    RuleList rules;
    for (std::size_t n = Pick(30); n > 0; --n) {
      const bool checked = Chance(80);
      // A key already taken leaves the row's key empty.
      if (rules.Append({"", "", Key(), checked}) == 0) rules.Append({"", "", "", checked});
    }
    return rules;
  }

  std::optional<FileFacts> Stat() {
    if (Chance(5)) return std::nullopt;
    const std::uint64_t size = Chance(90) ? kSizes[Pick(std::size(kSizes))] : rng_();
    return FileFacts{size, kBaseTimes[Pick(std::size(kBaseTimes))] + kTimeOffsets[Pick(std::size(kTimeOffsets))]};
  }

 private:
  std::mt19937_64 rng_;
};

std::string Describe(std::uint64_t seed, const RuleList& rules, const std::string& name,
                     const std::optional<FileFacts>& stat) {
  std::ostringstream out;
  out << "seed " << seed << "\nfile \"" << name << "\" ";
  if (stat) {
    out << "size " << stat->size << " time " << TimeStampText(stat->mtime);
  } else {
    out << "cannot be queried";
  }
  for (int position = 1; position <= rules.Count(); ++position) {
    out << "\n  " << position << (rules.Row(position).checked ? " [x] " : " [ ] ") << rules.Row(position).key;
  }
  return out.str();
}

TEST(RuleMatcher, AgreesWithTheWalkOnGeneratedRulesAndFiles) {
  int matched = 0;
  int statted = 0;
  for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
    CaseGenerator generate(seed);
    const RuleList rules = generate.Rules();
    const RuleMatcher matcher(rules);
    for (int file = 0; file < 25; ++file) {
      const std::string name = generate.Name();
      const std::optional<FileFacts> stat = generate.Stat();
      const FixedFacts walkFacts(stat);
      const FixedFacts matcherFacts(stat);
      const auto expected = FirstMatchingRowByWalk(rules, Candidate(std::string("/desk"), name, walkFacts));
      const auto actual = matcher.FirstMatch(Candidate(std::string("/desk"), name, matcherFacts));
      ASSERT_EQ(Show(actual), Show(expected)) << Describe(seed, rules, name, stat);
      // Asked exactly when the walk would have been, and never twice.
      ASSERT_EQ(matcherFacts.Calls(), walkFacts.Calls()) << Describe(seed, rules, name, stat);
      ASSERT_LE(matcherFacts.Calls(), 1) << Describe(seed, rules, name, stat);
      matched += expected.has_value();
      statted += matcherFacts.Calls();
    }
  }
  // The generator must reach both sides of every question, or agreeing says little.
  EXPECT_GT(matched, 20000);
  EXPECT_LT(matched, 65000);
  EXPECT_GT(statted, 10000);
}

TEST(RuleMatcher, AgreesWithTheWalkOnRealFiles) {
  testing::TempDir dir;
  const std::string desktop = dir.MakeDir("Desktop");
  std::vector<std::string> written;
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    CaseGenerator generate(seed * 7919);
    const std::string name = generate.Name();
    if (name.empty() || name.front() == '.' || name == "." || name == "..") continue;
    const std::string path = desktop + "/" + name;
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    // Sparse, so a file above 4 GiB costs no disk.
    const auto size = static_cast<off_t>(kSizes[generate.Pick(std::size(kSizes) - 2)]);
    ASSERT_EQ(ftruncate(fd, size), 0) << path;
    close(fd);
    const std::int64_t when = kBaseTimes[generate.Pick(2)] + kTimeOffsets[generate.Pick(std::size(kTimeOffsets))];
    testing::SetMtime(path, ToLocalTime(when));
    written.push_back(name);
  }
  // One listed file vanishes before it is judged: it meets no size or time rule.
  const std::string vanished = "vanished.jpg";
  testing::WriteFile(desktop + "/" + vanished, "x");
  PosixFileSystem facts;
  const auto listing = facts.List(desktop);
  ASSERT_TRUE(listing);
  std::vector<std::string> names_;
  for (const FolderEntry& entry : *listing) names_.push_back(entry.name);
  const auto* names = &names_;
  ASSERT_GT(names->size(), 40u);
  ASSERT_EQ(unlink((desktop + "/" + vanished).c_str()), 0);

  int compared = 0;
  int matched = 0;
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    CaseGenerator generate(seed);
    const RuleList rules = generate.Rules();
    const RuleMatcher matcher(rules);
    for (const std::string& name : *names) {
      const auto expected = FirstMatchingRowByWalk(rules, Candidate(desktop, name, facts));
      const auto actual = matcher.FirstMatch(Candidate(desktop, name, facts));
      ASSERT_EQ(Show(actual), Show(expected)) << Describe(seed, rules, name, FactsAt(AT_FDCWD, desktop + "/" + name));
      ++compared;
      matched += expected.has_value();
    }
  }
  EXPECT_GT(compared, 8000);
  EXPECT_GT(matched, compared / 5);
  EXPECT_LT(matched, compared);
}

// ------------------------------------------------------------ focused cases

TEST(FolderFacts, AnswerAsTheFullPathDoes) {
  testing::TempDir dir;
  const std::string desktop = dir.MakeDir("Desktop");
  testing::WriteFile(desktop + "/small.txt", "12345");
  testing::SetMtime(desktop + "/small.txt", {2008, 10, 26, 11, 59, 59});
  const int fd = open((desktop + "/huge.iso").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);
  close(fd);
  ASSERT_EQ(symlink("small.txt", (desktop + "/link.txt").c_str()), 0);

  PosixFileSystem facts;
  ASSERT_TRUE(facts.List(desktop));
  PosixFileSystem unlisted;  // asks by the full path
  for (const std::string name : {"small.txt", "huge.iso", "link.txt", "gone.txt"}) {
    const std::optional<FileFacts> expected = FactsAt(AT_FDCWD, desktop + "/" + name);
    EXPECT_EQ(facts.Facts(desktop, name), expected) << name;
    EXPECT_EQ(unlisted.Facts(desktop, name), expected) << name;
  }
  EXPECT_EQ(FactsAt(AT_FDCWD, desktop + "/huge.iso")->size, 5ULL << 30);
  const std::string small = "small.txt";
  EXPECT_EQ(*Candidate(desktop, small, facts).TimeText(), "20081026115959");
}

TEST(RuleMatcher, EmptyOnlyWithoutAnEnabledRowOfAKnownKind) {
  RuleList rules;
  AddRuleItem(rules, false, 1, "", "/x");
  AddRuleItem(rules, true, 9, "", "/x");
  EXPECT_TRUE(RuleMatcher(rules).Empty());
  EXPECT_TRUE(RuleMatcher(RuleList()).Empty());
  AddRuleItem(rules, true, 1, "a", kUndefinedMarker);
  EXPECT_FALSE(RuleMatcher(rules).Empty());
}

TEST(RuleMatcher, TheFileSystemIsAskedOnlyWhenASizeOrTimeRowComesFirst) {
  RuleList nameFirst;
  AddRuleItem(nameFirst, true, 2, "jpg", "/pictures");
  AddRuleItem(nameFirst, true, 3, "1K", "/small");
  AddRuleItem(nameFirst, true, 5, "20081026120000", "/old");
  const FixedFacts notAsked(FileFacts{10, 0});
  EXPECT_EQ(Show(RuleMatcher(nameFirst).FirstMatch(Candidate(std::string("/d"), "a.jpg", notAsked))),
            "row 1 -> \"/pictures\"");
  EXPECT_EQ(notAsked.Calls(), 0);

  const FixedFacts askedOnce(FileFacts{10, 0});
  EXPECT_EQ(Show(RuleMatcher(nameFirst).FirstMatch(Candidate(std::string("/d"), "a.png", askedOnce))),
            "row 2 -> \"/small\"");
  EXPECT_EQ(askedOnce.Calls(), 1);

  RuleList sizeFirst;
  AddRuleItem(sizeFirst, true, 4, "1G", "/huge");
  AddRuleItem(sizeFirst, true, 6, "20081026120000", "/new");
  AddRuleItem(sizeFirst, true, 1, "a", "/a");
  const FixedFacts big(FileFacts{5ULL << 30, 0});
  EXPECT_EQ(Show(RuleMatcher(sizeFirst).FirstMatch(Candidate(std::string("/d"), "a", big))), "row 1 -> \"/huge\"");
  const FixedFacts unknown(std::nullopt);
  EXPECT_EQ(Show(RuleMatcher(sizeFirst).FirstMatch(Candidate(std::string("/d"), "a", unknown))), "row 3 -> \"/a\"");
  EXPECT_EQ(unknown.Calls(), 1);
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

}  // namespace
}  // namespace veskora
