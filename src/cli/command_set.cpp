// The commands of veskora-cli, and what to do with a command line: a command,
// help, or a mistake.
#include <QCoreApplication>

#include "cli/command.h"
#include "cli/services.h"
#include "session/command_line.h"

namespace veskora::cli {

namespace {

using Commands = std::vector<std::unique_ptr<Command>>;

Command* Find(const Commands& commands, const QString& name) {
  for (const auto& command : commands) {
    if (command->Name() == name) return command.get();
  }
  return nullptr;
}

QString OverallHelp(const Commands& commands, const QCommandLineParser& parser) {
  QString text = Cli::tr(
      "Usage: veskora-cli COMMAND [options]\n"
      "See what VESKORA's rules will do, ask why a file moves or stays, list what moved, and undo moves.\n\n"
      "Commands:\n");
  const auto line = [&text](const QString& name, const QString& summary) {
    text += QStringLiteral("  ") + name.leftJustified(9) + summary + QLatin1Char('\n');
  };
  for (const auto& command : commands) line(command->Name(), command->Summary());
  line(QStringLiteral("help"), Cli::tr("this help, or a command's: help COMMAND"));
  return text + QLatin1Char('\n') + OptionsHelp(parser) +
         Cli::tr("\n'veskora-cli help COMMAND' tells more of each command; see also veskora-cli(1).\n");
}

int UnknownCommand(const QString& word, const Commands& commands, Output& output) {
  QStringList names;
  for (const auto& command : commands) names << command->Name();
  names << QStringLiteral("help");
  const QString nearest = NearestName(word, names);
  const QString hint = nearest.isEmpty() ? Cli::tr("the commands are %1").arg(names.join(QStringLiteral(", ")))
                                         : Cli::tr("did you mean '%1'?").arg(nearest);
  return output.Fail(kBadUsage, Cli::tr("unknown command '%1'; %2").arg(word, hint));
}

// veskora-cli help [COMMAND]
int Help(const Commands& commands, const QStringList& topics, const QString& overall, CommandServices& services) {
  Output& output = services.output;
  if (topics.size() > 1) {
    output.SetCommand(QStringLiteral("help"));
    return output.Fail(kBadUsage, Cli::tr("unexpected '%1'; see 'veskora-cli --help'").arg(topics[1]));
  }
  const QString topic = topics.value(0);
  if (topic.isEmpty() || topic == QStringLiteral("help") || topic == QStringLiteral("--help")) {
    output.Text(overall);
    return kDone;
  }
  if (Command* command = Find(commands, topic)) return command->Execute({QStringLiteral("--help")}, services);
  return UnknownCommand(topic, commands, output);
}

}  // namespace

int RunCli(const QStringList& arguments, CommandServices& services) {
  Commands commands;
  commands.push_back(MakePlanCommand());
  commands.push_back(MakeWhyCommand());
  commands.push_back(MakeHistoryCommand());
  commands.push_back(MakeUndoCommand());
  Output& output = services.output;

  QCommandLineParser parser;
  const auto [help, version] = veskora::AddHelpAndVersion(parser);
  parser.addPositionalArgument(QStringLiteral("command"), Cli::tr("a command, or help"));
  // What follows the command's name is the command's to read.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  if (!parser.parse(QStringList{QStringLiteral("veskora-cli")} + arguments)) {
    return output.Fail(kBadUsage, ParserComplaint(parser) + Cli::tr("; see 'veskora-cli --help'"));
  }
  if (parser.isSet(version)) {
    output.Line(QStringLiteral("veskora-cli ") + QCoreApplication::applicationVersion());
    return kDone;
  }
  const QStringList words = parser.positionalArguments();
  if (parser.isSet(help)) return Help(commands, {}, OverallHelp(commands, parser), services);
  if (words.value(0) == QStringLiteral("help")) {
    return Help(commands, words.mid(1), OverallHelp(commands, parser), services);
  }
  if (words.isEmpty()) return output.Fail(kBadUsage, Cli::tr("no command given; see 'veskora-cli --help'"));
  if (Command* command = Find(commands, words.front())) return command->Execute(words.mid(1), services);
  return UnknownCommand(words.front(), commands, output);
}

}  // namespace veskora::cli
