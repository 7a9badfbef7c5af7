// veskora-cli plan and why, and its mistakes, against a real desktop.
#include <fcntl.h>

#include "cli_sandbox.h"
#include "test_processes.h"

namespace veskora::testing {
namespace {

TEST(CliPlan, ShowsWhatACycleWouldDoWithEveryFileAndMovesNothing) {
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
  const std::string before = ListNames(box.Desktop()) + ListNames(box.Dest());

  const QJsonObject plan = box.Json({"plan", "--json"});
  EXPECT_EQ(CliSandbox::Fields(plan["files"].toArray(), {"name", "row", "outcome"}),
            "a.txt 2 moves\nb.doc 3 no-folder\nbig.txt 2 in-use\nc.tmp 4 no-folder\ndup.txt 2 name-taken\n"
            "keep.txt 1 protected\nw.txt 2 in-use\n");
  EXPECT_EQ(plan["listed"].toInt(), 9);
  const std::string text = box.Cli({"plan"}).out;
  EXPECT_HAS(text, "keep.txt: row 1 ファイル名に\"keep\"が含まれる: protected\n");
  EXPECT_HAS(text, "dup.txt: row 2 拡張子が\"txt\": not moved: " + box.Dest("dup.txt") + " exists\n");
  EXPECT_HAS(text, "7 of 9 files in " + box.Desktop() + " match an enabled row; 1 would move.\n");
  EXPECT_EQ(ListNames(box.Desktop()) + ListNames(box.Dest()), before);
}

TEST(CliWhy, GivesEveryEnabledRowsVerdictAndTheFirstMatch) {
  const CliSandbox box;
  const std::string to = "," + box.Dest() + "\r\n";
  box.Rules("-1,1,PHOTO,(移動を禁止する)\r\n-1,2,pdf" + to + "-1,3,1K" + to + "-1,4,1M" + to + "0,2,md" + to +
            "-1,5,20080101120000" + to + "-1,6,20300101120000" + to);
  const struct {
    std::string name;
    std::size_t size;
    int year;
    std::string verdicts;  // rows 1, 2, 3, 4, 6 and 7 (5 is not ticked), then the first match
  } cases[] = {
      {"MYPHOTO.txt", 1023, 2007, "101010 1 protected\n"},
      {"report.pdf", 1024, 2031, "010001 2 moves\n"},
      {"photo.PDF", 1048577, 2020, "000100 4 moves\n"},
      {"notes.md", 1025, 2020, "000000  \n"},  // no match
  };
  for (const auto& c : cases) {
    WriteFile(box.Desktop(c.name), std::string(c.size, 'x'));
    SetMtime(box.Desktop(c.name), {c.year, 1, 1, 0, 0, 0});
  }
  for (const auto& c : cases) {
    const QJsonObject why = box.Json({"why", "--json", QString::fromStdString(box.Desktop(c.name))});
    std::string verdicts;
    for (const QJsonValue row : why["rows"].toArray()) verdicts += row["matches"].toBool() ? "1" : "0";
    EXPECT_EQ(verdicts + " " + CliSandbox::Fields({why["first_match"]}, {"row", "outcome"}), c.verdicts) << c.name;
  }
  const std::string text = box.Cli({"why", "report.pdf"}).out;
  EXPECT_HAS(text, "report.pdf: 1024 bytes, modified 2031-01-01 00:00:00\n");
  EXPECT_HAS(text, "row 3 ファイルサイズが\"1KByte\"より小さい: no: 1024 bytes is not less than 1K (1024 bytes)\n");
  EXPECT_HAS(text, ": yes: modified 2031-01-01 00:00:00 is after 2030-01-01 12:00:00\n");
  EXPECT_HAS(text, "First match: row 2: moves to " + box.Dest() + ".\n");
  WriteFile(box.Desktop(".hidden.pdf"), "x");
  const QJsonObject hidden = box.Json({"why", "--json", ".hidden.pdf"});
  EXPECT_EQ(CliSandbox::Fields({hidden}, {"looked_at", "ignored"}), "false hidden\n");
  EXPECT_FALSE(hidden.contains("rows"));
}

TEST(CliUsage, MistakesEndWithAMessageAndCodeTwo) {
  const CliSandbox box;
  WriteFile(box.Dest("elsewhere.txt"), "x");
  const struct {
    QStringList arguments;
    const char* message;
    std::string folderInPlace = {};  // input that is there but cannot be read
  } cases[] = {
      {{}, "no command given"},
      {{"tidy"}, "unknown command 'tidy'"},
      {{"plan", "--fast"}, "Unknown option 'fast'"},
      {{"plan", "extra"}, "unexpected 'extra'"},
      {{"why"}, "missing FILE"},
      {{"why", "absent.txt"}, "no absent.txt in the desktop folder"},
      {{"why", QString::fromStdString(box.Dest("elsewhere.txt"))}, "is not in the desktop folder"},
      {{"undo", "--last", "0"}, "--last wants a count"},
      {{"undo", "--all", "--last", "2"}, "give one of --last, --since and --all"},
      {{"undo", "--since", "yesterday"}, "--since wants a time"},
      {{"undo"}, "cannot read the move journal", box.Journal()},
      {{"plan"}, "cannot read the rule file", box.Program("ZUL.dat")},
  };
  for (const auto& c : cases) {
    if (!c.folderInPlace.empty()) box.MakeFolder(c.folderInPlace);
    const CliSandbox::Result result = box.Cli(c.arguments);
    EXPECT_EQ(result.code, 2) << c.arguments.join(' ').toStdString();
    EXPECT_HAS(result.err, c.message);
  }
  EXPECT_EQ(box.Run("veskora", {"--tray"}).code, 2);
  for (const char* program : {"veskora", "veskora-cli"}) {
    EXPECT_EQ(box.Run(program, {"--version"}).out, std::string(program) + " " VESKORA_VERSION "\n");
    EXPECT_EQ(box.Run(program, {"--help"}).out.find("Usage: "), 0u);
  }
}

}  // namespace
}  // namespace veskora::testing
