#include "rules/rule_key.h"

#include <gtest/gtest.h>

#include "rules/field_codec.h"
#include "rules/move_rule.h"
#include "rules/rule_description.h"

namespace veskora {
namespace {

TEST(RuleKey, PlainFieldsGiveThePlainCommaForm) {
  EXPECT_EQ(MakeRuleKey(1, "PHOTO", "D:\\Photo"), "1,PHOTO,D:\\Photo");
  EXPECT_EQ(MakeRuleKey(2, "mp3", kProtectMarker), "2,mp3,(移動を禁止する)");
  EXPECT_EQ(MakeRuleKey(-3, "", ""), "-3,,");

  const MoveRule parts = SplitRuleKey("1,PHOTO,/home/u/写真");
  EXPECT_EQ(parts.kind, 1);
  EXPECT_EQ(parts.value, "PHOTO");
  EXPECT_EQ(parts.destination, "/home/u/写真");
}

TEST(RuleKey, SplitToleratesShortLongAndNonNumericKeys) {
  EXPECT_EQ(SplitRuleKey("").kind, 0);
  EXPECT_EQ(SplitRuleKey("abc,x,y").kind, 0);
  EXPECT_EQ(SplitRuleKey(" 12abc,x,y").kind, 12);
  EXPECT_EQ(SplitRuleKey("-5,x,y").kind, -5);

  const MoveRule shortKey = SplitRuleKey("2,mp3");
  EXPECT_EQ(shortKey.kind, 2);
  EXPECT_EQ(shortKey.value, "mp3");
  EXPECT_EQ(shortKey.destination, "");

  const MoveRule longKey = SplitRuleKey("1,a,b,c,d");
  EXPECT_EQ(longKey.value, "a");
  EXPECT_EQ(longKey.destination, "b");

  // A kind far beyond any integer saturates instead of overflowing.
  EXPECT_EQ(SplitRuleKey("99999999999999999999999,x,y").kind, std::numeric_limits<int>::max());
}

TEST(RuleKey, CommasQuotesAndLineBreaksRoundTrip) {
  const std::string values[] = {"a,b", "\"quoted\"", "\"", ",", "x\"y", "line\nbreak", "cr\rhere", " lead", ""};
  for (const std::string& value : values) {
    for (const std::string& destination : {std::string("/home/u/a,b"), std::string("\"/odd"), std::string("/plain")}) {
      const std::string key = MakeRuleKey(1, value, destination);
      const MoveRule parts = SplitRuleKey(key);
      EXPECT_EQ(parts.kind, 1) << key;
      EXPECT_EQ(parts.value, value) << key;
      EXPECT_EQ(parts.destination, destination) << key;
    }
  }
  // Only fields that need it are quoted.
  EXPECT_EQ(MakeRuleKey(1, "a,b", "/x"), "1,\"a,b\",/x");
  EXPECT_EQ(MakeRuleKey(1, "a\"b", "/x"), "1,a\"b,/x");
}

TEST(RuleDescription, EveryKindReadsAsTheListShowsIt) {
  EXPECT_EQ(DescribeRule(1, "PHOTO"), "ファイル名に\"PHOTO\"が含まれる");
  EXPECT_EQ(DescribeRule(2, "mp3"), "拡張子が\"mp3\"");
  EXPECT_EQ(DescribeRule(3, "1K"), "ファイルサイズが\"1KByte\"より小さい");
  EXPECT_EQ(DescribeRule(4, "10M"), "ファイルサイズが\"10MByte\"より大きい");
  EXPECT_EQ(DescribeRule(5, "20081026093000"), "ファイル作成時刻が\"2008/10/26 09:30:00\"より古い");
  EXPECT_EQ(DescribeRule(6, "20081026093000"), "ファイル作成時刻が\"2008/10/26 09:30:00\"より新しい");
  // A short time value keeps its separators, with nothing between them.
  EXPECT_EQ(DescribeRule(5, "20081026"), "ファイル作成時刻が\"2008/10/26 ::\"より古い");
  EXPECT_EQ(DescribeRule(6, ""), "ファイル作成時刻が\"// ::\"より新しい");
  // Positions count characters, not bytes.
  EXPECT_EQ(DescribeRule(5, "二〇〇八年十月"), "ファイル作成時刻が\"二〇〇八/年十/月 ::\"より古い");
  EXPECT_EQ(DescribeRule(0, "x"), "");
  EXPECT_EQ(DescribeRule(7, "x"), "");
  EXPECT_EQ(DescribeRule(-1, "x"), "");
}

TEST(FieldCodec, RecordsSplitOnEveryKindOfLineEnd) {
  RecordReader reader("a,b\r\nc,d\ne,f\rg,\"h\r\ni\"\r\n\r\n,\n");
  std::vector<std::vector<std::string>> records;
  while (auto record = reader.Next()) records.push_back(*record);
  EXPECT_FALSE(reader.Failed());
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(records[1], (std::vector<std::string>{"c", "d"}));
  EXPECT_EQ(records[2], (std::vector<std::string>{"e", "f"}));
  EXPECT_EQ(records[3], (std::vector<std::string>{"g", "h\r\ni"}));
  EXPECT_EQ(records[4], (std::vector<std::string>{"", ""}));

  RecordReader unclosed("a,\"b\r\n");
  EXPECT_FALSE(unclosed.Next());
  EXPECT_TRUE(unclosed.Failed());
  RecordReader trailing("a,\"b\"c\r\n");
  EXPECT_FALSE(trailing.Next());
  EXPECT_TRUE(trailing.Failed());
}

TEST(FieldCodec, LeadingNumberReadsLikeTheFileAlwaysDid) {
  EXPECT_EQ(LeadingNumber("-1"), -1);
  EXPECT_EQ(LeadingNumber("  42x"), 42);
  EXPECT_EQ(LeadingNumber("x42"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("+7"), 7);
  EXPECT_GT(LeadingNumber("123456789012345678901234567890"), 1000000000000000000LL);
}

}  // namespace
}  // namespace veskora
