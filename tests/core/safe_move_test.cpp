// The move of one file, in this process, against real folders: what may be
// moved, what is never replaced, and what a move across file systems keeps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <tuple>

#include "other_file_system.h"
#include "mover/paths.h"
#include "adapters/posix/copy_data.h"
#include "adapters/posix/posix_file_system.h"
#include "temp_dir.h"
#include "test_processes.h"

namespace veskora {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Checked first, changing nothing, then moved: both must give the same answer.
MoveOutcome Move(const std::string& path, const std::string& folder) {
  PosixFileSystem files;
  const std::string parent(ParentOf(path));
  const std::string name(NameOf(path));
  const auto before = files.Identity(parent, name);
  const MoveOutcome checked = files.Check(parent, name, folder);
  EXPECT_EQ(files.Identity(parent, name), before) << path;
  const MoveOutcome moved = files.Move(parent, name, folder, nullptr);
  EXPECT_EQ(checked, moved) << path;
  return moved;
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

// What never replaces, what is no file or link, and a file somebody writes.
TEST(SafeMove, NeverReplacesAndMovesOnlyFilesAndLinksNobodyWrites) {
  TempDir dir;
  const std::string docs = dir.MakeDir("docs");
  WriteFile(dir / "a.txt", "source");
  WriteFile(docs + "/a.txt", "target");
  ASSERT_EQ(link((dir / "a.txt").c_str(), (dir / "same.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (docs + "/broken").c_str()), 0);
  WriteFile(dir / "broken", "mine");
  dir.MakeDir("folder");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  WriteFile(dir / "download.bin", "half");
  WriteFile(dir / "song.mp3", "music");
  // A download still being written, and a song being played (a lease sees writers of any process, this one too).
  const int writer = open((dir / "download.bin").c_str(), O_WRONLY | O_CLOEXEC);
  const int reader = open((dir / "song.mp3").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_TRUE(writer >= 0 && reader >= 0);
  const std::tuple<const char*, std::string, MoveOutcome> cases[] = {
      {"a.txt", docs, MoveOutcome::kTargetExists},      {"broken", docs, MoveOutcome::kTargetExists},
      {"same.txt", dir.Path(), MoveOutcome::kTargetExists},  // its own folder
      {"a.txt", dir / "gone", MoveOutcome::kFailed},    {"a.txt", dir / "same.txt", MoveOutcome::kFailed},
      {"missing.txt", docs, MoveOutcome::kSourceMissing}, {"folder", docs, MoveOutcome::kSourceMissing},
      {"fifo", docs, MoveOutcome::kSourceMissing},      {"download.bin", docs, MoveOutcome::kInUse},
      {"song.mp3", docs, MoveOutcome::kMoved},
  };
  for (const auto& [name, folder, outcome] : cases)
    EXPECT_EQ(Move(dir / name, folder), outcome) << name << " to " << folder;
  close(writer), close(reader);
  EXPECT_EQ(Move(dir / "download.bin", docs), MoveOutcome::kMoved);  // once the writer closed
  EXPECT_EQ(ReadFile(dir / "a.txt"), "source");
  EXPECT_EQ(ReadFile(docs + "/a.txt"), "target");
  EXPECT_EQ(LinkText(docs + "/broken"), "nowhere");
  EXPECT_EQ(ListNames(docs), "a.txt broken download.bin song.mp3");
  EXPECT_EQ(ListNames(dir.Path()), "a.txt broken docs fifo folder same.txt");
}

// Links keep leading where they led: relative ones are rewritten for their new
// folder, absolute and dangling ones keep their text. Same and other file system.
TEST(SafeMove, LinksAreMovedAsThemselvesAndKeepTheirMeaning) {
  TempDir home;
  const std::string desk = home.MakeDir("Desktop");
  const std::string docs = home.MakeDir("Documents");
  WriteFile(docs + "/x.pdf", "pdf");
  ASSERT_EQ(symlink("x.pdf", (docs + "/alias").c_str()), 0);  // a link to a link leads to that link
  testing::OtherFileSystem other;
  for (const std::string& dest : {home.MakeDir("Links"), other.Path()}) {
    SCOPED_TRACE(dest);
    ASSERT_EQ(symlink("../Documents/x.pdf", (desk + "/rel").c_str()), 0);
    ASSERT_EQ(symlink((docs + "/x.pdf").c_str(), (desk + "/abs").c_str()), 0);
    ASSERT_EQ(symlink("../Documents/none", (desk + "/dangling").c_str()), 0);
    ASSERT_EQ(symlink("../Documents/alias", (desk + "/via").c_str()), 0);
    for (const char* name : {"rel", "abs", "dangling", "via"}) {
      EXPECT_EQ(Move(desk + "/" + name, dest), MoveOutcome::kMoved);
    }
    EXPECT_EQ(ReadFile(dest + "/rel"), "pdf");
    EXPECT_EQ(LinkText(dest + "/rel").front(), '.');
    EXPECT_EQ(LinkText(dest + "/abs"), docs + "/x.pdf");
    EXPECT_EQ(LinkText(dest + "/dangling"), "../Documents/none");
    EXPECT_EQ(NameOf(LinkText(dest + "/via")), "alias");
    EXPECT_EQ(ReadFile(dest + "/via"), "pdf");
    EXPECT_EQ(ListNames(desk), "");
    EXPECT_EQ(ListNames(dest), "abs dangling rel via");
    if (dest == other.Path() && !other.Usable()) break;
  }
}

TEST(SafeMove, AcrossFileSystemsTheCopyKeepsBytesHolesModeTimesAndAttributes) {
  TempDir here;
  testing::OtherFileSystem there;
  if (!there.Usable()) GTEST_SKIP() << there.Why();
  const std::string bytes = testing::RandomBytes(3 * 1024 * 1024 + 5, 1);
  WriteFile(here / "photo.jpg", bytes);
  ASSERT_EQ(chmod((here / "photo.jpg").c_str(), 0640), 0);
  const timespec times[2] = {{1000000000, 0}, {1224990009, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, (here / "photo.jpg").c_str(), times, 0), 0);
  const bool xattrs = setxattr((here / "photo.jpg").c_str(), "user.xdg.origin.url", "https://e/x", 11, 0) == 0;
  // Sparse: a mebibyte of data in the middle of 64 MiB of holes.
  const int fd = open((here / "disk.img").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
  ASSERT_EQ(pwrite(fd, bytes.data(), 1 << 20, 32 << 20), 1 << 20);
  ASSERT_EQ(ftruncate(fd, 64 << 20), 0);
  close(fd);
  WriteFile(here / "empty", "");

  for (const char* name : {"photo.jpg", "disk.img", "empty"})
    EXPECT_EQ(Move(here / name, there.Path()), MoveOutcome::kMoved);
  EXPECT_EQ(ListNames(there.Path()), "disk.img empty photo.jpg");
  const struct stat st = Lstat(there.Path() + "/photo.jpg");
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1224990009);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
  char url[64] = {};
  if (xattrs) {
    EXPECT_EQ(getxattr((there.Path() + "/photo.jpg").c_str(), "user.xdg.origin.url", url, sizeof url), 11);
  }
  const struct stat img = Lstat(there.Path() + "/disk.img");
  EXPECT_EQ(img.st_size, 64 << 20);
  EXPECT_LE(img.st_blocks * 512, 4 << 20);  // still sparse
  EXPECT_TRUE(ReadFile(there.Path() + "/disk.img").substr(32 << 20, 1 << 20) == bytes.substr(0, 1 << 20));

  // A taken name over there: nothing changes here.
  WriteFile(here / "photo.jpg", "new");
  EXPECT_EQ(Move(here / "photo.jpg", there.Path()), MoveOutcome::kTargetExists);
  EXPECT_EQ(ReadFile(here / "photo.jpg"), "new");
}

// A copy whose source is cut short under it, or that is told to stop, never
// reports itself complete.
TEST(SafeMove, ACopyCutShortOrStoppedIsNoCopy) {
  TempDir dir;
  const off_t size = 3 << 20;
  WriteFile(dir / "growing.iso", testing::RandomBytes(static_cast<std::size_t>(size), 2));
  const int from = open((dir / "growing.iso").c_str(), O_RDONLY | O_CLOEXEC);
  const int to = open((dir / "copy").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
  ASSERT_GE(from, 0);
  ASSERT_GE(to, 0);
  int pieces = 0;
  EXPECT_EQ(CopyData(from, to, size, [&] { return ++pieces != 2 || truncate((dir / "growing.iso").c_str(), 1 << 20) == 0; }),
            ENODATA);
  pieces = 0;
  EXPECT_EQ(CopyData(from, to, 1 << 20, [&] { return ++pieces == 1; }), ECANCELED);
  close(from);
  close(to);
}

// The start time /proc gives a process, and its owner record as a private
// folder of ours holds it.
std::string StartOf(pid_t pid) {
  std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  stat.erase(0, stat.rfind(')') + 2);
  for (int field = 3; field < 22; ++field) stat.erase(0, stat.find(' ') + 1);
  return stat.substr(0, stat.find(' '));
}
std::string Owner(const std::string& boot, const std::string& start, pid_t pid) {
  return "veskora-owner boot=" + boot + " start=" + start + " pid=" + std::to_string(pid) + "\n";
}

// What killed runs left comes back from a private folder only when it holds
// our record of an owner that has ended (another boot, no such process, its
// id given to a later one); a user's entries named alike are never touched. A
// claimed file whose name was taken meanwhile comes back beside it, its stem
// cut to fit.
TEST(SafeMove, OnlyOurOwnLeftoversAreRecoveredAndAClaimedFileAlwaysComesBack) {
  TempDir dir;
  const std::string desk = dir.MakeDir("Desktop");
  PosixFileSystem files;
  ASSERT_TRUE(files.List(desk));
  files.BeginCycle(desk);  // nothing of ours listed; what comes after is found by the next cycle itself
  const std::string boot = ReadFile("/proc/sys/kernel/random/boot_id").substr(0, 36), init = StartOf(1);
  const pid_t ended = testing::EndedProcessId();
  const struct {
    std::string owner;  // the record inside, if any
    bool recovered;
  } folders[] = {
      {"", false},                                                     // a user's own folder
      {Owner(boot, init, 1), false},                                   // a live owner
      {Owner(boot, init + "0", 1), true},                              // its id given to another process
      {Owner("00000000-0000-4000-8000-000000000000", init, 1), true},  // before a reboot
      {Owner(boot, init, ended), true},                                // ended
      {Owner(boot, init, ended) + "x", false},                         // not our record
  };
  const std::string lookAlike = ".veskora-tmp-" + std::to_string(ended) + "-abcdefghijkl";
  WriteFile(desk + "/" + lookAlike, "a user's");
  std::string taken;
  for (int i = 0; i < 83; ++i) taken += "\u3042";  // 249 bytes
  WriteFile(desk + "/" + taken + ".txt", "newer");
  const auto folder = [&](std::size_t i) {
    return desk + "/.veskora-claim-" + std::to_string(ended) + "-abcdefg" + char('a' + i);
  };
  for (std::size_t i = 0; i < std::size(folders); ++i) {
    dir.MakeDir(folder(i).substr(dir.Path().size() + 1));
    WriteFile(folder(i) + "/file" + std::to_string(i), "mine");
    WriteFile(folder(i) + "/.veskora-tmp", "partial");
    if (!folders[i].owner.empty()) WriteFile(folder(i) + "/.veskora-owner", folders[i].owner);
  }
  WriteFile(folder(4) + "/" + taken + ".txt", "older");
  const std::string before = ListNames(desk);
  ASSERT_TRUE(PosixFileSystem().List(desk));  // a question only: what plan and why ask changes nothing
  EXPECT_EQ(ListNames(desk), before);
  files.BeginCycle(desk);
  for (std::size_t i = 0; i < std::size(folders); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Exists(desk + "/file" + std::to_string(i)), folders[i].recovered);
    EXPECT_EQ(Exists(folder(i)), !folders[i].recovered);
    const std::string inside = (folders[i].owner.empty() ? "" : ".veskora-owner ") + std::string(".veskora-tmp file");
    if (!folders[i].recovered) {
      EXPECT_EQ(ListNames(folder(i)), inside + std::to_string(i));
    }
  }
  EXPECT_EQ(ReadFile(desk + "/" + lookAlike), "a user's");
  EXPECT_EQ(ReadFile(desk + "/" + taken + ".txt"), "newer");
  EXPECT_EQ(ReadFile(desk + "/" + taken.substr(0, 246) + " (2).txt"), "older");
}

}  // namespace
}  // namespace veskora
