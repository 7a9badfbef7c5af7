#pragma once

#include <string>
#include <string_view>

namespace veskora {

// The rule's text in the list's first column; also what the duplicate check
// compares. Empty for a kind outside 1..6.
std::string DescribeRule(int kind, std::string_view value);

}  // namespace veskora
