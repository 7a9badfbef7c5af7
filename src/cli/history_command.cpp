// veskora-cli history: the moves the journal holds, newest first, and what
// became of each.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/command.h"
#include "cli/services.h"
#include "mover/move_history.h"
#include "mover/outcome_words.h"
#include "mover/verdict_words.h"
#include "rules/rule_description.h"
#include "rules/rule_key.h"

namespace veskora::cli {

namespace {

class HistoryCommand final : public Command {
 public:
  HistoryCommand()
      : Command(QStringLiteral("history"), Cli::tr("the moves made, newest first, and what became of each"),
                Cli::tr("List the moves VESKORA made, newest first: when, which file, the rule that decided it and "
                        "its place in the list, from where to where, and its state now (moved, put back, changed "
                        "since the move, not found).")) {}

 private:
  void AddOptions(QCommandLineParser& parser) override { parser.addOption(since_); }

  int Run(const QCommandLineParser& parser, const QStringList&, bool json, CommandServices& services) override {
    Output& output = services.output;
    std::string since;
    if (parser.isSet(since_)) {
      const auto time = JournalTimeOf(parser.value(since_));
      if (!time) return output.Fail(kBadUsage, SinceWanted());
      since = *time;
    }
    const auto contents = ReadProgramJournal(services);
    if (!contents) return kBadUsage;
    const std::vector<JournalRecord>& records = contents->records;
    const std::vector<bool> undone = UndoneMoves(records);
    const Language language = output.Words();
    QJsonArray moves;
    int shown = 0;
    for (std::size_t i = records.size(); i-- > 0;) {
      const JournalRecord& move = records[i];
      if (move.undo || move.time < since) continue;
      const MoveState state = StateNow(move, undone[i], services.files);
      const QString words = QString::fromUtf8(MoveStateWords(state, language));
      ++shown;
      if (!json) {
        output.Line(QStringLiteral("%1 %2: %3: %4 → %5: %6")
                        .arg(QString::fromStdString(move.time), ShownText(move.name),
                             QString::fromStdString(RowName(move.row, SplitRuleKey(move.rule), language)),
                             ShownText(move.desktop), ShownText(move.destination), words));
        continue;
      }
      moves.append(QJsonObject{{QStringLiteral("time"), QString::fromStdString(move.time)},
                               {QStringLiteral("name"), JsonText(move.name)},
                               {QStringLiteral("row"), move.row},
                               {QStringLiteral("rule"), JsonText(DescribeRule(SplitRuleKey(move.rule)))},
                               {QStringLiteral("desktop"), JsonText(move.desktop)},
                               {QStringLiteral("destination"), JsonText(move.destination)},
                               {QStringLiteral("state"), QString::fromUtf8(MoveStateCode(state))},
                               {QStringLiteral("text"), words}});
    }
    if (json) {
      output.Json(QJsonObject{{QStringLiteral("journal"), JsonText(services.journal)}, {QStringLiteral("moves"), moves}});
    } else if (shown == 0) {
      output.Line(Cli::tr("No moves recorded."));
    }
    return kDone;
  }

  const QCommandLineOption since_{QStringLiteral("since"),
                                  Cli::tr("Only moves made at or after TIME, local time: YYYY-MM-DD, "
                                          "YYYY-MM-DDThh:mm or YYYY-MM-DDThh:mm:ss (a blank may stand for the T)."),
                                  QStringLiteral("TIME")};
};

}  // namespace

std::unique_ptr<Command> MakeHistoryCommand() { return std::make_unique<HistoryCommand>(); }

}  // namespace veskora::cli
