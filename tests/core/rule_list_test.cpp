#include "rules/rule_list.h"

#include <gtest/gtest.h>

#include "rules/move_rule.h"
#include "rules/rule_list_ops.h"

namespace veskora {
namespace {

RuleList FiveRules() {
  RuleList list;
  for (int i = 1; i <= 5; ++i) AddRuleItem(list, i != 3, 1, "k" + std::to_string(i), "/d" + std::to_string(i));
  return list;
}

std::string Keys(const RuleList& list) {
  std::string keys;
  for (const RuleRow& row : list.Rows()) keys += row.key + (row.checked ? "+" : "-") + " ";
  return keys;
}

TEST(RuleList, KeysStayUniqueButEmptyKeysMayRepeat) {
  RuleList list;
  EXPECT_TRUE(AddRuleItem(list, true, 1, "PHOTO", "/p"));
  EXPECT_FALSE(AddRuleItem(list, false, 1, "PHOTO", "/p"));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(AddRuleItem(list, true, 1, "PHOTO", "/q"));

  const int a = list.Append();
  const int b = list.Append();
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_EQ(list.Append({"", "", "1,PHOTO,/p", true}), 0);
  EXPECT_FALSE(list.Replace(b, {"", "", "1,PHOTO,/p", true}));
  EXPECT_EQ(list.Row(b).key, "");
  EXPECT_TRUE(list.Replace(b, {"", "", "new", true}));
  list.Remove(b);
  EXPECT_FALSE(list.HasKey("new"));
  EXPECT_TRUE(list.Replace(a, {"", "", "new", false}));
}

TEST(RuleList, UpAndDownSwapEveryAttributeAndFollowTheSelection) {
  RuleList list = FiveRules();
  list.Select(3);
  MoveSelectedRuleUp(list);
  EXPECT_EQ(Keys(list), "1,k1,/d1+ 1,k3,/d3- 1,k2,/d2+ 1,k4,/d4+ 1,k5,/d5+ ");
  EXPECT_EQ(list.Row(2).text, "ファイル名に\"k3\"が含まれる");
  EXPECT_EQ(list.Row(2).subItem, "/d3");
  EXPECT_EQ(list.Selected(), 2);

  MoveSelectedRuleDown(list);
  EXPECT_EQ(Keys(list), Keys(FiveRules()));
  EXPECT_EQ(list.Selected(), 3);
}

// First, last, only and no row: tests/gui/form1_commands_test.cpp.
TEST(RuleList, DeleteLeavesNoSelectionAndTheSelectionFollowsItsRow) {
  RuleList list = FiveRules();
  list.Select(2);
  DeleteSelectedRule(list);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.Row(2).key, "1,k3,/d3");
  EXPECT_FALSE(list.HasKey("1,k2,/d2"));

  // The selection follows its row when a row above it goes.
  list.Select(4);
  list.Remove(1);
  EXPECT_EQ(list.Selected(), 3);
  list.Select(9);  // no such row
  EXPECT_EQ(list.Selected(), 0);
}

TEST(RuleList, DuplicateCheckComparesTheDescriptionExactly) {
  RuleList list;
  EXPECT_FALSE(FindDuplicateRule(list, ""));
  AddRuleItem(list, true, 1, "PHOTO", "/a");
  AddRuleItem(list, false, 2, "mp3", "/b");
  list.Select(2);
  EXPECT_TRUE(FindDuplicateRule(list, "ファイル名に\"PHOTO\"が含まれる"));
  EXPECT_TRUE(FindDuplicateRule(list, "拡張子が\"mp3\""));
  EXPECT_FALSE(FindDuplicateRule(list, "ファイル名に\"photo\"が含まれる"));
  EXPECT_FALSE(FindDuplicateRule(list, "拡張子が\"MP3\""));
}

struct RecordingObserver : RuleListObserver {
  std::vector<std::string> events;
  void RowsAboutToBeInserted(int first, int last) override {
    events.push_back("ins " + std::to_string(first) + "-" + std::to_string(last));
  }
  void RowsAboutToBeRemoved(int first, int last) override {
    events.push_back("rem " + std::to_string(first) + "-" + std::to_string(last));
  }
  void RowChanged(int position) override { events.push_back("chg " + std::to_string(position)); }
  void SelectionChanged(int position) override { events.push_back("sel " + std::to_string(position)); }
};

TEST(RuleList, ObserverHearsOfEveryChange) {
  RuleList list;
  RecordingObserver observer;
  list.SetObserver(&observer);
  AddRuleItem(list, true, 1, "a", "/a");
  AddRuleItem(list, true, 1, "b", "/b");
  observer.events.clear();
  list.Select(2);
  list.SetChecked(2, true);  // unchanged: no event
  list.SetChecked(2, false);
  list.Remove(2);
  list.Clear();
  EXPECT_EQ(observer.events, (std::vector<std::string>{"sel 2", "chg 2", "rem 2-2", "sel 0", "rem 1-1"}));
}

}  // namespace
}  // namespace veskora
