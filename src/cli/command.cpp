#include "cli/command.h"

#include <algorithm>
#include <numeric>

#include "cli/output.h"
#include "session/command_line.h"

namespace veskora::cli {

Command::Command(QString name, QString summary, QString description, QString operands)
    : name_(std::move(name)),
      summary_(std::move(summary)),
      description_(std::move(description)),
      operands_(std::move(operands)) {}

int Command::Execute(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and end."));
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON for scripts instead of text."));
  parser.addOption(help);
  parser.addOption(json);
  AddOptions(parser);
  const QString usage = QStringLiteral("veskora-cli ") + name_;
  const QString see = QStringLiteral("; see '") + usage + QStringLiteral(" --help'");
  if (!parser.parse(QStringList{usage} + arguments)) {
    return Fail(kBadUsage, name_ + QStringLiteral(": ") + ParserComplaint(parser) + see);
  }
  if (parser.isSet(help)) {
    PrintText(QStringLiteral("Usage: ") + usage + QStringLiteral(" [options]") +
              (operands_.isEmpty() ? QString() : QLatin1Char(' ') + operands_) + QLatin1Char('\n') + description_ +
              QStringLiteral("\n\n") + OptionsHelp(parser));
    return kDone;
  }
  const QStringList operands = parser.positionalArguments();
  const qsizetype wanted = operands_.isEmpty() ? 0 : operands_.split(QLatin1Char(' ')).size();
  if (operands.size() != wanted) {
    const QString what = operands.size() < wanted ? QStringLiteral("missing ") + operands_
                                                  : QStringLiteral("unexpected '") + operands.value(wanted) + '\'';
    return Fail(kBadUsage, name_ + QStringLiteral(": ") + what + see);
  }
  return Run(parser, operands, parser.isSet(json));
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
