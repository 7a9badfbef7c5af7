// Downloads made the way browsers and download tools make them, by a second
// process, on the desktop of the real program: nothing is filed while it
// arrives; once complete, each is filed whole, with one log line, and nothing
// is left behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "fault_harness.h"
#include "program_sandbox.h"

namespace veskora::faults {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::WriteFile;

// A downloader in a process of its own: runs one phase at each Next(),
// keeping its files open in between.
class Downloader {
 public:
  explicit Downloader(std::vector<std::function<void()>> phases) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, link_) != 0) return;
    pid_ = fork();
    close(link_[pid_ == 0 ? 0 : 1]);  // so that either side sees the other end
    if (pid_ != 0) return;
    char c = 0;
    for (const auto& phase : phases) {
      if (read(link_[1], &c, 1) != 1) _exit(1);
      phase();
      if (write(link_[1], &c, 1) != 1) _exit(1);
    }
    _exit(0);
  }
  ~Downloader() {
    close(link_[0]);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  // False when the phase failed.
  bool Next() {
    char c = 0;
    return write(link_[0], &c, 1) == 1 && read(link_[0], &c, 1) == 1;
  }

 private:
  int link_[2] = {-1, -1};
  pid_t pid_ = -1;
};

// In the downloader: a failure ends it, and the test's Next() says so.
void Must(bool ok) {
  if (!ok) _exit(1);
}
int Open(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  Must(fd >= 0);
  return fd;
}
void Put(int fd, const std::string& bytes, std::size_t from, std::size_t to) {
  Must(write(fd, bytes.data() + from, to - from) == static_cast<ssize_t>(to - from));
}
void Append(const std::string& path, const std::string& bytes, std::size_t from, std::size_t to) {
  const int fd = Open(path);
  Put(fd, bytes, from, to);
  close(fd);
}

TEST(ArrivingDownloads, AreFiledWholeOnceCompleteAndNeverBefore) {
  ProgramSandbox sandbox;
  const std::string dest = sandbox.MakeDir("Downloads");
  const std::string ticks = sandbox.MakeDir("ticks");
  // A rule that takes every file (the partial ones too, were they not held
  // back); .bak files stay; the cycle markers have a folder of their own.
  WriteFile(sandbox.RulePath(),
            "-1,2,tick," + ticks + "\r\n-1,2,bak,(移動を禁止する)\r\n-1,6,20000101000000," + dest + "\r\n");
  const std::string desk = sandbox.Desktop() + "/";
  const std::string pdf = testing::RandomBytes(300000, 1), mp4 = testing::RandomBytes(500000, 2),
                    iso = testing::RandomBytes(400000, 3);
  WriteFile(desk + "archive.part", "a finished piece");
  WriteFile(desk + "notes.txt", "notes");
  WriteFile(desk + "notes.txt.bak", "old notes");

  int firefox = -1, chromium = -1;
  const auto start = [&] {
    // Firefox: an empty placeholder under the final name, the data in NAME.part.
    Append(desk + "report.pdf", pdf, 0, 0);
    firefox = Open(desk + "report.pdf.part");
    Put(firefox, pdf, 0, 100000);
    // Chromium: a provisional name first.
    chromium = Open(desk + "Unconfirmed 481516.crdownload");
    Put(chromium, mp4, 0, 100000);
    // aria2, paused: the partial data under the final name beside its control file.
    Append(desk + "linux.iso", iso, 0, 100000);
    Append(desk + "linux.iso.aria2", iso, 0, 0);
  };
  const auto pause = [&] {
    close(firefox);
    Must(rename((desk + "Unconfirmed 481516.crdownload").c_str(), (desk + "video.mp4.crdownload").c_str()) == 0);
    Put(chromium, mp4, 100000, 300000);  // written on while renamed
    close(chromium);
    Append(desk + "linux.iso", iso, 100000, 200000);
  };
  const auto finish = [&] {
    Append(desk + "report.pdf.part", pdf, 100000, pdf.size());
    Must(rename((desk + "report.pdf.part").c_str(), (desk + "report.pdf").c_str()) == 0);
    Append(desk + "video.mp4.crdownload", mp4, 300000, mp4.size());
    Must(rename((desk + "video.mp4.crdownload").c_str(), (desk + "video.mp4").c_str()) == 0);
    Append(desk + "linux.iso", iso, 200000, iso.size());
    Must(unlink((desk + "linux.iso.aria2").c_str()) == 0);
  };
  Downloader downloads({start, pause, finish});
  ASSERT_TRUE(downloads.Next());

  testing::Child veskora(sandbox.Command(), sandbox.Environment());
  // Two markers filed one after the other: the second was listed by a cycle
  // that began after the first had ended, so it saw the desktop as it now
  // stands, and it sorts last, so that cycle has judged every other file.
  int cycle = 0;
  auto wholeCycle = [&] {
    for (int twice = 0; twice < 2; ++twice) {
      const std::string name = "zz-" + std::to_string(++cycle) + ".tick";
      WriteFile(desk + name, "");
      for (int wait = 0; wait < 300 && !Exists(ticks + "/" + name); ++wait) usleep(100000);
      ASSERT_TRUE(Exists(ticks + "/" + name)) << "no cycle ran";
    }
  };
  wholeCycle();
  EXPECT_EQ(ListNames(dest), "archive.part notes.txt");
  ASSERT_TRUE(downloads.Next());
  wholeCycle();
  EXPECT_EQ(ListNames(dest), "archive.part notes.txt");
  EXPECT_EQ(ListNames(sandbox.Desktop()),
            "linux.iso linux.iso.aria2 notes.txt.bak report.pdf report.pdf.part video.mp4.crdownload");
  ASSERT_TRUE(downloads.Next());
  wholeCycle();
  veskora.Signal(SIGTERM);
  veskora.Wait();

  EXPECT_EQ(ListNames(dest), "archive.part linux.iso notes.txt report.pdf video.mp4");
  EXPECT_EQ(ListNames(sandbox.Desktop()), "notes.txt.bak");
  EXPECT_TRUE(ReadFile(dest + "/report.pdf") == pdf);
  EXPECT_TRUE(ReadFile(dest + "/video.mp4") == mp4);
  EXPECT_TRUE(ReadFile(dest + "/linux.iso") == iso);
  // One line per file, and one per cycle marker.
  const std::string log = ReadFile(sandbox.LogPath());
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5 + cycle) << log;
  for (const char* name : {"archive.part", "linux.iso", "notes.txt", "report.pdf", "video.mp4"}) {
    EXPECT_NE(log.find(std::string("] ") + name + " を " + dest), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace veskora::faults
