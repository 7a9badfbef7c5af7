#include "cli/session.h"

#include <QString>

#include "adapters/posix/data_folder.h"
#include "adapters/posix/posix_data_files.h"
#include "adapters/posix/posix_file_system.h"
#include "adapters/posix/private_names.h"
#include "adapters/posix/system_clock.h"
#include "cli/output.h"
#include "ports/settings_store.h"
#include "rules/rule_file.h"
#include "session/desktop_folder.h"

namespace veskora::cli {

std::optional<ProgramRules> LoadProgramRules() {
  ProgramRules loaded;
  loaded.dataFolder = ResolveDataFolder(ProgramFolder());
  loaded.path = loaded.dataFolder + "/ZUL.dat";
  PosixDataFiles files;
  RuleFile file(files, loaded.path);
  const QString path = QString::fromStdString(Shown(loaded.path));
  switch (file.LoadRules(loaded.rules)) {
    case LoadOutcome::kUnreadable:
      Warn(QStringLiteral("cannot read the rule file ") + path);
      return std::nullopt;
    case LoadOutcome::kStopped:
      Warn(QStringLiteral("the rule file ") + path +
           QStringLiteral(" holds a record that cannot be read; the rows before it are used, as VESKORA does"));
      break;
    case LoadOutcome::kNoFile:
    case LoadOutcome::kComplete:
      break;
  }
  return loaded;
}

std::string FindDesktop() {
  std::string desktop = DesktopFolderPath();
  if (desktop.empty()) Warn(QStringLiteral("there is no desktop folder to tidy (see XDG_DESKTOP_DIR)"));
  return desktop;
}

CommandServices OpenServices(const std::atomic<bool>* stop) {
  return {std::make_unique<PosixFileSystem>(stop), std::make_unique<PosixDataFiles>(), std::make_unique<SystemClock>()};
}

std::string JournalFile() { return JournalPath(); }

void GiveBackLeftovers(const std::string& folder) { SweepLeftovers(folder); }

}  // namespace veskora::cli
