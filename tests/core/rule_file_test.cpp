#include <gtest/gtest.h>
#include <sys/stat.h>

#include "rules/move_rule.h"
#include "rules/rule_file.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::string Keys(const RuleList& list) {
  std::string keys;
  for (const RuleRow& row : list.Rows()) keys += (row.checked ? "+" : "-") + row.key + "|" + row.subItem + "\n";
  return keys;
}

TEST(RuleFile, SaveThenLoadGivesTheSameRowsInTheSameOrder) {
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
  ASSERT_TRUE(SaveRules(list, path));

  EXPECT_EQ(ReadFile(path),
            "-1,1,PHOTO,/home/u/Photo\r\n"
            "0,2,mp3,(移動を禁止する)\r\n"
            "-1,3,1K,(未定義)\r\n"
            "-1,5,20081026120000,/home/u/古い\r\n"
            "-1,1,\"a,b\",\"/home/u/c,d\"\r\n"
            "-1,1,\"\"\"q\"\"\",/x\r\n"
            "-1,1, ,/blank\r\n");

  RuleList loaded;
  EXPECT_EQ(LoadRules(loaded, path), LoadOutcome::kComplete);
  EXPECT_EQ(Keys(loaded), Keys(list));
  for (int p = 1; p <= list.Count(); ++p) EXPECT_EQ(loaded.Row(p).text, list.Row(p).text);
  EXPECT_EQ(loaded.Row(2).subItem, "(移動を禁止する)");
}

TEST(RuleFile, OddRecordsLoadAsTheFileHasAlwaysBeenRead) {
  RuleList list;
  EXPECT_EQ(ParseRuleFile("5,1,PHOTO,/p\r\n"
                          "0,0,zero,/z\r\n"
                          "-1,7,seven,/s\r\n"
                          "x,1,notnumber,/n\r\n"
                          "-1,40000,big,/b\r\n",
                          list),
            LoadOutcome::kComplete);
  ASSERT_EQ(list.Count(), 5);
  EXPECT_TRUE(list.Row(1).checked);
  EXPECT_EQ(list.Row(2).text, "");
  EXPECT_EQ(list.Row(2).key, "0,zero,/z");
  EXPECT_EQ(list.Row(3).text, "");
  EXPECT_EQ(list.Row(3).key, "7,seven,/s");
  EXPECT_FALSE(list.Row(4).checked);
  EXPECT_EQ(list.Row(5).key, "40000,big,/b");
  EXPECT_EQ(FormatRuleFile(list).substr(0, 14), "-1,1,PHOTO,/p\r");
}

TEST(RuleFile, LoadingStopsAtABrokenOrDuplicateRecordKeepingWhatCameBefore) {
  RuleList list;
  EXPECT_EQ(ParseRuleFile("-1,1,a,/a\r\n-1,1,b,/b\r\n-1,1", list), LoadOutcome::kStopped);
  EXPECT_EQ(list.Count(), 2);

  EXPECT_EQ(ParseRuleFile("-1,1,a,/a\r\n0,1,a,/a\r\n-1,1,c,/c\r\n", list), LoadOutcome::kStopped);
  EXPECT_EQ(list.Count(), 1);

  EXPECT_EQ(ParseRuleFile("-1,1,a,/a\r\n-1,1,\"unclosed,/b\r\n-1,1,c,/c\r\n", list), LoadOutcome::kStopped);
  EXPECT_EQ(list.Count(), 1);

  // Commas beyond the fourth field belong to an unquoted destination.
  EXPECT_EQ(ParseRuleFile("-1,1,a,/home/u/x,y\r\n", list), LoadOutcome::kComplete);
  EXPECT_EQ(list.Row(1).subItem, "/home/u/x,y");
}

// Line ends and byte order marks: tests/faults/bad_input_test.cpp.
TEST(RuleFile, AShiftJisFileLoads) {
  RuleList list;
  EXPECT_EQ(ParseRuleFile("-1,2,mp3,(\x88\xDA\x93\xAE\x82\xF0\x8B\xD6\x8E~\x82\xB7\x82\xE9)\r\n"
                          "0,1,\x8E\xCA\x90^,/home/u/\x8E\xCA\x90^\r\n",
                          list),
            LoadOutcome::kComplete);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Row(1).subItem, "(移動を禁止する)");
  EXPECT_EQ(list.Row(2).key, "1,写真,/home/u/写真");
  EXPECT_EQ(list.Row(2).text, "ファイル名に\"写真\"が含まれる");
}

TEST(RuleFile, MissingFileGivesAnEmptyListAndSavingCreatesIt) {
  TempDir dir;
  const std::string path = dir / "ZUL.dat";
  RuleList list;
  AddRuleItem(list, true, 1, "left", "/over");
  EXPECT_EQ(LoadRules(list, path), LoadOutcome::kNoFile);
  EXPECT_EQ(list.Count(), 0);
  ASSERT_TRUE(SaveRules(list, path));
  EXPECT_EQ(ReadFile(path), "");
}

TEST(RuleFile, AFailedSaveKeepsTheOldFileWholeAndLeavesNoTemporary) {
  TempDir dir;
  const std::string folder = dir.MakeDir("data");
  const std::string path = folder + "/ZUL.dat";
  WriteFile(path, "-1,1,old,/old\r\n");
  chmod(path.c_str(), 0640);
  RuleList list;
  AddRuleItem(list, true, 1, "new", "/new");

  ASSERT_TRUE(SaveRules(list, path));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(testing::ListNames(folder), "ZUL.dat");

  // The path is a folder now: nothing can be renamed over it.
  const std::string blocked = dir.MakeDir("blocked/ZUL.dat");
  EXPECT_FALSE(SaveRules(list, blocked));
  EXPECT_EQ(testing::ListNames(dir / "blocked"), "ZUL.dat");
  EXPECT_EQ(ReadFile(path), "-1,1,new,/new\r\n");
}

}  // namespace
}  // namespace veskora
