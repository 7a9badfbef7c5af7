#include "mover/extension_table.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace veskora {
namespace {

// Extensions short and long (seven bytes and fewer are compared as one
// number, longer ones by their bytes), many sharing beginnings and lengths:
// each row's extension finds the first row that names it, others nothing.
TEST(ExtensionTable, FindsTheFirstRowOfEachExtensionAndNothingElse) {
  const std::string letters[] = {"a", "b", "\xe5", ""};
  std::mt19937 rng(3);
  auto text = [&] {
    std::string made;
    for (std::size_t n = rng() % 11; n > 0; --n) made += letters[rng() % 3];
    return made;
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> texts(rng() % 40);
    std::vector<std::pair<std::string_view, int>> rows;
    std::map<std::string, int> first;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      texts[i] = text();
      rows.emplace_back(texts[i], static_cast<int>(i) + 1);
      first.emplace(texts[i], static_cast<int>(i) + 1);
    }
    const ExtensionTable table(rows);
    for (int probe = 0; probe < 60; ++probe) {
      const std::string asked = probe < static_cast<int>(texts.size()) ? texts[probe] : text();
      const auto found = first.find(asked);
      EXPECT_EQ(table.Find(asked), found == first.end() ? kNoRow : found->second) << asked;
    }
  }
}

}  // namespace
}  // namespace veskora
