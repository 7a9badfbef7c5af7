// veskora-cli plan: what one cycle would do now, moving nothing.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/command.h"
#include "cli/services.h"
#include "mover/judge.h"
#include "mover/scan_cycle.h"
#include "mover/verdict_words.h"
#include "rules/rule_description.h"
#include "session/app_settings.h"
#include "session/running_instance.h"

namespace veskora::cli {

namespace {

class PlanCommand final : public Command {
 public:
  PlanCommand()
      : Command(QStringLiteral("plan"), Cli::tr("what one cycle would do now, moving nothing"),
                Cli::tr("Show what one cycle would do now, moving nothing: whether VESKORA is running and moves "
                        "files by itself, then for every desktop file an enabled row matches, the row and what "
                        "becomes of the file.")) {}

 private:
  int Run(const QCommandLineParser&, const QStringList&, bool json, CommandServices& services) override {
    Output& output = services.output;
    const auto loaded = LoadProgramRules(services);
    if (!loaded || !HaveDesktop(services)) return kBadUsage;
    const std::string& desktop = services.desktop;
    FileSystem& files = services.files;
    const auto listing = ScanDesktop(ScanEnvironment{[&desktop] { return desktop; }, &files});
    if (!listing) return output.Fail(kBadUsage, Cli::tr("cannot list the desktop folder %1").arg(ShownText(desktop)));
    const bool running = InstanceRunning(services.instanceLock);
    const bool automove = ReadAppSettings(services.settings).automove;

    const RuleList& rules = loaded->rules;
    const RuleMatcher matcher(rules);
    const std::vector<JudgedFile> judged = JudgeListing(*listing, {rules, matcher, files});
    const FolderListing& entries = listing->entries;
    const auto listed = std::count_if(entries.begin(), entries.end(), [](const FolderEntry& e) { return e.file; });
    const auto moving = std::count_if(judged.begin(), judged.end(),
                                      [](const JudgedFile& f) { return f.outcome == Outcome::kMoves; });
    const Language language = output.Words();
    if (json) {
      QJsonArray list;
      for (const JudgedFile& file : judged) {
        const MoveRule& rule = rules.Row(file.row).rule;
        const bool isProtected = file.outcome == Outcome::kProtected;
        list.append(QJsonObject{
            {QStringLiteral("name"), JsonText(entries[file.index].name)},
            {QStringLiteral("row"), file.row},
            {QStringLiteral("rule"), JsonText(DescribeRule(rule))},
            {QStringLiteral("destination"), isProtected ? QJsonValue() : QJsonValue(JsonText(rule.destination))},
            {QStringLiteral("protected"), isProtected},
            {QStringLiteral("outcome"), QString::fromUtf8(OutcomeCode(file.outcome))},
            {QStringLiteral("text"), QString::fromStdString(OutcomeTo(file.outcome, rule.destination, language))},
        });
      }
      output.Json(QJsonObject{{QStringLiteral("desktop"), JsonText(desktop)},
                              {QStringLiteral("programRunning"), running},
                              {QStringLiteral("autoMove"), automove},
                              {QStringLiteral("listed"), static_cast<qint64>(listed)},
                              {QStringLiteral("files"), list}});
      return kDone;
    }
    output.Line((running ? Cli::tr("VESKORA is running.") : Cli::tr("VESKORA is not running.")) + QLatin1Char(' ') +
                (automove ? Cli::tr("Automatic moving is on.") : Cli::tr("Automatic moving is off.")));
    for (const JudgedFile& file : judged) {
      const MoveRule& rule = rules.Row(file.row).rule;
      output.Line(QStringLiteral("%1: %2: %3")
                      .arg(ShownText(entries[file.index].name),
                           QString::fromStdString(RowName(file.row, rule, language)),
                           QString::fromStdString(OutcomeTo(file.outcome, rule.destination, language))));
    }
    if (rules.Count() == 0) output.Line(Cli::tr("No rules in %1.").arg(ShownText(loaded->path)));
    output.Line(Cli::tr("%1 of %2 files in %3 match an enabled row; %4 would move.")
                    .arg(judged.size())
                    .arg(listed)
                    .arg(ShownText(desktop))
                    .arg(moving));
    return kDone;
  }
};

}  // namespace

std::unique_ptr<Command> MakePlanCommand() { return std::make_unique<PlanCommand>(); }

}  // namespace veskora::cli
