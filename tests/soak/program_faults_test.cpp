// The real program against an ending signal in the middle of a copy and
// against settings that are garbage: the move completes or is rolled back,
// the program ends through its normal shutdown, and bad settings never stop
// it from starting and working.
#include <signal.h>
#include <sys/stat.h>
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

TEST(ProgramUnderSignals, AnEndingSignalDuringACopyFinishesTheMoveThenSavesEverything) {
  ProgramSandbox sandbox;
  const testing::TempDir far("/dev/shm");
  struct stat a {};
  struct stat b {};
  ASSERT_EQ(stat(sandbox.Root().c_str(), &a), 0);
  ASSERT_EQ(stat(far.Path().c_str(), &b), 0);
  if (a.st_dev == b.st_dev) GTEST_SKIP() << sandbox.Root() << " and /dev/shm are on the same file system";
  const std::string rules = "-1,2,big," + far.Path() + "\r\n";
  WriteFile(sandbox.RulePath(), rules);
  const std::string bytes = RandomBytes(std::size_t{8} << 20, 11);
  WriteFile(sandbox.Desktop() + "/movie.big", bytes);

  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    // Stopped halfway through reading the file, the signal arrives, then it
    // goes on: the cycle ends first, then the normal shutdown runs.
    Child veskora(sandbox.Command(),
                  sandbox.Environment({"LD_PRELOAD=" + FaultPreload(),
                                       "VESKORA_FAULT=read:stop:after=4:times=1:path=" + sandbox.Desktop(),
                                       "VESKORA_FAULT_REPORT=" + sandbox.Root() + "/fired"}));
    ASSERT_TRUE(veskora.WaitForStop());
    veskora.Signal(signal);
    veskora.Continue();
    const std::string ended = DescribeStatus(veskora.Wait());
    EXPECT_TRUE(ended == "exit 0" || ended == "signal " + std::to_string(signal)) << ended;

    const bool moved = Exists(far / "movie.big");
    EXPECT_NE(moved, Exists(sandbox.Desktop() + "/movie.big"));
    EXPECT_TRUE(ReadFile(moved ? far / "movie.big" : sandbox.Desktop() + "/movie.big") == bytes);
    EXPECT_EQ(ListNames(far.Path()), moved ? "movie.big" : "");
    EXPECT_EQ(Exists(sandbox.LogPath()), moved);
    EXPECT_EQ(ReadFile(sandbox.RulePath()), rules);
    ASSERT_TRUE(Exists(sandbox.SettingsPath()));
    EXPECT_NE(ReadFile(sandbox.SettingsPath()).find("automove=True"), std::string::npos);

    // Back on the desktop for the next signal.
    if (moved) {
      WriteFile(sandbox.Desktop() + "/movie.big", bytes);
      std::filesystem::remove(far / "movie.big");
    }
    std::filesystem::remove(sandbox.LogPath());
    std::filesystem::remove(sandbox.SettingsPath());
  }
}

// Every value of the settings is garbage, or the whole file is: the program
// starts with the defaults, moves files, and saves settings that read well.
TEST(ProgramWithBadSettings, GarbageInEveryValueStartsWithTheDefaults) {
  const std::string garbage[] = {
      "[window]\nwidth=wide\nheight=\nstate=sideways\n[app]\nautomove=perhaps\n",
      "[window]\nwidth=-7\nheight=0x1F\nstate=7.5\n[app]\nautomove=\"\"\n",
      std::string("\x00\xFF\xFE garbage \n[[[\n=\n\x01\x02", 20),
  };
  for (const std::string& settings : garbage) {
    ProgramSandbox sandbox;
    const std::string target = sandbox.MakeDir("target");
    const std::string rules = "-1,2,txt," + target + "\r\n";
    WriteFile(sandbox.RulePath(), rules);
    std::filesystem::create_directories(std::filesystem::path(sandbox.SettingsPath()).parent_path());
    WriteFile(sandbox.SettingsPath(), settings);
    WriteFile(sandbox.Desktop() + "/note.txt", "note");

    Child veskora(sandbox.Command(), sandbox.Environment());
    // Automatic moving is on by default: the first tick moves the note.
    for (int wait = 0; wait < 300 && !Exists(target + "/note.txt"); ++wait) usleep(100000);
    veskora.Terminate();
    const std::string ended = DescribeStatus(veskora.Wait());
    EXPECT_TRUE(ended == "exit 0" || ended == "signal 15") << ended;

    EXPECT_EQ(ReadFile(target + "/note.txt"), "note");
    EXPECT_EQ(ReadFile(sandbox.RulePath()), rules);
    const std::string saved = ReadFile(sandbox.SettingsPath());
    EXPECT_NE(saved.find("state=0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("automove=True"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("wide"), std::string::npos) << saved;
  }
}

}  // namespace
}  // namespace veskora::faults
