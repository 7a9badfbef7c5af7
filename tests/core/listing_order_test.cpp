#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "temp_dir.h"

namespace veskora {
namespace {

// Names that share long beginnings, end inside and at the edges of eight-byte
// steps, begin one another, and hold bytes above 0x7F: listed in the order
// that a comparison of whole names gives.
TEST(FolderListing, OrdersNamesByTheirBytesWhateverTheyShare) {
  const std::string stems[] = {
      "", "a", "IMG_000", "IMG_0000", "Screenshot 2024-", "Screenshot 2024-05-0", "スクリーンショット 2024-05-01"};
  const std::string letters[] = {"a", "b", "0", "1", " ", "-", ".", "\xe3\x81\x82", "\xff"};
  std::mt19937 rng(5);
  std::set<std::string> names;
  for (int i = 0; i < 600; ++i) {
    std::string name = stems[rng() % std::size(stems)];
    for (std::size_t n = rng() % 12; n > 0; --n) name += letters[rng() % std::size(letters)];
    if (!name.empty() && name[0] != '.') names.insert(name);
  }
  testing::TempDir dir;
  for (const std::string& name : names) testing::WriteFile(dir / name, "");
  PosixFileSystem files;
  const auto listing = files.List(dir.Path());
  ASSERT_TRUE(listing);
  std::vector<std::string> listed;
  for (const FolderEntry& entry : *listing) listed.push_back(entry.name);
  EXPECT_EQ(listed, std::vector<std::string>(names.begin(), names.end()));
}

}  // namespace
}  // namespace veskora
