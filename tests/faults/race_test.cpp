// Writers race a mover, in its own process, that runs without pause:
// appenders, editors saving over the name, files swapped with each other and
// with a folder or a FIFO. Whatever the timing, not a byte is lost, nothing is torn, and only
// files ever arrive in the destination. Then the cases where a copy must not
// even start.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <numeric>
#include <sstream>
#include <tuple>

#include "fault_harness.h"

namespace veskora::faults {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

// Writers run in threads until a deadline, each reporting how much it wrote.
using Deadline = std::chrono::steady_clock::time_point;
Deadline In(std::chrono::milliseconds ms) { return std::chrono::steady_clock::now() + ms; }
bool Before(Deadline deadline) { return std::chrono::steady_clock::now() < deadline; }
std::vector<long> UpTo(long n) {
  std::vector<long> numbers(static_cast<std::size_t>(std::max(n, 0L)));
  std::iota(numbers.begin(), numbers.end(), 0L);
  return numbers;
}

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

// The lines of all pieces, as numbers.
std::vector<long> Numbers(const std::vector<std::string>& pieces) {
  std::vector<long> numbers;
  for (const std::string& piece : pieces) {
    std::istringstream in(ReadFile(piece));
    for (std::string line; std::getline(in, line);) numbers.push_back(std::stol(line));
  }
  return numbers;
}

struct Place {
  const char* label;
  Scene::Where where;
  bool fuse;  // desktop and destination both through one bindfs mount
};

class Race : public ::testing::TestWithParam<Place> {};

TEST_P(Race, WritersSaversAndSwapsLoseNothingToAMoverThatNeverRests) {
  Scene scene(GetParam().where);
  if (!scene.Usable()) GTEST_SKIP() << scene.Why();
  std::string desk = scene.Desktop(), dest = scene.Destination();
  const testing::TempDir fuse;
  if (GetParam().fuse) {
    if (access("/usr/bin/bindfs", X_OK) != 0) GTEST_SKIP() << "bindfs is not installed";
    if (testing::Child({"/usr/bin/bindfs", fs::path(desk).parent_path().string(), fuse.Path()}).Wait() != 0) {
      GTEST_SKIP() << "bindfs cannot mount here";
    }
    desk = fuse / "Desktop";
    dest = fuse / "Target";
    WriteFile(scene.RulePath(), "-1,1,," + dest + "\r\n");
  }
  testing::Child mover(scene.Command(-1, 5, desk));
  const Deadline end = In(std::chrono::milliseconds(3000));
  std::vector<std::future<long>> appenders;
  for (int k = 0; k < 4; ++k) {
    const std::string path = desk + "/log-" + std::to_string(k) + ".txt";
    appenders.push_back(std::async(std::launch::async, [path, end] {
      long n = 0;
      for (; Before(end); ++n) {
        const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        const std::string line = std::to_string(n) + "\n";
        if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return -1L;
        close(fd);
        usleep(300);
      }
      return n;
    }));
  }
  // An editor saves whole versions of one size and one time over the name.
  const auto version = [](long n) { return "version " + std::to_string(100000000000 + n) + "\n"; };
  std::future<long> saver = std::async(std::launch::async, [&] {
    long n = 0;
    for (const std::string temp = desk + "/.doc.txt.swp"; Before(end); ++n) {
      WriteFile(temp, version(n));
      const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
      utimensat(AT_FDCWD, temp.c_str(), times, 0);
      if (rename(temp.c_str(), (desk + "/doc.txt").c_str()) != 0) return -1L;
      usleep(500);
    }
    return n - 1;  // the last version
  });
  // Rounds of files swapped with each other and with a folder and a FIFO, each
  // round's contents its own. A swap cut short by a move may leave a file
  // under the folder's hidden name: still there, nothing lost.
  const auto content = [](long round, char c) { return std::to_string(round) + ":" + std::string(50000, c); };
  std::future<long> swapper = std::async(std::launch::async, [&] {
    long round = 0;
    for (; Before(end); ++round) {
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
  });

  std::vector<long> appended;
  for (auto& appender : appenders) appended.push_back(appender.get());
  const long lastVersion = saver.get(), rounds = swapper.get();
  usleep(300000);  // a few more cycles: what nobody writes now is moved
  mover.Signal(SIGTERM);
  ASSERT_EQ(testing::DescribeStatus(mover.Wait()), "exit 0");

  long lines = 0;
  for (int k = 0; k < 4; ++k) {
    ASSERT_GT(appended[k], 0) << k;  // each line it wrote, once
    std::vector<long> seen = Numbers(Pieces({desk, dest}, "log-" + std::to_string(k) + ".txt"));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, UpTo(appended[k])) << k;
    lines += static_cast<long>(seen.size());
  }
  bool lastFound = false;
  for (const std::string& piece : Pieces({desk, dest}, "doc.txt")) {
    const std::string text = ReadFile(piece);
    EXPECT_TRUE(text.size() == 21u && text.rfind("version ", 0) == 0) << piece;
    lastFound = lastFound || text == version(lastVersion);
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
              GetParam().label, std::accumulate(appended.begin(), appended.end(), 0L), lastVersion + 1, rounds, lines);
  if (GetParam().fuse) testing::Child({"/bin/umount", fuse.Path()}).Wait();
}

INSTANTIATE_TEST_SUITE_P(Places, Race,
                         ::testing::Values(Place{"OtherFileSystem", Scene::Where::kOther, false},
                                           Place{"SameFileSystem", Scene::Where::kSame, false},
                                           Place{"FuseWithoutNoReplace", Scene::Where::kSame, true}),
                         [](const auto& info) { return std::string(info.param.label); });

// A file whose writers no lease can show (the leases refused, as for another
// owner's file) moves within its file system once it looked the same at two
// cycles. To another file system it is not copied while a process holds it
// open, even one that opened it just before it was claimed: a writer that
// writes again after the original is removed would lose it all. Where some
// processes cannot be looked into, it waits for a long rest instead (150
// cycles; the driver runs them without pause).
TEST(UnseenWriters, AFileHeldOpenIsNotCopiedAndOneThatMaybeIsWaitsLong) {
  constexpr const char* kNoLease = "lease:EACCES;wrlease:EACCES";
  const std::string noProc = std::string(kNoLease) + ";open:EACCES:path=/proc/1/fd";
  // where, the faults, whether this process holds the file open, how many cycles run, whether it moved
  const std::tuple<Scene::Where, std::string, bool, long, bool> cases[] = {
      {Scene::Where::kSame, kNoLease, false, 1, false},
      {Scene::Where::kSame, kNoLease, false, 2, true},
      {Scene::Where::kOther, kNoLease, true, 3, false},
      {Scene::Where::kOther, kNoLease, false, 3, true},
      // opened by another process just before it is claimed
      {Scene::Where::kOther, std::string(kNoLease) + ";renameat2:hold:path=shared.log:after=1:times=1", false, 3,
       false},
      {Scene::Where::kOther, noProc, false, 3, false},
      {Scene::Where::kOther, noProc, false, 152, true},
  };
  for (const auto& [where, fault, held, cycles, moved] : cases) {
    SCOPED_TRACE(fault + " " + std::to_string(cycles));
    Scene scene(where);
    if (!scene.Usable()) GTEST_SKIP() << scene.Why();
    scene.Put("shared.log", "0\n");
    const int writer = held ? open((scene.Desktop() + "/shared.log").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC) : -1;
    EXPECT_EQ(scene.Run(fault, cycles), "exit 0");
    EXPECT_EQ(scene.AtDestination(), moved ? 1 : 0);
    if (writer >= 0) {
      EXPECT_EQ(write(writer, "1\n", 2), 2);
      close(writer);
      EXPECT_EQ(ReadFile(scene.Desktop() + "/shared.log"), "0\n1\n");
    }
  }
}

// A copy that cannot succeed is never started: not for a file that takes more
// room than the destination has, nor for one that could not be removed. What
// fits is copied, holes kept.
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
  EXPECT_EQ(scene.Run("copy_file_range:EIO;pwrite:EIO;tmpfile:EIO", 3), "exit 0");
  EXPECT_TRUE(scene.TakeFired().empty()) << "a copy was started";
  EXPECT_EQ(testing::ListNames(small.Path()), "");
  flags = 0;
  if (immutable) ioctl(fd, FS_IOC_SETFLAGS, &flags);
  close(fd);
  sparse("thin.img", 1LL << 30, 1 << 20);
  EXPECT_EQ(scene.Run(), "exit 0");
  EXPECT_EQ(testing::ListNames(small.Path()), "locked.txt thin.img");
  EXPECT_EQ(testing::ListNames(scene.Desktop()), "big.img");
}

}  // namespace
}  // namespace veskora::faults
