// The matcher against a plain first match over the rows, on generated rules
// and files: the answer, and whether the file system was asked, must agree.
// Then what tells a download still arriving by the names beside it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <random>
#include <set>
#include <tuple>

#include "adapters/posix/posix_file_system.h"
#include "mover/arriving.h"
#include "mover/rule_matcher.h"
#include "ports/clock.h"
#include "rules/move_rule.h"
#include "rules/rule_list_ops.h"
#include "mover/local_time.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using Pool = std::vector<std::string>;

// One answer for every file's facts, counting the questions; it lists nothing and moves nothing.
class FakeFileSystem final : public FileSystem {
 public:
  using S = const std::string&;
  void BeginCycle(S) override {}
  std::optional<FolderListing> List(S) override { return FolderListing{}; }
  std::optional<FileFacts> Facts(S, S) override { return ++factsAsked, facts; }
  std::optional<FileIdentity> Identity(S, S) override { return std::nullopt; }
  MoveOutcome Check(S, S, S) override { return MoveOutcome::kFailed; }
  MoveOutcome Move(S, S, S, FileIdentity*) override { return MoveOutcome::kFailed; }

  std::optional<FileFacts> facts;
  int factsAsked = 0;
};

// Whether a time rule may be read as a comparison of texts: the time has 14
// digits and the clocks showed them only once (not in the second pass of the
// hour summer time ends, where a value names the earlier instant).
bool ReadAsText(std::int64_t time) {
  const LocalTime local = ToLocalTime(time);
  return local.year >= 1000 && local.year <= 9999 && TimeStampText(time - 3600) < TimeStampText(time);
}

// The plain first match the matcher must always agree with; where it may, a
// time rule compares the file's time text with the value, as the value reads.
std::optional<int> PlainFirstMatch(const RuleList& rules, const Candidate& file) {
  for (int position = 1; position <= rules.Count(); ++position) {
    const RuleRow& row = rules.Row(position);
    const int kind = row.rule.kind;
    if (!row.checked) continue;
    bool meets = MeetsCondition(kind, row.rule.value, file);
    if ((kind == kTimeOlder || kind == kTimeNewer) && file.Facts() && ReadAsText(file.Facts()->mtime)) {
      const std::string& text = *file.TimeText();
      meets = kind == kTimeOlder ? text < row.rule.value : text > row.rule.value;
    }
    if (meets) return position;
  }
  return std::nullopt;
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
// clang-format on

// Rules and files drawn from one seed, biased towards the places where a
// compiled matcher could part from the walk: boundaries, duplicates, odd kinds and values.
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
    const std::size_t form = Pick(8);
    if (form == 0) return text.substr(0, Pick(text.size() + 1));
    if (form == 1) return text + std::string(1 + Pick(2), '0');
    if (form > 2) return text;
    // Not a real time: they order as text, never as seconds.
    return From({"abc", "9", "\xff", "２００８", " 2008", "-1", "20240230000000", "20230229120000", "20241301000000",
                 "20240101240000", "20240101006000", "20240101000060", "99991231235959"});
  }

  std::string Name() { return From(kNameStarts) + std::to_string(Pick(40)) + From(kNameMiddles) + From(kNameEnds); }

  std::string Value(int kind) {
    if (Chance(15)) kind = static_cast<int>(Pick(6)) + 1;  // a value of another kind's form
    if (kind == kNameKeyword && Chance(25)) {
      const std::string name = Name();
      const std::size_t from = Pick(name.size() + 1);
      return name.substr(from, Pick(name.size() - from + 1));
    }
    if (kind == kNameKeyword) return From(kKeywords);
    if (kind == kExtension) return From(kExtensions);
    return kind == kSizeSmaller || kind == kSizeLarger ? From(kSizeTexts) : TimeText();
  }

  RuleList Rules() {
    RuleList rules;
    for (std::size_t n = Pick(30); n > 0; --n) {
      int kind = static_cast<int>(Pick(6)) + 1;
      if (Chance(10)) kind = std::vector<int>{0, 7, -1, 32767, 65537, std::numeric_limits<int>::min()}[Pick(6)];
      rules.Append({{kind, Value(kind), From(kDestinations)}, Chance(80)});
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

TEST(RuleMatcher, TimeValuesAreSecondsTheClocksShowed) {
  setenv("TZ", "Europe/Berlin", 1);  // summer time: hours skipped and hours shown twice
  tzset();
  constexpr auto kFirst = std::numeric_limits<std::int64_t>::min(), kLast = std::numeric_limits<std::int64_t>::max();
  const std::tuple<int, const char*, std::int64_t> rows[] = {
      {kTimeOlder, "20081026023000", 1224981000},  // shown twice: the earlier, 00:30 UTC
      {kTimeOlder, "20081026033000", 1224988200},
      {kTimeOlder, "20080330023000", 1206838800},  // skipped: the jump, 01:00 UTC
      {kTimeOlder, "2024", 1704063600},
      {kTimeNewer, "20240101000000", 1704063601},  // newer is after, not at
      {kTimeNewer, "2024010100000000", 1704063601},
      {kTimeOlder, "20241301000000", 1735686000},  // a 13th month is the next year
      {kTimeOlder, "20240230250000", 1709247600},  // 30 February is 1 March
      {kTimeOlder, "2024010124", 1704150000},
      {kTimeOlder, "202401:", 1706742000},  // ':' sorts above every digit
      {kTimeOlder, "abc", kLast},
      {kTimeOlder, "", kFirst},
      {kTimeNewer, "", kFirst},
  };
  for (const auto& [kind, value, bound] : rows) EXPECT_EQ(TimeBound(kind, value), bound) << value;
}

TEST(RuleMatcher, AgreesWithTheWalkAndAsksTheFileSystemNoMoreThanItWould) {
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  const std::string desk = "/desk";
  int matched = 0;
  int asked = 0;
  for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
    CaseGenerator generate(seed);
    const RuleList rules = generate.Rules();
    const RuleMatcher matcher(rules);
    for (int file = 0; file < 25; ++file) {
      const std::string name = generate.Name();
      FakeFileSystem walkFiles;
      FakeFileSystem matcherFiles;
      walkFiles.facts = matcherFiles.facts = generate.Facts();
      const auto expected = PlainFirstMatch(rules, Candidate(desk, name, walkFiles));
      const auto actual = matcher.FirstMatch(Candidate(desk, name, matcherFiles));
      // The seed alone replays the case.
      ASSERT_EQ(actual, expected) << "seed " << seed << " file " << name;
      ASSERT_EQ(matcherFiles.factsAsked, walkFiles.factsAsked) << "seed " << seed << " file " << name;
      ASSERT_LE(matcherFiles.factsAsked, 1);
      matched += expected.has_value();
      asked += matcherFiles.factsAsked;
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

using Names = std::set<std::string>;

// The names of a real folder holding `present` (a trailing "/" makes a
// folder) that count as still arriving.
Names ArrivingAmong(const std::vector<std::string>& present) {
  testing::TempDir dir;
  for (const std::string& name : present) {
    if (name.back() == '/') {
      dir.MakeDir(name.substr(0, name.size() - 1));
    } else {
      testing::WriteFile(dir / name, "x");
    }
  }
  PosixFileSystem files;
  const auto listing = files.List(dir.Path());
  Names arriving;
  for (std::size_t i = 0; listing && i < listing->size(); ++i) {
    if ((*listing)[i].file && StillArriving(*listing, i)) arriving.insert((*listing)[i].name);
  }
  return arriving;
}

TEST(StillArriving, TellsUnfinishedDownloadsFromFinishedFilesByTheNamesBesideThem) {
  // what the case shows, the names present, those still arriving
  const std::tuple<const char*, std::vector<std::string>, Names> cases[] = {
      {"Firefox: the placeholder and its partial file; names sorting between them",
       {"a.pdf", "a.pdf (1).pdf", "a.pdf-2", "a.pdf.bak", "a.pdf.part"},
       {"a.pdf", "a.pdf.part"}},
      {"names only unfinished downloads carry (Chromium, WebKitGTK, qBittorrent), alone or beside their file",
       {"Unconfirmed 481516.crdownload", "clip.mp4", "clip.mp4.crdownload", "doc.odt", "doc.odt.wkdownload",
        "film.mkv.!qB"},
       {"Unconfirmed 481516.crdownload", "clip.mp4", "clip.mp4.crdownload", "doc.odt", "doc.odt.wkdownload",
        "film.mkv.!qB"}},
      {"aria2: partial data beside its control file; a stale control file alone",
       {"linux.iso", "linux.iso.aria2", "old.iso.aria2"},
       {"linux.iso", "linux.iso.aria2"}},
      {"a Safari-style folder marks its file; a file of that name marks nothing",
       {"book.epub", "book.epub.download/", "song.mp3", "song.mp3.download"},
       {"book.epub"}},
      {"a marker beyond a long run of names that begin like its file",
       {"f", "f 1", "f 2", "f 3", "f 4", "f 5", "f 6", "f 7", "f 8", "f 9",    "f-",      "f.download/",
        "g", "g 1", "g 2", "g 3", "g 4", "g 5", "g 6", "g 7", "g 8", "g 9",    "g.part/", "g.zip",
        "h", "h 1", "h 2", "h 3", "h 4", "h 5", "h 6", "h 7", "h 8", "h.aria2"},
       {"f", "h", "h.aria2"}},
      {"a lone .part (a paused download), unrelated names, markers beside folders",
       {"archive.part", "notes.txt", "notes.txt.bak", "b.txt", "b.txt.partial", "photos/", "photos.part", "x.aria2/",
        "x"},
       {"archive.part", "photos.part"}},
  };
  for (const auto& [what, present, arriving] : cases) EXPECT_EQ(ArrivingAmong(present), arriving) << what;
}

}  // namespace
}  // namespace veskora
