// veskora-cli plan: what one cycle would do now, moving nothing.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/command.h"
#include "cli/outcome_words.h"
#include "cli/output.h"
#include "cli/session.h"
#include "rules/rule_description.h"
#include "mover/judge.h"
#include "mover/scan_cycle.h"

namespace veskora::cli {

namespace {

class PlanCommand final : public Command {
 public:
  PlanCommand()
      : Command(QStringLiteral("plan"), QStringLiteral("what one cycle would do now, moving nothing"),
                QStringLiteral("Show what one cycle would do now, moving nothing: for every desktop file an enabled "
                               "row matches, the row and what becomes of the file.")) {}

 private:
  int Run(const QCommandLineParser&, const QStringList&, bool json) override {
    const auto loaded = LoadProgramRules();
    if (!loaded) return kBadUsage;
    const std::string desktop = FindDesktop();
    if (desktop.empty()) return kBadUsage;
    const CommandServices services = OpenServices();
    FileSystem& files = *services.files;
    const auto listing = ScanDesktop(ScanEnvironment{[&desktop] { return desktop; }, &files});
    if (!listing) return Fail(kBadUsage, QStringLiteral("cannot list the desktop folder ") + JsonText(desktop));

    const RuleList& rules = loaded->rules;
    const RuleMatcher matcher(rules);
    const std::vector<JudgedFile> judged = JudgeListing(*listing, {rules, matcher, files});
    const FolderListing& entries = listing->entries;
    const auto listed = std::count_if(entries.begin(), entries.end(), [](const FolderEntry& e) { return e.file; });
    const auto moving = std::count_if(judged.begin(), judged.end(),
                                      [](const JudgedFile& f) { return f.outcome == Outcome::kMoves; });
    if (json) {
      QJsonArray list;
      for (const JudgedFile& file : judged) {
        const std::string& name = entries[file.index].name;
        const MoveRule& rule = rules.Row(file.row).rule;
        const bool isProtected = file.outcome == Outcome::kProtected;
        list.append(QJsonObject{
            {QStringLiteral("name"), JsonText(name)},
            {QStringLiteral("row"), file.row},
            {QStringLiteral("rule"), JsonText(DescribeRule(rule))},
            {QStringLiteral("destination"), isProtected ? QJsonValue() : QJsonValue(JsonText(rule.destination))},
            {QStringLiteral("protected"), isProtected},
            {QStringLiteral("outcome"), OutcomeCode(file.outcome)},
            {QStringLiteral("text"), QString::fromStdString(OutcomeText(file.outcome, rule.destination))},
        });
      }
      PrintJson(QJsonObject{{QStringLiteral("desktop"), JsonText(desktop)},
                            {QStringLiteral("listed"), static_cast<qint64>(listed)},
                            {QStringLiteral("files"), list}});
      return kDone;
    }
    for (const JudgedFile& file : judged) {
      const MoveRule& rule = rules.Row(file.row).rule;
      PrintLine(Shown(entries[file.index].name) + ": row " + std::to_string(file.row) + " " +
                Shown(DescribeRule(rule)) + ": " + OutcomeText(file.outcome, rule.destination));
    }
    if (rules.Count() == 0) PrintLine("No rules in " + Shown(loaded->path) + ".");
    PrintLine(std::to_string(judged.size()) + " of " + std::to_string(listed) + " files in " + Shown(desktop) +
              " match an enabled row; " + std::to_string(moving) + " would move.");
    return kDone;
  }
};

}  // namespace

std::unique_ptr<Command> MakePlanCommand() { return std::make_unique<PlanCommand>(); }

}  // namespace veskora::cli
