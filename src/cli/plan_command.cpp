// veskora-cli plan: what one cycle would do now, moving nothing.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/command.h"
#include "cli/outcome_words.h"
#include "cli/output.h"
#include "cli/session.h"
#include "rules/rule_description.h"
#include "mover/cycle_plan.h"
#include "adapters/posix/posix_file_system.h"

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
    PosixFileSystem files;
    const auto plan = PlanScanCycle(loaded->rules, ScanEnvironment{[&desktop] { return desktop; }, &files});
    if (!plan) return Fail(kBadUsage, QStringLiteral("cannot list the desktop folder ") + JsonText(desktop));

    const RuleList& rules = loaded->rules;
    const FolderListing& entries = plan->listing.entries;
    const auto listed = std::count_if(entries.begin(), entries.end(), [](const FolderEntry& e) { return e.file; });
    const auto moving = std::count_if(plan->files.begin(), plan->files.end(),
                                      [](const PlannedFile& f) { return f.outcome == PlannedOutcome::kMoves; });
    if (json) {
      QJsonArray list;
      for (const PlannedFile& file : plan->files) {
        const std::string& name = entries[file.index].name;
        list.append(QJsonObject{
            {QStringLiteral("name"), JsonText(name)},
            {QStringLiteral("row"), file.match.position},
            {QStringLiteral("rule"), JsonText(DescribeRule(rules.Row(file.match.position).rule))},
            {QStringLiteral("destination"), JsonText(file.match.destination)},
            {QStringLiteral("outcome"), OutcomeCode(file.outcome)},
            {QStringLiteral("text"), QString::fromStdString(OutcomeWords(file.outcome, name, file.match.destination))},
        });
      }
      PrintJson(QJsonObject{{QStringLiteral("desktop"), JsonText(desktop)},
                            {QStringLiteral("listed"), static_cast<qint64>(listed)},
                            {QStringLiteral("files"), list}});
      return kDone;
    }
    for (const PlannedFile& file : plan->files) {
      const std::string& name = entries[file.index].name;
      PrintLine(Shown(name) + ": row " + std::to_string(file.match.position) + " " +
                Shown(DescribeRule(rules.Row(file.match.position).rule)) + ": " +
                OutcomeWords(file.outcome, name, file.match.destination));
    }
    if (rules.Count() == 0) PrintLine("No rules in " + Shown(loaded->path) + ".");
    PrintLine(std::to_string(plan->files.size()) + " of " + std::to_string(listed) + " files in " + Shown(desktop) +
              " match an enabled row; " + std::to_string(moving) + " would move.");
    return kDone;
  }
};

}  // namespace

std::unique_ptr<Command> MakePlanCommand() { return std::make_unique<PlanCommand>(); }

}  // namespace veskora::cli
