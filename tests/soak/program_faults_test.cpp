// The real program against an ending signal in the middle of a long copy, and
// rule files and logs it cannot use as they are: it ends within a second
// through its normal shutdown, loses no rule, and never hangs.
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>

#include "fault_harness.h"
#include "program_sandbox.h"

namespace veskora::faults {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::WriteFile;

double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST(ProgramUnderSignals, AnEndingSignalMidCopyEndsTheProgramAtOnceWithTheFileBack) {
  ProgramSandbox sandbox;
  testing::OtherFileSystem far;
  if (!far.Usable()) GTEST_SKIP() << far.Why();
  const std::string rules = "-1,2,big," + far.Path() + "\r\n";
  WriteFile(sandbox.RulePath(), rules);
  const std::string bytes = testing::RandomBytes(std::size_t{48} << 20, 11);
  WriteFile(sandbox.Desktop() + "/movie.big", bytes);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    // Each mebibyte of the copy takes a tenth of a second: five seconds in all.
    testing::Child veskora(sandbox.Command(),
                           sandbox.Environment({"LD_PRELOAD=" + FaultPreload(),
                                                "VESKORA_FAULT=copy_file_range:slow;pwrite:slow:path=" + far.Path()}));
    for (int wait = 0; wait < 600 && Exists(sandbox.Desktop() + "/movie.big"); ++wait) usleep(50000);
    ASSERT_FALSE(Exists(sandbox.Desktop() + "/movie.big")) << "the copy never started";
    usleep(300000);
    const double asked = Seconds();
    veskora.Signal(signal);
    EXPECT_EQ(testing::DescribeStatus(veskora.Wait()), "exit 0");
    // Well before the copy's remaining four seconds and more, even on a busy machine.
    EXPECT_LT(Seconds() - asked, 3.0);
    EXPECT_TRUE(ReadFile(sandbox.Desktop() + "/movie.big") == bytes);
    EXPECT_EQ(ListNames(sandbox.Desktop()), "movie.big");
    EXPECT_EQ(ListNames(far.Path()), "");
    EXPECT_FALSE(Exists(sandbox.LogPath()));
    EXPECT_EQ(ReadFile(sandbox.RulePath()), rules);
    EXPECT_NE(ReadFile(sandbox.SettingsPath()).find("automove=True"), std::string::npos);
    std::filesystem::remove(sandbox.SettingsPath());
  }
}

// A rule file that cannot all be loaded keeps its original beside it once the
// program writes it; a rule file or log that is a FIFO hangs nothing.
TEST(ProgramWithOddFiles, NoRuleIsLostAndNothingHangs) {
  const struct {
    std::string original;
    bool keptAside;  // the program's save must keep the original beside it
  } files[] = {
      {"-1,2,txt,{t}\r\n-1,2,txt,{t}\r\n-1,2,doc,{t}\r\n", true},
      {"-1,2,txt,{t}\r\n-1,1\r\n-1,2,doc,{t}\r\n", true},
      {"-1,2,txt,{t}\r\n-1,1,\"unclosed,{t}\r\n", true},
      {"-1,2,txt,{t}\r\n-1,2,doc,{t}/caf\xe9\r\n", false},  // nothing changed: nothing written
      {"fifo", false},
      {"log fifo", false},
  };
  for (auto [original, keptAside] : files) {
    SCOPED_TRACE(original);
    ProgramSandbox sandbox;
    const std::string target = sandbox.MakeDir("target");
    for (std::size_t at; (at = original.find("{t}")) != std::string::npos;) original.replace(at, 3, target);
    if (original == "fifo") {
      ASSERT_EQ(mkfifo(sandbox.RulePath().c_str(), 0600), 0);
    } else if (original == "log fifo") {
      ASSERT_EQ(mkfifo(sandbox.LogPath().c_str(), 0600), 0);
      WriteFile(sandbox.RulePath(), original = "-1,2,txt," + target + "\r\n");
    } else {
      WriteFile(sandbox.RulePath(), original);
    }
    WriteFile(sandbox.Desktop() + "/note.txt", "note");
    testing::Child veskora(sandbox.Command(), sandbox.Environment());
    for (int wait = 0; wait < 100 && !Exists(target + "/note.txt"); ++wait) usleep(100000);
    veskora.Signal(SIGTERM);
    EXPECT_EQ(testing::DescribeStatus(veskora.Wait()), "exit 0");
    if (original == "fifo") continue;  // nothing to move by: no rules
    EXPECT_EQ(ReadFile(target + "/note.txt"), "note");
    EXPECT_EQ(ReadFile(keptAside ? sandbox.RulePath() + ".bak" : sandbox.RulePath()), original);
    if (keptAside) {
      EXPECT_EQ(ReadFile(sandbox.RulePath()), "-1,2,txt," + target + "\r\n");
    }
  }
}

}  // namespace
}  // namespace veskora::faults
