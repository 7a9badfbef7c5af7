// Real processes race a mover that runs without pause: appenders, editors
// saving over the name, files swapped with each other and with a folder or a
// FIFO. Whatever the timing, not a byte is lost, nothing is torn, and only
// files ever arrive in the destination. Then the cases where a copy must not
// even start.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "fault_harness.h"

namespace veskora::faults {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

// A function run in a child process until the deadline; it reports a number
// (how much it wrote) through its exit pipe.
class Racer {
 public:
  explicit Racer(const std::function<long(std::chrono::steady_clock::time_point)>& body, double seconds) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const long n =
          body(std::chrono::steady_clock::now() +
               std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds)));
      _exit(write(out[1], &n, sizeof n) == sizeof n ? 0 : 1);
    }
    close(out[1]);
    pipe_ = out[0];
  }
  long Result() {
    long n = -1;
    if (read(pipe_, &n, sizeof n) != sizeof n) n = -1;
    close(pipe_);
    waitpid(pid_, nullptr, 0);
    return n;
  }

 private:
  pid_t pid_ = -1;
  int pipe_ = -1;
};

bool Before(std::chrono::steady_clock::time_point deadline) { return std::chrono::steady_clock::now() < deadline; }

// Every file whose name is `name` or, given back beside a newer one, "stem (N).ext".
std::vector<std::string> Pieces(const std::vector<std::string>& folders, const std::string& name) {
  const std::string stem = name.substr(0, name.rfind('.'));
  std::vector<std::string> found;
  for (const std::string& folder : folders) {
    for (const std::string& entry : Names(folder)) {
      if (entry == name || entry.rfind(stem + " (", 0) == 0) found.push_back(folder + "/" + entry);
    }
  }
  return found;
}

std::string Lines(const std::vector<std::string>& files) {
  std::string all;
  for (const std::string& file : files) all += ReadFile(file);
  return all;
}

struct Place {
  const char* label;
  Scene::Where where;
  bool fuse;  // desktop and destination both through one bindfs mount
};

void PrintTo(const Place& place, std::ostream* out) { *out << place.label; }

class Race : public ::testing::TestWithParam<Place> {};

TEST_P(Race, WritersSaversAndSwapsLoseNothingToAMoverThatNeverRests) {
  Scene scene(GetParam().where);
  if (!scene.Usable()) GTEST_SKIP() << scene.Why();
  std::string desk = scene.Desktop();
  std::string dest = scene.Destination();
  const testing::TempDir fuse;
  if (GetParam().fuse) {
    if (access("/usr/bin/bindfs", X_OK) != 0) GTEST_SKIP() << "bindfs is not installed";
    testing::Child mount({"/usr/bin/bindfs", fs::path(desk).parent_path().string(), fuse.Path()});
    if (mount.Wait() != 0) GTEST_SKIP() << "bindfs cannot mount here";
    desk = fuse / "Desktop";
    dest = fuse / "Target";
    WriteFile(scene.RulePath(), "-1,1,," + dest + "\r\n");
  }
  testing::Child mover(
      {MoveDriverPath(), scene.RulePath(), desk, scene.LogPath(), "--cycles", "-1", "--pause-ms", "5"});
  const double seconds = 3;
  std::vector<Racer> appenders;
  for (int k = 0; k < 4; ++k) {
    const std::string path = desk + "/log-" + std::to_string(k) + ".txt";
    appenders.emplace_back(
        [path](auto deadline) {
          long n = 0;
          for (; Before(deadline); ++n) {
            const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            const std::string line = std::to_string(n) + "\n";
            if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return -1L;
            close(fd);
            usleep(300);
          }
          return n;
        },
        seconds);
  }
  // An editor saves whole versions of one size and one time over the name.
  Racer saver(
      [&desk](auto deadline) {
        long n = 0;
        for (; Before(deadline); ++n) {
          char text[32];
          std::snprintf(text, sizeof text, "version %012ld\n", n);
          const std::string temp = desk + "/.doc.txt.swp";
          WriteFile(temp, text);
          const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
          utimensat(AT_FDCWD, temp.c_str(), times, 0);
          if (rename(temp.c_str(), (desk + "/doc.txt").c_str()) != 0) return -1L;
          usleep(500);
        }
        return n - 1;  // the last version
      },
      seconds);
  // Rounds of files swapped with each other and with a folder and a FIFO, each
  // round's contents its own. A swap cut short by a move may leave a file
  // under the folder's hidden name: still there, nothing lost.
  const auto content = [](long round, char c) { return std::to_string(round) + ":" + std::string(50000, c); };
  Racer swapper(
      [&desk, &content](auto deadline) {
        long round = 0;
        for (; Before(deadline); ++round) {
          const std::string r = std::to_string(round);
          const std::string x = desk + "/x-" + r + ".dat", y = desk + "/y-" + r + ".dat", t = desk + "/t-" + r + ".bin";
          const std::string folder = desk + "/.d-" + r, fifo = desk + "/.f-" + r;
          WriteFile(x, content(round, 'x'));
          WriteFile(y, content(round, 'y'));
          WriteFile(t, content(round, 't'));
          fs::create_directory(folder);
          mkfifo(fifo.c_str(), 0600);
          for (int i = 0; i < 20; ++i) {
            for (const auto& [a, b] : {std::pair{x, y}, {t, folder}, {t, folder}, {t, fifo}, {t, fifo}}) {
              renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
            }
          }
        }
        return round;
      },
      seconds);

  std::vector<long> appended;
  for (Racer& appender : appenders) appended.push_back(appender.Result());
  const long lastVersion = saver.Result();
  const long rounds = swapper.Result();
  usleep(300000);  // a few more cycles: what nobody writes now is moved
  mover.Signal(SIGTERM);
  ASSERT_EQ(testing::DescribeStatus(mover.Wait()), "exit 0");

  long lines = 0;
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    ASSERT_GT(appended[k], 0);
    std::istringstream in(Lines(Pieces({desk, dest}, "log-" + std::to_string(k) + ".txt")));
    std::set<long> seen;
    for (std::string line; std::getline(in, line); ++lines) EXPECT_TRUE(seen.insert(std::stol(line)).second) << line;
    EXPECT_EQ(static_cast<long>(seen.size()), appended[k]);
  }
  char last[32];
  std::snprintf(last, sizeof last, "version %012ld\n", lastVersion);
  bool lastFound = false;
  for (const std::string& piece : Pieces({desk, dest}, "doc.txt")) {
    const std::string text = ReadFile(piece);
    EXPECT_EQ(text.size(), 21u) << piece;
    EXPECT_EQ(text.rfind("version ", 0), 0u) << piece;
    lastFound = lastFound || text == last;
  }
  EXPECT_TRUE(lastFound) << "the last version saved is lost";
  std::map<std::string, int> copies;
  for (const std::string& folder : {desk, dest}) {
    for (const std::string& name : Names(folder)) {
      if (fs::is_regular_file(folder + "/" + name) && name.find('-') <= 2) ++copies[ReadFile(folder + "/" + name)];
    }
  }
  for (long round = 0; round < rounds; ++round) {
    for (const char c : {'x', 'y', 't'}) EXPECT_EQ(copies[content(round, c)], 1) << round << c;
  }
  for (const std::string& name : Names(dest)) {
    EXPECT_FALSE(fs::is_directory(dest + "/" + name) || fs::is_fifo(dest + "/" + name)) << name;
  }
  std::printf("[ race ] %s: %ld lines appended, %ld versions saved, %ld rounds of swaps; %ld lines found, 0 lost\n",
              GetParam().label, appended[0] + appended[1] + appended[2] + appended[3], lastVersion + 1, rounds, lines);
  if (GetParam().fuse) testing::Child({"/bin/umount", fuse.Path()}).Wait();
}

INSTANTIATE_TEST_SUITE_P(Places, Race,
                         ::testing::Values(Place{"OtherFileSystem", Scene::Where::kOther, false},
                                           Place{"SameFileSystem", Scene::Where::kSame, false},
                                           Place{"FuseWithoutNoReplace", Scene::Where::kSame, true}),
                         [](const auto& info) { return std::string(info.param.label); });

// A file of another user, in a folder everyone may write: nobody can lease it,
// so it moves only once it has stayed the same from one cycle to the next,
// never while its owner still writes it.
TEST(NoProbe, AFileNobodyCanAskAboutMovesOnlyOnceItRests) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  Scene scene(Scene::Where::kOther);
  if (!scene.Usable()) GTEST_SKIP() << scene.Why();
  const std::string path = scene.Desktop() + "/shared.log";
  // The other user may reach and write the folders, as on a shared desktop.
  for (const std::string& folder :
       {scene.Desktop(), scene.Destination(), scene.LogPath().substr(0, scene.LogPath().rfind('/'))}) {
    chmod(folder.c_str(), 0777);
    for (fs::path p = fs::path(folder).parent_path(); p != p.root_path(); p = p.parent_path()) {
      struct stat st {};
      if (stat(p.c_str(), &st) == 0) chmod(p.c_str(), (st.st_mode & 07777) | 0001);
    }
  }
  chmod(scene.RulePath().c_str(), 0644);
  WriteFile(path, "");
  ASSERT_EQ(chown(path.c_str(), 4242, 4242), 0);
  chmod(path.c_str(), 0666);
  // The mover runs as nobody, from a copy nobody may run: the build can lie
  // in a private folder.
  std::vector<std::string> command = scene.Command(-1, 100);
  const std::string driver = fs::path(scene.Desktop()).parent_path() / "move-driver";
  ASSERT_TRUE(fs::copy_file(command[0], driver));
  command[0] = driver;
  testing::Child mover(command, {}, 65534);
  Racer owner(
      [&path](auto deadline) {
        long n = 0;
        for (; Before(deadline); ++n) {
          const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
          if (fd < 0) break;
          const std::string line = std::to_string(n) + "\n";
          if (write(fd, line.data(), line.size()) < 0) break;
          usleep(20000);  // keeps it open, writing, for a fifth of every cycle
          close(fd);
        }
        return n;
      },
      1.5);
  const long written = owner.Result();
  // Moved, and logged: the move is complete.
  for (int wait = 0; wait < 50 && scene.LoggedNames().empty(); ++wait) usleep(100000);
  mover.Signal(SIGTERM);
  mover.Wait();
  EXPECT_EQ(scene.LoggedNames(), std::vector<std::string>{"shared.log"}) ;
  std::istringstream in(Lines(Pieces({scene.Desktop(), scene.Destination()}, "shared.log")));
  long lines = 0;
  for (std::string line; std::getline(in, line);) EXPECT_EQ(std::stol(line), lines++);
  EXPECT_EQ(lines, written);
}

// A copy that cannot succeed is never started: not for a file that takes more
// room than the destination has, nor for one that could not be removed.
TEST(NoCopyInVain, NoRoomOrNoRemovalMeansNoCopy) {
  Scene scene(Scene::Where::kSame);
  const testing::TmpfsMount small(scene.Destination() + "/small", "size=16m");
  if (!small.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << small.Error();
  WriteFile(scene.RulePath(), "-1,2,img," + small.Path() + "\r\n-1,2,txt," + small.Path() + "\r\n");
  const auto sparse = [&](const std::string& name, off_t length, off_t data) {
    const int fd = open((scene.Desktop() + "/" + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    const std::string bytes = testing::RandomBytes(static_cast<std::size_t>(data), 9);
    EXPECT_EQ(pwrite(fd, bytes.data(), bytes.size(), length / 2), data);
    EXPECT_EQ(ftruncate(fd, length), 0);
    close(fd);
  };
  sparse("big.img", 1LL << 30, 24 << 20);  // 1 GiB long, 24 MiB of it data
  WriteFile(scene.Desktop() + "/locked.txt", "immutable");
  const int fd = open((scene.Desktop() + "/locked.txt").c_str(), O_RDONLY | O_CLOEXEC);
  int flags = FS_IMMUTABLE_FL;
  const bool immutable = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  const std::string noCopy = "copy_file_range:EIO;pwrite:EIO;tmpfile:EIO";
  EXPECT_EQ(scene.Run(noCopy, 3), "exit 0");
  EXPECT_TRUE(scene.TakeFired().empty()) << "a copy was started";
  EXPECT_EQ(Names(small.Path()), std::vector<std::string>{});
  flags = 0;
  if (immutable) ioctl(fd, FS_IOC_SETFLAGS, &flags);
  close(fd);
  // What fits is copied, holes kept.
  sparse("thin.img", 1LL << 30, 1 << 20);
  EXPECT_EQ(scene.Run(), "exit 0");
  EXPECT_EQ(Names(small.Path()), (std::vector<std::string>{"locked.txt", "thin.img"}));
  EXPECT_EQ(Names(scene.Desktop()), std::vector<std::string>{"big.img"});
}

}  // namespace
}  // namespace veskora::faults
