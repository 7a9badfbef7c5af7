// The real veskora-cli, and for its journal the real veskora, run against real temporary folders.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <filesystem>

#include "fault_harness.h"
#include "mover/move_journal.h"
#include "test_processes.h"
#include "user_environment.h"

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

namespace veskora::testing {
namespace {

// Copies of both programs in the program's folder beside their rule file, so both find the same data.
class CliSandbox : public UserEnvironment {
 public:
  CliSandbox() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("test"), nullptr};
    static const QCoreApplication app(argc, argv);  // QProcess needs one
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QFile::copy(VESKORA_CLI, QString::fromStdString(Program("veskora-cli")));
    QFile::copy(VESKORA_PROGRAM, QString::fromStdString(Program("veskora")));
    MakeDir("dest");
  }
  struct Result {
    int code = -1;
    std::string out, err;
  };
  Result Run(const std::string& program, const QStringList& arguments) const {
    QProcess p;
    p.start(QString::fromStdString(Program(program)), arguments);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
  }
  Result Cli(const QStringList& arguments) const { return Run("veskora-cli", arguments); }
  QJsonObject Json(const QStringList& arguments, int code = 0) const {
    const Result result = Cli(arguments);
    EXPECT_EQ(result.code, code) << result.err << result.out;
    return QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();  // empty when it is no JSON
  }

  void Rules(const std::string& lines) const { WriteFile(RulePath(), lines); }
  std::string Dest(const std::string& name = "") const { return Path("dest") + (name.empty() ? "" : "/") + name; }
  std::string Journal() const { return Path("state/veskora/move-journal.csv"); }
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

TEST(CliUndo, PutsBackOnlyUnchangedFilesNeverReplacingAndNeverTwice) {
  const CliSandbox box;
  const std::vector<std::string> names = {"a.txt", "b.txt", "c.txt", "d.txt", "keep-me.dat"};
  box.Rules("-1,2,txt," + box.Dest() + "\r\n-1,1,keep," + box.Dest() + "\r\n");
  for (const std::string& name : names) WriteFile(box.Desktop(name), name);
  // Local time as the journal writes it, formatted here independently.
  const auto now = [] { return QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toStdString(); };
  const std::string started = now();
  Child program({box.Program("veskora")});
  for (int i = 0; i < 300 && ListNames(box.Dest()) != "a.txt b.txt c.txt d.txt keep-me.dat"; ++i) {
    QThread::msleep(100);
  }
  program.Signal(SIGTERM);
  ASSERT_EQ(DescribeStatus(program.Wait()), "exit 0");
  const std::string ended = now();

  const JournalContents journal = ParseJournal(ReadFile(box.Journal()));
  ASSERT_EQ(journal.records.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const JournalRecord& r = journal.records[i];
    struct stat st {};
    ASSERT_EQ(lstat(box.Dest(names[i]).c_str(), &st), 0);
    EXPECT_EQ(r.name + r.desktop + r.destination, names[i] + box.Desktop() + box.Dest());
    EXPECT_EQ(r.arrived,
              (FileIdentity{st.st_dev, st.st_ino, static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec}));
    EXPECT_EQ(r.row, i < 4 ? 1 : 2);
    EXPECT_TRUE(started <= r.time && r.time <= ended) << r.time;
  }

  // Row 1 unticked, row 2 still takes keep-me.dat; b.txt changed since; a new c.txt on the desktop.
  box.Rules("0,2,txt," + box.Dest() + "\r\n-1,1,keep," + box.Dest() + "\r\n");
  box.SetSettings("|||True");
  WriteFile(box.Dest("b.txt"), "b.txt, edited");
  WriteFile(box.Desktop("c.txt"), "a new c.txt");
  const std::string before = ListNames(box.Desktop()) + ListNames(box.Dest()) + ReadFile(box.Journal());

  const QJsonObject dry = box.Json({"undo", "--all", "--dry-run", "--json"}, 1);
  EXPECT_EQ(Fields(dry["files"].toArray(), {"name", "outcome", "row"}),
            "keep-me.dat taken-again 2\nd.txt put-back \nc.txt name-taken \nb.txt changed \na.txt put-back \n");
  EXPECT_EQ(ListNames(box.Desktop()) + ListNames(box.Dest()) + ReadFile(box.Journal()), before);
  EXPECT_EQ(Count(ReadFile(box.Program("veskora.log")), "へ移動しました"), names.size());

  const CliSandbox::Result undo = box.Cli({"undo", "--all"});
  EXPECT_EQ(undo.code, 1);
  EXPECT_HAS(undo.out, "refused keep-me.dat: row 2 (ファイル名に\"keep\"が含まれる) would move it again");
  EXPECT_EQ(ReadFile(box.Desktop("a.txt")) + ReadFile(box.Desktop("d.txt")), "a.txtd.txt");
  EXPECT_EQ(ReadFile(box.Desktop("c.txt")) + ReadFile(box.Dest("c.txt")), "a new c.txtc.txt");
  EXPECT_EQ(ListNames(box.Dest()), "b.txt c.txt keep-me.dat");
  const std::string log = ReadFile(box.Program("veskora.log"));
  EXPECT_EQ(Count(log, "] a.txt を " + box.Desktop() + " へ移動しました\r\n"), 1u) << log;
  EXPECT_EQ(Count(log, " を " + box.Desktop() + " へ"), 2u);

  // Put where it was, the very same file is still not put back twice.
  ASSERT_EQ(rename(box.Desktop("a.txt").c_str(), box.Dest("a.txt").c_str()), 0);
  const CliSandbox::Result again = box.Cli({"undo", "--since", "2000-01-01"});
  EXPECT_EQ(again.code, 1);
  EXPECT_EQ(again.out.find("a.txt"), std::string::npos) << again.out;
  EXPECT_EQ(ReadFile(box.Program("veskora.log")), log);
  box.SetSettings("|||False");
  // The newest only: the two skipped above are not tried again (exit 0).
  const CliSandbox::Result last = box.Cli({"undo", "--last", "1"});
  EXPECT_EQ(last.code, 0) << last.out;
  EXPECT_HAS(last.out, "put back keep-me.dat");
  EXPECT_EQ(box.Cli({"undo", "--since", "2999-01-01"}).out, "Nothing to undo.\n");
}

// An undo across file systems killed midway left its file in a private folder
// in the destination: the next undo gives it its name back before it looks.
// One asked to end midway (SIGINT) finishes or rolls back the file in hand,
// which then lies whole in one of the two places; nothing stays hidden.
TEST(CliUndo, APutBackCutShortLeavesNothingHidden) {
  const CliSandbox box;
  const OtherFileSystem far;
  if (!far.Usable()) GTEST_SKIP() << far.Why();
  box.Rules("-1,2,zzz," + far.Path() + "\r\n");
  const std::string bytes = RandomBytes(std::size_t{8} << 20, 5);
  const std::string claim = far / (".veskora-claim-" + std::to_string(EndedProcessId()) + "-abcdefgh");
  std::filesystem::create_directory(claim);
  WriteFile(claim + "/.veskora-owner", "veskora-owner boot=- start=0 pid=1\n");  // a boot before
  std::string records;
  for (const std::string& path : {claim + "/a.bin", far / "b.bin"}) {
    WriteFile(path, bytes);
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    records += FormatJournalRecord({false, "2026-01-01 00:00:00", "2026-01-01 00:00:00", box.Desktop(),
                                    path.substr(path.size() - 5), far.Path(),
                                    {st.st_dev, st.st_ino, static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec},
                                    1, "zzz"});
  }
  box.MakeDir("state/veskora");
  WriteFile(box.Journal(), records);
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

// The journal is input like any other: a record only ever puts a plain name back from an absolute folder into the
// desktop folder of now, and only a journal that is the user's alone is followed at all.
TEST(CliUndo, AForgedJournalMovesNothing) {
  const CliSandbox box;
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
    WriteFile(box.Journal(), FormatJournalRecord({false, "2026-01-01 00:00:00", "2026-01-01 00:00:00", desktop, name,
                                                  destination, *PosixFileSystem().Identity(system, "secret"), 1, ""}));
    ASSERT_EQ(chmod(box.Journal().c_str(), mode) + chown(box.Journal().c_str(), getuid() + owner, -1), 0);
    const CliSandbox::Result result = box.Cli({"undo", "--json"});
    EXPECT_HAS(result.out + result.err, said);
    EXPECT_EQ(result.code, said.find(' ') == std::string::npos ? 1 : 2) << said;
    EXPECT_EQ(ListNames(box.Desktop()) + ReadFile(secret), "not the user's to move");
  }
}

// Plan shows what a cycle would do with every file and changes nothing; why gives each row's verdict and the first
// match; mistakes end with a message and code 2.
TEST(CliPlanAndWhy, ShowWithoutMovingAndMistakesEndWithCodeTwo) {
  const CliSandbox box;
  box.Rules("-1,1,keep,(移動を禁止する)\r\n-1,2,txt," + box.Dest() + "\r\n-1,2,doc," + box.Dest("missing") +
            "\r\n-1,2,tmp,(未定義)\r\n");
  for (const char* name :
       {"a.txt", "keep.txt", "b.doc", "c.tmp", "big.txt", "big.txt.part", "dup.txt", "w.txt", "other.bin"}) {
    WriteFile(box.Desktop(name), name);
  }
  WriteFile(box.Dest("dup.txt"), "already there");
  const Holder writer(box.Desktop("w.txt"), O_WRONLY);
  ASSERT_TRUE(writer.Holding());
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
  EXPECT_HAS(text, ": yes: modified 2031-01-01 00:00:00 is after 2030-01-01 12:00:00\n");
  EXPECT_HAS(text, "First match: row 2: moves to " + box.Dest() + ".\n");
  // A name that is not UTF-8 is found by its very bytes (made by the shell: QProcess passes only text).
  WriteFile(box.Desktop("r\xff.pdf"), "x");
  QProcess shell;
  shell.start("/bin/sh", {"-c", "exec \"$0\" why \"$(printf 'r\\377.pdf')\"",
                          QString::fromStdString(box.Program("veskora-cli"))});
  ASSERT_TRUE(shell.waitForFinished(60000));
  EXPECT_HAS(shell.readAllStandardOutput().toStdString(), "First match: row 2: moves to " + box.Dest() + ".\n");
  WriteFile(box.Desktop(".hidden.pdf"), "x");
  const QJsonObject hidden = box.Json({"why", "--json", ".hidden.pdf"});
  EXPECT_EQ(Fields({hidden}, {"looked_at", "ignored"}), "false hidden\n");
  EXPECT_FALSE(hidden.contains("rows"));

  WriteFile(box.Dest("elsewhere.txt"), "x");
  std::filesystem::remove(box.RulePath());
  // arguments, message, and input that is there but cannot be read
  const std::tuple<QStringList, const char*, std::string> mistakes[] = {
      {{}, "no command given", ""},
      {{"tidy"}, "veskora-cli: unknown command 'tidy'; the commands are plan, why, undo, help\n", ""},
      {{"pln"}, "veskora-cli: unknown command 'pln'; did you mean 'plan'?\n", ""},
      {{"help", "UDNO"}, "unknown command 'UDNO'; did you mean 'undo'?", ""},
      {{"hlep"}, "did you mean 'help'?", ""},
      {{"plan", "--fast"}, "veskora-cli: plan: unknown option 'fast'; see", ""},
      {{"plan", "extra"}, "unexpected 'extra'", ""},
      {{"why"}, "missing FILE", ""},
      {{"why", "absent.txt"}, "no absent.txt in the desktop folder", ""},
      {{"why", QString::fromStdString(box.Dest("elsewhere.txt"))}, "is not in the desktop folder", ""},
      {{"undo", "--last", "0"}, "--last wants a count", ""},
      {{"undo", "--all", "--last", "2"}, "give one of --last, --since and --all", ""},
      {{"undo", "--since", "yesterday"}, "--since wants a time", ""},
      {{"undo"}, "cannot read the move journal", box.Journal()},
      {{"plan"}, "cannot read the rule file", box.Program("ZUL.dat")},
  };
  for (const auto& [arguments, message, folderInPlace] : mistakes) {
    if (!folderInPlace.empty()) std::filesystem::create_directories(folderInPlace);
    const CliSandbox::Result result = box.Cli(arguments);
    EXPECT_EQ(result.code, 2) << arguments.join(' ').toStdString();
    EXPECT_HAS(result.err, message);
  }
  EXPECT_EQ(box.Run("veskora", {"--tray"}).code, 2);
  for (const char* program : {"veskora", "veskora-cli"}) {
    EXPECT_EQ(box.Run(program, {"--version"}).out, std::string(program) + " " VESKORA_VERSION "\n");
    EXPECT_EQ(box.Run(program, {"--help"}).out.find("Usage: "), 0u);
  }
  const CliSandbox::Result help = box.Cli({"help", "undo"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out, box.Cli({"undo", "--help"}).out);
  EXPECT_EQ(box.Cli({"help"}).out, box.Cli({"--help"}).out);
}

}  // namespace
}  // namespace veskora::testing
