#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/move_rule.h"

namespace veskora {

// kind, ",", value, ",", destination; fields holding commas are quoted (see
// field_codec.h) so every reader takes them apart the same way.
std::string MakeRuleKey(int kind, std::string_view value, std::string_view destination);
std::string MakeRuleKey(const MoveRule& rule);

// The inverse of MakeRuleKey: kind, value and destination of the rule (the
// key does not hold the enabled flag, which is left as it is in MoveRule).
// Missing parts are empty, further parts ignored; a kind that is not a number
// reads 0.
MoveRule SplitRuleKey(std::string_view key);

// A key's parts as views into the key, without copying them.
struct RuleKeyView {
  int kind = 0;
  std::string_view value;
  // The key from the destination on: the destination is what stands before
  // its first comma. Found only when asked, since most readers never need it.
  std::string_view rest;

  std::string_view Destination() const { return rest.substr(0, rest.find(',')); }
};

// What SplitRuleKey gives, for a key whose kind, value and destination do not
// begin with a double quote (the form MakeRuleKey writes for every value and
// destination without commas, line breaks or a leading quote); std::nullopt
// for any other key.
std::optional<RuleKeyView> ViewRuleKey(std::string_view key);

// Clamps a parsed number into the range the rule kind is kept in.
int ClampKind(long long number);

}  // namespace veskora
