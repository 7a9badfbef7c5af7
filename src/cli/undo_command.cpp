// veskora-cli undo: put moved files back on the desktop, newest first.
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <set>

#include "cli/command.h"
#include "cli/output.h"
#include "cli/services.h"
#include "mover/move_step.h"
#include "mover/undo_moves.h"
#include "ports/clock.h"
#include "mover/paths.h"

namespace veskora::cli {

namespace {

QString Code(UndoOutcome outcome) {
  switch (outcome) {
    case UndoOutcome::kPutBack:
      return QStringLiteral("put-back");
    case UndoOutcome::kGone:
      return QStringLiteral("gone");
    case UndoOutcome::kChanged:
      return QStringLiteral("changed");
    case UndoOutcome::kNameTaken:
      return QStringLiteral("name-taken");
    case UndoOutcome::kInUse:
      return QStringLiteral("in-use");
    case UndoOutcome::kNoDesktop:
      return QStringLiteral("no-desktop");
    case UndoOutcome::kOtherDesktop:
      return QStringLiteral("other-desktop");
    case UndoOutcome::kBadRecord:
      return QStringLiteral("bad-record");
    case UndoOutcome::kFailed:
      break;
  }
  return QStringLiteral("failed");
}

// What became of one file: in the user's language for people, in English for
// scripts (`translated` false).
QString Words(const UndoResult& r, bool dryRun, bool translated) {
  const auto say = [translated](const char* english) {
    return translated ? QCoreApplication::translate("Cli", english) : QString::fromLatin1(english);
  };
  const JournalRecord& m = r.move;
  const QString name = ShownText(m.name);
  switch (r.outcome) {
    case UndoOutcome::kPutBack:
      return say(dryRun ? QT_TRANSLATE_NOOP("Cli", "would put back %1 from %2 to %3")
                        : QT_TRANSLATE_NOOP("Cli", "put back %1 from %2 to %3"))
          .arg(name, ShownText(m.destination), ShownText(m.desktop));
    case UndoOutcome::kGone:
      return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: it is no longer in %2")).arg(name, ShownText(m.destination));
    case UndoOutcome::kChanged:
      return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: %2 is not the file that was moved, or has changed since"))
          .arg(name, ShownText(JoinPath(m.destination, m.name)));
    case UndoOutcome::kNameTaken:
      return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: %2 exists; nothing was replaced"))
          .arg(name, ShownText(JoinPath(m.desktop, m.name)));
    case UndoOutcome::kInUse:
      return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: another program is writing it; try again later")).arg(name);
    case UndoOutcome::kNoDesktop:
      return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: %2 is missing or not a folder")).arg(name, ShownText(m.desktop));
    case UndoOutcome::kOtherDesktop:
      return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: it was taken from %2, which is not the desktop folder now"))
          .arg(name, ShownText(m.desktop));
    case UndoOutcome::kBadRecord:
      return say(QT_TRANSLATE_NOOP("Cli",
                                   "refused %1: the journal's record of it names no plain file in an absolute folder"))
          .arg(name);
    case UndoOutcome::kFailed:
      break;
  }
  return say(QT_TRANSLATE_NOOP("Cli", "skipped %1: it could not be moved back")).arg(name);
}

class UndoCommand final : public Command {
 public:
  UndoCommand()
      : Command(QStringLiteral("undo"), Cli::tr("put moved files back on the desktop"),
                Cli::tr("Put files that VESKORA moved back where they came from, newest first, never replacing a "
                        "file. Without --last, --since or --all, the last move is undone.")) {}

 private:
  void AddOptions(QCommandLineParser& parser) override {
    parser.addOption(last_);
    parser.addOption(since_);
    parser.addOption(all_);
    parser.addOption(dryRun_);
  }

  int Run(const QCommandLineParser& parser, const QStringList&, bool json, CommandServices& services) override {
    Output& output = services.output;
    UndoSelection selection;
    if (parser.isSet(last_) + parser.isSet(since_) + parser.isSet(all_) > 1) {
      return output.Fail(kBadUsage, Cli::tr("give one of --last, --since and --all"));
    }
    if (parser.isSet(last_)) {
      bool ok = false;
      const qlonglong count = parser.value(last_).toLongLong(&ok);
      if (!ok || count < 1) return output.Fail(kBadUsage, Cli::tr("--last wants a count of 1 or more"));
      selection.last = static_cast<std::size_t>(count);
    }
    if (parser.isSet(since_)) {
      const auto since = JournalTimeOf(parser.value(since_));
      if (!since) return output.Fail(kBadUsage, SinceWanted());
      selection.since = *since;
    }
    selection.all = parser.isSet(all_);
    const bool dryRun = parser.isSet(dryRun_);

    if (!HaveDesktop(services)) return kBadUsage;
    const std::string& desktop = services.desktop;
    DataFiles& dataFiles = services.dataFiles;
    const std::string& journalPath = services.journal;
    const auto contents = ReadProgramJournal(services);
    if (!contents) return kBadUsage;
    // Whoever may write the journal could have any file moved by it.
    if (!contents->ownedAlone) {
      return output.Fail(kBadUsage, Cli::tr("the move journal %1 is not yours alone (another owner, or others may "
                                            "write it); nothing is undone by it")
                                        .arg(ShownText(journalPath)));
    }

    const Clock& clock = services.clock;
    MoveLog log(dataFiles, services.dataFolder + "/veskora.log", clock, nullptr);
    MoveJournal journal(dataFiles, journalPath, clock);
    FileSystem& files = services.files;
    // A put-back cut short by a crash may have left a file in a private folder
    // in the folder it was taken from; it gets its name back before it is
    // looked for. Only folders of records that undo would follow are looked in.
    if (!dryRun) {
      std::set<std::string> folders;
      for (const JournalRecord& r : contents->records) {
        if (RecordFollowed(r, desktop)) folders.insert({r.destination, r.desktop});
      }
      for (const std::string& folder : folders) files.BeginCycle(folder);
    }
    const std::vector<UndoResult> results =
        UndoMoves(SelectMoves(MovesNotUndone(contents->records), selection),
                  UndoContext{desktop, dryRun, files, &log, &journal, services.stop});
    if (!journal.Flush(MoveJournal::kLockWait)) {
      output.Warn(Cli::tr("the move journal stayed locked by another process; what was put back is in the log only"));
    }
    const auto putBack = std::count_if(results.begin(), results.end(),
                                       [](const UndoResult& r) { return r.outcome == UndoOutcome::kPutBack; });
    const auto skipped = static_cast<qint64>(results.size()) - putBack;
    if (json) {
      QJsonArray list;
      for (const UndoResult& r : results) {
        QJsonObject item{{QStringLiteral("name"), JsonText(r.move.name)},
                         {QStringLiteral("desktop"), JsonText(r.move.desktop)},
                         {QStringLiteral("destination"), JsonText(r.move.destination)},
                         {QStringLiteral("moved_at"), QString::fromStdString(r.move.time)},
                         {QStringLiteral("outcome"), Code(r.outcome)},
                         {QStringLiteral("text"), Words(r, dryRun, false)}};
        list.append(item);
      }
      output.Json(QJsonObject{{QStringLiteral("dry_run"), dryRun},
                              {QStringLiteral("files"), list},
                              {QStringLiteral("put_back"), static_cast<qint64>(putBack)},
                              {QStringLiteral("skipped"), skipped}});
    } else if (results.empty()) {
      output.Line(Cli::tr("Nothing to undo."));
    } else {
      for (const UndoResult& r : results) output.Line(Words(r, dryRun, true));
      output.Line((dryRun ? Cli::tr("%1 would be put back, %2 would be skipped.") : Cli::tr("%1 put back, %2 skipped."))
                      .arg(putBack)
                      .arg(skipped));
    }
    return skipped > 0 ? kSomeSkipped : kDone;
  }

  const QCommandLineOption last_{QStringLiteral("last"), Cli::tr("Undo the newest N moves."), QStringLiteral("N")};
  const QCommandLineOption since_{QStringLiteral("since"),
                                  Cli::tr("Undo every move made at or after TIME, local time: YYYY-MM-DD, "
                                          "YYYY-MM-DDThh:mm or YYYY-MM-DDThh:mm:ss (a blank may stand for the T)."),
                                  QStringLiteral("TIME")};
  const QCommandLineOption all_{QStringLiteral("all"), Cli::tr("Undo every move the journal still holds.")};
  const QCommandLineOption dryRun_{QStringLiteral("dry-run"), Cli::tr("Say what would be put back; change nothing.")};
};

}  // namespace

std::unique_ptr<Command> MakeUndoCommand() { return std::make_unique<UndoCommand>(); }

}  // namespace veskora::cli
