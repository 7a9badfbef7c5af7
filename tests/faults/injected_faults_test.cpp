// Every system call of a move made to fail, one fault at a time, and races
// played out at the worst moment: nothing is lost, nothing is left behind, no
// line is logged for a move that did not happen, and the next run completes
// the move once the fault is gone.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "fault_harness.h"

namespace veskora::faults {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

constexpr std::size_t kBigSize = (std::size_t{3} << 20) + 5;  // four chunks of the copy

struct Fault {
  const char* label;
  Scene::Where where;
  const char* rule;
  bool emulate_copy;  // copy_file_range works across file systems, as on some systems
  int moved;          // of the two files, how many the faulty run still moves
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.label << ": " << fault.rule; }

constexpr auto kOther = Scene::Where::kOtherFileSystem;
constexpr auto kSame = Scene::Where::kSameFileSystem;

const Fault kFaults[] = {
    // Across file systems: the copy.
    {"CopyRangeNoSpaceMidway", kOther, "copy_file_range:ENOSPC:after=1", true, 0},
    {"CopyRangeIoErrorMidway", kOther, "copy_file_range:EIO:after=1", true, 0},
    {"WriteNoSpaceMidway", kOther, "write:ENOSPC:after=1:path={dest}", false, 0},
    {"ReadIoErrorMidway", kOther, "read:EIO:after=1:path={desktop}", false, 0},
    {"ModeRefused", kOther, "fchmod:EPERM", false, 0},
    {"TimesRefused", kOther, "futimens:EPERM", false, 0},
    {"FileSyncFails", kOther, "fsync:EIO", false, 0},
    {"FolderSyncFailsOnce", kOther, "fsync:EIO:path={dest}:after=1:times=1", false, 1},
    {"CloseFails", kOther, "close:EIO", false, 2},
    {"PublishRefused", kOther, "linkat:EPERM", false, 0},
    {"SourceCannotBeRemoved", kOther, "unlinkat:EPERM:path={desktop}", false, 0},
    // Across file systems without unnamed temporary files.
    {"NamedTemporary", kOther, "tmpfile:EOPNOTSUPP", false, 2},
    {"NamedTemporaryNoSpace", kOther, "tmpfile:EOPNOTSUPP;write:ENOSPC:after=1:path={dest}", false, 0},
    {"NamedTemporaryByLink", kOther, "tmpfile:EOPNOTSUPP;renameat2:EINVAL", false, 2},
    {"NamedTemporaryNoLink", kOther, "tmpfile:EOPNOTSUPP;renameat2:EINVAL;linkat:EPERM:path=/.veskora-", false, 0},
    {"NamedTemporarySourceStays", kOther, "tmpfile:EOPNOTSUPP;unlinkat:EPERM:path={desktop}", false, 0},
    // Within one file system: the rename.
    {"RenameFlagRefused", kSame, "renameat2:EINVAL", false, 2},
    {"RenameFlagAndLinkRefused", kSame, "renameat2:EINVAL;linkat:EPERM", false, 0},
    {"LinkedButSourceStays", kSame, "renameat2:EINVAL;unlinkat:EPERM:path={desktop}", false, 0},
    {"RenameFails", kSame, "renameat2:EIO", false, 0},
};

class InjectedFault : public ::testing::TestWithParam<Fault> {};

TEST_P(InjectedFault, NothingIsLostAndTheNextRunCompletesTheMove) {
  const Fault& fault = GetParam();
  Scene scene(fault.where);
  std::string why;
  if (!scene.Usable(&why)) GTEST_SKIP() << why;
  scene.Put("big.bin", RandomBytes(kBigSize, 1));
  scene.Put("note.txt", "a small note\n");

  const std::vector<std::string> env = {std::string("VESKORA_FAULT_COPY=") + (fault.emulate_copy ? "emulate" : "")};
  const int status = scene.Run(scene.Expand(fault.rule), env);
  ASSERT_EQ(DescribeStatus(status), "exit 0");
  EXPECT_FALSE(scene.TakeFired().empty()) << "the fault never happened";
  EXPECT_TRUE(scene.Intact());
  EXPECT_EQ(scene.AtDestination(), fault.moved);

  ASSERT_EQ(DescribeStatus(scene.Run()), "exit 0");
  EXPECT_TRUE(scene.Intact());
  EXPECT_EQ(scene.AtDestination(), 2);
  EXPECT_EQ(scene.LoggedNames().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(EverySystemCall, InjectedFault, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.label); });

// Saving the rules at shutdown fails at each of its steps: the previous rule
// file stays whole and no temporary file is left beside it. Killed while
// saving, the previous file stays whole as well.
TEST(RuleFileSave, AFailedOrKilledSaveKeepsThePreviousFile) {
  Scene scene(kSame);
  const std::string previous = "-1,1,," + scene.Destination() + "\n0,2,txt,/x\n";  // rewritten with CR LF
  WriteFile(scene.RulePath(), previous);
  std::vector<std::string> save = scene.MoverCommand(0);
  save.push_back("--save");

  for (const char* fault : {"write:ENOSPC:path=/.ZUL.dat.tmp", "fsync:EIO:path=/.ZUL.dat.tmp",
                            "close:EIO:path=/.ZUL.dat.tmp", "rename:EIO", "rename:kill"}) {
    SCOPED_TRACE(fault);
    Child mover(save, scene.MoverEnvironment(fault, {}));
    const std::string ended = DescribeStatus(mover.Wait());
    EXPECT_EQ(ended, std::string(fault).find("kill") == std::string::npos ? "exit 0" : "signal 9");
    EXPECT_EQ(scene.TakeFired().size(), 1u);
    EXPECT_EQ(ReadFile(scene.RulePath()), previous);
    if (ended == "exit 0") {
      EXPECT_EQ(testing::ListNames(fs::path(scene.RulePath()).parent_path()), "ZUL.dat");
    }
  }

  Child mover(save, scene.MoverEnvironment("", {}));
  EXPECT_EQ(DescribeStatus(mover.Wait()), "exit 0");
  EXPECT_EQ(ReadFile(scene.RulePath()), "-1,1,," + scene.Destination() + "\r\n0,2,txt,/x\r\n");
  // What the killed save left behind is gone with the next save.
  EXPECT_EQ(testing::ListNames(fs::path(scene.RulePath()).parent_path()), "ZUL.dat");
}

// A move stopped at one of its calls while the test changes the world, then
// let go.
class Race : public ::testing::TestWithParam<Scene::Where> {
 protected:
  void SetUp() override {
    std::string why;
    if (!scene_.Usable(&why)) GTEST_SKIP() << why;
    scene_.Put("big.bin", original_);
  }

  // Runs the mover until the fault stops it, lets `meanwhile` act, lets the
  // mover finish and checks it ended normally.
  template <typename F>
  void StopAt(const std::string& rule, F meanwhile) {
    Child mover(scene_.MoverCommand(1), scene_.MoverEnvironment(scene_.Expand(rule), {}));
    ASSERT_TRUE(mover.WaitForStop()) << "the mover never reached " << rule;
    meanwhile();
    mover.Continue();
    ASSERT_EQ(DescribeStatus(mover.Wait()), "exit 0");
    scene_.TakeFired();
  }

  // The next run, without faults, moves the file as it now is.
  void NextRunMovesIt() {
    ASSERT_EQ(DescribeStatus(scene_.Run()), "exit 0");
    EXPECT_TRUE(scene_.Intact());
    EXPECT_EQ(scene_.OnDesktop(), 0);
    EXPECT_EQ(scene_.AtDestination(), 1);
  }

  Scene scene_{GetParam()};
  const std::string original_ = RandomBytes(kBigSize, 2);
  // Stops the copy midway (across file systems) or the rename.
  const std::string midway_ = GetParam() == kOther ? "read:stop:after=1:times=1:path={desktop}" : "renameat2:stop";
};

TEST_P(Race, TheDestinationFolderVanishesBeforeTheMove) {
  StopAt("renameat2:stop", [&] { fs::remove_all(scene_.Destination()); });
  EXPECT_TRUE(scene_.Intact());
  EXPECT_EQ(scene_.OnDesktop(), 1);

  fs::create_directory(scene_.Destination());
  NextRunMovesIt();
}

TEST_P(Race, TheDestinationFolderVanishesMidway) {
  StopAt(midway_, [&] { fs::remove_all(scene_.Destination()); });
  EXPECT_TRUE(scene_.Intact());
  EXPECT_EQ(scene_.OnDesktop(), 1);
  EXPECT_FALSE(testing::Exists(scene_.Destination()));

  fs::create_directory(scene_.Destination());
  NextRunMovesIt();
}

TEST_P(Race, TheSourceIsReplacedMidway) {
  const std::string path = scene_.Desktop() + "/big.bin";
  StopAt(midway_, [&] {
    WriteFile(scene_.Desktop() + "/.new", "a new version");
    ASSERT_EQ(rename((scene_.Desktop() + "/.new").c_str(), path.c_str()), 0);
    scene_.Expect("big.bin", "a new version");
  });
  EXPECT_TRUE(scene_.Intact());
  NextRunMovesIt();
}

TEST_P(Race, TheSourceGrowsMidway) {
  const std::string path = scene_.Desktop() + "/big.bin";
  StopAt(midway_, [&] {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "tail", 4), 4);
    close(fd);
    scene_.Expect("big.bin", original_ + "tail");
  });
  EXPECT_TRUE(scene_.Intact());
  NextRunMovesIt();
}

TEST_P(Race, TheSourceShrinksMidway) {
  const std::string path = scene_.Desktop() + "/big.bin";
  StopAt(midway_, [&] {
    ASSERT_EQ(truncate(path.c_str(), 1000), 0);
    scene_.Expect("big.bin", original_.substr(0, 1000));
  });
  EXPECT_TRUE(scene_.Intact());
  NextRunMovesIt();
}

// A program opens the file for writing while it is being copied and writes
// only after the copy is done: its bytes must not go into a removed file.
TEST_P(Race, AWriterArrivingMidwayKeepsTheFile) {
  const std::string path = scene_.Desktop() + "/big.bin";
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t writer = -1;
  StopAt(midway_, [&] {
    int opened[2];
    ASSERT_EQ(pipe(opened), 0);
    writer = fork();
    if (writer == 0) {
      const int fd = open(path.c_str(), O_WRONLY | O_APPEND);
      char byte = 'o';
      if (fd < 0 || write(opened[1], &byte, 1) != 1 || read(go[0], &byte, 1) != 1) _exit(1);
      _exit(write(fd, "late", 4) == 4 && close(fd) == 0 ? 0 : 1);
    }
    char byte;
    ASSERT_EQ(read(opened[0], &byte, 1), 1);
    close(opened[0]);
    close(opened[1]);
  });
  ASSERT_EQ(write(go[1], "w", 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  ASSERT_EQ(DescribeStatus(status), "exit 0");
  close(go[0]);
  close(go[1]);

  scene_.Expect("big.bin", original_ + "late");
  EXPECT_TRUE(scene_.Intact());
  NextRunMovesIt();
}

// The file is renamed or deleted on the desktop in the instant between the
// last check of the source and its removal: the user's change wins, and the
// copy goes.
TEST_P(Race, TheSourceRenamedOrDeletedJustBeforeItsRemoval) {
  if (GetParam() == kSame) GTEST_SKIP() << "a rename removes no source";
  const std::string path = scene_.Desktop() + "/big.bin";
  StopAt("unlinkat:stop:path={desktop}",
         [&] { ASSERT_EQ(rename(path.c_str(), (scene_.Desktop() + "/renamed.bin").c_str()), 0); });
  EXPECT_EQ(testing::ListNames(scene_.Destination()), "");
  EXPECT_EQ(testing::ListNames(scene_.Desktop()), "renamed.bin");
  EXPECT_TRUE(ReadFile(scene_.Desktop() + "/renamed.bin") == original_);
  EXPECT_TRUE(scene_.LoggedNames().empty());

  StopAt("unlinkat:stop:path={desktop}", [&] { ASSERT_EQ(unlink((scene_.Desktop() + "/renamed.bin").c_str()), 0); });
  EXPECT_EQ(testing::ListNames(scene_.Destination()), "");
  EXPECT_EQ(testing::ListNames(scene_.Desktop()), "");
  EXPECT_TRUE(scene_.LoggedNames().empty());
}

// Another program opens the file for writing in the instant the mover checks
// whether anyone is writing it: the mover survives and leaves the file.
TEST_P(Race, AWriterArrivingDuringTheInUseCheck) {
  ASSERT_EQ(DescribeStatus(scene_.Run("lease:break")), "exit 0");
  EXPECT_EQ(scene_.TakeFired().size(), 1u);
  EXPECT_TRUE(scene_.Intact());
  EXPECT_EQ(scene_.OnDesktop(), 1);
  NextRunMovesIt();
}

INSTANTIATE_TEST_SUITE_P(BothWays, Race, ::testing::Values(kSame, kOther),
                         [](const ::testing::TestParamInfo<Scene::Where>& info) {
                           return std::string(info.param == kSame ? "SameFileSystem" : "OtherFileSystem");
                         });

}  // namespace
}  // namespace veskora::faults
