#pragma once

#include <string>
#include <string_view>

namespace veskora {

// Destination texts that name no folder. The mover treats any destination that
// merely contains kProtectWord or kUndefinedWord as "do not move".
inline constexpr std::string_view kProtectMarker = "(移動を禁止する)";
inline constexpr std::string_view kUndefinedMarker = "(未定義)";
inline constexpr std::string_view kProtectWord = "移動を禁止する";
inline constexpr std::string_view kUndefinedWord = "未定義";

// Condition kinds, numbered as the editor's kind selector lists them (index + 1).
enum RuleKind : int {
  kNameKeyword = 1,
  kExtension = 2,
  kSizeSmaller = 3,
  kSizeLarger = 4,
  kTimeOlder = 5,
  kTimeNewer = 6,
};

// One rule as the user thinks of it: a condition and where it sends a file.
// The kind is kept as read, even when it is none of the six (a hand-edited
// file); such a rule never matches but survives a load and save unchanged.
struct MoveRule {
  int kind = 0;
  std::string value;
  std::string destination;

  friend bool operator==(const MoveRule&, const MoveRule&) = default;
};

// True when a destination names no folder to move into.
bool IsNoDestination(std::string_view destination);

}  // namespace veskora
