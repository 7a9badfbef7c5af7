// Two names searched side by side must each get what a search of its own
// gives, whatever rows one search makes under the other.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "mover/conditions.h"
#include "mover/keyword_automaton.h"
#include "mover/rule_matcher.h"
#include "rules/rule_list_ops.h"

namespace veskora {
namespace {

std::string Show(const std::optional<RowMatch>& match) {
  return match ? std::to_string(match->position) + " " + match->destination : "none";
}

TEST(PairedSearch, GivesEachNameWhatItsOwnSearchGives) {
  // A small alphabet makes keywords overlap; short and long texts end at
  // different steps of the side-by-side search.
  const std::string alphabet[] = {"a", "b", ".", "\xe5", "写"};
  int found = 0;
  for (std::uint64_t seed = 1; seed <= 1500; ++seed) {
    std::mt19937_64 rng(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto word = [&](std::size_t maxLength) {
      std::string text;
      for (std::size_t n = pick(maxLength + 1); n > 0; --n) text += alphabet[pick(std::size(alphabet))];
      return text;
    };
    RuleList rules;
    std::vector<std::string> words(pick(10));
    std::vector<KeywordAutomaton::Keyword> keywords;
    for (std::string& text : words) {
      text = word(4);
      keywords.push_back({text, static_cast<int>(keywords.size()) + 1});
      const int kind = static_cast<int>(pick(3)) + 1;  // keyword, extension, size smaller
      AddRuleItem(rules, pick(5) != 0, kind, kind == 3 ? std::to_string(pick(12)) : text.substr(0, 2 * kind),
                  "/d" + text);
    }
    const std::size_t budget = seed % 4 == 0 ? pick(300) : KeywordAutomaton::kDefaultCellBudget;
    const std::string desk = "/desk";
    testing::FakeFileSystem files;
    files.facts = FileFacts{pick(12), 0};
    for (int probe = 0; probe < 10; ++probe) {
      const std::string a = word(14);
      const std::string b = word(14);
      // Fresh for each question, so that the rows are made during it.
      const auto [inA, inB] = KeywordAutomaton(keywords, budget).LowestMatches(a, b);
      found += inA != kNoRow;
      EXPECT_EQ(inA, KeywordAutomaton(keywords, budget).LowestMatch(a)) << seed << " " << a;
      EXPECT_EQ(inB, KeywordAutomaton(keywords, budget).LowestMatch(b)) << seed << " " << b;
      const Candidate first(desk, a, files);
      const Candidate second(desk, b, files);
      const auto [matchA, matchB] = RuleMatcher(rules).FirstMatches(first, second);
      EXPECT_EQ(Show(matchA), Show(RuleMatcher(rules).FirstMatch(first))) << seed << " " << a;
      EXPECT_EQ(Show(matchB), Show(RuleMatcher(rules).FirstMatch(second))) << seed << " " << b;
    }
  }
  // Keywords must be found often, and often not, or agreeing says little.
  EXPECT_GT(found, 4000);
  EXPECT_LT(found, 12000);
}

}  // namespace
}  // namespace veskora
