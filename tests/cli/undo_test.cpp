// veskora-cli undo on moves that the real program made and journaled.
#include <QThread>
#include <ctime>

#include "cli_sandbox.h"
#include "mover/move_journal.h"

namespace veskora::testing {
namespace {

// Local time as the journal writes it, formatted here independently.
std::string Now() {
  char text[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(text, sizeof text, "%F %T", std::localtime(&now));
  return text;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(CliUndo, PutsBackOnlyUnchangedFilesNeverReplacingAndNeverTwice) {
  const CliSandbox box;
  const std::vector<std::string> names = {"a.txt", "b.txt", "c.txt", "d.txt", "keep-me.dat"};
  box.Rules("-1,2,txt," + box.Dest() + "\r\n-1,1,keep," + box.Dest() + "\r\n");
  for (const std::string& name : names) WriteFile(box.Desktop(name), name);
  const std::string started = Now();
  QProcess program;
  box.Run("veskora", {}, &program);
  for (int i = 0; i < 300 && ListNames(box.Dest()) != "a.txt b.txt c.txt d.txt keep-me.dat"; ++i) {
    QThread::msleep(100);
  }
  program.terminate();
  ASSERT_TRUE(program.waitForFinished(30000));
  const std::string ended = Now();

  // The cycle journaled each move as the file arrived.
  const JournalContents journal = ReadJournal(box.Journal());
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

  // Row 1 unticked, row 2 still takes keep-me.dat; b.txt changed since; the
  // desktop has a new c.txt.
  box.Rules("0,2,txt," + box.Dest() + "\r\n-1,1,keep," + box.Dest() + "\r\n");
  box.Automove(true);
  WriteFile(box.Dest("b.txt"), "b.txt, edited");
  WriteFile(box.Desktop("c.txt"), "a new c.txt");
  const std::string before = ListNames(box.Desktop()) + ListNames(box.Dest()) + ReadFile(box.Journal());

  const QJsonObject dry = box.Json({"undo", "--all", "--dry-run", "--json"}, 1);
  EXPECT_EQ(CliSandbox::Fields(dry["files"].toArray(), {"name", "outcome", "row"}),
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
  box.Automove(false);
  EXPECT_HAS(box.Cli({"undo", "--last", "1"}).out, "put back keep-me.dat");
}

}  // namespace
}  // namespace veskora::testing
