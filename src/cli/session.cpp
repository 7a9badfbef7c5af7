#include "cli/session.h"

#include <QString>

#include "cli/output.h"
#include "adapters/posix/data_folder.h"
#include "adapters/posix/posix_data_files.h"
#include "session/desktop_folder.h"
#include "ports/settings_store.h"
#include "rules/rule_file.h"
#include "session/app_settings.h"
#include "session/ini_settings_store.h"

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

bool AutomoveIsOn() { return ReadAppSettings(IniSettingsStore()).automove; }

}  // namespace veskora::cli
