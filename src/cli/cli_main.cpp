// veskora-cli: see what the rules will do, ask why a file moves or stays, and
// undo moves, from a terminal. The same core, rule file, data folder, desktop
// lookup and settings as the program itself.
#include <signal.h>

#include <QCoreApplication>
#include <atomic>
#include <csignal>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/output.h"
#include "session/command_line.h"

namespace {

using namespace veskora::cli;

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

int RunCli(const QStringList& arguments) {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(MakePlanCommand());
  commands.push_back(MakeWhyCommand());
  commands.push_back(MakeUndoCommand(stopRequested));

  QCommandLineParser parser;
  const auto [help, version] = veskora::AddHelpAndVersion(parser);
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("plan, why or undo"));
  // What follows the command's name is the command's to read.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  if (!parser.parse(arguments)) {
    return Fail(kBadUsage, veskora::ParserError(parser) + QStringLiteral("; see 'veskora-cli --help'"));
  }
  if (parser.isSet(version)) {
    PrintText(QStringLiteral("veskora-cli ") + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    return kDone;
  }
  if (parser.isSet(help)) {
    QString text = QStringLiteral(
        "Usage: veskora-cli COMMAND [options]\n"
        "See what VESKORA's rules will do, ask why a file moves or stays, and undo moves.\n\nCommands:\n");
    for (const auto& command : commands) {
      text += QStringLiteral("  ") + command->Name().leftJustified(6) + command->Summary() + QLatin1Char('\n');
    }
    PrintText(text + QLatin1Char('\n') + OptionsHelp(parser) +
              QStringLiteral("\n'veskora-cli COMMAND --help' tells more of each command; see also veskora-cli(1).\n"));
    return kDone;
  }
  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return Fail(kBadUsage, QStringLiteral("no command given; see 'veskora-cli --help'"));
  for (const auto& command : commands) {
    if (command->Name() != words.front()) continue;
    if (command->Name() == QLatin1String("undo")) CatchEndSignals();
    return command->Execute(words.mid(1));
  }
  return Fail(kBadUsage, QStringLiteral("unknown command '") + words.front() +
                             QStringLiteral("'; the commands are plan, why and undo"));
}

}  // namespace

int main(int argc, char** argv) {
  // Output into a closed pipe (`| head`) must not end an undo halfway.
  std::signal(SIGPIPE, SIG_IGN);
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("veskora-cli"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VESKORA_VERSION));
  // Not QCoreApplication::arguments(), which loses the bytes of names that are not UTF-8.
  return RunCli(DecodeArguments(argc, argv));
}
