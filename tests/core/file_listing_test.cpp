#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/folder_listing.h"
#include "platform/posix/posix_file_system.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using testing::TempDir;
using testing::WriteFile;
using Names = std::vector<std::string>;

std::optional<Names> ListFolderFiles(const std::string& folder) {
  PosixFileSystem files;
  const auto listing = files.List(folder);
  if (!listing) return std::nullopt;
  Names names;
  for (const FolderEntry& entry : *listing) {
    if (entry.file) names.push_back(entry.name);
  }
  return names;
}

std::optional<FileFacts> StatFile(const std::string& path) { return FactsAt(AT_FDCWD, path); }

TEST(ListFolderFiles, ListsRegularFilesAndLinksToThemOnly) {
  TempDir dir;
  TempDir elsewhere;
  WriteFile(dir / "plain.txt", "x");
  WriteFile(dir / ".hidden", "x");
  WriteFile(elsewhere / "outside.txt", "x");
  dir.MakeDir("folder");
  dir.MakeDir(".hidden-folder");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink((elsewhere / "outside.txt").c_str(), (dir / "link-to-file").c_str()), 0);
  ASSERT_EQ(symlink("plain.txt", (dir / "relative-link").c_str()), 0);
  ASSERT_EQ(symlink((dir / "folder").c_str(), (dir / "link-to-folder").c_str()), 0);
  ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "broken-link").c_str()), 0);
  ASSERT_EQ(symlink("plain.txt", (dir / ".hidden-link").c_str()), 0);

  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string sock_path = dir / "socket";
  ASSERT_LT(sock_path.size(), sizeof(address.sun_path));
  std::memcpy(address.sun_path, sock_path.c_str(), sock_path.size() + 1);
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  close(sock);

  EXPECT_EQ(ListFolderFiles(dir.Path()), (Names{"link-to-file", "plain.txt", "relative-link"}));
}

TEST(ListFolderFiles, SortsNamesByBytesAndKeepsOddNames) {
  TempDir dir;
  const std::string longest(255, 'n');
  std::string longest_utf8;
  for (int i = 0; i < 85; ++i) longest_utf8 += "\xE3\x81\x82";  // 85 × "あ" = 255 bytes
  for (const std::string& name :
       {std::string("b"), std::string("B"), std::string("a"), std::string("Z.txt"), std::string("\xC3\xA9t\xC3\xA9"),
        std::string("\xE3\x83\x87\xE3\x82\xB9\xE3\x82\xAF"), std::string("line\nbreak"), std::string(" space"),
        std::string("10"), std::string("9"), longest, longest_utf8}) {
    WriteFile(dir / name, "x");
  }

  EXPECT_EQ(ListFolderFiles(dir.Path()),
            (Names{" space", "10", "9", "B", "Z.txt", "a", "b", "line\nbreak", longest, "\xC3\xA9t\xC3\xA9",
                   longest_utf8, "\xE3\x83\x87\xE3\x82\xB9\xE3\x82\xAF"}));
}

TEST(ListFolderFiles, EmptyListForAnEmptyFolderAndNothingForOneThatCannotBeListed) {
  TempDir dir;
  EXPECT_EQ(ListFolderFiles(dir.Path()), Names{});
  EXPECT_EQ(ListFolderFiles(dir / "missing"), std::nullopt);
  WriteFile(dir / "file", "x");
  EXPECT_EQ(ListFolderFiles(dir / "file"), std::nullopt);
}

TEST(StatFile, GivesTheExact64BitSizeAndTheModificationTimeThroughLinks) {
  TempDir dir;
  const std::string path = dir / "sparse";
  const std::uint64_t size = 5ULL * 1024 * 1024 * 1024 + 3;  // above 4 GiB, not a round number
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  const timespec times[2] = {{1000, 0}, {1224990009, 500000000}};  // mtime 2008-10-26 03:00:09 UTC and a half
  ASSERT_EQ(futimens(fd, times), 0);
  close(fd);

  const auto stat = StatFile(path);
  ASSERT_TRUE(stat);
  EXPECT_EQ(stat->size, size);
  EXPECT_EQ(stat->mtime, 1224990009);

  // A link is followed; nothing for a missing file or a broken link.
  ASSERT_EQ(symlink(path.c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink((dir / "missing").c_str(), (dir / "broken").c_str()), 0);
  const auto through_link = StatFile(dir / "link");
  ASSERT_TRUE(through_link);
  EXPECT_EQ(through_link->size, size);
  EXPECT_EQ(through_link->mtime, 1224990009);
  EXPECT_EQ(StatFile(dir / "missing"), std::nullopt);
  EXPECT_EQ(StatFile(dir / "broken"), std::nullopt);
}

}  // namespace
}  // namespace veskora
