// Faults the system really produces, one scan cycle at a time in this
// process: a full disk, a read-only file system on either side, a destination
// on another file system. Nothing is lost, nothing half-written stays, only
// completed moves are logged, and the move happens once the fault is gone.
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "fault_harness.h"
#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "platform/posix/posix_file_system.h"
#include "rules/rule_list_ops.h"

namespace veskora::faults {
namespace {

using testing::ListNames;
using testing::ReadFile;
using testing::WriteFile;

class RealFault : public ::testing::Test {
 protected:
  RealFault() : log_(dir_ / "veskora.log", clock_, nullptr) {
    env_.desktopFolder = [this] { return desktop_; };
    env_.files = &files_;
    env_.log = &log_;
  }

  void Put(const std::string& name, const std::string& bytes) { WriteFile(desktop_ + "/" + name, bytes); }
  void Cycle() { RunScanCycle(rules_, env_); }
  std::string Log() const { return testing::Exists(log_.Path()) ? ReadFile(log_.Path()) : ""; }
  int LogLines() const {
    const std::string log = Log();
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  }

  testing::TempDir dir_;
  std::string desktop_ = dir_.MakeDir("Desktop");
  testing::FakeClock clock_{{2026, 10, 26, 14, 5, 9}};
  MoveLog log_;
  PosixFileSystem files_;
  ScanEnvironment env_;
  RuleList rules_;
};

TEST_F(RealFault, AFullDiskTakesWhatFitsAndTheRestOnceThereIsRoom) {
  const TmpfsMount small(dir_ / "small", "size=1m");
  if (!small.Mounted()) GTEST_SKIP() << "cannot mount a 1 MiB tmpfs: " << small.Error();
  AddRuleItem(rules_, true, 1, "", small.Path());
  const std::string big = RandomBytes(std::size_t{2} << 20, 3);
  const std::string little = RandomBytes(10000, 4);
  Put("big.bin", big);
  Put("little.bin", little);

  Cycle();
  Cycle();
  EXPECT_EQ(ListNames(desktop_), "big.bin");
  EXPECT_TRUE(ReadFile(desktop_ + "/big.bin") == big);
  EXPECT_EQ(ListNames(small.Path()), "little.bin");  // no partial copy, no temporary file
  EXPECT_TRUE(ReadFile(small.Path() + "/little.bin") == little);
  EXPECT_EQ(LogLines(), 1);

  ASSERT_TRUE(small.Remount("size=8m"));
  Cycle();
  EXPECT_EQ(ListNames(desktop_), "");
  EXPECT_EQ(ListNames(small.Path()), "big.bin little.bin");
  EXPECT_TRUE(ReadFile(small.Path() + "/big.bin") == big);
  EXPECT_EQ(LogLines(), 2);
}

TEST_F(RealFault, AReadOnlyDestinationTakesNothingUntilItIsWritable) {
  const TmpfsMount locked(dir_ / "locked", "size=1m", MS_RDONLY);
  if (!locked.Mounted()) GTEST_SKIP() << "cannot mount a read-only tmpfs: " << locked.Error();
  AddRuleItem(rules_, true, 1, "", locked.Path());
  Put("a.txt", "a");

  Cycle();
  EXPECT_EQ(ListNames(desktop_), "a.txt");
  EXPECT_EQ(ListNames(locked.Path()), "");
  EXPECT_EQ(Log(), "");

  ASSERT_TRUE(locked.Remount("size=1m"));
  Cycle();
  EXPECT_EQ(ListNames(desktop_), "");
  EXPECT_EQ(ReadFile(locked.Path() + "/a.txt"), "a");
  EXPECT_EQ(LogLines(), 1);
}

// The desktop itself read-only: across file systems the copy is made and then
// withdrawn because the source cannot be removed; within one it cannot move.
TEST_F(RealFault, AReadOnlyDesktopKeepsItsFilesAndNoCopyOfThem) {
  const TmpfsMount desk(desktop_, "size=4m");
  if (!desk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << desk.Error();
  const testing::TempDir elsewhere;
  const std::string across = elsewhere.MakeDir("across");
  const std::string within = desktop_ + "/within";
  std::filesystem::create_directory(within);
  AddRuleItem(rules_, true, 2, "x", across);
  AddRuleItem(rules_, true, 2, "y", within);
  Put("a.x", "across");
  Put("b.y", "within");
  ASSERT_TRUE(desk.Remount("size=4m", MS_RDONLY));

  Cycle();
  EXPECT_EQ(ListNames(desktop_), "a.x b.y within");
  EXPECT_EQ(ListNames(across), "");
  EXPECT_EQ(ListNames(within), "");
  EXPECT_EQ(Log(), "");

  ASSERT_TRUE(desk.Remount("size=4m"));
  Cycle();
  EXPECT_EQ(ListNames(desktop_), "within");
  EXPECT_EQ(ReadFile(across + "/a.x"), "across");
  EXPECT_EQ(ReadFile(within + "/b.y"), "within");
  EXPECT_EQ(LogLines(), 2);
}

TEST_F(RealFault, OneCycleMovesToTheSameAndToAnotherFileSystem) {
  const testing::TempDir shm("/dev/shm");
  struct stat a {};
  struct stat b {};
  ASSERT_EQ(stat(dir_.Path().c_str(), &a), 0);
  ASSERT_EQ(stat(shm.Path().c_str(), &b), 0);
  if (a.st_dev == b.st_dev) GTEST_SKIP() << dir_.Path() << " and /dev/shm are on the same file system";
  const std::string near = dir_.MakeDir("near");
  AddRuleItem(rules_, true, 2, "near", near);
  AddRuleItem(rules_, true, 2, "far", shm.Path());
  const std::string bytes = RandomBytes(std::size_t{5} << 20, 5);
  Put("a.far", bytes);
  Put("b.near", bytes);

  Cycle();
  EXPECT_EQ(ListNames(desktop_), "");
  EXPECT_TRUE(ReadFile(shm.Path() + "/a.far") == bytes);
  EXPECT_TRUE(ReadFile(near + "/b.near") == bytes);
  EXPECT_EQ(ListNames(shm.Path()), "a.far");
  EXPECT_EQ(Log(), "[10/26 14:05:09] a.far を " + shm.Path() + " へ移動しました\r\n[10/26 14:05:09] b.near を " + near +
                       " へ移動しました\r\n");
}

}  // namespace
}  // namespace veskora::faults
