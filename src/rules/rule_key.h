#pragma once

#include <string>
#include <string_view>

#include "rules/move_rule.h"

namespace veskora {

// kind, ",", value, ",", destination; fields holding commas are quoted (see
// field_codec.h) so every reader takes them apart the same way.
std::string MakeRuleKey(int kind, std::string_view value, std::string_view destination);
std::string MakeRuleKey(const MoveRule& rule);

// The inverse of MakeRuleKey: kind, value and destination of the rule.
// Missing parts are empty, further parts ignored; a kind that is not a number
// reads 0.
MoveRule SplitRuleKey(std::string_view key);

// Clamps a parsed number into the range the rule kind is kept in.
int ClampKind(long long number);

}  // namespace veskora
