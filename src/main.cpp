#include <QApplication>
#include <QSystemTrayIcon>
#include <csignal>

#include "mover/move_journal.h"
#include "ports/clock.h"
#include "adapters/posix/data_folder.h"
#include "adapters/posix/diagnostics.h"
#include "adapters/posix/inotify_watch.h"
#include "adapters/posix/posix_data_files.h"
#include "adapters/posix/posix_file_system.h"
#include "session/desktop_folder.h"
#include "ports/desktop_handoff.h"
#include "ports/dialogs.h"
#include "adapters/qt/instance_lock.h"
#include "adapters/qt/qt_translations.h"
#include "ports/settings_store.h"
#include "adapters/qt/unix_signal_watcher.h"
#include "window/form1.h"
#include "window/program.h"
#include "window/program_options.h"
#include "adapters/posix/system_clock.h"
#include "session/ini_settings_store.h"
#include "adapters/qt/qt_dialogs.h"
#include "adapters/qt/qt_desktop_handoff.h"
#include "adapters/qt/qt_tray.h"
#include "window/app_icon.h"

int main(int argc, char** argv) {
  // A diagnostic into a pipe nobody reads any more must not end a cycle halfway.
  std::signal(SIGPIPE, SIG_IGN);
  if (const auto ended = veskora::HandleProgramOptions(argc, argv)) return *ended;
  QApplication app(argc, argv);
  // The window hides into the tray and message boxes may be the only window
  // left: the program ends when Form1 says so, not when windows close.
  QApplication::setQuitOnLastWindowClosed(false);
  // Without them Qt's own texts stay English; the program works either way.
  veskora::LoadQtTranslations();

  veskora::QtDialogs dialogs;
  veskora::QtDesktopHandoff handoff;
  veskora::IniSettingsStore settings;
  veskora::QtTray tray(veskora::MakeAppIcon());
  veskora::SystemClock clock;
  // A copy in progress gives up when the session ends, so that the program
  // ends within a second.
  veskora::PosixFileSystem files(&veskora::UnixSignalWatcher::EndRequested());
  veskora::InstanceLock lock(veskora::InstanceLock::DefaultPath());
  veskora::PosixDataFiles dataFiles;
  veskora::MoveJournal journal(dataFiles, veskora::JournalPath(), clock);
  veskora::InotifyWatch watch;
  const veskora::ShellServices services{dialogs,
                                        handoff,
                                        settings,
                                        tray,
                                        clock,
                                        files,
                                        dataFiles,
                                        &veskora::DesktopFolderPath,
                                        [] { return veskora::ResolveDataFolder(veskora::ProgramFolder()); },
                                        [] { return QSystemTrayIcon::isSystemTrayAvailable(); },
                                        &veskora::UnixSignalWatcher::EndRequested(),
                                        &journal,
                                        &watch};

  const std::unique_ptr<veskora::Form1> form = veskora::StartProgram(services, lock);
  if (!form) return 0;

  veskora::UnixSignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
  QObject::connect(&endSignals, &veskora::UnixSignalWatcher::received, form.get(), &veskora::Form1::EndProgram);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, form.get(), &veskora::Form1::EndProgram);
  QObject::connect(&app, &QCoreApplication::aboutToQuit, form.get(), &veskora::Form1::EndProgram);
  QObject::connect(form.get(), &veskora::Form1::ended, &app, [] { QCoreApplication::exit(0); });
  const int code = QApplication::exec();
  // Moves whose records waited for another process's lock get a last chance.
  if (!journal.Flush(veskora::MoveJournal::kLockWait)) {
    veskora::Diagnose("the move journal " + journal.Path() + " stayed locked; the last moves are in the log only");
  }
  return code;
}
