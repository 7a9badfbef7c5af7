#include "cli/services.h"

#include <cstring>

#include "rules/rule_file.h"

namespace veskora::cli {

std::optional<ProgramRules> LoadProgramRules(const CommandServices& services) {
  ProgramRules loaded;
  loaded.path = services.dataFolder + "/ZUL.dat";
  RuleFile file(services.dataFiles, loaded.path);
  const QString path = ShownText(loaded.path);
  switch (file.LoadRules(loaded.rules)) {
    case LoadOutcome::kUnreadable:
      services.output.Warn(Cli::tr("cannot read the rule file %1").arg(path));
      return std::nullopt;
    case LoadOutcome::kStopped:
      services.output.Warn(
          Cli::tr("the rule file %1 holds a record that cannot be read; the rows before it are used, as VESKORA does")
              .arg(path));
      break;
    case LoadOutcome::kNoFile:
    case LoadOutcome::kComplete:
      break;
  }
  return loaded;
}

std::optional<JournalContents> ReadProgramJournal(const CommandServices& services) {
  JournalContents contents = ReadJournal(services.dataFiles, services.journal);
  if (contents.error != 0) {
    services.output.Warn(Cli::tr("cannot read the move journal %1: %2")
                             .arg(ShownText(services.journal), QString::fromLocal8Bit(std::strerror(contents.error))));
    return std::nullopt;
  }
  if (contents.damaged) services.output.Warn(Cli::tr("some of the move journal cannot be read; it is left out"));
  return contents;
}

bool HaveDesktop(const CommandServices& services) {
  if (!services.desktop.empty()) return true;
  services.output.Warn(Cli::tr("there is no desktop folder to tidy (see XDG_DESKTOP_DIR)"));
  return false;
}

}  // namespace veskora::cli
