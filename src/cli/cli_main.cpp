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

using Commands = std::vector<std::unique_ptr<Command>>;

Command* Find(const Commands& commands, const QString& name) {
  for (const auto& command : commands) {
    if (command->Name() == name) return command.get();
  }
  return nullptr;
}

QString OverallHelp(const Commands& commands, const QCommandLineParser& parser) {
  QString text = QStringLiteral(
      "Usage: veskora-cli COMMAND [options]\n"
      "See what VESKORA's rules will do, ask why a file moves or stays, and undo moves.\n\nCommands:\n");
  const auto line = [&text](const QString& name, const QString& summary) {
    text += QStringLiteral("  ") + name.leftJustified(9) + summary + QLatin1Char('\n');
  };
  for (const auto& command : commands) line(command->Name(), command->Summary());
  line(QStringLiteral("help"), QStringLiteral("this help, or a command's: help COMMAND"));
  return text + QLatin1Char('\n') + OptionsHelp(parser) +
         QStringLiteral("\n'veskora-cli help COMMAND' tells more of each command; see also veskora-cli(1).\n");
}

int UnknownCommand(const QString& word, const Commands& commands) {
  QStringList names;
  for (const auto& command : commands) names << command->Name();
  names << QStringLiteral("help");
  const QString nearest = NearestName(word, names);
  const QString hint = nearest.isEmpty() ? QStringLiteral("the commands are ") + names.join(QStringLiteral(", "))
                                         : QStringLiteral("did you mean '") + nearest + QStringLiteral("'?");
  return Fail(kBadUsage, QStringLiteral("unknown command '") + word + QStringLiteral("'; ") + hint);
}

// veskora-cli help [COMMAND]
int Help(const Commands& commands, const QStringList& topics, const QString& overall) {
  if (topics.size() > 1) {
    return Fail(kBadUsage,
                QStringLiteral("help: unexpected '") + topics[1] + QStringLiteral("'; see 'veskora-cli --help'"));
  }
  const QString topic = topics.value(0);
  if (topic.isEmpty() || topic == QStringLiteral("help") || topic == QStringLiteral("--help")) {
    PrintText(overall);
    return kDone;
  }
  if (Command* command = Find(commands, topic)) return command->Execute({QStringLiteral("--help")});
  return UnknownCommand(topic, commands);
}

int RunCli(const QStringList& arguments) {
  Commands commands;
  commands.push_back(MakePlanCommand());
  commands.push_back(MakeWhyCommand());
  commands.push_back(MakeUndoCommand(stopRequested));

  QCommandLineParser parser;
  const auto [help, version] = veskora::AddHelpAndVersion(parser);
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("a command, or help"));
  // What follows the command's name is the command's to read.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  if (!parser.parse(arguments)) {
    return Fail(kBadUsage, ParserComplaint(parser) + QStringLiteral("; see 'veskora-cli --help'"));
  }
  if (parser.isSet(version)) {
    PrintText(QStringLiteral("veskora-cli ") + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    return kDone;
  }
  const QStringList words = parser.positionalArguments();
  if (parser.isSet(help)) return Help(commands, {}, OverallHelp(commands, parser));
  if (words.value(0) == QStringLiteral("help")) return Help(commands, words.mid(1), OverallHelp(commands, parser));
  if (words.isEmpty()) return Fail(kBadUsage, QStringLiteral("no command given; see 'veskora-cli --help'"));
  if (Command* command = Find(commands, words.front())) {
    if (command->Name() == QLatin1String("undo")) CatchEndSignals();
    return command->Execute(words.mid(1));
  }
  return UnknownCommand(words.front(), commands);
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
