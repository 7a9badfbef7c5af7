#pragma once

#include <optional>
#include <string>

#include "rules/rule_list.h"

namespace veskora::cli {

// The rules the program would use, found and read by its own code: the rule
// file "ZUL.dat" in the data folder beside the program (or the user's).
struct ProgramRules {
  std::string dataFolder;
  std::string path;
  RuleList rules;
};

// std::nullopt, with a message, when the rule file exists but cannot be
// read; a missing file gives no rules, as it does for the program. A file
// read only in part gives the rows before the damage, as for the program,
// with a warning.
std::optional<ProgramRules> LoadProgramRules();

// The desktop folder the program tidies; empty, with a message, when there
// is none.
std::string FindDesktop();

}  // namespace veskora::cli
