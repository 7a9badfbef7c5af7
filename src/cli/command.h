#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <vector>

namespace veskora::cli {

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
  int Execute(const QStringList& arguments);

 protected:
  // `operands` is the synopsis of the words after the options ("FILE"), one
  // word per operand the command needs.
  Command(QString name, QString summary, QString description, QString operands = {});

  virtual void AddOptions(QCommandLineParser& /*parser*/) {}
  virtual int Run(const QCommandLineParser& parser, const QStringList& operands, bool json) = 0;

 private:
  QString name_;
  QString summary_;
  QString description_;
  QString operands_;
};

std::unique_ptr<Command> MakePlanCommand();
std::unique_ptr<Command> MakeWhyCommand();
// `stop`, once set (SIGINT, SIGTERM), ends an undo after the put-back in
// progress, which finishes or is rolled back.
std::unique_ptr<Command> MakeUndoCommand(const std::atomic<bool>& stop);

// The options part of a parser's help text ("Options:" and what follows it,
// up to its arguments).
QString OptionsHelp(const QCommandLineParser& parser);

// The parser's complaint in our style: lower case, to go on with more.
QString ParserComplaint(const QCommandLineParser& parser);

// The name closest to a mistyped `word`, letter case aside, when it is at most
// two edits away (a letter added, dropped or changed); else empty.
QString NearestName(const QString& word, const QStringList& names);

}  // namespace veskora::cli
