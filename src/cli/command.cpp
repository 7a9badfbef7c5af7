#include "cli/command.h"

#include <QDateTime>
#include <algorithm>
#include <numeric>

#include "cli/output.h"
#include "cli/services.h"
#include "session/command_line.h"

namespace veskora::cli {

Command::Command(QString name, QString summary, QString description, QString operands)
    : name_(std::move(name)),
      summary_(std::move(summary)),
      description_(std::move(description)),
      operands_(std::move(operands)) {}

int Command::Execute(const QStringList& arguments, CommandServices& services) {
  Output& output = services.output;
  output.SetCommand(name_);
  QCommandLineParser parser;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                Cli::tr("Show this help and end."));
  const QCommandLineOption json(QStringLiteral("json"), Cli::tr("Print JSON for scripts instead of text."));
  parser.addOption(help);
  parser.addOption(json);
  AddOptions(parser);
  const QString usage = QStringLiteral("veskora-cli ") + name_;
  const QString see = Cli::tr("; see '%1 --help'").arg(usage);
  if (!parser.parse(QStringList{usage} + arguments)) return output.Fail(kBadUsage, ParserComplaint(parser) + see);
  if (parser.isSet(help)) {
    output.Text(Cli::tr("Usage: %1 [options]").arg(usage) +
                (operands_.isEmpty() ? QString() : QLatin1Char(' ') + operands_) + QLatin1Char('\n') + description_ +
                QStringLiteral("\n\n") + OptionsHelp(parser));
    return kDone;
  }
  const QStringList operands = parser.positionalArguments();
  const qsizetype wanted = operands_.isEmpty() ? 0 : operands_.split(QLatin1Char(' ')).size();
  if (operands.size() != wanted) {
    const QString what = operands.size() < wanted ? Cli::tr("missing %1").arg(operands_)
                                                  : Cli::tr("unexpected '%1'").arg(operands.value(wanted));
    return output.Fail(kBadUsage, what + see);
  }
  return Run(parser, operands, parser.isSet(json), services);
}

std::optional<std::string> JournalTimeOf(QString text) {
  text = text.trimmed().replace(QLatin1Char('T'), QLatin1Char(' '));
  for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
    const QDateTime time = QDateTime::fromString(text, QLatin1String(format));
    if (time.isValid()) return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
  }
  return std::nullopt;
}

QString SinceWanted() {
  return Cli::tr("--since wants a date or a date and time in local time, like 2024-05-01 or 2024-05-01T13:30");
}

QString OptionsHelp(const QCommandLineParser& parser) {
  const QString text = parser.helpText();
  const qsizetype start = text.indexOf(QStringLiteral("Options:"));
  if (start < 0) return {};
  const qsizetype end = text.indexOf(QStringLiteral("\nArguments:"), start);
  return text.mid(start, end < 0 ? -1 : end - start).trimmed() + QLatin1Char('\n');
}

QString ParserComplaint(const QCommandLineParser& parser) {
  QString text = veskora::ParserError(parser);
  if (!text.isEmpty()) text[0] = text[0].toLower();
  return text;
}

QString NearestName(const QString& word, const QStringList& names) {
  const QString typed = word.toLower();
  QString nearest;
  qsizetype nearestDistance = 3;
  for (const QString& name : names) {
    // Levenshtein distance, one row of the table at a time.
    std::vector<qsizetype> row(name.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= typed.size(); ++i) {
      qsizetype diagonal = row[0];
      row[0] = i;
      for (qsizetype j = 1; j <= name.size(); ++j) {
        const qsizetype above = row[j];
        row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (typed[i - 1] == name[j - 1] ? 0 : 1)});
        diagonal = above;
      }
    }
    if (row.back() < nearestDistance) {
      nearest = name;
      nearestDistance = row.back();
    }
  }
  return nearest;
}

}  // namespace veskora::cli
