#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veskora::cli {

struct CommandServices;

enum ExitCode : int {
  kDone = 0,
  kSomeSkipped = 1,  // the command ran, and left some files as they were
  kBadUsage = 2,     // a mistake on the command line, or input that cannot be read
};

// One command of veskora-cli: its name, what it does, its options, and how it
// runs. Every command takes --help and --json.
class Command {
 public:
  virtual ~Command() = default;

  const QString& Name() const { return name_; }
  // One line for the list of commands.
  const QString& Summary() const { return summary_; }

  // Parses the arguments that follow the command's name and runs it.
  int Execute(const QStringList& arguments, CommandServices& services);

 protected:
  // `operands` is the synopsis of the words after the options ("FILE"), one
  // word per operand the command needs.
  Command(QString name, QString summary, QString description, QString operands = {});

  virtual void AddOptions(QCommandLineParser& /*parser*/) {}
  virtual int Run(const QCommandLineParser& parser, const QStringList& operands, bool json,
                  CommandServices& services) = 0;

 private:
  QString name_;
  QString summary_;
  QString description_;
  QString operands_;
};

std::unique_ptr<Command> MakePlanCommand();
std::unique_ptr<Command> MakeWhyCommand();
std::unique_ptr<Command> MakeUndoCommand();
std::unique_ptr<Command> MakeHistoryCommand();

// The whole command line after the program's name: a command, help or a
// mistake. Returns the exit code.
int RunCli(const QStringList& arguments, CommandServices& services);

// The options part of a parser's help text ("Options:" and what follows it,
// up to its arguments).
QString OptionsHelp(const QCommandLineParser& parser);

// The parser's complaint in our style: lower case, to go on with more.
QString ParserComplaint(const QCommandLineParser& parser);

// An ISO date or date and time in local time, "YYYY-MM-DD", "YYYY-MM-DD
// hh:mm" or "YYYY-MM-DD hh:mm:ss" ("T" may stand for the blank), as a
// journal time; std::nullopt when it is none.
std::optional<std::string> JournalTimeOf(QString text);
// The complaint about a --since value that is no such time.
QString SinceWanted();

// The name closest to a mistyped `word`, letter case aside, when it is at most
// two edits away (a letter added, dropped or changed); else empty.
QString NearestName(const QString& word, const QStringList& names);

}  // namespace veskora::cli
