// Faults and odd input the system really produces, one scan cycle at a time in
// this process: full and read-only file systems, odd names, destinations and
// desktops that are no usable folder, a log that is a FIFO. Nothing is lost or
// half-written, nothing hangs, only completed moves are logged, and the move
// happens once the fault is gone.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "fault_harness.h"
#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "platform/posix/posix_file_system.h"
#include "rules/rule_file.h"
#include "rules/rule_list_ops.h"

namespace veskora::faults {
namespace {

using testing::ListNames;
using testing::ReadFile;
using testing::WriteFile;

class RealFault : public ::testing::Test {
 protected:
  void Put(const std::string& name, const std::string& bytes) { WriteFile(desktop_ + "/" + name, bytes); }
  void Cycle(const std::string& destination = "") {
    if (!destination.empty()) {
      rules_.Clear();
      AddRuleItem(rules_, true, 1, "", destination);
    }
    RunScanCycle(rules_, env_);
  }
  int LogLines() const {
    const std::string log = testing::Exists(log_.Path()) ? ReadFile(log_.Path()) : "";
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  }

  testing::TempDir dir_;
  std::string desktop_ = dir_.MakeDir("Desktop");
  testing::FakeClock clock_{{2026, 10, 26, 14, 5, 9}};
  std::vector<std::string> status_;
  MoveLog log_{dir_ / "veskora.log", clock_, [this](const std::string& line) { status_.push_back(line); }};
  PosixFileSystem files_;
  ScanEnvironment env_{[this] { return desktop_; }, &files_, &log_};
  RuleList rules_;
};

TEST_F(RealFault, FullOrReadOnlyFileSystemsTakeNothingUntilTheyCan) {
  const testing::TmpfsMount small(dir_ / "small", "size=1m");
  const testing::TmpfsMount locked(dir_ / "locked", "size=1m", MS_RDONLY);
  if (!small.Mounted() || !locked.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << small.Error();
  const std::string big = testing::RandomBytes(std::size_t{2} << 20, 3);
  Put("big.bin", big);
  Put("little.bin", "little");
  Cycle(small.Path());
  Cycle(small.Path());
  EXPECT_EQ(ListNames(desktop_), "big.bin");
  EXPECT_EQ(ListNames(small.Path()), "little.bin");
  ASSERT_TRUE(small.Remount("size=4m"));
  Cycle(small.Path());
  EXPECT_TRUE(ReadFile(small.Path() + "/big.bin") == big);

  Put("c.txt", "c");
  Cycle(locked.Path());
  EXPECT_EQ(ListNames(desktop_), "c.txt");
  ASSERT_TRUE(locked.Remount("size=1m"));
  Cycle(locked.Path());
  EXPECT_EQ(ReadFile(locked.Path() + "/c.txt"), "c");

  // A read-only desktop: nothing can be claimed, so nothing is copied.
  const testing::TmpfsMount desk(dir_ / "desk", "size=4m");
  desktop_ = desk.Path();
  Put("d.txt", "d");
  ASSERT_TRUE(desk.Remount("size=4m", MS_RDONLY));
  Cycle(small.Path());
  EXPECT_EQ(ListNames(desktop_), "d.txt");
  ASSERT_TRUE(desk.Remount("size=4m"));
  Cycle(small.Path());
  EXPECT_EQ(ListNames(small.Path()), "big.bin d.txt little.bin");
  EXPECT_EQ(LogLines(), 4);
  EXPECT_EQ(status_.size(), 4u);
}

TEST_F(RealFault, OddNamesAreMovedAsTheyAreAndLoggedOnOneLineEach) {
  testing::OtherFileSystem other;
  const std::string longest(255, 'n');
  const std::vector<std::string> names = {"a\nb.txt",          "\xFF\xFE.bin",   longest,
                                          "  lead.txt",        "tab\there",      "line\r\nend",
                                          "を へ移動しました", "<img src=x>.pdf"};
  for (const std::string& destination : {dir_.MakeDir("near"), other.Path()}) {
    for (const std::string& name : names) Put(name, name);
    Cycle(destination);
    EXPECT_EQ(ListNames(desktop_), "");
    for (const std::string& name : names) EXPECT_EQ(ReadFile(destination + "/" + name), name);
  }
  EXPECT_EQ(LogLines(), 16);
  EXPECT_TRUE(std::any_of(status_.begin(), status_.end(),
                          [](const std::string& line) { return line.find("] \\xFF\\xFE.bin を ") == 15; }));
}

TEST_F(RealFault, WhatIsNoUsableFolderMovesNothingAndWritesNowhere) {
  Put("a.txt", "a");
  WriteFile(dir_ / "plain-file", "not a folder");
  const std::string before = ListNames(dir_.Path());
  for (const std::string& destination : {dir_ / "plain-file", dir_ / "plain-file/sub", dir_ / "missing",
                                         std::string("Target"), std::string(""), desktop_, dir_ / "未定義"}) {
    SCOPED_TRACE(destination);
    Cycle(destination);
    EXPECT_EQ(ListNames(desktop_), "a.txt");
  }
  EXPECT_EQ(ReadFile(dir_ / "plain-file"), "not a folder");
  EXPECT_EQ(ListNames(dir_.Path()), before);
  EXPECT_EQ(LogLines(), 0);

  // A desktop that is a link is followed; one that is missing or no folder
  // makes an empty cycle.
  const std::string real = desktop_;
  const std::string target = dir_.MakeDir("target");
  ASSERT_EQ(symlink(real.c_str(), (dir_ / "Linked").c_str()), 0);
  for (const std::string& desktop : {dir_ / "Linked", dir_ / "Missing", dir_ / "plain-file", std::string("")}) {
    desktop_ = desktop;
    Cycle(target);
  }
  EXPECT_EQ(ListNames(real), "");
  EXPECT_EQ(ListNames(target), "a.txt");

  // A log that is a FIFO nobody reads neither blocks nor takes the line; a
  // rule file that is one reads as unreadable at once.
  ASSERT_EQ(mkfifo((dir_ / "fifo.log").c_str(), 0600), 0);
  MoveLog fifo(dir_ / "fifo.log", clock_, [this](const std::string& line) { status_.push_back(line); });
  env_.log = &fifo;
  desktop_ = real;
  Put("b.txt", "b");
  Cycle(target);
  EXPECT_EQ(ListNames(target), "a.txt b.txt");
  EXPECT_EQ(status_.size(), 2u);
  RuleList loaded;
  EXPECT_EQ(RuleFile(dir_ / "fifo.log").LoadRules(loaded), LoadOutcome::kUnreadable);
}

}  // namespace
}  // namespace veskora::faults
