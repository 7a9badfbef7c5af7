#pragma once

#include <string>
#include <string_view>

namespace veskora {

struct RuleKeyParts {
  int kind = 0;
  std::string value;
  std::string destination;
};

// kind, ",", value, ",", destination; fields holding commas are quoted (see
// field_codec.h) so every reader takes them apart the same way.
std::string MakeRuleKey(int kind, std::string_view value, std::string_view destination);

// The inverse of MakeRuleKey. Missing parts are empty, further parts ignored;
// a kind that is not a number reads 0.
RuleKeyParts SplitRuleKey(std::string_view key);

// Clamps a parsed number into the range the rule kind is kept in.
int ClampKind(long long number);

}  // namespace veskora
