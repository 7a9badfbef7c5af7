#pragma once

#include <string>
#include <string_view>

#include "rules/move_rule.h"

namespace veskora {

// The rule's text in the list's first column; also what the duplicate check
// compares. Empty for a kind outside 1..6.
std::string DescribeRule(int kind, std::string_view value);
std::string DescribeRule(const MoveRule& rule);

// The size threshold in bytes of a size rule's value: the leading number
// times 1024 for "K", 1024² for "M" ("M" wins over "K"), 1024³ for "G" (only
// when neither "K" nor "M" is present). Sizes compare as doubles, which hold
// every 64-bit length a disk can have to well below a byte's error.
double SizeThreshold(std::string_view value);

}  // namespace veskora
