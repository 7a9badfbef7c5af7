// Any text as a key, value or destination: taking a key apart never crashes,
// and every rule's key gives back exactly its fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rules/rule_description.h"
#include "rules/rule_key.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const veskora::MoveRule parts = veskora::SplitRuleKey(text);
  veskora::DescribeRule(parts.kind, parts.value);

  // The input as kind, value and destination, split at the first two NULs.
  int kind = 0;
  if (size >= 4) std::memcpy(&kind, data, 4);
  const std::string rest = size >= 4 ? text.substr(4) : std::string();
  const std::size_t a = rest.find('\0');
  const std::string value = rest.substr(0, a);
  const std::string destination = a == std::string::npos ? std::string() : rest.substr(a + 1);
  const veskora::MoveRule back = veskora::SplitRuleKey(veskora::MakeRuleKey(kind, value, destination));
  if (back.kind != kind || back.value != value || back.destination != destination) std::abort();
  veskora::DescribeRule(kind, value);
  return 0;
}
