// Every system call of a move made to fail or killed, one at a time: nothing
// is lost, nothing is left behind, no line is logged for a move that did not
// happen, and the next run completes the move once the fault is gone.
#include "fault_harness.h"

namespace veskora::faults {
namespace {

using testing::ListNames;
using testing::ReadFile;
using Where = Scene::Where;

constexpr std::size_t kBigSize = (std::size_t{3} << 20) + 5;  // four pieces of the copy
constexpr const char* kNamed = "tmpfile:EOPNOTSUPP;";         // no unnamed temporary files

struct Fault {
  Where where;
  const char* rule;
  int moved;          // of the two files, how many the faulty run still moves
  const char* waits;  // what it left waiting, and why
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.rule; }

// Across file systems: the claim, the copy, its name, the source's removal;
// within one: the rename, and where the flag is refused, the claim and its link.
// clang-format off
constexpr const char* kBigFails = "big.bin move-failed\n";  // tried again at the next cycle
constexpr const char* kBothFail = "big.bin move-failed\nnote.txt move-failed\n";
constexpr const char* kBigInUse = "big.bin in-use\n";  // somebody opened it: it waits for them
constexpr const char* kBothInUse = "big.bin in-use\nnote.txt in-use\n";
const Fault kFaults[] = {
    {Where::kOther, "mkdirat:EACCES", 0, kBothFail},
    {Where::kOther, "renameat2:EIO:after=1:times=1", 1, kBigFails},
    {Where::kOther, "copy_file_range:ENOSPC", 0, kBothFail},
    {Where::kOther, "pwrite:ENOSPC:after=1", 0, kBothFail},
    {Where::kOther, "pread:EIO:after=1", 0, kBothFail},
    {Where::kOther, "fchmod:EPERM", 0, kBothFail},
    {Where::kOther, "futimens:EPERM", 0, kBothFail},
    {Where::kOther, "fsync:EIO", 0, kBothFail},
    {Where::kOther, "fsync:EIO:path={dest}:after=1:times=1", 1, kBigFails},
    {Where::kOther, "close:EIO", 2, ""},
    {Where::kOther, "linkat:EPERM", 0, kBothFail},
    {Where::kOther, "unlinkat:EPERM:path=/.veskora-claim-:times=1", 1, kBigInUse},
    {Where::kOther, "lease:break", 2, ""},  // the opener waits for the lease to go: no harm, and no SIGIO
    {Where::kOther, "wrlease:break", 0, kBothInUse},
    {Where::kOther, "pwrite:term:after=1", 0, kBigFails},  // stopped at logout, during the copy or after it
    {Where::kOther, "pwrite:break:after=1:times=1", 1, kBigInUse},
    {Where::kOther, "fsync:term:path={dest}:times=1", 0, kBigFails},
    {Where::kOther, "fsync:break:path={dest}:times=1", 1, kBigInUse},
    {Where::kOther, "linkat:EEXIST", 0, "big.bin name-taken\nnote.txt name-taken\n"},  // taken during the copy
    {Where::kOther, "tmpfile:EOPNOTSUPP", 2, ""},
    {Where::kOther, "tmpfile:EOPNOTSUPP;pwrite:ENOSPC:after=1", 0, kBothFail},
    {Where::kOther, "tmpfile:EOPNOTSUPP;renameat2:EINVAL", 2, ""},
    {Where::kOther, "tmpfile:EOPNOTSUPP;renameat2:EINVAL;linkat:EPERM:path=/.veskora-tmp", 0, kBothFail},
    {Where::kOther, "tmpfile:EOPNOTSUPP;renameat2:EINVAL;unlinkat:EPERM:path=/.veskora-tmp:times=1", 1, kBigFails},
    {Where::kSame, "renameat2:EIO", 0, kBothFail},
    {Where::kSame, "renameat2:swap:times=1", 1, kBigInUse},  // a link that comes in its place goes back
    {Where::kSame, "write:EINTR:path=veskora.log:times=1", 2, ""},
    {Where::kSame, "renameat2:EINVAL", 2, ""},
    {Where::kSame, "renameat2:EINVAL;linkat:EPERM", 0, kBothFail},
    {Where::kSame, "renameat2:EINVAL;unlinkat:EPERM:path=/.veskora-claim-:times=1", 1, kBigFails},
};
// clang-format on

class InjectedFault : public ::testing::TestWithParam<Fault> {};

TEST_P(InjectedFault, NothingIsLostAndTheNextRunCompletesTheMove) {
  Scene scene(GetParam().where);
  if (!scene.Usable()) GTEST_SKIP() << scene.Why();
  scene.Put("big.bin", testing::RandomBytes(kBigSize, 1));
  scene.Put("note.txt", "a small note\n");
  ASSERT_EQ(scene.Run(GetParam().rule), "exit 0");
  EXPECT_FALSE(scene.TakeFired().empty()) << "the fault never happened";
  EXPECT_TRUE(scene.Intact());
  EXPECT_EQ(scene.AtDestination(), GetParam().moved);
  EXPECT_EQ(scene.Waiting(), GetParam().waits);
  ASSERT_EQ(scene.Run(), "exit 0");
  EXPECT_TRUE(scene.Intact());
  EXPECT_EQ(scene.AtDestination(), 2);
}

INSTANTIATE_TEST_SUITE_P(EverySystemCall, InjectedFault, ::testing::ValuesIn(kFaults));

// Where a killed move leaves its file: on the desktop or claimed (given back
// by the next run, which then moves it), twice with the same bytes, or moved.
enum class Left { kBefore, kTwice, kMoved };

struct Kill {
  const char* rule;
  Left left;
};

void PrintTo(const Kill& kill, std::ostream* out) { *out << kill.rule; }

// clang-format off
const Kill kKills[] = {
    {"renameat2:kill", Left::kBefore},  {"wrlease:kill", Left::kBefore}, {"renameat2:kill:after=1", Left::kBefore},
    {"tmpfile:kill", Left::kBefore},    {"pwrite:kill:after=1", Left::kBefore},
    {"fchmod:kill", Left::kBefore},     {"fsync:kill", Left::kBefore},   {"linkat:kill", Left::kBefore},
    {"fsync:kill:after=1", Left::kTwice}, {"unlinkat:kill", Left::kTwice},
    {"unlinkat:kill:after=1", Left::kMoved}, {"open:kill:path=veskora.log", Left::kMoved},
    {"tmpfile:EOPNOTSUPP;pwrite:kill:after=1", Left::kBefore},
    {"tmpfile:EOPNOTSUPP;renameat2:kill:after=2", Left::kBefore},
};
// clang-format on

class KilledMove : public ::testing::TestWithParam<Kill> {};

TEST_P(KilledMove, LeavesTheFileWholeAndTheNextRunSortsItOut) {
  const Kill& kill = GetParam();
  Scene scene(Where::kOther);
  if (!scene.Usable()) GTEST_SKIP() << scene.Why();
  scene.Put("big.bin", testing::RandomBytes(kBigSize, 7));
  ASSERT_EQ(scene.Run(kill.rule), "signal 9");
  const std::vector<std::string> fired = scene.TakeFired();
  ASSERT_TRUE(!fired.empty() && fired.back().find(" kill") != std::string::npos) << "the kill never happened";
  EXPECT_TRUE(scene.Intact(true));
  EXPECT_EQ(scene.AtDestination(), kill.left == Left::kBefore ? 0 : 1);
  // The next run gives back what was claimed and cleans up our leftovers;
  // what lies twice stays so (its name is taken over there).
  ASSERT_EQ(scene.Run(std::string(kill.rule).find(kNamed) == 0 ? kNamed : ""), "exit 0");
  EXPECT_TRUE(scene.Intact(kill.left != Left::kBefore));  // a killed move may lack its log line
  EXPECT_EQ(scene.AtDestination(), 1);
  EXPECT_EQ(ListNames(scene.Desktop()), kill.left == Left::kTwice ? "big.bin" : "");
}

INSTANTIATE_TEST_SUITE_P(EveryStep, KilledMove, ::testing::ValuesIn(kKills));

// Saving the rules fails at each of its steps, or is killed: the previous rule
// file stays whole and no temporary file is left beside it (after a killed
// save, none once the next save is done).
TEST(RuleFileSave, AFailedOrKilledSaveKeepsThePreviousFile) {
  Scene scene(Where::kSame);
  const std::string previous = "-1,1,," + scene.Destination() + "\n0,2,txt,/x\n";  // written back as it is
  testing::WriteFile(scene.RulePath(), previous);
  std::vector<std::string> save = scene.Command(0);
  save.push_back("--save");
  const std::string folder = scene.RulePath().substr(0, scene.RulePath().rfind('/'));
  for (const std::string fault : {"write:ENOSPC:path=/.ZUL.dat.tmp", "fsync:EIO:path=/.ZUL.dat.tmp",
                                  "close:EIO:path=/.ZUL.dat.tmp", "rename:EIO", "rename:kill", ""}) {
    SCOPED_TRACE(fault);
    const bool killed = fault.find("kill") != std::string::npos;
    EXPECT_EQ(testing::DescribeStatus(testing::Child(save, scene.Environment(fault)).Wait()),
              killed ? "signal 9" : "exit 0");
    EXPECT_EQ(scene.TakeFired().size(), fault.empty() ? 0u : 1u);
    EXPECT_EQ(ReadFile(scene.RulePath()), previous);
    if (!killed) {
      EXPECT_EQ(ListNames(folder), "ZUL.dat");
    }
  }
}

}  // namespace
}  // namespace veskora::faults
