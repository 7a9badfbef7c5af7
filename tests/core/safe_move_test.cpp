#include "platform/posix/safe_move.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
  const std::string from = dir.MakeDir("desktop") + "/song.mp3";
  const std::string to = dir.MakeDir("docs") + "/song.mp3";
  WriteFile(from, "music");

  OtherProcessHolding reader(from, O_RDONLY);
  ASSERT_TRUE(reader.Holding());
  EXPECT_EQ(SafeMoveFile(from, to), MoveOutcome::kMoved);
  EXPECT_FALSE(Exists(from));
  EXPECT_EQ(ReadFile(to), "music");
  EXPECT_EQ(ListNames(dir / "docs"), "song.mp3");
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

}  // namespace
}  // namespace veskora
