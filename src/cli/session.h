#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "ports/clock.h"
#include "ports/data_files.h"
#include "ports/file_system.h"
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

// The outside as a command meets it: the same adapters the window is wired
// to. `stop`, when given, asks a move in progress to finish or roll back.
struct CommandServices {
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<DataFiles> dataFiles;
  std::unique_ptr<Clock> clock;
};
CommandServices OpenServices(const std::atomic<bool>* stop = nullptr);

// Where the program journals its moves.
std::string JournalFile();

// Gives back what a killed run left claimed in the folder.
void GiveBackLeftovers(const std::string& folder);

}  // namespace veskora::cli
