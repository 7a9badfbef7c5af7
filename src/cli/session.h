#pragma once

#include <QTextStream>
#include <atomic>

#include "adapters/posix/posix_data_files.h"
#include "adapters/posix/posix_file_system.h"
#include "adapters/posix/system_clock.h"
#include "cli/services.h"
#include "session/ini_settings_store.h"

namespace veskora::cli {

// The real outside, composed once for the program: the adapters the window
// is wired to, the folders and files it uses, the terminal, and the user's
// language (Qt's translation of our texts loaded for it).
class ProgramSession {
 public:
  // `stop`, set by SIGINT or SIGTERM, ends a move in progress safely.
  explicit ProgramSession(const std::atomic<bool>& stop);
  CommandServices& Services() { return services_; }

 private:
  PosixFileSystem files_;
  PosixDataFiles dataFiles_;
  SystemClock clock_;
  IniSettingsStore settings_;
  QTextStream out_;
  QTextStream err_;
  Output output_;
  CommandServices services_;
};

}  // namespace veskora::cli
