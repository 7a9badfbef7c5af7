// veskora-cli's commands in-process against real temporary folders, real rule files and a journal the real cycle
// wrote; once, the real programs as a user runs them.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QProcess>
#include <csignal>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/services.h"
#include "fault_harness.h"
#include "mover/scan_cycle.h"
#include "rules/rule_file.h"
#include "test_processes.h"
#include "user_environment.h"

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

namespace veskora::testing {
namespace {

class CliBox : public UserEnvironment {
 public:
  CliBox() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("test_cli"), nullptr};
    static const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(VESKORA_VERSION);
    MakeDir("dest");
  }
  struct Result {
    int code = -1;
    std::string out, err;
  };
  Result Cli(const QStringList& arguments) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    cli::Output output(outStream, errStream, Language::kEnglish);
    const IniSettingsStore settings;
    cli::CommandServices services{files,   dataFiles, clock, settings, Desktop(), Path("program"), Journal(),
                                  Lock(), output};
    const int code = cli::RunCli(arguments, services);
    outStream.flush(), errStream.flush();
    return {code, out.toStdString(), err.toStdString()};
  }
  QJsonObject Json(const QStringList& arguments, int code = 0) {
    const Result result = Cli(arguments);
    EXPECT_EQ(result.code, code) << result.err << result.out;
    return QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();  // empty when it is no JSON
  }
  // The program's own cycle, journaling what it moves, until nothing it would move is left (at most 50 times).
  void Cycles() {
    RuleList rules;
    RuleFile(dataFiles, RulePath()).LoadRules(rules);
    const RuleMatcher matcher(rules);
    MoveLog log(dataFiles, Program("veskora.log"), clock, nullptr);
    MoveJournal journal(dataFiles, Journal(), clock);
    const ScanEnvironment env{[this] { return Desktop(); }, &files, &log, nullptr, &journal};
    for (int i = 0; i < 50 && Cli({"plan"}).out.find(": moves to ") != std::string::npos; ++i) {
      journal.BeginCycle();
      RunScanCycle(rules, matcher, env);
      journal.Flush(MoveJournal::kLockWait);
    }
  }

  void Rules(const std::string& lines) const { WriteFile(RulePath(), lines); }
  std::string Dest(const std::string& name = "") const { return Path("dest") + (name.empty() ? "" : "/") + name; }
  std::string Journal() const { return Path("state/veskora/move-journal.csv"); }
  QString Lock() const { return QString::fromStdString(Path("runtime/veskora.lock")); }
};

// Chosen fields of each object in a JSON array, one line per object.
std::string Fields(const QJsonArray& array, const QStringList& keys) {
  std::string text;
  for (const QJsonValue item : array) {
    for (const QString& key : keys) text += item[key].toVariant().toString().toStdString() + " ";
    text.back() = '\n';
  }
  return text;
}

std::size_t Count(const std::string& text, const std::string& part) {
  return QString::fromStdString(text).count(QString::fromStdString(part));
}

// The history tells each journaled move's state as it changes; undo puts back only unchanged files, never
// replacing, never twice.
TEST(CliUndoAndHistory, PutBackOnlyUnchangedFilesNeverReplacingNeverTwiceAndTellWhatBecameOfEach) {
  CliBox box;
  box.Rules("-1,2,txt," + box.Dest() + "\r\n-1,1,keep," + box.Dest() + "\r\n");
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "keep-me.dat"}) WriteFile(box.Desktop(name), name);
  box.Cycles();
  ASSERT_EQ(ListNames(box.Dest()), "a.txt b.txt c.txt d.txt keep-me.dat");
  // Automatic moving on refuses nothing; row 1 unticked; b.txt changed since; a new c.txt on the desktop.
  box.Rules("0,2,txt," + box.Dest() + "\r\n-1,1,keep," + box.Dest() + "\r\n");
  box.SetSettings("|||True");
  WriteFile(box.Dest("b.txt"), "b.txt, edited");
  WriteFile(box.Desktop("c.txt"), "a new c.txt");
  const std::string before = ListNames(box.Desktop()) + ListNames(box.Dest()) + ReadFile(box.Journal());
  const QJsonObject dry = box.Json({"undo", "--all", "--dry-run", "--json"}, 1);
  EXPECT_EQ(Fields(dry["files"].toArray(), {"name", "outcome"}),
            "keep-me.dat put-back\nd.txt put-back\nc.txt name-taken\nb.txt changed\na.txt put-back\n");
  EXPECT_EQ(ListNames(box.Desktop()) + ListNames(box.Dest()) + ReadFile(box.Journal()), before);
  const CliBox::Result undo = box.Cli({"undo", "--all"});
  EXPECT_EQ(undo.code, 1);
  EXPECT_EQ(ReadFile(box.Desktop("a.txt")) + ReadFile(box.Desktop("d.txt")), "a.txtd.txt");
  EXPECT_EQ(ReadFile(box.Desktop("c.txt")) + ReadFile(box.Dest("c.txt")), "a new c.txtc.txt");
  EXPECT_EQ(ListNames(box.Dest()), "b.txt c.txt");
  const std::string log = ReadFile(box.Program("veskora.log"));
  EXPECT_EQ(Count(log, "] a.txt を " + box.Desktop() + " へ戻しました\r\n"), 1u) << log;
  EXPECT_EQ(Count(log, " を " + box.Desktop() + " へ"), 3u);
  // Newest first, with the year, the row and its rule, from and to, and the state now.
  std::filesystem::remove(box.Dest("c.txt"));
  box.clock.Set({2024, 10, 27, 9, 0, 0});
  WriteFile(box.Desktop("e.txt"), "e");
  box.Rules("-1,1,e.txt," + box.Dest() + "\r\n");
  box.Cycles();
  const std::string history = box.Cli({"history", "--since", "2024-10-27"}).out;
  EXPECT_EQ(history, "2024-10-27 09:00:00 e.txt: row 1 ファイル名に\"e.txt\"が含まれる: " + box.Desktop() + " → " + box.Dest() +
                         ": moved\n");
  const QJsonObject all = box.Json({"history", "--json", "--since", "2024-10-26T14:05"});
  EXPECT_EQ(Fields(all["moves"].toArray(), {"name", "row", "state", "time"}),
            "e.txt 1 moved 2024-10-27 09:00:00\nkeep-me.dat 2 put-back 2024-10-26 14:05:09\n"
            "d.txt 1 put-back 2024-10-26 14:05:09\nc.txt 1 not-found 2024-10-26 14:05:09\n"
            "b.txt 1 changed 2024-10-26 14:05:09\na.txt 1 put-back 2024-10-26 14:05:09\n");
  EXPECT_EQ(box.Cli({"history", "--since", "2024-10-28 00:00:00"}).out, "No moves recorded.\n");
  // Put where it was, the very same file is still not put back twice.
  ASSERT_EQ(rename(box.Desktop("a.txt").c_str(), box.Dest("a.txt").c_str()), 0);
  const CliBox::Result again = box.Cli({"undo", "--since", "2000-01-01", "--dry-run"});
  EXPECT_EQ(again.out.find("a.txt"), std::string::npos) << again.out;
  // The newest only: e.txt.
  const CliBox::Result last = box.Cli({"undo", "--last", "1"});
  EXPECT_EQ(last.code, 0) << last.out;
  EXPECT_HAS(last.out, "put back e.txt");
  EXPECT_EQ(box.Cli({"undo", "--since", "2999-01-01"}).out, "Nothing to undo.\n");
}

// The journal is input like any other: a record only ever puts a plain name back from an absolute folder into the
// desktop folder of now, and only a journal that is the user's alone is followed at all.
TEST(CliUndo, AForgedJournalMovesNothing) {
  CliBox box;
  const std::string system = box.MakeDir("system"), secret = system + "/secret";
  WriteFile(secret, "not the user's to move");
  box.MakeDir("state/veskora");
  // desktop, destination, name, the journal's mode and owner; what undo says, or its message and code 2
  const std::tuple<std::string, std::string, std::string, mode_t, uid_t, std::string> forged[] = {
      {box.Desktop(), box.Dest(), "../system/secret", 0600, 0, "bad-record"},
      {box.Desktop(), box.Dest() + "/../system", "secret", 0600, 0, "bad-record"},
      {box.Desktop(), "system", "secret", 0600, 0, "bad-record"},
      {system, system, "secret", 0600, 0, "other-desktop"},
      {box.Desktop(), system, "secret", 0620, 0, "is not yours alone"},
      {box.Desktop(), system, "secret", 0600, 65534, "is not yours alone"},
  };
  for (const auto& [desktop, destination, name, mode, owner, said] : forged) {
    if (owner != 0 && getuid() != 0) continue;  // only root can give a file away
    const FileIdentity secretFile = *PosixFileSystem().Identity(system, "secret");
    WriteFile(box.Journal(), FormatJournalRecord({false, "2026-01-01 00:00:00", "2026-01-01 00:00:00", desktop, name,
                                                  destination, secretFile, 1, "", {}}));
    ASSERT_EQ(chmod(box.Journal().c_str(), mode) + chown(box.Journal().c_str(), getuid() + owner, -1), 0);
    const CliBox::Result result = box.Cli({"undo", "--json"});
    EXPECT_HAS(result.out + result.err, said);
    EXPECT_EQ(result.code, said.find(' ') == std::string::npos ? 1 : 2) << said;
    EXPECT_EQ(ListNames(box.Desktop()) + ReadFile(secret), "not the user's to move");
  }
}

// Plan says whether the program runs and moves by itself, shows what a cycle would do with every file and changes
// nothing; why gives each row's verdict and the first match; mistakes end with a message and code 2.
TEST(CliPlanAndWhy, ShowWithoutMovingAndMistakesEndWithCodeTwo) {
  CliBox box;
  box.Rules("-1,1,keep,(移動を禁止する)\r\n-1,2,txt," + box.Dest() + "\r\n-1,2,doc," + box.Dest("missing") +
            "\r\n-1,2,tmp,(未定義)\r\n");
  for (const char* name :
       {"a.txt", "keep.txt", "b.doc", "c.tmp", "big.txt", "big.txt.part", "dup.txt", "w.txt", "other.bin"}) {
    WriteFile(box.Desktop(name), name);
  }
  WriteFile(box.Dest("dup.txt"), "already there");
  const int writer = open(box.Desktop("w.txt").c_str(), O_WRONLY | O_CLOEXEC);  // being written
  ASSERT_GE(writer, 0);
  // What an ended run left claimed stays as it is: plan and why only ask.
  const std::string claim = box.Desktop(".veskora-claim-" + std::to_string(testing::EndedProcessId()) + "-abcdefgh");
  ASSERT_TRUE(std::filesystem::create_directory(claim));
  WriteFile(claim + "/left.txt", "left");
  const std::string before = ListNames(box.Desktop()) + ListNames(box.Dest()) + ListNames(claim);
  const QJsonObject plan = box.Json({"plan", "--json"});
  EXPECT_EQ(Fields(plan["files"].toArray(), {"name", "row", "outcome"}),
            "a.txt 2 moves\nb.doc 3 no-destination\nbig.txt 2 in-use\nc.tmp 4 no-folder\ndup.txt 2 name-taken\n"
            "keep.txt 1 protected\nw.txt 2 in-use\n");
  EXPECT_EQ(plan["listed"].toInt(), 9);
  for (const QJsonValue f : plan["files"].toArray()) {  // a protected file goes nowhere
    EXPECT_EQ(f["destination"].isNull(), f["name"] == QStringLiteral("keep.txt"));
    EXPECT_EQ(f["protected"].toBool(), f["name"] == QStringLiteral("keep.txt"));
  }
  const std::string planned = box.Cli({"plan"}).out;
  EXPECT_HAS(planned, "keep.txt: row 1 ファイル名に\"keep\"が含まれる: protected\n");
  EXPECT_HAS(planned, "dup.txt: row 2 拡張子が\"txt\": not moved: the destination has a file of that name\n");
  EXPECT_HAS(planned, "7 of 9 files in " + box.Desktop() + " match an enabled row; 1 would move.\n");
  box.Cli({"why", "a.txt"});
  EXPECT_EQ(ListNames(box.Desktop()) + ListNames(box.Dest()) + ListNames(claim), before);
  std::filesystem::remove_all(claim);
  close(writer);
  // The program's lock, left by one that ended or held by a live one; the automatic-move setting.
  QLockFile live(box.Lock());
  WriteFile(box.Lock().toStdString(), std::to_string(EndedProcessId()) + "\ntest_cli\n\n");
  for (const bool on : {false, true}) {
    ASSERT_TRUE(!on || live.tryLock(0));
    box.SetSettings(on ? "|||True" : "|||False");
    EXPECT_EQ(box.Cli({"plan"}).out.substr(0, 44), on ? "VESKORA is running. Automatic moving is on.\n"
                                                      : "VESKORA is not running. Automatic moving is ");
    EXPECT_EQ(Fields({box.Json({"plan", "--json"})}, {"programRunning", "autoMove"}), on ? "true true\n" : "false false\n");
  }
  // Why: every row's verdict (an unticked one skipped) and the first match.
  const std::string to = "," + box.Dest() + "\r\n";
  box.Rules("-1,1,PHOTO,(移動を禁止する)\r\n-1,2,pdf" + to + "-1,3,1K" + to + "-1,4,1M" + to + "0,2,md" + to +
            "-1,5,20080101120000" + to + "-1,6,20300101120000" + to);
  // name, size, year; verdicts of rows 1 to 7 (5 is not ticked), then the first match
  const std::tuple<std::string, std::size_t, int, std::string> cases[] = {
      {"MYPHOTO.txt", 1023, 2007, "1010010 1 protected\n"},
      {"report.pdf", 1024, 2031, "0100001 2 moves\n"},
      {"photo.PDF", 1048577, 2020, "0001000 4 moves\n"},
      {"notes.md", 1025, 2020, "0000000  \n"},  // no match
  };
  for (const auto& [name, size, year, _] : cases) {
    WriteFile(box.Desktop(name), std::string(size, 'x'));
    SetMtime(box.Desktop(name), {year, 1, 1, 0, 0, 0});
  }
  for (const auto& [name, size, year, expected] : cases) {
    const QJsonObject why = box.Json({"why", "--json", QString::fromStdString(box.Desktop(name))});
    std::string verdicts;
    for (const QJsonValue row : why["rows"].toArray()) verdicts += row["matches"].toBool() ? "1" : "0";
    EXPECT_EQ(verdicts + " " + Fields({why["first_match"]}, {"row", "outcome"}), expected) << name;
  }
  const std::string text = box.Cli({"why", "report.pdf"}).out;
  EXPECT_HAS(text, "report.pdf: 1024 bytes, modified 2031-01-01 00:00:00\n");
  EXPECT_HAS(text, "row 3 ファイルサイズが\"1KByte\"より小さい: no: 1024 bytes is not less than 1K (1024 bytes)\n");
  EXPECT_HAS(text, "row 5 拡張子が\"md\": skipped: the row is not ticked\n");
  EXPECT_HAS(text, ": yes: modified 2031-01-01 00:00:00 is after 2030-01-01 12:00:00\n");
  EXPECT_HAS(text, "First match: row 2: moves to " + box.Dest() + ".\n");
  // A name that is not UTF-8 is found by its very bytes, as the command line gives them.
  WriteFile(box.Desktop("r\xff.pdf"), "x");
  char* words[] = {const_cast<char*>("why"), const_cast<char*>("r\xff.pdf")};
  EXPECT_HAS(box.Cli(cli::DecodeArguments(2, words)).out, "First match: row 2: moves to " + box.Dest() + ".\n");
  WriteFile(box.Desktop(".hidden.pdf"), "x");
  const QJsonObject hidden = box.Json({"why", "--json", ".hidden.pdf"});
  EXPECT_EQ(Fields({hidden}, {"looked_at", "ignored"}), "false hidden\n");
  EXPECT_FALSE(hidden.contains("rows"));
  WriteFile(box.Dest("elsewhere.txt"), "x");
  std::filesystem::remove(box.RulePath());
  // arguments, how the message begins, and input that is there but cannot be read
  const std::string none = "veskora-cli: no command given; see 'veskora-cli --help'", unknown = "veskora-cli: unknown",
                    journal = ": cannot read the move journal " + box.Journal() + ": ";
  const std::tuple<QStringList, std::string, std::string> mistakes[] = {
      {{}, none, ""},
      {{"tidy"}, unknown + " command 'tidy'; the commands are plan, why, history, undo, help", ""},
      {{"pln"}, unknown + " command 'pln'; did you mean 'plan'?", ""},
      {{"help", "UDNO"}, unknown + " command 'UDNO'; did you mean 'undo'?", ""},
      {{"hlep"}, unknown + " command 'hlep'; did you mean 'help'?", ""},
      {{"plan", "--fast"}, "veskora-cli: plan: unknown option 'fast'; see 'veskora-cli plan --help'", ""},
      {{"plan", "extra"}, "veskora-cli: plan: unexpected 'extra'; see 'veskora-cli plan --help'", ""},
      {{"why"}, "veskora-cli: why: missing FILE; see", ""},
      {{"why", "absent.txt"}, "veskora-cli: why: no absent.txt in the desktop folder " + box.Desktop(), ""},
      {{"why", QString::fromStdString(box.Dest("elsewhere.txt"))}, "veskora-cli: why: not in the desktop folder", ""},
      {{"undo", "--last", "0"}, "veskora-cli: undo: --last wants a count of 1 or more", ""},
      {{"undo", "--all", "--last", "2"}, "veskora-cli: undo: give one of --last, --since and --all", ""},
      {{"history", "--since", "2024-13-01"}, "veskora-cli: history: --since wants a date or a date and time", ""},
      {{"undo"}, "veskora-cli: undo" + journal, box.Journal()},
      {{"history"}, "veskora-cli: history" + journal, ""},
      {{"plan"}, "veskora-cli: plan: cannot read the rule file " + box.RulePath(), box.RulePath()},
  };
  for (const auto& [arguments, message, folderInPlace] : mistakes) {
    if (!folderInPlace.empty()) std::filesystem::create_directories(folderInPlace);
    const CliBox::Result result = box.Cli(arguments);
    EXPECT_EQ(result.code, 2) << arguments.join(' ').toStdString();
    EXPECT_EQ(result.err.substr(0, message.size()), message);
  }
  EXPECT_EQ(box.Cli({"help", "history"}).out, box.Cli({"history", "--help"}).out);
  EXPECT_HAS(box.Cli({"help", "history"}).out, "YYYY-MM-DDThh:mm");
  EXPECT_EQ(box.Cli({"help"}).out, box.Cli({"--help"}).out);
}

// The real programs as a user runs them: exit codes, a plan line and a JSON document in the user's language
// (Japanese under a Japanese locale, English otherwise). An undo across file systems asked to end midway
// (SIGINT) finishes or rolls back the file in hand, which then lies whole in one of the two places; the next undo
// gives back what a killed one left in a private folder before it looks.
TEST(CliProgram, SpeaksTheUsersLanguageAndEndsAnUndoSafely) {
  CliBox box;
  const OtherFileSystem far;
  QFile::copy(VESKORA_CLI, QString::fromStdString(box.Program("veskora-cli")));
  QFile::copy(VESKORA_PROGRAM, QString::fromStdString(box.Program("veskora")));
  box.Rules("-1,1,keep,(移動を禁止する)\r\n-1,2,txt," + box.Dest() + "\r\n-1,2,zzz," + far.Path() + "\r\n");
  WriteFile(box.Desktop("a.txt"), "a");
  WriteFile(box.Desktop("keep.txt"), "k");
  WriteFile(box.Dest("back.txt"), "b");  // moved by an earlier run, for the last row to put back
  MoveJournal(box.dataFiles, box.Journal(), box.clock)
      .AddMove(box.Desktop(), "back.txt", box.Dest(), *box.files.Identity(box.Dest(), "back.txt"), 2, "2,txt");
  // program, arguments, locale; exit code and a line of the output
  const std::string ja = "a.txt: 2番目: 拡張子が\"txt\": " + box.Dest() + " へ移動します\n";
  const std::tuple<std::string, QStringList, QString, int, std::string> runs[] = {
      {"veskora-cli", {"plan"}, "LC_ALL=C.UTF-8", 0, "a.txt: row 2 拡張子が\"txt\": moves to " + box.Dest() + "\n"},
      {"veskora-cli", {"plan"}, "LANG=ja_JP.UTF-8", 0, "VESKORA は起動していません。 移動を自動実行: オン\n" + ja},
      {"veskora-cli", {"plan"}, "LC_MESSAGES=ja_JP.UTF-8", 0, "keep.txt: 1番目: ファイル名に\"keep\"が含まれる: 移動を禁止する\n"},
      // why, in the words the window's preview gives the same row
      {"veskora-cli", {"why", "a.txt"}, "LANG=ja_JP.UTF-8", 0, "\n2番目: 拡張子が\"txt\" — 一致: 拡張子 \"txt\" は \"txt\" です\n"},
      {"veskora-cli", {"plan", "--json"}, "LANG=ja_JP.UTF-8", 0, "\"protected\": true,\n            \"row\": 1,"},
      {"veskora-cli", {"pln"}, "LANG=ja_JP.UTF-8", 2, "veskora-cli: 'pln' というコマンドはありません。'plan' のことですか?\n"},
      {"veskora", {"--version"}, "LC_ALL=C.UTF-8", 0, "veskora " VESKORA_VERSION "\n"},
      {"veskora", {"--tray"}, "LC_ALL=C.UTF-8", 2, ""},
      {"veskora-cli", {"undo", "--all"}, "LANG=ja_JP.UTF-8", 0,
       "back.txt を " + box.Dest() + " から " + box.Desktop() + " へ戻しました\n"},
  };
  for (const auto& [program, arguments, locale, code, line] : runs) {
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(name);
    env.insert(locale.section('=', 0, 0), locale.section('=', 1));
    run.setProcessEnvironment(env);
    run.start(QString::fromStdString(box.Program(program)), arguments);
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), code);
    EXPECT_HAS((run.readAllStandardOutput() + run.readAllStandardError()).toStdString(), line);
  }
  if (!far.Usable()) GTEST_SKIP() << far.Why();
  for (const char* name : {"a.txt", "keep.txt", "back.txt"}) std::filesystem::remove(box.Desktop(name));
  const std::string bytes = RandomBytes(std::size_t{8} << 20, 5);
  const std::string claim = far / (".veskora-claim-" + std::to_string(EndedProcessId()) + "-abcdefgh");
  std::filesystem::create_directory(claim);
  WriteFile(claim + "/.veskora-owner", "veskora-owner boot=- start=0 pid=1\n");  // a boot before
  MoveJournal journal(box.dataFiles, box.Journal(), box.clock);
  for (const auto& [folder, name] : {std::pair{claim, "a.bin"}, {far.Path(), "b.bin"}}) {
    WriteFile(folder + "/" + name, bytes);
    journal.AddMove(box.Desktop(), name, far.Path(), *box.files.Identity(folder, name), 3, "zzz");
  }
  Child undo({box.Program("veskora-cli"), "undo", "--all"},
             {"LD_PRELOAD=" + faults::FaultPreload(), "VESKORA_FAULT=copy_file_range:slow;pwrite:slow"});
  for (int wait = 0; wait < 600 && Exists(far / "b.bin"); ++wait) usleep(10000);
  usleep(200000);
  undo.Signal(SIGINT);
  EXPECT_EQ(DescribeStatus(undo.Wait()).substr(0, 5), "exit ");
  const std::string left = Exists(far / "b.bin") ? "a.bin b.bin|" : "a.bin|b.bin";  // rolled back or finished
  EXPECT_EQ(ListNames(far.Path()) + "|" + ListNames(box.Desktop()), left);
  EXPECT_EQ(box.Cli({"undo", "--all"}).code, 0);
  EXPECT_EQ(ListNames(far.Path()) + "|" + ListNames(box.Desktop()), "|a.bin b.bin");
  EXPECT_TRUE(ReadFile(box.Desktop("a.bin")) == bytes && ReadFile(box.Desktop("b.bin")) == bytes);
}

}  // namespace
}  // namespace veskora::testing
