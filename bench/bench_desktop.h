#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rules/rule_list.h"

namespace veskora::bench {

// A folder of files named as a desktop's are, created once and removed with
// the object. Every file is sparse: its length is set, no data is written.
class BenchDesktop {
 public:
  // Creates `count` files under a fresh folder below `base`; `naming` picks
  // the naming (a desktop's mixture, or "move-NNNNN.dat").
  enum class Naming { kDesktopMixture, kMoveCandidates };
  BenchDesktop(const std::string& base, std::size_t count, Naming naming);
  ~BenchDesktop();
  BenchDesktop(const BenchDesktop&) = delete;
  BenchDesktop& operator=(const BenchDesktop&) = delete;

  // The root holding the desktop and anything else a benchmark puts there.
  const std::string& Root() const { return root_; }
  const std::string& Desktop() const { return desktop_; }
  const std::vector<std::string>& Names() const { return names_; }

 private:
  std::string root_;
  std::string desktop_;
  std::vector<std::string> names_;
};

// Length of every desktop-mixture file and the year of their modification
// times; the rules of RulesMatchingNothing are drawn around them.
inline constexpr long kBenchFileSize = 2048;
inline constexpr int kBenchFileYear = 2024;

enum class RuleMix {
  kNamesOnly,  // keywords and extensions, half each
  kAllKinds,   // the six kinds in turn
  kRealistic,  // of every ten rows: seven extensions, two keywords, one size or time
};

// `count` enabled rules, all different, none of which any desktop-mixture
// file meets.
RuleList RulesMatchingNothing(std::size_t count, RuleMix mix);

// True when no file of the desktop meets any of the rules (else a benchmark
// would time moves, not matching).
bool NothingMatches(const BenchDesktop& desktop, const RuleList& rules);

// The file system type of a folder, for the report ("tmpfs", "ext4", ...).
std::string FileSystemName(const std::string& folder);

}  // namespace veskora::bench
