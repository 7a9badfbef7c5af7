#include "rules/rule_key.h"

#include <algorithm>
#include <limits>

#include "rules/field_codec.h"

namespace veskora {

int ClampKind(long long number) {
  return static_cast<int>(
      std::clamp<long long>(number, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string MakeRuleKey(int kind, std::string_view value, std::string_view destination) {
  std::string key = std::to_string(kind);
  key.push_back(',');
  AppendField(key, value);
  key.push_back(',');
  AppendField(key, destination);
  return key;
}

std::string MakeRuleKey(const MoveRule& rule) { return MakeRuleKey(rule.kind, rule.value, rule.destination); }

MoveRule SplitRuleKey(std::string_view key) {
  std::vector<std::string> fields = SplitFields(key);
  MoveRule rule;
  rule.kind = ClampKind(LeadingNumber(fields[0]));
  if (fields.size() > 1) rule.value = std::move(fields[1]);
  if (fields.size() > 2) rule.destination = std::move(fields[2]);
  return rule;
}

}  // namespace veskora
