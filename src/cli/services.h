#pragma once

#include <QString>
#include <atomic>
#include <optional>
#include <string>

#include "cli/output.h"
#include "mover/move_journal.h"
#include "ports/clock.h"
#include "ports/data_files.h"
#include "ports/file_system.h"
#include "ports/settings_store.h"
#include "rules/rule_list.h"

namespace veskora::cli {

// What a command runs on: the outside through the ports, where the program's
// things are, and where its words go. The program composes it of the real
// adapters (session.h); a test of its own.
struct CommandServices {
  FileSystem& files;
  DataFiles& dataFiles;
  const Clock& clock;
  const SettingsStore& settings;
  std::string desktop;     // the folder the program tidies; empty when there is none
  std::string dataFolder;  // holds the rule file ZUL.dat and the move log veskora.log
  std::string journal;     // the move journal
  QString instanceLock;    // the lock a running program holds
  Output& output;
  // Once set (SIGINT, SIGTERM), a move in progress finishes or rolls back and
  // nothing more is moved.
  const std::atomic<bool>* stop = nullptr;
};

// The rules the program would use, read by its own code.
struct ProgramRules {
  std::string path;
  RuleList rules;
};

// std::nullopt, with a message, when the rule file exists but cannot be
// read; a missing file gives no rules, as it does for the program. A file
// read only in part gives the rows before the damage, as for the program,
// with a warning.
std::optional<ProgramRules> LoadProgramRules(const CommandServices& services);

// The move journal as it is now; std::nullopt, with a message, when it
// cannot be read. A damaged part is left out, with a warning.
std::optional<JournalContents> ReadProgramJournal(const CommandServices& services);

// The desktop folder, or false with a message when there is none.
bool HaveDesktop(const CommandServices& services);

}  // namespace veskora::cli
