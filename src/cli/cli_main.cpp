// veskora-cli: see what the rules will do, ask why a file moves or stays, list
// and undo moves, from a terminal. The same core, rule file, data folder,
// desktop lookup and settings as the program itself.
#include <signal.h>

#include <QCoreApplication>
#include <atomic>
#include <csignal>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/session.h"

namespace {

// Set by SIGINT and SIGTERM during an undo; a handler can reach nothing but a
// static.
std::atomic<bool> stopRequested{false};

// Ctrl-C or a kill during an undo: the file being put back ends in one place
// or the other, never hidden in between. The other commands end at once.
void CatchEndSignals() {
  struct sigaction stop {};
  stop.sa_handler = [](int) { stopRequested = true; };
  stop.sa_flags = SA_RESTART;
  for (const int number : {SIGINT, SIGTERM}) sigaction(number, &stop, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // Output into a closed pipe (`| head`) must not end an undo halfway.
  std::signal(SIGPIPE, SIG_IGN);
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("veskora-cli"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VESKORA_VERSION));
  // Not QCoreApplication::arguments(), which loses the bytes of names that are not UTF-8.
  const QStringList arguments = veskora::cli::DecodeArguments(argc, argv).mid(1);
  if (arguments.value(0) == QLatin1String("undo")) CatchEndSignals();
  veskora::cli::ProgramSession session(stopRequested);
  return veskora::cli::RunCli(arguments, session.Services());
}
