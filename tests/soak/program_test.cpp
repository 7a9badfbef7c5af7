// The real program under an ending signal mid-copy, odd rule files and logs, and arriving downloads: it ends
// promptly through its normal shutdown, loses no rule, never hangs, and files each download whole, once complete.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "adapters/posix/posix_data_files.h"
#include "fault_harness.h"

namespace veskora::faults {
namespace {

namespace fs = std::filesystem;
using namespace veskora::testing;

// A copy of the program beside its rule file and log; home, desktop, settings and runtime in the test's folder.
struct Sandbox {
  testing::TempDir root;
  const std::string home = root.MakeDir("home"), desktop = root.MakeDir("home/Desktop"),
                    program = root.MakeDir("program"), runtime = root.MakeDir("run");
  const std::string rules = program + "/ZUL.dat", log = program + "/veskora.log",
                    settings = home + "/.config/ZUL/ZUL.ini";

  Sandbox() {
    chmod(runtime.c_str(), 0700);
    fs::copy_file(VESKORA_PROGRAM, program + "/veskora");
  }
  // The program, shown offscreen, with these entries added to its environment.
  std::unique_ptr<testing::Child> Start(std::vector<std::string> env = {}) const {
    env.insert(env.end(),
               {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config", "XDG_DATA_HOME=" + home + "/.local/share",
                "XDG_STATE_HOME=" + home + "/.local/state", "XDG_RUNTIME_DIR=" + runtime, "QT_QPA_PLATFORM=offscreen"});
    return std::make_unique<testing::Child>(std::vector<std::string>{program + "/veskora"}, env);
  }
};

TEST(Program, AnEndingSignalMidCopyEndsItAtOnceWithTheFileBack) {
  const Sandbox box;
  testing::OtherFileSystem far;
  if (!far.Usable()) GTEST_SKIP() << far.Why();
  const std::string rules = "-1,2,big," + far.Path() + "\r\n", movie = box.desktop + "/movie.big";
  WriteFile(box.rules, rules);
  const std::string bytes = testing::RandomBytes(std::size_t{48} << 20, 11);
  WriteFile(movie, bytes);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    // Each mebibyte of the copy takes a tenth of a second: five seconds in all.
    const auto veskora = box.Start(
        {"LD_PRELOAD=" + FaultPreload(), "VESKORA_FAULT=copy_file_range:slow;pwrite:slow:path=" + far.Path()});
    for (int wait = 0; wait < 600 && Exists(movie); ++wait) usleep(50000);
    ASSERT_FALSE(Exists(movie)) << "the copy never started";
    usleep(300000);
    const auto asked = std::chrono::steady_clock::now();
    veskora->Signal(signal);
    EXPECT_EQ(testing::DescribeStatus(veskora->Wait()), "exit 0");
    // Well before the copy's remaining four seconds and more, even on a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(3000));
    EXPECT_TRUE(ReadFile(movie) == bytes);
    EXPECT_EQ(ListNames(box.desktop) + "|" + ListNames(far.Path()) + "|" + (Exists(box.log) ? "log" : ""),
              "movie.big||");
    EXPECT_EQ(ReadFile(box.rules), rules);
    EXPECT_NE(ReadFile(box.settings).find("automove=True"), std::string::npos);
    fs::remove(box.settings);
  }
}

// A FIFO for a rule file or log, a log that is a folder, a locked journal, diagnostics into a dead pipe: none hangs
// or ends the program, and the rules it read are still there afterwards, unchanged.
TEST(Program, WithOddFilesLosesNoRuleAndHangsNothing) {
  for (const std::string odd : {"rules fifo", "log fifo", "log folder", "journal locked"}) {
    SCOPED_TRACE(odd);
    const Sandbox box;
    const std::string target = box.root.MakeDir("target"), rules = "-1,2,txt," + target + "\r\n";
    std::unique_ptr<testing::Child> locker;
    if (odd == "rules fifo") {
      ASSERT_EQ(mkfifo(box.rules.c_str(), 0600), 0);
    } else if (odd == "journal locked") {
      const std::string lock = box.root.MakeDir("home/.local/state/veskora") + "/move-journal.csv.lock";
      locker.reset(new testing::Child({"/bin/sh", "-c", "exec 9>>\"$0\" && flock 9 && exec sleep 60", lock}));
      for (int i = 0; i < 500 && PosixDataFiles().Lock(lock, {}).held; ++i) usleep(10000);
    } else {
      ASSERT_EQ(odd == "log fifo" ? mkfifo(box.log.c_str(), 0600) : mkdir(box.log.c_str(), 0700), 0);
    }
    if (odd != "rules fifo") WriteFile(box.rules, rules);
    WriteFile(box.desktop + "/note.txt", "note");
    // Standard error a pipe whose reader has gone.
    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
    const int stderrKept = dup(2);
    dup2(pipeEnds[1], 2);
    const auto veskora = box.Start();
    dup2(stderrKept, 2);
    for (const int fd : {stderrKept, pipeEnds[0], pipeEnds[1]}) close(fd);
    for (int wait = 0; wait < 100 && !Exists(target + "/note.txt"); ++wait) usleep(100000);
    veskora->Signal(SIGTERM);
    EXPECT_EQ(testing::DescribeStatus(veskora->Wait()), "exit 0");
    if (odd == "rules fifo") continue;  // nothing to move by: no rules
    EXPECT_EQ(ReadFile(target + "/note.txt"), "note");
    EXPECT_EQ(ReadFile(box.rules), rules);
    EXPECT_FALSE(Exists(box.rules + ".bak"));
  }
}

// A download's file, opened for appending and kept open until closed; bytes [from, to) written to it.
int Open(const std::string& path) { return open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644); }
bool Put(int fd, const std::string& bytes, std::size_t from, std::size_t to) {
  return fd >= 0 && write(fd, bytes.data() + from, to - from) == static_cast<ssize_t>(to - from);
}
bool Append(const std::string& path, const std::string& bytes, std::size_t from, std::size_t to) {
  const int fd = Open(path);
  return Put(fd, bytes, from, to) && close(fd) == 0;
}
bool Rename(const std::string& from, const std::string& to) { return rename(from.c_str(), to.c_str()) == 0; }

// Written by this process while the program, another one, runs.
TEST(Program, FilesArrivingDownloadsWholeOnceCompleteAndNeverBefore) {
  const Sandbox box;
  const std::string dest = box.root.MakeDir("Downloads"), ticks = box.root.MakeDir("ticks");
  // A rule that takes every file (partial ones too, were they not held back); .bak stays; markers apart.
  WriteFile(box.rules, "-1,2,tick," + ticks + "\r\n-1,2,bak,(移動を禁止する)\r\n-1,6,20000101000000," + dest + "\r\n");
  const std::string desk = box.desktop + "/";
  const std::string pdf = testing::RandomBytes(300000, 1), mp4 = testing::RandomBytes(500000, 2),
                    iso = testing::RandomBytes(400000, 3);
  WriteFile(desk + "archive.part", "a paused download, closed");
  WriteFile(desk + "notes.txt", "notes");
  WriteFile(desk + "notes.txt.bak", "old notes");
  // Firefox: an empty placeholder under the final name, the data in NAME.part; Chromium: a provisional name
  // first; aria2, paused: the partial data under the final name beside its control file.
  const int firefox = Open(desk + "report.pdf.part"), chromium = Open(desk + "Unconfirmed 481516.crdownload");
  ASSERT_TRUE(Append(desk + "report.pdf", pdf, 0, 0) && Put(firefox, pdf, 0, 100000) && Put(chromium, mp4, 0, 100000));
  ASSERT_TRUE(Append(desk + "linux.iso", iso, 0, 100000) && Append(desk + "linux.iso.aria2", iso, 0, 0));
  const auto veskora = box.Start();
  // Two markers filed in turn: the second's cycle began after the first's ended and, as it sorts last, has
  // judged every other file as the desktop now stands.
  int cycle = 0;
  const auto wholeCycle = [&] {
    for (int twice = 0; twice < 2; ++twice) {
      const std::string name = "zz-" + std::to_string(++cycle) + ".tick";
      WriteFile(desk + name, "");
      for (int wait = 0; wait < 300 && !Exists(ticks + "/" + name); ++wait) usleep(100000);
      ASSERT_TRUE(Exists(ticks + "/" + name)) << "no cycle ran";
    }
  };
  wholeCycle();
  EXPECT_EQ(ListNames(dest), "notes.txt");
  close(firefox);
  ASSERT_TRUE(Rename(desk + "Unconfirmed 481516.crdownload", desk + "video.mp4.crdownload"));
  ASSERT_TRUE(Put(chromium, mp4, 100000, 300000));  // written on while renamed
  close(chromium);
  ASSERT_TRUE(Append(desk + "linux.iso", iso, 100000, 200000));
  wholeCycle();
  EXPECT_EQ(ListNames(dest), "notes.txt");
  EXPECT_EQ(ListNames(box.desktop),
            "archive.part linux.iso linux.iso.aria2 notes.txt.bak report.pdf report.pdf.part video.mp4.crdownload");
  ASSERT_TRUE(Append(desk + "report.pdf.part", pdf, 100000, pdf.size()) &&
              Rename(desk + "report.pdf.part", desk + "report.pdf"));
  ASSERT_TRUE(Append(desk + "video.mp4.crdownload", mp4, 300000, mp4.size()) &&
              Rename(desk + "video.mp4.crdownload", desk + "video.mp4"));
  ASSERT_TRUE(Append(desk + "linux.iso", iso, 200000, iso.size()) && unlink((desk + "linux.iso.aria2").c_str()) == 0);
  wholeCycle();
  veskora->Signal(SIGTERM);
  veskora->Wait();
  EXPECT_EQ(ListNames(dest), "linux.iso notes.txt report.pdf video.mp4");
  EXPECT_EQ(ListNames(box.desktop), "archive.part notes.txt.bak");
  EXPECT_TRUE(ReadFile(dest + "/report.pdf") == pdf && ReadFile(dest + "/video.mp4") == mp4 &&
              ReadFile(dest + "/linux.iso") == iso);
  // One line per file, and one per cycle marker.
  const std::string log = ReadFile(box.log);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4 + cycle) << log;
  for (const char* name : {"linux.iso", "notes.txt", "report.pdf", "video.mp4"}) {
    EXPECT_NE(log.find(std::string("] ") + name + " を " + dest), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace veskora::faults
