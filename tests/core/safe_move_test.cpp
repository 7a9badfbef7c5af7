#include "platform/posix/safe_move.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "temp_dir.h"

namespace veskora {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(static_cast<unsigned>(size));
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

struct stat Lstat(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return st;
}

std::string LinkText(const std::string& path) {
  char text[4096];
  const ssize_t length = readlink(path.c_str(), text, sizeof text);
  return length < 0 ? std::string() : std::string(text, static_cast<std::size_t>(length));
}

// A tmpfs mounted on a fresh folder for as long as the object lives.
class TmpfsMount {
 public:
  TmpfsMount(const TempDir& parent, const char* options, unsigned long flags = 0) : path_(parent.MakeDir("mnt")) {
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", flags, options) == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~TmpfsMount() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  bool RemountReadOnly() const { return mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  std::string path_;
  bool mounted_ = false;
  std::string error_;
};

// Another process that holds a file open (with the given open flags) until
// Release or the end of the object.
class OtherProcessHolding {
 public:
  OtherProcessHolding(const std::string& path, int flags) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      const char opened = open(path.c_str(), flags) >= 0 ? 'y' : 'n';
      if (write(ready[1], &opened, 1) != 1) _exit(1);
      char byte;
      while (read(release[0], &byte, 1) > 0) {
      }
      _exit(0);  // closes the file
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char opened = 'n';
    holding_ = read(ready[0], &opened, 1) == 1 && opened == 'y';
    close(ready[0]);
  }
  ~OtherProcessHolding() { Release(); }
  OtherProcessHolding(const OtherProcessHolding&) = delete;
  OtherProcessHolding& operator=(const OtherProcessHolding&) = delete;

  bool Holding() const { return holding_; }
  void Release() {
    if (release_ >= 0) close(release_);
    release_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool holding_ = false;
};

TEST(SafeMoveWithinFileSystem, MovesTheFile) {
  TempDir dir;
  const std::string from = dir.MakeDir("desktop") + "/report.txt";
  const std::string to = dir.MakeDir("docs") + "/report.txt";
  WriteFile(from, "contents");

  EXPECT_EQ(SafeMoveFile(from, to), MoveOutcome::kMoved);
  EXPECT_FALSE(Exists(from));
  EXPECT_EQ(ReadFile(to), "contents");
  EXPECT_EQ(ListNames(dir / "docs"), "report.txt");
}

TEST(SafeMoveWithinFileSystem, NeverReplacesAnExistingTarget) {
  TempDir dir;
  const std::string from = dir / "a.txt";
  WriteFile(from, "source");
  WriteFile(dir / "taken.txt", "target");
  ASSERT_EQ(link(from.c_str(), (dir / "same-inode.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir / "broken-link").c_str()), 0);

  EXPECT_EQ(SafeMoveFile(from, dir / "taken.txt"), MoveOutcome::kTargetExists);
  EXPECT_EQ(SafeMoveFile(from, dir / "broken-link"), MoveOutcome::kTargetExists);
  // Another name of the same file, and the file itself (a rule whose
  // destination is the file's own folder).
  EXPECT_EQ(SafeMoveFile(from, dir / "same-inode.txt"), MoveOutcome::kTargetExists);
  EXPECT_EQ(SafeMoveFile(from, from), MoveOutcome::kTargetExists);

  EXPECT_EQ(ReadFile(from), "source");
  EXPECT_EQ(ReadFile(dir / "taken.txt"), "target");
  EXPECT_EQ(ReadFile(dir / "same-inode.txt"), "source");
  EXPECT_EQ(LinkText(dir / "broken-link"), "nowhere");
}

TEST(SafeMoveWithinFileSystem, FailsWithoutChangeForAMissingTargetFolderOrSource) {
  TempDir dir;
  const std::string from = dir / "a.txt";
  WriteFile(from, "source");
  EXPECT_EQ(SafeMoveFile(from, dir / "gone/a.txt"), MoveOutcome::kFailed);
  EXPECT_EQ(SafeMoveFile(from, dir / "a.txt/b.txt"), MoveOutcome::kFailed);
  EXPECT_EQ(ReadFile(from), "source");

  EXPECT_EQ(SafeMoveFile(dir / "missing.txt", dir / "b.txt"), MoveOutcome::kSourceMissing);
  EXPECT_EQ(SafeMoveFile(dir / "gone/missing.txt", dir / "b.txt"), MoveOutcome::kSourceMissing);

  // Neither a regular file nor a link: nothing to move.
  dir.MakeDir("folder");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(SafeMoveFile(dir / "folder", dir / "folder2"), MoveOutcome::kSourceMissing);
  EXPECT_EQ(SafeMoveFile(dir / "fifo", dir / "fifo2"), MoveOutcome::kSourceMissing);
  EXPECT_EQ(ListNames(dir.Path()), "a.txt fifo folder");
}

TEST(SafeMoveWithinFileSystem, MovesALinkAsTheLinkItself) {
  TempDir dir;
  const std::string pointed = dir / "real.txt";
  WriteFile(pointed, "real");
  ASSERT_EQ(symlink(pointed.c_str(), (dir / "link").c_str()), 0);
  const std::string to = dir.MakeDir("docs") + "/link";

  EXPECT_EQ(SafeMoveFile(dir / "link", to), MoveOutcome::kMoved);
  EXPECT_FALSE(Exists(dir / "link"));
  EXPECT_TRUE(S_ISLNK(Lstat(to).st_mode));
  EXPECT_EQ(LinkText(to), pointed);
  EXPECT_EQ(ReadFile(pointed), "real");
}

TEST(SafeMoveInUse, AFileOpenForWritingStaysUntilTheWriterCloses) {
  TempDir dir;
  const std::string from = dir / "download.part";
  const std::string to = dir / "moved.part";
  WriteFile(from, "half");

  OtherProcessHolding writer(from, O_WRONLY);
  ASSERT_TRUE(writer.Holding());
  EXPECT_EQ(SafeMoveFile(from, to), MoveOutcome::kInUse);
  EXPECT_EQ(ReadFile(from), "half");
  EXPECT_FALSE(Exists(to));

  writer.Release();
  EXPECT_EQ(SafeMoveFile(from, to), MoveOutcome::kMoved);
  EXPECT_EQ(ReadFile(to), "half");
}

TEST(SafeMoveInUse, AFileOpenOnlyForReadingIsMoved) {
  TempDir dir;
  const std::string from = dir / "song.mp3";
  WriteFile(from, "music");

  OtherProcessHolding reader(from, O_RDONLY);
  ASSERT_TRUE(reader.Holding());
  EXPECT_EQ(SafeMoveFile(from, dir / "moved.mp3"), MoveOutcome::kMoved);
  EXPECT_EQ(ReadFile(dir / "moved.mp3"), "music");
}

// The source lies under TMPDIR (or /tmp), the destination on /dev/shm.
class SafeMoveAcrossFileSystems : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Lstat(here_.Path()).st_dev == Lstat(there_.Path()).st_dev) {
      GTEST_SKIP() << here_.Path() << " and " << there_.Path() << " are on the same file system";
    }
  }

  TempDir here_;
  TempDir there_{"/dev/shm"};
};

TEST_F(SafeMoveAcrossFileSystems, CopiesTheBytesModeAndTimesThenRemovesTheSource) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{3 * 1024 * 1024 + 5}}) {
    SCOPED_TRACE(size);
    const std::string from = here_ / "photo.jpg";
    const std::string to = there_ / "photo.jpg";
    const std::string bytes = RandomBytes(size);
    WriteFile(from, bytes);
    ASSERT_EQ(chmod(from.c_str(), 0640), 0);
    const timespec times[2] = {{1000000000, 0}, {1224990009, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, from.c_str(), times, 0), 0);

    EXPECT_EQ(SafeMoveFile(from, to), MoveOutcome::kMoved);
    EXPECT_FALSE(Exists(from));
    EXPECT_TRUE(ReadFile(to) == bytes);
    const struct stat st = Lstat(to);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1224990009);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(ListNames(there_.Path()), "photo.jpg");
    ASSERT_EQ(unlink(to.c_str()), 0);
  }
}

TEST_F(SafeMoveAcrossFileSystems, NeverReplacesATargetAndFailsIntoAMissingFolder) {
  const std::string from = here_ / "a.txt";
  WriteFile(from, "source");
  WriteFile(there_ / "a.txt", "target");

  EXPECT_EQ(SafeMoveFile(from, there_ / "a.txt"), MoveOutcome::kTargetExists);
  EXPECT_EQ(SafeMoveFile(from, there_ / "gone/a.txt"), MoveOutcome::kFailed);
  EXPECT_EQ(ReadFile(from), "source");
  EXPECT_EQ(ReadFile(there_ / "a.txt"), "target");
  EXPECT_EQ(ListNames(there_.Path()), "a.txt");
}

TEST_F(SafeMoveAcrossFileSystems, MovesALinkAsTheLinkItself) {
  const std::string pointed = here_ / "real.txt";
  WriteFile(pointed, "real");
  ASSERT_EQ(symlink(pointed.c_str(), (here_ / "link").c_str()), 0);
  ASSERT_EQ(symlink("elsewhere", (here_ / "link2").c_str()), 0);
  WriteFile(there_ / "link2", "taken");

  EXPECT_EQ(SafeMoveFile(here_ / "link", there_ / "link"), MoveOutcome::kMoved);
  EXPECT_FALSE(Exists(here_ / "link"));
  EXPECT_TRUE(S_ISLNK(Lstat(there_ / "link").st_mode));
  EXPECT_EQ(LinkText(there_ / "link"), pointed);
  EXPECT_EQ(ReadFile(pointed), "real");

  EXPECT_EQ(SafeMoveFile(here_ / "link2", there_ / "link2"), MoveOutcome::kTargetExists);
  EXPECT_EQ(LinkText(here_ / "link2"), "elsewhere");
  EXPECT_EQ(ReadFile(there_ / "link2"), "taken");
  EXPECT_EQ(ListNames(there_.Path()), "link link2");
}

TEST_F(SafeMoveAcrossFileSystems, LeavesTheSourceAndNoTraceOnAFullDisk) {
  const TmpfsMount full(there_, "size=1m");
  if (!full.Mounted()) GTEST_SKIP() << "cannot mount a 1 MiB tmpfs: " << full.Error();
  const std::string from = here_ / "big.bin";
  const std::string bytes = RandomBytes(std::size_t{2} << 20);
  WriteFile(from, bytes);

  EXPECT_EQ(SafeMoveFile(from, full / "big.bin"), MoveOutcome::kFailed);
  EXPECT_TRUE(ReadFile(from) == bytes);
  EXPECT_EQ(ListNames(full.Path()), "");
}

TEST_F(SafeMoveAcrossFileSystems, LeavesTheSourceWhenTheDestinationIsReadOnly) {
  const TmpfsMount read_only(there_, "size=1m", MS_RDONLY);
  if (!read_only.Mounted()) GTEST_SKIP() << "cannot mount a read-only tmpfs: " << read_only.Error();
  const std::string from = here_ / "a.txt";
  WriteFile(from, "source");

  EXPECT_EQ(SafeMoveFile(from, read_only / "a.txt"), MoveOutcome::kFailed);
  EXPECT_EQ(ReadFile(from), "source");
  EXPECT_EQ(ListNames(read_only.Path()), "");
}

TEST_F(SafeMoveAcrossFileSystems, WithdrawsTheCopyWhenTheSourceCannotBeRemoved) {
  const TmpfsMount source_fs(there_, "size=1m");
  if (!source_fs.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << source_fs.Error();
  const std::string from = source_fs / "a.txt";
  WriteFile(from, "source");
  ASSERT_TRUE(source_fs.RemountReadOnly());

  EXPECT_EQ(SafeMoveFile(from, here_ / "a.txt"), MoveOutcome::kFailed);
  EXPECT_EQ(ReadFile(from), "source");
  EXPECT_EQ(ListNames(here_.Path()), "");
}

// Another process appends to the source, opening and closing it for every
// byte, while a large copy runs: the copy is dropped and the source stays.
TEST_F(SafeMoveAcrossFileSystems, DropsTheCopyWhenTheSourceGrowsMeanwhile) {
  const std::string from = here_ / "growing.log";
  const std::size_t size = std::size_t{32} << 20;
  WriteFile(from, std::string(size, 'x'));

  const pid_t appender = fork();
  ASSERT_GE(appender, 0);
  if (appender == 0) {
    for (;;) {
      const int fd = open(from.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd >= 0) {
        if (write(fd, "+", 1) != 1) _exit(1);
        close(fd);
      }
      usleep(200);
    }
  }
  while (Lstat(from).st_size == static_cast<off_t>(size)) usleep(100);

  MoveOutcome outcome = MoveOutcome::kInUse;
  for (int attempt = 0; attempt < 1000 && outcome == MoveOutcome::kInUse; ++attempt) {
    outcome = SafeMoveFile(from, there_ / "growing.log");
  }
  kill(appender, SIGKILL);
  waitpid(appender, nullptr, 0);

  EXPECT_EQ(outcome, MoveOutcome::kSourceChanged);
  EXPECT_GT(Lstat(from).st_size, static_cast<off_t>(size));
  EXPECT_EQ(ListNames(there_.Path()), "");
}

}  // namespace
}  // namespace veskora
