#include "mover/scan_cycle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mover/conditions.h"
#include "mover/move_log.h"
#include "mover/move_step.h"
#include "platform/posix/paths.h"
#include "platform/posix/posix_file_system.h"
#include "rules/move_rule.h"
#include "rules/rule_description.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::SetMtime;
using testing::WriteFile;

class ScanCycle : public ::testing::Test {
 protected:
  ScanCycle()
      : desktop(dir.MakeDir("Desktop")),
        target(dir.MakeDir("Target")),
        clock({2026, 10, 26, 14, 5, 9}),
        log(dir / "veskora.log", clock, [this](const std::string& line) { status.push_back(line); }) {
    env.desktopFolder = [this] { return desktop; };
    env.files = &files;
    env.log = &log;
  }

  void File(const std::string& name, std::size_t size = 1) { WriteFile(desktop + "/" + name, std::string(size, 'x')); }
  void Cycle() { RunScanCycle(rules, env); }
  std::string LogText() { return Exists(dir / "veskora.log") ? ReadFile(dir / "veskora.log") : ""; }

  testing::TempDir dir;
  std::string desktop;
  std::string target;
  testing::FakeClock clock;
  std::vector<std::string> status;
  MoveLog log;
  PosixFileSystem files;
  ScanEnvironment env;
  RuleList rules;
};

TEST_F(ScanCycle, AProtectRuleAboveAMoveRuleShieldsTheFilesBothMatch) {
  AddRuleItem(rules, true, 1, "PHOTO", kProtectMarker);
  AddRuleItem(rules, true, 2, "jpg", target);
  File("PHOTO1.jpg");
  File("cat.jpg");
  Cycle();
  EXPECT_EQ(ListNames(desktop), "PHOTO1.jpg");
  EXPECT_EQ(ListNames(target), "cat.jpg");

  rules.SetChecked(1, false);
  Cycle();
  EXPECT_EQ(ListNames(desktop), "");
  EXPECT_EQ(ListNames(target), "PHOTO1.jpg cat.jpg");
}

TEST_F(ScanCycle, KeywordsAndExtensionsCompareCharacterCodesExactly) {
  AddRuleItem(rules, true, 1, "PHOTO", target);
  AddRuleItem(rules, true, 1, "mp3", target);
  AddRuleItem(rules, true, 2, "gz", target);
  AddRuleItem(rules, true, 2, ".txt", target);
  for (const char* name : {"MYPHOTO.JPG", "photo01.jpg", "ＰＨＯＴＯ.jpg", "song.mp3", "backup.tar.gz", "a.MP3x",
                           "notes.txt", "gz", "x.gz.bak"}) {
    File(name);
  }
  Cycle();
  EXPECT_EQ(ListNames(target), "MYPHOTO.JPG backup.tar.gz song.mp3");
  EXPECT_EQ(ListNames(desktop), "a.MP3x gz notes.txt photo01.jpg x.gz.bak ＰＨＯＴＯ.jpg");

  // The extension of a name without a dot is empty, and an empty keyword is in every name.
  RuleList extensionless;
  AddRuleItem(extensionless, true, 2, "", target);
  RunScanCycle(extensionless, env);
  EXPECT_TRUE(Exists(target + "/gz"));
  RuleList everything;
  AddRuleItem(everything, true, 1, "", target);
  RunScanCycle(everything, env);
  EXPECT_EQ(ListNames(desktop), "");
}

TEST_F(ScanCycle, SizesMatchStrictlyBelowOrAboveTheThreshold) {
  const std::string small = dir.MakeDir("small");
  const std::string large = dir.MakeDir("large");
  AddRuleItem(rules, true, 3, "1K", small);
  AddRuleItem(rules, true, 4, "1K", large);
  File("a1023", 1023);
  File("b1024", 1024);
  File("c1025", 1025);
  Cycle();
  EXPECT_EQ(ListNames(small), "a1023");
  EXPECT_EQ(ListNames(large), "c1025");
  EXPECT_EQ(ListNames(desktop), "b1024");

  RuleList tens;
  AddRuleItem(tens, true, 4, "10", large);
  AddRuleItem(tens, true, 3, "10", small);
  File("empty", 0);
  File("nine", 9);
  File("ten", 10);
  RunScanCycle(tens, env);
  EXPECT_EQ(ListNames(small), "a1023 empty nine");
  EXPECT_EQ(ListNames(large), "b1024 c1025");
  EXPECT_EQ(ListNames(desktop), "ten");

  EXPECT_EQ(SizeThreshold("1M"), 1048576.0);
  EXPECT_EQ(SizeThreshold("100M"), 104857600.0);
  EXPECT_EQ(SizeThreshold("1G"), 1073741824.0);
  EXPECT_EQ(SizeThreshold("1KM"), 1048576.0);
}

TEST_F(ScanCycle, FilesAboveFourGibibytesCompareByTheirWholeLength) {
  const std::string path = desktop + "/huge.iso";
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 5LL * 1024 * 1024 * 1024), 0);  // sparse: no disk used
  close(fd);
  AddRuleItem(rules, true, 3, "1G", target);
  Cycle();
  EXPECT_TRUE(Exists(path));
  AddRuleItem(rules, true, 4, "1G", target);
  Cycle();
  EXPECT_TRUE(Exists(target + "/huge.iso"));
}

TEST_F(ScanCycle, TimesCompareToTheSecond) {
  const std::string older = dir.MakeDir("older");
  const std::string newer = dir.MakeDir("newer");
  AddRuleItem(rules, true, 5, "20081026120000", older);
  AddRuleItem(rules, true, 6, "20081026120000", newer);
  File("a");
  File("b");
  File("c");
  SetMtime(desktop + "/a", {2008, 10, 26, 11, 59, 59});
  SetMtime(desktop + "/b", {2008, 10, 26, 12, 0, 0});
  SetMtime(desktop + "/c", {2008, 10, 26, 12, 0, 1});
  Cycle();
  EXPECT_EQ(ListNames(older), "a");
  EXPECT_EQ(ListNames(newer), "c");
  EXPECT_EQ(ListNames(desktop), "b");
}

TEST_F(ScanCycle, TheFirstMatchingRuleDecidesWhateverItsDestination) {
  const std::string second = dir.MakeDir("second");
  AddRuleItem(rules, false, 1, "a", second);  // disabled: skipped
  AddRuleItem(rules, true, 0, "a", second);   // no such kind
  AddRuleItem(rules, true, 7, "a", second);
  AddRuleItem(rules, true, -1, "a", second);
  AddRuleItem(rules, true, 1, "undefined", kUndefinedMarker);
  AddRuleItem(rules, true, 1, "a", target);
  AddRuleItem(rules, true, 1, "", second);
  File("a.txt");
  File("undefined-a.txt");
  File("zzz");
  Cycle();
  EXPECT_EQ(ListNames(target), "a.txt");
  EXPECT_EQ(ListNames(second), "zzz");
  EXPECT_EQ(ListNames(desktop), "undefined-a.txt");
}

TEST_F(ScanCycle, EachMoveWritesOneExactLineToTheLogAndTheStatus) {
  AddRuleItem(rules, true, 2, "txt", target);
  File("report.txt");
  File("a.txt");
  Cycle();
  const std::string first = "[10/26 14:05:09] a.txt を " + target + " へ移動しました";
  const std::string second = "[10/26 14:05:09] report.txt を " + target + " へ移動しました";
  EXPECT_EQ(LogText(), first + "\r\n" + second + "\r\n");
  EXPECT_EQ(status, (std::vector<std::string>{first, second}));

  // A name cannot forge or split a line.
  clock.Set({2027, 1, 2, 3, 4, 5});
  File("evil\n[01-01 00:00:00] x.txt");
  File(std::string("bad\xff\x01.txt"));
  Cycle();
  EXPECT_EQ(status[2], "[01/02 03:04:05] bad\\xFF\\x01.txt を " + target + " へ移動しました");
  EXPECT_EQ(status[3], "[01/02 03:04:05] evil\\n[01-01 00:00:00] x.txt を " + target + " へ移動しました");
  const std::string text = LogText();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  EXPECT_TRUE(Exists(target + "/evil\n[01-01 00:00:00] x.txt"));
}

// Destinations that are the desktop, relative or no folder, and desktops that
// are missing: tests/faults/bad_input_test.cpp.
TEST_F(ScanCycle, FailedMovesLeaveTheFileAndWriteNothing) {
  const std::string protectedFolder = dir.MakeDir("未定義のフォルダ");
  const std::string gone = dir / "gone";
  AddRuleItem(rules, true, 1, "marker", protectedFolder);
  AddRuleItem(rules, true, 1, "clash", target);
  AddRuleItem(rules, true, 1, "missing", gone);
  File("marker.txt");
  File("clash.txt", 3);
  WriteFile(target + "/clash.txt", "old");
  File("missing.txt");
  Cycle();
  Cycle();
  EXPECT_EQ(ListNames(desktop), "clash.txt marker.txt missing.txt");
  EXPECT_EQ(ReadFile(target + "/clash.txt"), "old");
  EXPECT_EQ(ReadFile(desktop + "/clash.txt"), "xxx");
  EXPECT_EQ(ListNames(protectedFolder), "");
  EXPECT_FALSE(Exists(dir / "veskora.log"));
  EXPECT_TRUE(status.empty());

  // Once the folder exists the next cycle completes the move.
  mkdir(gone.c_str(), 0755);
  Cycle();
  EXPECT_EQ(ListNames(gone), "missing.txt");
  EXPECT_EQ(status.size(), 1u);
}

TEST_F(ScanCycle, ALogThatCannotBeWrittenStillShowsTheMoveInTheStatusLine) {
  AddRuleItem(rules, true, 1, "", target);
  MoveLog unwritable(dir / "no-such-folder/veskora.log", clock, [this](const std::string& l) { status.push_back(l); });
  env.log = &unwritable;
  File("x");
  Cycle();
  EXPECT_TRUE(Exists(target + "/x"));
  EXPECT_EQ(status.size(), 1u);
}

TEST(MoveLogFile, TouchCreatesAnEmptyLogAndNeverTruncates) {
  testing::TempDir dir;
  testing::FakeClock clock({2026, 1, 1, 0, 0, 0});
  MoveLog log(dir / "veskora.log", clock, nullptr);
  EXPECT_TRUE(log.Touch());
  EXPECT_EQ(ReadFile(dir / "veskora.log"), "");
  log.WriteMoveLog("m");
  EXPECT_TRUE(log.Touch());
  EXPECT_EQ(ReadFile(dir / "veskora.log"), "[01/01 00:00:00] m\r\n");
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(JoinPath("/x/", "a"), "/x/a");
  EXPECT_EQ(JoinPath("/x", "a"), "/x/a");
}

}  // namespace
}  // namespace veskora
