#include "cli/session.h"

#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "adapters/posix/data_folder.h"
#include "session/desktop_folder.h"
#include "session/running_instance.h"

namespace veskora::cli {

namespace {

// Our texts in the user's language when we have it (built into the program),
// else in English, the language they are written in.
Language LoadTranslation() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(), QStringLiteral("veskora-cli"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
    delete translator;
    return Language::kEnglish;
  }
  QCoreApplication::installTranslator(translator);
  return translator->language().startsWith(QStringLiteral("ja")) ? Language::kJapanese : Language::kEnglish;
}

}  // namespace

ProgramSession::ProgramSession(const std::atomic<bool>& stop)
    : files_(&stop),
      out_(stdout),
      err_(stderr),
      output_(out_, err_, LoadTranslation()),
      services_{files_,
                dataFiles_,
                clock_,
                settings_,
                DesktopFolderPath(),
                ResolveDataFolder(ProgramFolder()),
                JournalPath(),
                InstanceLockPath(),
                output_,
                &stop} {}

}  // namespace veskora::cli
