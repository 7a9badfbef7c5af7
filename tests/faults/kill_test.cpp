// The mover killed (SIGKILL) at each step of a move across file systems, then
// run again: a file may exist twice with identical bytes, never zero times or
// cut short, and the hidden temporary files of killed runs do not pile up.
#include <unistd.h>

#include "fault_harness.h"

namespace veskora::faults {
namespace {

constexpr std::size_t kBigSize = (std::size_t{3} << 20) + 5;

// Where the file is right after the kill.
enum class Left { kOnDesktop, kTwice, kMoved };

struct Step {
  const char* label;
  const char* rule;
  Left left;
  bool stray;  // a named temporary file is left behind
};

void PrintTo(const Step& step, std::ostream* out) { *out << step.label << ": " << step.rule; }

constexpr const char* kNamed = "tmpfile:EOPNOTSUPP;";  // a file system without unnamed temporary files

const Step kUnnamedSteps[] = {
    {"Rename", "renameat2:kill", Left::kOnDesktop, false},
    {"Temporary", "tmpfile:kill", Left::kOnDesktop, false},
    {"ReadMidway", "read:kill:after=1:path={desktop}", Left::kOnDesktop, false},
    {"WriteMidway", "write:kill:after=2:path={dest}", Left::kOnDesktop, false},
    {"Mode", "fchmod:kill", Left::kOnDesktop, false},
    {"Times", "futimens:kill", Left::kOnDesktop, false},
    {"FileSync", "fsync:kill", Left::kOnDesktop, false},
    {"Publish", "linkat:kill", Left::kOnDesktop, false},
    {"FolderSync", "fsync:kill:after=1", Left::kTwice, false},
    {"InUseRecheck", "lease:kill:after=1", Left::kTwice, false},
    {"SourceRemoval", "unlinkat:kill:path={desktop}", Left::kTwice, false},
    {"DesktopSync", "fsync:kill:after=2", Left::kMoved, false},
    {"LogLine", "open:kill:path=veskora.log", Left::kMoved, false},
};

const Step kNamedSteps[] = {
    {"Rename", "renameat2:kill", Left::kOnDesktop, false},
    {"Temporary", "open:kill:path=/.veskora-", Left::kOnDesktop, false},
    {"ReadMidway", "read:kill:after=1:path={desktop}", Left::kOnDesktop, true},
    {"Mode", "fchmod:kill", Left::kOnDesktop, true},
    {"FileSync", "fsync:kill", Left::kOnDesktop, true},
    {"Publish", "renameat2:kill:after=1", Left::kOnDesktop, true},
    {"FolderSync", "fsync:kill:after=1", Left::kTwice, false},
    {"SourceRemoval", "unlinkat:kill:path={desktop}", Left::kTwice, false},
};

constexpr unsigned kAfterKill = Scene::kTwice | Scene::kStrayTemporaries;
// Moves the wall clock an hour on: every temporary file left so far is stale.
const std::string kAnHourLater = "VESKORA_FAULT_CLOCK=3600";

class KilledMove : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!scene_.Usable(&why)) GTEST_SKIP() << why;
    scene_.Put("big.bin", RandomBytes(kBigSize, 7));
  }

  void KillAt(const std::string& rule) {
    ASSERT_EQ(DescribeStatus(scene_.Run(scene_.Expand(rule))), "signal 9");
    const std::vector<std::string> fired = scene_.TakeFired();
    ASSERT_FALSE(fired.empty());
    ASSERT_EQ(fired.back().substr(fired.back().find(' ')), " kill") << "the kill never happened";
  }

  void ExpectLeft(Left left) {
    EXPECT_EQ(scene_.OnDesktop(), left == Left::kMoved ? 0 : 1);
    EXPECT_EQ(scene_.AtDestination() - scene_.StrayTemporaries(), left == Left::kOnDesktop ? 0 : 1);
  }

  Scene scene_{Scene::Where::kOtherFileSystem};
};

class KilledUnnamedCopy : public KilledMove, public ::testing::WithParamInterface<Step> {};
class KilledNamedCopy : public KilledMove, public ::testing::WithParamInterface<Step> {};

TEST_P(KilledUnnamedCopy, LeavesTheFileWholeAndNothingElse) {
  const Step& step = GetParam();
  KillAt(step.rule);
  EXPECT_TRUE(scene_.Intact(Scene::kTwice));
  ExpectLeft(step.left);

  ASSERT_EQ(DescribeStatus(scene_.Run()), "exit 0");
  EXPECT_TRUE(scene_.Intact(step.left == Left::kOnDesktop ? Scene::kNothing : Scene::kTwice));
  ExpectLeft(step.left == Left::kOnDesktop ? Left::kMoved : step.left);
}

TEST_P(KilledNamedCopy, LeavesTheFileWholeAndAtMostAStaleTemporary) {
  const Step& step = GetParam();
  KillAt(kNamed + std::string(step.rule));
  EXPECT_TRUE(scene_.Intact(kAfterKill));
  EXPECT_EQ(scene_.StrayTemporaries(), step.stray ? 1 : 0);
  ExpectLeft(step.left);

  ASSERT_EQ(DescribeStatus(scene_.Run(kNamed, {kAnHourLater})), "exit 0");
  EXPECT_TRUE(scene_.Intact(step.left == Left::kOnDesktop ? Scene::kNothing : Scene::kTwice));
  EXPECT_EQ(scene_.StrayTemporaries(), 0);
  ExpectLeft(step.left == Left::kOnDesktop ? Left::kMoved : step.left);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, KilledUnnamedCopy, ::testing::ValuesIn(kUnnamedSteps),
                         [](const ::testing::TestParamInfo<Step>& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(EveryStep, KilledNamedCopy, ::testing::ValuesIn(kNamedSteps),
                         [](const ::testing::TestParamInfo<Step>& info) { return std::string(info.param.label); });

// Each killed run leaves one temporary file; recent ones may belong to a copy
// still running and stay, stale ones go before the next copy into the folder.
TEST_F(KilledMove, TemporariesOfKilledRunsDoNotPileUp) {
  for (int run = 1; run <= 3; ++run) {
    KillAt(kNamed + std::string("read:kill:after=1:path={desktop}"));
    EXPECT_EQ(scene_.StrayTemporaries(), run);
  }
  ASSERT_EQ(DescribeStatus(scene_.Run(kNamed)), "exit 0");
  EXPECT_EQ(scene_.StrayTemporaries(), 3);
  EXPECT_TRUE(scene_.Intact(Scene::kStrayTemporaries));
  EXPECT_EQ(scene_.OnDesktop(), 0);

  scene_.Put("later.txt", "a later file");
  ASSERT_EQ(DescribeStatus(scene_.Run(kNamed, {kAnHourLater})), "exit 0");
  EXPECT_EQ(scene_.StrayTemporaries(), 0);
  EXPECT_TRUE(scene_.Intact());
  EXPECT_EQ(scene_.AtDestination(), 2);
}

// A link is moved as a new link made under a temporary name; killed before it
// gets its final name, that name is swept like any other.
TEST_F(KilledMove, ALinkKilledBeforeItsNameIsSweptLater) {
  ASSERT_EQ(symlink(scene_.RulePath().c_str(), (scene_.Desktop() + "/link").c_str()), 0);

  // big.bin comes first and is moved whole; the link's move is killed as its
  // new link is about to get its name (the third rename: two give EXDEV).
  KillAt("renameat2:kill:after=2");
  EXPECT_EQ(scene_.StrayTemporaries(), 1);
  EXPECT_EQ(testing::ListNames(scene_.Desktop()), "link");

  ASSERT_EQ(DescribeStatus(scene_.Run("", {kAnHourLater})), "exit 0");
  EXPECT_EQ(scene_.StrayTemporaries(), 0);
  EXPECT_EQ(testing::ListNames(scene_.Desktop()), "");
  EXPECT_EQ(testing::ListNames(scene_.Destination()), "big.bin link");
  EXPECT_EQ(scene_.LoggedNames(), (std::vector<std::string>{"big.bin", "link"}));
}

}  // namespace
}  // namespace veskora::faults
