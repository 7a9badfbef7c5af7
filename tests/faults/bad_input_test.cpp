// Bad input, each with a safe outcome: rule files that are damaged or odd load
// what they can and save back exactly what loaded; odd file names on the
// desktop are moved like any other and logged on one line each; destinations
// and desktops that are no usable folder move nothing and write nowhere.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "platform/posix/posix_file_system.h"
#include "rules/rule_file.h"
#include "rules/rule_key.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::WriteFile;

std::string Rows(const RuleList& list) {
  std::string rows;
  for (const RuleRow& row : list.Rows()) rows += (row.checked ? "+" : "-") + row.key + "\n";
  return rows;
}

// Loads the bytes as a rule file, saves what loaded and loads that again: the
// rows must survive unchanged. Returns the rows that loaded.
RuleList LoadAndRoundTrip(const std::string& bytes) {
  testing::TempDir dir;
  WriteFile(dir / "ZUL.dat", bytes);
  RuleList first;
  LoadRules(first, dir / "ZUL.dat");
  EXPECT_TRUE(SaveRules(first, dir / "ZUL.dat"));
  RuleList second;
  EXPECT_EQ(LoadRules(second, dir / "ZUL.dat"), LoadOutcome::kComplete);
  EXPECT_EQ(Rows(second), Rows(first));
  return first;
}

TEST(BadRuleFile, BinaryGarbageLoadsWhatItCanAndSavesItBackUnchanged) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    std::string bytes(std::size_t{1} << 16, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    // Every fourth one has line ends and commas enough to make records.
    if (seed % 4 == 0) {
      for (std::size_t i = 0; i < bytes.size(); i += 7) bytes[i] = i % 3 == 0 ? '\n' : ',';
    }
    SCOPED_TRACE(seed);
    LoadAndRoundTrip(bytes);
  }
}

TEST(BadRuleFile, ANulByteStaysPartOfItsFieldAndLoadingGoesOn) {
  const RuleList list = LoadAndRoundTrip(std::string("-1,1,a\0b,/x\r\n-1,2,txt,/y\r\n", 25));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(SplitRuleKey(list.Row(1).key).value, std::string("a\0b", 3));
  EXPECT_EQ(list.Row(2).key, "2,txt,/y");
}

TEST(BadRuleFile, ATenMegabyteLineIsOneRule) {
  const std::string huge(10u << 20, 'k');
  const RuleList list = LoadAndRoundTrip("-1,1," + huge + ",/x\r\n0,2,txt,/y\r\n");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(SplitRuleKey(list.Row(1).key).value.size(), huge.size());
  EXPECT_EQ(list.Row(2).key, "2,txt,/y");
  EXPECT_FALSE(list.Row(2).checked);
}

TEST(BadRuleFile, AnyLineEndAndAByteOrderMarkReadTheSame) {
  const std::string expected = "+1,PHOTO,/p\n-2,mp3,(移動を禁止する)\n+6,20261026120000,/new\n";
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string text =
        std::string("-1,1,PHOTO,/p") + end + "0,2,mp3,(移動を禁止する)" + end + "-1,6,20261026120000,/new" + end;
    SCOPED_TRACE(end[0] == '\r' && end[1] ? "CR LF" : end[0] == '\n' ? "LF" : "CR");
    EXPECT_EQ(Rows(LoadAndRoundTrip(text)), expected);
    EXPECT_EQ(Rows(LoadAndRoundTrip("\xEF\xBB\xBF" + text)), expected);
  }
  // Mixed, and without an end on the last line.
  EXPECT_EQ(Rows(LoadAndRoundTrip("-1,1,PHOTO,/p\r0,2,mp3,(移動を禁止する)\n-1,6,20261026120000,/new")), expected);
}

TEST(BadRuleFile, OneFieldThatIsNotUtf8LeavesTheOtherRulesTextAlone) {
  // A Latin-1 "é" and a lone continuation byte, neither of them Shift-JIS,
  // and two that happen to be valid Shift-JIS.
  for (const char* odd : {"caf\xE9", "\x80", "caf\xE9s", "\xC3("}) {
    SCOPED_TRACE(odd);
    const RuleList list = LoadAndRoundTrip("-1,1,写真,/home/u/写真\r\n-1,1," + std::string(odd) +
                                           ",/home/u/cafe\r\n-1,2,mp3,(移動を禁止する)\r\n");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Row(1).key, "1,写真,/home/u/写真");
    EXPECT_EQ(list.Row(3).key, "2,mp3,(移動を禁止する)");
  }
}

TEST(BadRuleFile, KindsOutOfRangeLoadNeverMatchAndSurviveASave) {
  testing::TempDir dir;
  const std::string desktop = dir.MakeDir("Desktop");
  const std::string target = dir.MakeDir("Target");
  const RuleList list =
      LoadAndRoundTrip("-1,40000,," + target + "\r\n-1,-5,," + target + "\r\n-1,0,," + target + "\r\n");
  ASSERT_EQ(list.Count(), 3);

  WriteFile(desktop + "/a.txt", "a");
  testing::FakeClock clock({2026, 1, 1, 0, 0, 0});
  MoveLog log(dir / "veskora.log", clock, nullptr);
  PosixFileSystem files;
  ScanEnvironment env{[&] { return desktop; }, &files, &log};
  RunScanCycle(list, env);
  EXPECT_EQ(ListNames(desktop), "a.txt");
  EXPECT_FALSE(Exists(dir / "veskora.log"));
}

TEST(BadRuleFile, AHundredThousandLinesAllLoadAndTheLastStillMatches) {
  testing::TempDir dir;
  const std::string desktop = dir.MakeDir("Desktop");
  const std::string target = dir.MakeDir("Target");
  std::string text;
  for (int i = 0; i < 99999; ++i) text += "-1,1,never" + std::to_string(i) + "," + target + "\r\n";
  text += "-1,2,last," + target + "\r\n";
  const RuleList list = LoadAndRoundTrip(text);
  ASSERT_EQ(list.Count(), 100000);

  WriteFile(desktop + "/file.last", "x");
  testing::FakeClock clock({2026, 1, 1, 0, 0, 0});
  MoveLog log(dir / "veskora.log", clock, nullptr);
  PosixFileSystem files;
  ScanEnvironment env{[&] { return desktop; }, &files, &log};
  RunScanCycle(list, env);
  EXPECT_EQ(ListNames(target), "file.last");
}

// A desktop, a destination and a log in one folder; the cycle moves every file.
class OddDesktop : public ::testing::Test {
 protected:
  OddDesktop() : log_(dir_ / "veskora.log", clock_, nullptr) {}

  void CycleInto(const std::string& destination) {
    RuleList rules;
    AddRuleItem(rules, true, 1, "", destination);
    PosixFileSystem files;
    ScanEnvironment env{[this] { return desktop_; }, &files, &log_};
    RunScanCycle(rules, env);
  }
  std::string Log() const { return Exists(log_.Path()) ? ReadFile(log_.Path()) : ""; }

  testing::TempDir dir_;
  std::string desktop_ = dir_.MakeDir("Desktop");
  std::string target_ = dir_.MakeDir("Target");
  testing::FakeClock clock_{{2026, 10, 26, 14, 5, 9}};
  MoveLog log_;
};

TEST_F(OddDesktop, OddNamesAreMovedAsTheyAreAndLoggedOneLineEach) {
  const std::string longest(255, 'n');
  const std::vector<std::string> names = {
      "a\nb.txt", "\xFF\xFE.bin", longest, "  leading blanks.txt", "tab\there", "line\r\nend", "を へ移動しました"};
  for (const std::string& name : names) WriteFile(desktop_ + "/" + name, name);
  CycleInto(target_);
  EXPECT_EQ(ListNames(desktop_), "");
  for (const std::string& name : names) EXPECT_EQ(ReadFile(target_ + "/" + name), name);
  const std::string log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 7);
  EXPECT_NE(log.find("] a\\nb.txt を "), std::string::npos);
  EXPECT_NE(log.find("] \\xFF\\xFE.bin を "), std::string::npos);
  EXPECT_NE(log.find("] line\\r\\nend を "), std::string::npos);

  // Across file systems too, where /dev/shm is another one.
  const testing::TempDir shm("/dev/shm");
  WriteFile(desktop_ + "/" + longest, "across");
  CycleInto(shm.Path());
  EXPECT_EQ(ReadFile(shm / longest), "across");
  EXPECT_EQ(ListNames(shm.Path()), longest);
}

TEST_F(OddDesktop, ADestinationThatIsNoUsableFolderMovesNothingAndWritesNowhere) {
  WriteFile(desktop_ + "/a.txt", "a");
  WriteFile(dir_ / "plain-file", "not a folder");
  const testing::TempDir shm("/dev/shm");
  WriteFile(shm / "plain-file", "not a folder either");
  const std::string before = ListNames(dir_.Path());

  for (const std::string& destination :
       {dir_ / "plain-file", shm / "plain-file", dir_ / "plain-file/sub", dir_ / "missing", std::string("Target"),
        std::string("relative/Target"), std::string(""), desktop_}) {
    SCOPED_TRACE(destination);
    CycleInto(destination);
    EXPECT_EQ(ListNames(desktop_), "a.txt");
    EXPECT_EQ(ReadFile(desktop_ + "/a.txt"), "a");
  }
  EXPECT_EQ(ReadFile(dir_ / "plain-file"), "not a folder");
  EXPECT_EQ(ReadFile(shm / "plain-file"), "not a folder either");
  EXPECT_EQ(ListNames(shm.Path()), "plain-file");
  EXPECT_EQ(ListNames(target_), "");
  EXPECT_EQ(ListNames(dir_.Path()), before);
  EXPECT_EQ(Log(), "");
}

TEST_F(OddDesktop, ADesktopThatIsALinkIsFollowedAndAMissingOneIsNoDesktop) {
  const std::string real = desktop_;
  WriteFile(real + "/a.txt", "a");
  desktop_ = dir_ / "Linked";
  ASSERT_EQ(symlink(real.c_str(), desktop_.c_str()), 0);
  CycleInto(target_);
  EXPECT_EQ(ListNames(real), "");
  EXPECT_EQ(ReadFile(target_ + "/a.txt"), "a");
  EXPECT_TRUE(std::filesystem::is_symlink(desktop_));

  for (const std::string& missing : {dir_ / "Missing", dir_ / "veskora.log", std::string("")}) {
    desktop_ = missing;
    CycleInto(target_);
  }
  EXPECT_EQ(ListNames(target_), "a.txt");
  const std::string log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

}  // namespace
}  // namespace veskora
