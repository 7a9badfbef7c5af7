// veskora-cli why FILE: why the rules move a desktop file or leave it.
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/output.h"
#include "cli/services.h"
#include "mover/judge.h"
#include "mover/paths.h"
#include "mover/verdict_words.h"
#include "rules/rule_description.h"

namespace veskora::cli {

namespace {

// Why the cycle never looks at an entry: a code for scripts, words for people.
struct Ignored {
  QString code;
  QString words;
};

std::optional<Ignored> IgnoredBecause(Sight sight, const std::string& path) {
  switch (sight) {
    case Sight::kHidden:
      return Ignored{QStringLiteral("hidden"), Cli::tr("hidden (the name begins with \".\")")};
    case Sight::kNotAFile: {
      std::error_code error;
      if (std::filesystem::is_directory(path, error)) return Ignored{QStringLiteral("folder"), Cli::tr("a folder")};
      return Ignored{QStringLiteral("not-a-file"), Cli::tr("not a regular file, nor a link to one")};
    }
    case Sight::kLookedAt:
    case Sight::kMissing:
      break;
  }
  return std::nullopt;
}

class WhyCommand final : public Command {
 public:
  WhyCommand()
      : Command(QStringLiteral("why"), Cli::tr("why the rules move a desktop file or leave it"),
                Cli::tr("Explain why the rules move a desktop file or leave it: every row in order (an unticked one "
                        "named as skipped), whether it matches and why, and what the first match does. FILE is a "
                        "name on the desktop or a path to it."),
                QStringLiteral("FILE")) {}

 private:
  int Run(const QCommandLineParser&, const QStringList& operands, bool json, CommandServices& services) override {
    Output& output = services.output;
    const auto loaded = LoadProgramRules(services);
    if (!loaded || !HaveDesktop(services)) return kBadUsage;
    const std::string& desktop = services.desktop;
    std::string given = EncodeArgument(operands.front());
    while (given.size() > 1 && given.back() == '/') given.pop_back();
    const std::string name(NameOf(given));
    const std::string path = JoinPath(desktop, name);
    if (!OnDesktop(given, desktop)) {
      return output.Fail(kBadUsage, Cli::tr("not in the desktop folder %1 (VESKORA looks only at what lies directly "
                                            "in it): %2")
                                        .arg(ShownText(desktop), ShownText(given)));
    }
    struct stat st {};
    if (name.empty() || lstat(path.c_str(), &st) != 0) {
      return output.Fail(kBadUsage, Cli::tr("no %1 in the desktop folder %2").arg(ShownText(name), ShownText(desktop)));
    }
    FileSystem& files = services.files;
    auto entries = files.List(desktop);
    if (!entries) return output.Fail(kBadUsage, Cli::tr("cannot list the desktop folder %1").arg(ShownText(desktop)));
    const DesktopListing listing{desktop, *std::move(entries)};
    const RuleMatcher matcher(loaded->rules);
    const FileExplanation why = ExplainFile(listing, name, {loaded->rules, matcher, files});
    if (why.sight == Sight::kMissing) {
      return output.Fail(kBadUsage, Cli::tr("gone from %1: %2").arg(ShownText(desktop), ShownText(name)));
    }
    const auto ignored = IgnoredBecause(why.sight, path);
    return json ? PrintAsJson(why, loaded->rules, listing, name, ignored, output)
                : PrintAsText(why, loaded->rules, name, ignored, output);
  }

  // A bare name, or a path whose folder is the desktop folder itself.
  static bool OnDesktop(const std::string& given, const std::string& desktop) {
    if (given.find('/') == std::string::npos) return true;
    std::error_code error;
    return std::filesystem::equivalent(std::string(ParentOf(given)), desktop, error);
  }

  static int PrintAsText(const FileExplanation& why, const RuleList& rules, const std::string& name,
                         const std::optional<Ignored>& ignored, Output& output) {
    if (ignored) {
      output.Line(Cli::tr("%1: %2: VESKORA never looks at it, whatever the rules say.")
                      .arg(ShownText(name), ignored->words));
      return kDone;
    }
    const Language language = output.Words();
    output.Line(ShownText(name) + QStringLiteral(": ") + QString::fromStdString(FactsLine(why.facts, language)));
    for (const RowVerdict& v : why.rows) {
      output.Line(QString::fromStdString(RowLine(v, rules.Row(v.row).rule, language)));
    }
    output.Line(QString::fromStdString(DecisionLine(why.decision, rules, language)));
    return kDone;
  }

  static int PrintAsJson(const FileExplanation& why, const RuleList& rules, const DesktopListing& listing,
                         const std::string& name, const std::optional<Ignored>& ignored, Output& output) {
    QJsonObject out{{QStringLiteral("desktop"), JsonText(listing.folder)},
                    {QStringLiteral("name"), JsonText(name)},
                    {QStringLiteral("looked_at"), !ignored}};
    if (ignored) {
      out.insert(QStringLiteral("ignored"), ignored->code);
      output.Json(out);
      return kDone;
    }
    if (why.facts) {
      out.insert(QStringLiteral("size"), static_cast<qint64>(why.facts->size));
      out.insert(QStringLiteral("modified"), QString::fromStdString(ShownTime(TimeStampText(why.facts->mtime), Language::kEnglish)));
    }
    QJsonArray rows;
    for (const RowVerdict& v : why.rows) {
      const MoveRule& rule = rules.Row(v.row).rule;
      rows.append(QJsonObject{{QStringLiteral("row"), v.row},
                              {QStringLiteral("rule"), JsonText(DescribeRule(rule))},
                              {QStringLiteral("kind"), rule.kind},
                              {QStringLiteral("value"), JsonText(rule.value)},
                              {QStringLiteral("destination"), JsonText(rule.destination)},
                              {QStringLiteral("file_value"), JsonText(v.fileValue)},
                              {QStringLiteral("enabled"), v.enabled},
                              {QStringLiteral("matches"), v.matches},
                              {QStringLiteral("why"), QString::fromStdString(VerdictWhy(v, rule, Language::kEnglish))}});
    }
    out.insert(QStringLiteral("rows"), rows);
    if (why.decision) {
      const JudgedFile& d = *why.decision;
      const std::string& destination = rules.Row(d.row).rule.destination;
      const bool isProtected = d.outcome == Outcome::kProtected;
      out.insert(QStringLiteral("first_match"),
                 QJsonObject{{QStringLiteral("row"), d.row},
                             {QStringLiteral("destination"), isProtected ? QJsonValue() : QJsonValue(JsonText(destination))},
                             {QStringLiteral("protected"), isProtected},
                             {QStringLiteral("outcome"), QString::fromUtf8(OutcomeCode(d.outcome))},
                             {QStringLiteral("text"), QString::fromStdString(OutcomeTo(d.outcome, destination, output.Words()))}});
    } else {
      out.insert(QStringLiteral("first_match"), QJsonValue::Null);
    }
    output.Json(out);
    return kDone;
  }
};

}  // namespace

std::unique_ptr<Command> MakeWhyCommand() { return std::make_unique<WhyCommand>(); }

}  // namespace veskora::cli
