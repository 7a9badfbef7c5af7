// The rule in its three forms (fields, key, file line), its description, and
// the list that holds the rows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <limits>
#include <tuple>

#include "adapters/posix/data_folder.h"
#include "adapters/posix/posix_data_files.h"
#include "mover/paths.h"
#include "rules/move_rule.h"
#include "rules/rule_description.h"
#include "rules/rule_file.h"
#include "rules/rule_key.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

PosixDataFiles files;

std::string Rows(const RuleList& list) {
  std::string rows;
  for (const RuleRow& row : list.Rows()) {
    rows += (row.checked ? "+" : "-") + MakeRuleKey(row.rule) + "|" + row.rule.destination + "\n";
  }
  return rows;
}

TEST(RuleKey, SplitGivesBackWhatMakeJoinedAndToleratesOddKeys) {
  EXPECT_EQ(MakeRuleKey(1, "PHOTO", "D:\\Photo"), "1,PHOTO,D:\\Photo");
  EXPECT_EQ(MakeRuleKey(2, "mp3", kProtectMarker), "2,mp3,(移動を禁止する)");
  EXPECT_EQ(MakeRuleKey(-3, "", ""), "-3,,");
  // Only fields that need it are quoted.
  EXPECT_EQ(MakeRuleKey(1, "a,b", "/x"), "1,\"a,b\",/x");
  EXPECT_EQ(MakeRuleKey(1, "a\"b", "/x"), "1,a\"b,/x");
  EXPECT_EQ(SplitRuleKey(MakeRuleKey(4, "x\"y,\nz", "\"/a,b")), (MoveRule{4, "x\"y,\nz", "\"/a,b"}));
  const std::pair<const char*, MoveRule> odd[] = {
      {"", {0, "", ""}},
      {"abc,x,y", {0, "x", "y"}},
      {" 12abc,x,y", {12, "x", "y"}},
      {"-5,x,y", {-5, "x", "y"}},
      {"2,mp3", {2, "mp3", ""}},
      {"1,a,b,c,d", {1, "a", "b"}},
      {"1,\"unclosed,x", {1, "unclosed,x", ""}},
      {"99999999999999999999999,x,y", {std::numeric_limits<int>::max(), "x", "y"}}};
  for (const auto& [key, rule] : odd) EXPECT_EQ(SplitRuleKey(key), rule) << key;
}

TEST(RuleDescription, EveryKindReadsAsTheListShowsIt) {
  const std::tuple<int, const char*, const char*> cases[] = {
      {1, "PHOTO", "ファイル名に\"PHOTO\"が含まれる"},
      {2, "mp3", "拡張子が\"mp3\""},
      {3, "1K", "ファイルサイズが\"1KByte\"より小さい"},
      {4, "10M", "ファイルサイズが\"10MByte\"より大きい"},
      {5, "20081026093000", "ファイル作成時刻が\"2008/10/26 09:30:00\"より古い"},
      {6, "20081026093000", "ファイル作成時刻が\"2008/10/26 09:30:00\"より新しい"},
      // A short time value keeps its separators; positions count characters.
      {5, "20081026", "ファイル作成時刻が\"2008/10/26 ::\"より古い"},
      {6, "", "ファイル作成時刻が\"// ::\"より新しい"},
      {5, "二〇〇八年十月", "ファイル作成時刻が\"二〇〇八/年十/月 ::\"より古い"},
      {0, "x", ""},
      {7, "x", ""},
      {-1, "x", ""},
  };
  for (const auto& [kind, value, text] : cases) EXPECT_EQ(DescribeRule(kind, value), text) << kind << " " << value;

  const std::pair<const char*, double> sizes[] = {
      {"10", 10},          {"1K", 1024},    {"100K", 102400}, {"1M", 1048576},
      {"100M", 104857600}, {"1G", 1 << 30}, {"1KM", 1048576}, {"5G", 5.0 * (1 << 30)},
      {"-1K", -1024},      {"abc", 0},      {" 7", 7},        {"1k", 1}};
  for (const auto& [value, bytes] : sizes) EXPECT_EQ(SizeThreshold(value), bytes) << value;
}

RuleList FiveRules() {
  RuleList list;
  for (int i = 1; i <= 5; ++i) AddRuleItem(list, i != 3, 1, "k" + std::to_string(i), "/d" + std::to_string(i));
  return list;
}

TEST(RuleList, KeysStayUniqueWhateverTheOperation) {
  RuleList list;
  EXPECT_TRUE(AddRuleItem(list, true, 1, "PHOTO", "/p"));
  EXPECT_FALSE(AddRuleItem(list, false, 1, "PHOTO", "/p"));
  EXPECT_TRUE(AddRuleItem(list, true, 1, "PHOTO", "/q"));
  const int b = list.Append({{0, "", ""}});
  EXPECT_EQ(b, 3);
  EXPECT_EQ(list.Append({{0, "", ""}}), 0);
  EXPECT_EQ(list.Append({{1, "PHOTO", "/p"}, false}), 0);
  EXPECT_FALSE(list.Replace(b, {{1, "PHOTO", "/p"}, true}));
  EXPECT_EQ(list.Row(b).rule, (MoveRule{0, "", ""}));
  const std::uint64_t version = list.Version();
  EXPECT_TRUE(list.Replace(b, {{1, "new", ""}, true}));
  EXPECT_TRUE(list.Replace(b, {{1, "new", ""}, false}));  // its own rule again
  EXPECT_EQ(list.Version(), version + 2);
  list.Remove(b);
  EXPECT_FALSE(list.Contains({1, "new", ""}));
  EXPECT_TRUE(list.Replace(1, {{1, "new", ""}, false}));
  EXPECT_EQ(list.Count(), 2);
}

TEST(RuleList, CommandsMoveWholeRowsAndLeaveTheSelectionAsTheUserExpects) {
  RuleList list = FiveRules();
  list.Select(3);
  MoveSelectedRuleUp(list);
  EXPECT_EQ(Rows(list), "+1,k1,/d1|/d1\n-1,k3,/d3|/d3\n+1,k2,/d2|/d2\n+1,k4,/d4|/d4\n+1,k5,/d5|/d5\n");
  EXPECT_EQ(list.Selected(), 2);
  MoveSelectedRuleDown(list);
  EXPECT_EQ(Rows(list), Rows(FiveRules()));
  EXPECT_EQ(list.Selected(), 3);
  list.Select(1);
  MoveSelectedRuleUp(list);
  list.Select(5);
  MoveSelectedRuleDown(list);
  EXPECT_EQ(Rows(list), Rows(FiveRules()));
  EXPECT_EQ(list.Selected(), 5);
  EXPECT_EQ(SelectedRuleFolder(list), "/d5");

  list.Select(2);
  DeleteSelectedRule(list);
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_FALSE(list.Contains({1, "k2", "/d2"}));
  EXPECT_EQ(list.Row(2).rule, (MoveRule{1, "k3", "/d3"}));
  list.Select(4);  // follows its row when a row above it goes
  list.Remove(1);
  EXPECT_EQ(list.Selected(), 3);
  list.Select(9);
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(SelectedRuleFolder(list), std::nullopt);
  AddRuleItem(list, true, 2, "mp3", kProtectMarker);
  list.Select(list.Count());
  EXPECT_EQ(SelectedRuleFolder(list), std::nullopt);

  // The duplicate check compares descriptions exactly, the selected row too,
  // but not the row being changed.
  EXPECT_TRUE(FindDuplicateRule(list, "拡張子が\"mp3\""));
  EXPECT_TRUE(FindDuplicateRule(list, "ファイル名に\"k4\"が含まれる"));
  EXPECT_FALSE(FindDuplicateRule(list, "拡張子が\"MP3\"") || FindDuplicateRule(RuleList(), ""));
  EXPECT_FALSE(FindDuplicateRule(list, "拡張子が\"mp3\"", list.Count()));
}

struct RecordingObserver : RuleListObserver {
  std::vector<std::string> events;
  void RowsAboutToBeInserted(int first, int last) override { Note("ins", first, last); }
  void RowsAboutToBeRemoved(int first, int last) override { Note("rem", first, last); }
  void RowChanged(int position) override { Note("chg", position, position); }
  void SelectionChanged(int position) override { Note("sel", position, position); }
  void Note(const char* what, int first, int last) {
    std::string event = std::string(what).append(std::to_string(first));
    if (first != last) event.append("-").append(std::to_string(last));
    events.push_back(event);
  }
};

TEST(RuleList, ObserverHearsOfEveryChange) {
  RuleList list = FiveRules();
  RecordingObserver observer;
  list.SetObserver(&observer);
  list.Select(2);
  list.SetChecked(2, true);  // unchanged: no event
  EXPECT_FALSE(list.SetChecked(0, false));  // no such rows: refused, no event
  EXPECT_FALSE(list.SetChecked(6, false));
  list.SetChecked(2, false);
  SwapRuleItems(list, 2, 4);
  list.Append({{1, "k6", "/d6"}});
  list.Remove(2);
  list.Clear();
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"sel2", "chg2", "chg2", "chg4", "ins6", "rem2", "sel0", "rem1-5"}));
}

TEST(RuleFile, SaveThenLoadGivesTheSameRowsByteForByte) {
  TempDir dir;
  const std::string path = dir / "ZUL.dat";
  RuleList list;
  AddRuleItem(list, true, 1, "PHOTO", "/home/u/Photo");
  AddRuleItem(list, false, 2, "mp3", kProtectMarker);
  AddRuleItem(list, true, 3, "1K", kUndefinedMarker);
  AddRuleItem(list, true, 5, "20081026120000", "/home/u/古い");
  AddRuleItem(list, true, 1, "a,b", "/home/u/c,d");
  AddRuleItem(list, true, 1, "\"q\"", "/x");
  AddRuleItem(list, true, 1, " ", "/blank");
  RuleFile file(files, path);
  ASSERT_EQ(file.SaveRules(list), SaveOutcome::kSaved);
  EXPECT_EQ(ReadFile(path),
            "-1,1,PHOTO,/home/u/Photo\r\n0,2,mp3,(移動を禁止する)\r\n-1,3,1K,(未定義)\r\n"
            "-1,5,20081026120000,/home/u/古い\r\n-1,1,\"a,b\",\"/home/u/c,d\"\r\n-1,1,\"\"\"q\"\"\",/x\r\n"
            "-1,1, ,/blank\r\n");
  RuleList loaded;
  EXPECT_EQ(file.LoadRules(loaded), LoadOutcome::kComplete);
  EXPECT_EQ(Rows(loaded), Rows(list));

  // Rows nobody edited are written back exactly as they were read, wherever
  // they went; a changed tick rewrites its own field only.
  const std::string hand = "\xEF\xBB\xBF\n1,01,a,\"/a\"\n\n0,2,\"b\",/b,c";
  WriteFile(path, hand);
  ASSERT_EQ(file.LoadRules(loaded), LoadOutcome::kComplete);
  ASSERT_EQ(file.SaveRules(loaded), SaveOutcome::kSaved);
  EXPECT_EQ(ReadFile(path), hand);
  SwapRuleItems(loaded, 1, 2);
  loaded.SetChecked(2, false);
  AddRuleItem(loaded, true, 1, "c", "/c");
  EXPECT_EQ(FormatRuleFile(loaded, "\xEF\xBB\xBF\n"), "\xEF\xBB\xBF\n0,2,\"b\",/b,c\r\n0,01,a,\"/a\"\n\n-1,1,c,/c\r\n");

  // A save keeps the file's permissions.
  chmod(path.c_str(), 0640);
  ASSERT_EQ(file.SaveRules(loaded), SaveOutcome::kSaved);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // A missing file gives an empty list; saving it creates an empty file.
  RuleFile none(files, dir / "none.dat");
  EXPECT_EQ(none.LoadRules(loaded), LoadOutcome::kNoFile);
  EXPECT_EQ(loaded.Count(), 0);
  ASSERT_EQ(none.SaveRules(loaded), SaveOutcome::kSaved);
  EXPECT_EQ(ReadFile(dir / "none.dat"), "");
}

TEST(RuleFile, OddRecordsLoadAsTheFileHasAlwaysBeenRead) {
  RuleList list;
  EXPECT_EQ(ParseRuleFile("5,1,PHOTO,/p\r\n0,0,zero,/z\r\n-1,7,seven,/s\r\nx,1,nan,/n\r\n-1,40000,big,/b\r\n"
                          "-1,1,a,/home/u/x,y\r\n-1,2,tmp,\r\n",
                          list),
            LoadOutcome::kComplete);
  EXPECT_EQ(Rows(list),
            "+1,PHOTO,/p|/p\n-0,zero,/z|/z\n+7,seven,/s|/s\n-1,nan,/n|/n\n+40000,big,/b|/b\n"
            "+1,a,\"/home/u/x,y\"|/home/u/x,y\n+2,tmp,|\n");
  EXPECT_EQ(FormatRuleFile(list).substr(0, 14), "5,1,PHOTO,/p\r\n");

  // Any line end, a byte-order mark, blank lines, a line break in quotes.
  const std::string ends = "\xEF\xBB\xBF-1,1,a,/a\r0,1,\"b\r\nc\",/b\n\r\n-1,2,d,/d";
  std::string lead;
  EXPECT_EQ(ParseRuleFile(ends, list, nullptr, &lead), LoadOutcome::kComplete);
  EXPECT_EQ(FormatRuleFile(list, lead), ends);
  EXPECT_EQ(Rows(list), "+1,a,/a|/a\n-1,\"b\r\nc\",/b|/b\n+2,d,/d|/d\n");
  // Shift-JIS from the original platform, field by field.
  EXPECT_EQ(ParseRuleFile("-1,2,mp3,(\x88\xDA\x93\xAE\x82\xF0\x8B\xD6\x8E~\x82\xB7\x82\xE9)\r\n"
                          "0,1,\x8E\xCA\x90^,/home/u/\x8E\xCA\x90^\r\n",
                          list),
            LoadOutcome::kComplete);
  EXPECT_EQ(Rows(list), "+2,mp3,(移動を禁止する)|(移動を禁止する)\n-1,写真,/home/u/写真|/home/u/写真\n");
}

// Beside the program only for a copy that already keeps its files there.
TEST(RuleFile, LivesBesideTheProgramWhenItsFilesLieThereElseInTheUsersDataFolder) {
  EXPECT_EQ(ProgramFolder().empty(), false);
  // what lies beside the program, XDG_DATA_HOME (a relative one is ignored), the folder chosen
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"ZUL.dat", "/xdg", "program"},     {"veskora.log", "/xdg", "program"},
      {"", "/xdg", "xdg/veskora"},        {"ZUL.dat.bak", "/xdg", "xdg/veskora"},
      {"", "relative", "home/.local/share/veskora"},
  };
  for (const auto& [lying, dataHome, folder] : cases) {
    TempDir dir;
    const std::string program = dir.MakeDir("program");
    if (!lying.empty()) WriteFile(program + "/" + lying, "");
    setenv("XDG_DATA_HOME", (dataHome[0] == '/' ? dir.Path() + dataHome : dataHome).c_str(), 1);
    setenv("HOME", (dir / "home").c_str(), 1);
    EXPECT_EQ(ResolveDataFolder(program), dir / folder) << lying;
    EXPECT_TRUE(testing::Exists(dir / folder));  // made with its parents
  }
}

// Whatever a rule file holds that this run could not load, the first save that
// would change the file keeps the original first; rows nobody edited keep
// their bytes.
TEST(RuleFile, WhatCouldNotBeLoadedIsNeverLostToASave) {
  // what the file holds, how it loads, and the file after a save of the list as loaded
  const std::tuple<std::string, std::string, LoadOutcome, std::string> cases[] = {
      {"duplicate", "-1,1,a,/a\r\n-1,1,a,/a\r\n-1,1,c,/c\r\n", LoadOutcome::kStopped, "-1,1,a,/a\r\n"},
      {"short", "-1,1,a,/a\r\n-1,1\r\n-1,1,c,/c\r\n", LoadOutcome::kStopped, "-1,1,a,/a\r\n"},
      {"unclosed", "-1,1,a,/a\r\n-1,1,\"b,/b\r\n", LoadOutcome::kStopped, "-1,1,a,/a\r\n"},
      {"nul", std::string("-1,1,a,/a\r\n-1,1,b,/b\0/../c\r\n", 28), LoadOutcome::kStopped, "-1,1,a,/a\r\n"},
      {"latin-1", "-1,1,caf\xe9,/home/u/caf\xe9\r\n0,2,txt,/t\r\n", LoadOutcome::kComplete, ""},
      {"fifo", "", LoadOutcome::kUnreadable, ""},
      {"link", "-1,1,a,/a\r\n-1,1\r\n", LoadOutcome::kStopped, "-1,1,a,/a\r\n"},  // kept in a dotfiles folder
  };
  const TempDir dotfiles;
  for (const auto& [label, content, outcome, savedUnchanged] : cases) {
    SCOPED_TRACE(label);
    TempDir dir;
    const std::string path = dir / "ZUL.dat";
    const bool link = label == "link";
    if (outcome == LoadOutcome::kUnreadable) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (link) {
      WriteFile(dotfiles / "rules", content);
      ASSERT_EQ(symlink(("../" + std::string(NameOf(dotfiles.Path())) + "/rules").c_str(), path.c_str()), 0);
    } else {
      WriteFile(path, content);
    }
    RuleFile file(files, path);
    RuleList list;
    EXPECT_EQ(file.LoadRules(list), outcome);
    if (outcome == LoadOutcome::kComplete) {
      // Nothing changed: nothing is written, nothing kept aside.
      EXPECT_EQ(file.SaveRules(list), SaveOutcome::kSaved);
      EXPECT_EQ(testing::ListNames(dir.Path()), "ZUL.dat");
    }
    if (list.Count() == 0) {
      AddRuleItem(list, true, 1, "new", "/n");
    } else {
      list.SetChecked(list.Count(), !list.Row(list.Count()).checked);
    }
    EXPECT_EQ(file.SaveRules(list), SaveOutcome::kSavedKeepingOriginal);
    EXPECT_EQ(file.BackupPath(), path + ".bak");
    if (outcome != LoadOutcome::kUnreadable) {
      EXPECT_EQ(ReadFile(path + ".bak"), content);
    }
    // Kept once: later saves simply write.
    EXPECT_EQ(file.SaveRules(list), SaveOutcome::kSaved);
    EXPECT_EQ(testing::ListNames(dir.Path()), "ZUL.dat ZUL.dat.bak");
    if (outcome == LoadOutcome::kComplete) {
      EXPECT_EQ(ReadFile(path), "-1,1,caf\xe9,/home/u/caf\xe9\r\n-1,2,txt,/t\r\n");
      EXPECT_EQ(list.Row(1).rule.destination, "/home/u/caf\xe9");  // no Shift-JIS: the path the system knows
    } else if (outcome == LoadOutcome::kStopped) {
      EXPECT_EQ(ReadFile(path), std::string("0").append(savedUnchanged, 2));
    }
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode), link);  // still leads to the saved rules
  }
  EXPECT_EQ(testing::ListNames(dotfiles.Path()), "rules");
  // A second run that again cannot load all keeps its original beside the first.
  TempDir dir;
  WriteFile(dir / "ZUL.dat", "-1,1,a,/a\r\n-1,1");
  WriteFile(dir / "ZUL.dat.bak", "older");
  RuleFile file(files, dir / "ZUL.dat");
  RuleList list;
  file.LoadRules(list);
  AddRuleItem(list, true, 1, "new", "/n");
  EXPECT_EQ(file.SaveRules(list), SaveOutcome::kSavedKeepingOriginal);
  EXPECT_EQ(ReadFile(dir / "ZUL.dat.bak2"), "-1,1,a,/a\r\n-1,1");
  EXPECT_EQ(ReadFile(dir / "ZUL.dat.bak"), "older");
}

}  // namespace
}  // namespace veskora
